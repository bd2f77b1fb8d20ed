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

// Programs first, then folders. An empty entry (the working folder) is skipped on purpose.
std::optional<std::string> FindProgramOnPath(std::string_view searchPath) {
    for (const char* program : {"hardinfo2", "hardinfo", "kinfocenter", "lshw-gtk",
                                "gnome-system-monitor", "mate-system-monitor"}) {
        for (std::size_t start = 0; start <= searchPath.size();) {
            const std::size_t colon = std::min(searchPath.find(':', start), searchPath.size());
            const std::string_view folder = searchPath.substr(start, colon - start);
            start = colon + 1;
            const std::filesystem::path candidate = std::filesystem::path(folder) / program;
            std::error_code error;
            if (!folder.empty() && std::filesystem::is_regular_file(candidate, error) &&
                ::access(candidate.c_str(), X_OK) == 0) {
                return candidate.string();
            }
        }
    }
    return std::nullopt;
}

}  // namespace

RegValue RegString(std::string_view text) {
    RegValue value{RegType::String, std::vector<unsigned char>(text.begin(), text.end())};
    value.data.push_back(0);
    return value;
}

void MemoryRegistry::SetValue(RegRoot root, std::string_view keyName, std::string_view valueName,
                              RegValue value) {
    keys_[{root, UpperAscii(keyName)}][UpperAscii(valueName)] = std::move(value);
}

void MemoryRegistry::AddKey(RegRoot root, std::string_view keyName) {
    keys_[{root, UpperAscii(keyName)}];
}

const MemoryRegistry::Values* MemoryRegistry::OpenKey(RegRoot root, std::string_view keyName) {
    const auto key = keys_.find({root, UpperAscii(keyName)});
    if (key == keys_.end()) {
        return nullptr;
    }
    ++openKeys_;
    return &key->second;
}

std::unique_ptr<MemoryRegistry> PlatformRegistry() {
    auto registry = std::make_unique<MemoryRegistry>();
    const char* searchPath = std::getenv("PATH");
    if (auto tool = FindProgramOnPath(searchPath != nullptr ? searchPath : "")) {
        registry->SetValue(kHKeyLocalMachine, kMsInfoKey, kMsInfoValue, RegString(*tool));
    }
    return registry;
}

bool GetKeyValue(MemoryRegistry& registry, RegRoot KeyRoot, std::string_view KeyName,
                 std::string_view SubKeyRef, std::string& KeyVal) {
    const MemoryRegistry::Values* values = registry.OpenKey(KeyRoot, KeyName);
    const RegValue* value = nullptr;
    if (values != nullptr) {
        const auto found = values->find(UpperAscii(SubKeyRef));
        value = found != values->end() ? &found->second : nullptr;
        registry.CloseKey();
    }
    if (value == nullptr || value->data.size() > kValueBufferSize) {
        KeyVal.clear();
        return false;
    }
    const std::vector<unsigned char>& data = value->data;
    if (value->type == RegType::String) {
        KeyVal.assign(data.begin(), std::find(data.begin(), data.end(), 0));
    }
    return true;
}

std::optional<std::string> FindSysInfoTool(MemoryRegistry& registry) {
    std::string path;
    if (GetKeyValue(registry, kHKeyLocalMachine, kMsInfoKey, kMsInfoValue, path)) {
        return path;
    }
    if (!GetKeyValue(registry, kHKeyLocalMachine, kSharedToolsKey, kSharedToolsValue, path)) {
        return std::nullopt;
    }
    // A folder that already ends in a separator gives a doubled one, which reads as one.
    path += "/MSINFO32.EXE";
    return FileExist(path, kAttrNormal) ? std::optional(path) : std::nullopt;
}

}  // namespace zep
