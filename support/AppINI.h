#pragma once

#include <string>

namespace zep {

// The settings store. ReadKeyEx and WriteKey ignore ASCII letter case in names; the line-based
// operations (DelKey, DelSection, ReadKey in "[%NOTUSE%]") compare exactly.
class AppINI {
public:
    std::string IniName;
    std::string SectionName;

    bool DelSection(const std::string& SectionNameString);
    bool RenSection(const std::string& SectionNameString, const std::string& NewName);
    bool WriteKey(const std::string& KeyName, const std::string& KeyString);
    bool DelKey(const std::string& KeyName);
    bool ReadKey(const std::string& KeyName, std::string& KeyString);
    // DefKeyString when the key is missing or its value is empty.
    std::string ReadKeyEx(const std::string& KeyName, const std::string& DefKeyString);
};

}  // namespace zep
