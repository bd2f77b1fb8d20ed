#include "app/Registry.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "support/FSUPLIBmain.h"

namespace zep {

namespace {

// The registry compares key paths and value names without regard to letter case.
std::string FoldCase(std::string_view text) {
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), [](char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return folded;
}

constexpr std::size_t kValueBufferSize = 1024;

std::string TextUpToZero(const std::vector<unsigned char>& data) {
    const auto end = std::find(data.begin(), data.end(), static_cast<unsigned char>(0));
    return std::string(data.begin(), end);
}

std::string DwordText(const std::vector<unsigned char>& data) {
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < 4 && i < data.size(); ++i) {
        number |= static_cast<std::uint32_t>(data[i]) << (8 * i);
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[number % 16]);
        number /= 16;
    } while (number != 0);
    return "&h" + digits;
}

bool IsExecutableFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

// Answers the first key the about box asks with a fixed tool path; every other key is absent.
class LinuxRegistry : public Registry {
public:
    explicit LinuxRegistry(std::optional<std::string> toolPath) {
        if (toolPath) {
            keys_.SetValue(kHKeyLocalMachine, kMsInfoKey, kMsInfoValue, RegString(*toolPath));
        }
    }
    std::optional<RegHandle> OpenKey(RegRoot root, std::string_view keyName) override {
        return keys_.OpenKey(root, keyName);
    }
    std::optional<RegValue> QueryValue(RegHandle key, std::string_view valueName) override {
        return keys_.QueryValue(key, valueName);
    }
    void CloseKey(RegHandle key) override { keys_.CloseKey(key); }

private:
    MemoryRegistry keys_;
};

}  // namespace

RegValue RegString(std::string_view text) {
    RegValue value{RegType::String, std::vector<unsigned char>(text.begin(), text.end())};
    value.data.push_back(0);
    return value;
}

RegValue RegDword(std::uint32_t number) {
    RegValue value{RegType::Dword, {}};
    for (int i = 0; i < 4; ++i) {
        value.data.push_back(static_cast<unsigned char>((number >> (8 * i)) & 0xFFu));
    }
    return value;
}

void MemoryRegistry::SetValue(RegRoot root, std::string_view keyName, std::string_view valueName,
                              RegValue value) {
    keys_[{root, FoldCase(keyName)}][FoldCase(valueName)] = std::move(value);
}

void MemoryRegistry::AddKey(RegRoot root, std::string_view keyName) {
    keys_[{root, FoldCase(keyName)}];
}

std::optional<RegHandle> MemoryRegistry::OpenKey(RegRoot root, std::string_view keyName) {
    KeyId id{root, FoldCase(keyName)};
    if (keys_.find(id) == keys_.end()) {
        return std::nullopt;
    }
    const RegHandle handle = nextHandle_++;
    open_.emplace(handle, std::move(id));
    return handle;
}

std::optional<RegValue> MemoryRegistry::QueryValue(RegHandle key, std::string_view valueName) {
    const auto open = open_.find(key);
    if (open == open_.end()) {
        return std::nullopt;
    }
    const auto& values = keys_.at(open->second);
    const auto value = values.find(FoldCase(valueName));
    if (value == values.end()) {
        return std::nullopt;
    }
    return value->second;
}

void MemoryRegistry::CloseKey(RegHandle key) {
    open_.erase(key);
}

std::vector<std::string> SysInfoProgramNames() {
    return {"hardinfo2",          "hardinfo", "kinfocenter", "lshw-gtk", "gnome-system-monitor",
            "mate-system-monitor"};
}

std::optional<std::string> FindProgramOnPath(std::string_view searchPath,
                                             const std::vector<std::string>& programNames) {
    for (const auto& program : programNames) {
        std::size_t start = 0;
        while (start <= searchPath.size()) {
            const std::size_t colon = std::min(searchPath.find(':', start), searchPath.size());
            const std::string_view folder = searchPath.substr(start, colon - start);
            start = colon + 1;
            // An empty entry would mean the working folder; a tool is never taken from there.
            if (folder.empty()) {
                continue;
            }
            const std::filesystem::path candidate = std::filesystem::path(folder) / program;
            if (IsExecutableFile(candidate)) {
                return candidate.string();
            }
        }
    }
    return std::nullopt;
}

std::unique_ptr<Registry> PlatformRegistry() {
    const char* searchPath = std::getenv("PATH");
    return std::make_unique<LinuxRegistry>(
        FindProgramOnPath(searchPath != nullptr ? searchPath : "", SysInfoProgramNames()));
}

bool GetKeyValue(Registry& registry, RegRoot KeyRoot, std::string_view KeyName,
                 std::string_view SubKeyRef, std::string& KeyVal) {
    const auto key = registry.OpenKey(KeyRoot, KeyName);
    if (!key) {
        KeyVal.clear();
        return false;
    }
    const auto value = registry.QueryValue(*key, SubKeyRef);
    if (!value || value->data.size() > kValueBufferSize) {
        KeyVal.clear();
        registry.CloseKey(*key);
        return false;
    }
    if (value->type == RegType::String) {
        KeyVal = TextUpToZero(value->data);
    } else if (value->type == RegType::Dword) {
        KeyVal = DwordText(value->data);
    }
    registry.CloseKey(*key);
    return true;
}

std::optional<std::string> FindSysInfoTool(Registry& registry) {
    std::string path;
    if (GetKeyValue(registry, kHKeyLocalMachine, kMsInfoKey, kMsInfoValue, path)) {
        return path;
    }
    if (!GetKeyValue(registry, kHKeyLocalMachine, kSharedToolsKey, kSharedToolsValue, path)) {
        return std::nullopt;
    }
    // The folder's value is taken as it stands: one that already ends in a separator gives a
    // doubled one, which the file system reads as a single one.
    path += "/MSINFO32.EXE";
    if (!FileExist(path, kAttrNormal)) {
        return std::nullopt;
    }
    return path;
}

}  // namespace zep
