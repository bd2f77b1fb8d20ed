#pragma once

#include <cstddef>
#include <span>

namespace zep {

class SafeFileWriter;

// Commits many finished writers at the cost of one sync per file system and one per folder:
// every file is made durable first, then each is put in place in order, then each folder is
// synced. Each writer keeps its own result (Committed, Error); a failure costs only its file.
void CommitTogether(std::span<SafeFileWriter* const> writers);

// How many writers may be open at once: each holds two descriptors, its file's and its folder's.
std::size_t WritersAtOnce();

}  // namespace zep
