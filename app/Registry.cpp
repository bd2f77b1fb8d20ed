#include "app/Registry.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "support/AsciiText.h"
#include "support/FSUPLIBmain.h"

namespace zep {

namespace {

constexpr std::size_t kValueBufferSize = 1024;

std::string TextUpToZero(const std::vector<unsigned char>& data) {
    const auto end = std::find(data.begin(), data.end(), static_cast<unsigned char>(0));
    return std::string(data.begin(), end);
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

// The registry compares key paths and value names without regard to letter case.
void MemoryRegistry::SetValue(RegRoot root, std::string_view keyName, std::string_view valueName,
                              RegValue value) {
    keys_[{root, UpperAscii(keyName)}][UpperAscii(valueName)] = std::move(value);
}

void MemoryRegistry::AddKey(RegRoot root, std::string_view keyName) {
    keys_[{root, UpperAscii(keyName)}];
}

std::optional<RegHandle> MemoryRegistry::OpenKey(RegRoot root, std::string_view keyName) {
    KeyId id{root, UpperAscii(keyName)};
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
    const auto value = values.find(UpperAscii(valueName));
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
