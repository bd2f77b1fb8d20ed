#pragma once

#include <string>

namespace zep {

// The settings store: named values (keys) in named sections of an INI text file. Section and
// key look-ups of ReadKeyEx and WriteKey ignore ASCII letter case; the line-based operations
// (DelKey, DelSection, ReadKey in "[%NOTUSE%]") compare exactly. Every rewrite of the file goes
// through a temporary file and a rename, so the old file survives any failure.
class AppINI {
public:
    std::string IniName;
    std::string SectionName;

    bool DelSection(const std::string& SectionNameString);
    bool RenSection(const std::string& SectionNameString, const std::string& NewName);
    bool WriteKey(const std::string& KeyName, const std::string& KeyString);
    bool DelKey(const std::string& KeyName);
    bool ReadKey(const std::string& KeyName, std::string& KeyString);
    // The stored value as the profile layer gives it (without blanks or one pair of quotes
    // around it), or DefKeyString when the key is missing or its value is empty.
    std::string ReadKeyEx(const std::string& KeyName, const std::string& DefKeyString);
};

}  // namespace zep
