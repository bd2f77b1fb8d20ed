#pragma once

#include <cstdint>
#include <string>

namespace zep {

// The file-name part of a path: what follows its last '/', the final character not examined.
std::string GetFileNameInPathName(const std::string& PathName);

constexpr std::int16_t kAttrNormal = 0;
constexpr std::int16_t kAttrHidden = 2;
constexpr std::int16_t kAttrSystem = 4;

// Directories never match, a dot-name needs kAttrHidden, the last component may be a glob.
bool FileExist(const std::string& PathName, std::int16_t Attributes);

// True when the file is gone or never existed, read-only or not; a directory is left alone.
bool DelFile(const std::string& PathName);

}  // namespace zep
