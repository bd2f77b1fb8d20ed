#pragma once

#include <cstddef>
#include <span>

namespace zep {

class SafeFileWriter;

// One sync per file system and per folder: all files durable first, then put in place in order,
// then folders synced. Each writer keeps its own result; a failure costs only its file.
void CommitTogether(std::span<SafeFileWriter* const> writers);

// How many writers may be open at once: each holds at most two descriptors, file and folder.
std::size_t WritersAtOnce();

// Room for count more descriptors, made before threads start: the table grows by doubling, and
// each growth in a threaded process waits for every other CPU.
void ReserveDescriptors(std::size_t count);

}  // namespace zep
