#pragma once

#include <string>
#include <vector>

#include "core/ModuleFileProc.h"

namespace zep {

// Shared by the window and zepconv so both give the same keys, rows, messages and files.

// The key a file is listed under: the path made absolute, without "." parts or doubled slashes.
// ".." stays, since after a symbolic link it leads elsewhere than folding it would.
std::string KeyForPath(const std::string& path);

// A row saved over its own file loses its marker.
std::vector<bool> SaveAllFiles(Workspace& ws, const std::vector<std::string>& targets = {});

}  // namespace zep
