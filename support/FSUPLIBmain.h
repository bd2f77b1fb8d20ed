#pragma once

#include <cstdint>
#include <string>

namespace zep {

// The file-name part of a path: what follows its last '/', the final character not examined.
std::string GetFileNameInPathName(const std::string& PathName);

// Attribute masks of FileExist.
constexpr std::int16_t kAttrNormal = 0;
constexpr std::int16_t kAttrHidden = 2;
constexpr std::int16_t kAttrSystem = 4;

// Whether a file matching PathName exists. Directories never match; a name beginning with '.'
// counts as hidden and matches only when kAttrHidden is in the mask. Wild cards in the last
// component match as a shell glob.
bool FileExist(const std::string& PathName, std::int16_t Attributes);

// Deletes the file, read-only or not. True when it is gone or never existed (a directory
// counts as no file and is left alone).
bool DelFile(const std::string& PathName);

}  // namespace zep
