#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zep {

// A stand-in for the Windows registry; key paths and value names ignore ASCII letter case.
using RegRoot = std::uint32_t;
constexpr RegRoot kHKeyLocalMachine = 0x80000002;

enum class RegType : std::uint32_t { None = 0, String = 1, Binary = 3, Dword = 4 };

struct RegValue {
    RegType type = RegType::None;
    std::vector<unsigned char> data;  // a string's data ends with its zero byte
};

RegValue RegString(std::string_view text);

class MemoryRegistry {
public:
    using Values = std::map<std::string, RegValue>;

    void SetValue(RegRoot root, std::string_view keyName, std::string_view valueName,
                  RegValue value);
    void AddKey(RegRoot root, std::string_view keyName);
    // The values of the key, open until CloseKey; nullptr when there is no such key.
    const Values* OpenKey(RegRoot root, std::string_view keyName);
    void CloseKey() { --openKeys_; }
    std::size_t OpenKeyCount() const { return openKeys_; }

private:
    std::map<std::pair<RegRoot, std::string>, Values> keys_;
    std::size_t openKeys_ = 0;
};

inline constexpr std::string_view kMsInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view kMsInfoValue = "PATH";
inline constexpr std::string_view kSharedToolsKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view kSharedToolsValue = "MSINFO";

// Answers only the first key the about box asks, with the first system tool found on $PATH.
std::unique_ptr<MemoryRegistry> PlatformRegistry();

// A string value gives its text up to the first zero byte, another type leaves KeyVal as it was;
// a missing key or value, or data over 1024 bytes, gives false and an empty KeyVal.
bool GetKeyValue(MemoryRegistry& registry, RegRoot KeyRoot, std::string_view KeyName,
                 std::string_view SubKeyRef, std::string& KeyVal);

// The first key's path as it stands, else the program the second key names if it exists.
std::optional<std::string> FindSysInfoTool(MemoryRegistry& registry);

}  // namespace zep
