#pragma once

#include <string>
#include <vector>

#include "core/ModuleFileProc.h"

namespace zep {

// The commands on the whole list that the window and zepconv share, so that both give the same
// keys, rows, messages and files.

// The key a file gets in the list: its absolute path, made from the working folder for a
// relative one. "." components and doubled slashes go; ".." stays, since after a symbolic link
// it leads somewhere else than folding it away would. An empty path, or one whose folder cannot
// be found, stays as given.
std::string KeyForPath(const std::string& path);

// Saves every listed file as one batch, in list order: over its own file, or, when targets are
// given (one per row), to its target. A row saved over its own file loses its marker. The
// result tells, per row, whether its file was saved.
std::vector<bool> SaveAllFiles(Workspace& ws, const std::vector<std::string>& targets = {});

}  // namespace zep
