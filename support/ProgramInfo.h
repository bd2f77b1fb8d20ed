#pragma once

#include <string>
#include <string_view>

namespace zep {

// Shared by the window, zepconv and the package: major.minor.patch.
std::string VersionNumber();

std::string_view LicenceText();

// What --version prints: "<program> (ZEP Converter) <version>", then the licence.
std::string VersionText(std::string_view program);

}  // namespace zep
