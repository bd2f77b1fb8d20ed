#pragma once

#include <string>
#include <string_view>

namespace zep {

// The version of the window, of zepconv and of the package alike: the project's version,
// major.minor.patch.
std::string VersionNumber();

// The text of the LICENSE file the programs are released under, as it stands in that file.
std::string_view LicenceText();

// What --version prints: "<program> (ZEP Converter) <version>", then the licence.
std::string VersionText(std::string_view program);

}  // namespace zep
