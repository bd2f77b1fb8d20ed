#include "support/AppINI.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "support/FSUPLIBmain.h"
#include "support/PrivateProfile.h"
#include "support/SafeFileWriter.h"

namespace zep {
namespace {

// The section that stands for the keys above the first section header; its header is the
// file's first line, whatever it holds.
constexpr std::string_view kNotUse = "[%NOTUSE%]";
constexpr std::size_t kFirstReadSize = 1024;

// Rewrites the file with the lines left in ini: the byte-order mark of the old one, if any, then
// the lines, each followed by CR LF but the last, which only breakAfterLast ends so.
bool WriteLines(const std::string& file, const IniFile& ini, bool breakAfterLast) {
    std::string out = ini.bytes.substr(0, ini.start);
    for (std::size_t i = 0; i < ini.lines.size(); ++i) {
        out += ini.Text(ini.lines[i]);
        if (breakAfterLast || i + 1 < ini.lines.size()) {
            out += "\r\n";
        }
    }
    return WriteFileSafely(file, out);
}

// Reads a key through the profile layer. A result that fills the buffer may have been cut,
// so the read is repeated with a larger buffer until the value fits; the buffer at least
// doubles each round, which keeps very long values from costing a number of reads that
// grows with their length.
bool ReadThroughProfile(const std::string& file, const std::string& section, const std::string& key,
                        std::string& value) {
    std::vector<char> buffer(kFirstReadSize, '\0');
    for (;;) {
        std::size_t n = GetPrivateProfileString(section, key, buffer, file);
        if (n == 0) {
            return false;
        }
        if (n < buffer.size() - 1) {
            value.assign(buffer.data(), n);
            return true;
        }
        buffer.assign(buffer.size() + std::max(kFirstReadSize, buffer.size()), '\0');
    }
}

bool ReadAboveFirstSection(const std::string& file, const std::string& key, std::string& value) {
    IniFile ini;
    if (!FileExist(file, kAttrNormal) || ini.Load(file) != ProfileFile::Read) {
        return false;
    }
    const std::size_t line = ini.FindKey(0, key, IniRules::Exact);
    if (line == ini.lines.size()) {
        return false;
    }
    const std::string_view text = ini.Text(ini.lines[line]);
    value = text.substr(KeyEnd(text, IniRules::Exact) + 1);
    return true;
}

}  // namespace

bool AppINI::DelSection(const std::string& SectionNameString) {
    IniFile ini;
    if (IniName.empty() || ini.Load(IniName) != ProfileFile::Read) {
        return false;
    }
    const std::size_t header = ini.FindSection(SectionNameString, IniRules::Exact);
    const bool found = header < ini.lines.size();
    if (found) {
        ini.lines.erase(ini.lines.begin() + header,
                        ini.lines.begin() + ini.BodyEnd(header, IniRules::Exact));
    }
    return WriteLines(IniName, ini, true) && found;
}

bool AppINI::RenSection(const std::string& SectionNameString, const std::string& NewName) {
    return !IniName.empty() && WritePrivateProfileSection(SectionNameString, NewName, IniName);
}

bool AppINI::WriteKey(const std::string& KeyName, const std::string& KeyString) {
    if (IniName.empty() || SectionName.empty()) {
        return false;
    }
    return WritePrivateProfileString(SectionName, KeyName, KeyString, IniName);
}

bool AppINI::DelKey(const std::string& KeyName) {
    IniFile ini;
    if (ini.Load(IniName) != ProfileFile::Read) {
        return false;
    }
    const std::size_t header =
        SectionName == kNotUse ? 0 : ini.FindSection(SectionName, IniRules::Exact);
    const bool found = header < ini.lines.size();
    if (found) {
        const auto body = ini.lines.begin() + static_cast<std::ptrdiff_t>(header + 1);
        const auto end =
            body + static_cast<std::ptrdiff_t>(ini.BodyEnd(header, IniRules::Exact) - header - 1);
        ini.lines.erase(std::remove_if(body, end,
                                       [&](const IniFile::Line& line) {
                                           return IsKeyLine(ini.Text(line), KeyName,
                                                            IniRules::Exact);
                                       }),
                        end);
    }
    // The rewrite happens even when nothing was removed, and always drops the final break.
    return WriteLines(IniName, ini, false) && found;
}

bool AppINI::ReadKey(const std::string& KeyName, std::string& KeyString) {
    bool found = SectionName == kNotUse
                     ? ReadAboveFirstSection(IniName, KeyName, KeyString)
                     : ReadThroughProfile(IniName, SectionName, KeyName, KeyString);
    if (!found) {
        KeyString.clear();
    }
    return found;
}

std::string AppINI::ReadKeyEx(const std::string& KeyName, const std::string& DefKeyString) {
    std::string value;
    return ReadThroughProfile(IniName, SectionName, KeyName, value) ? value : DefKeyString;
}

}  // namespace zep
