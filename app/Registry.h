#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zep {

// A small stand-in for the Windows registry, through which the about box finds the system
// information tool. Key paths and value names compare without regard to ASCII letter case.
using RegRoot = std::uint32_t;
constexpr RegRoot kHKeyLocalMachine = 0x80000002;

enum class RegType : std::uint32_t { None = 0, String = 1, Binary = 3, Dword = 4 };

struct RegValue {
    RegType type = RegType::None;
    std::vector<unsigned char> data;  // a string's data ends with its zero byte
};

using RegHandle = std::uint32_t;

RegValue RegString(std::string_view text);

class MemoryRegistry {
public:
    void SetValue(RegRoot root, std::string_view keyName, std::string_view valueName,
                  RegValue value);
    // A key that exists but holds no values.
    void AddKey(RegRoot root, std::string_view keyName);

    std::optional<RegHandle> OpenKey(RegRoot root, std::string_view keyName);
    std::optional<RegValue> QueryValue(RegHandle key, std::string_view valueName) const;
    void CloseKey(RegHandle key) { open_.erase(key); }
    std::size_t OpenKeyCount() const { return open_.size(); }

private:
    using KeyId = std::pair<RegRoot, std::string>;
    std::map<KeyId, std::map<std::string, RegValue>> keys_;
    std::map<RegHandle, KeyId> open_;
    RegHandle nextHandle_ = 1;
};

inline constexpr std::string_view kMsInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view kMsInfoValue = "PATH";
inline constexpr std::string_view kSharedToolsKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view kSharedToolsValue = "MSINFO";

// A Linux desktop has no registry: this one answers only the first key the about box asks, with
// the first system information program found in a folder of $PATH.
std::unique_ptr<MemoryRegistry> PlatformRegistry();

// Reads value SubKeyRef of key KeyName under KeyRoot. A string value becomes its text up to the
// first zero byte; a value of any other type leaves KeyVal as passed in. A missing key or value,
// or data over 1024 bytes, gives False and an empty KeyVal. The key is always closed again.
bool GetKeyValue(MemoryRegistry& registry, RegRoot KeyRoot, std::string_view KeyName,
                 std::string_view SubKeyRef, std::string& KeyVal);

// The first key's path as it stands, else the program file named by the second key when it
// exists; nothing when neither leads to a tool.
std::optional<std::string> FindSysInfoTool(MemoryRegistry& registry);

}  // namespace zep
