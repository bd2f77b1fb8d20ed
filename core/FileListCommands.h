#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "core/Workspace.h"

namespace zep {

// The commands on the whole list that the window and zepconv share, so that both give the same
// keys, rows, messages and files.

// The key a file gets in the list: its absolute path, made from the working folder for a
// relative one. "." components and doubled slashes go; ".." stays, since after a symbolic link
// it leads somewhere else than folding it away would. An empty path, or one whose folder cannot
// be found, stays as given.
std::string KeyForPath(const std::string& path);

// Adds the files under keys in their order, each as one Add File adds it, with the messages in
// that order; they are read side by side first. beforeEach(i) runs before the i-th file is
// added. The result tells, per key, whether its file was added.
std::vector<bool> AddFiles(Workspace& ws, const std::vector<std::string>& keys,
                           const std::function<void(std::size_t)>& beforeEach = {});

// Saves every listed file as one batch, in list order: over its own file, or, when targets are
// given (one per row), to its target. A row saved over its own file loses its marker. The
// result tells, per row, whether its file was saved.
std::vector<bool> SaveAllFiles(Workspace& ws, const std::vector<std::string>& targets = {});

}  // namespace zep
