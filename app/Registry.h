#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zep {

// A small stand-in for the Windows registry: keys under a root, each holding typed values. The
// about box reads two keys through it to find the system information tool.
using RegRoot = std::uint32_t;
constexpr RegRoot kHKeyLocalMachine = 0x80000002;

// Value types with their registry numbers.
enum class RegType : std::uint32_t { None = 0, String = 1, Binary = 3, Dword = 4 };

struct RegValue {
    RegType type = RegType::None;
    std::vector<unsigned char> data;  // a string's data ends with its zero byte
};

using RegHandle = std::uint32_t;

class Registry {
public:
    virtual ~Registry() = default;
    // An open handle on the key, or nothing when there is no such key.
    virtual std::optional<RegHandle> OpenKey(RegRoot root, std::string_view keyName) = 0;
    // The named value of an open key, or nothing when it has no such value.
    virtual std::optional<RegValue> QueryValue(RegHandle key, std::string_view valueName) = 0;
    virtual void CloseKey(RegHandle key) = 0;
};

RegValue RegString(std::string_view text);

// Keys and values set by hand, for tests and for platforms that answer a fixed set of keys.
// Key paths and value names compare without regard to ASCII letter case, as the registry's do.
class MemoryRegistry : public Registry {
public:
    void SetValue(RegRoot root, std::string_view keyName, std::string_view valueName,
                  RegValue value);
    // A key that exists but holds no values.
    void AddKey(RegRoot root, std::string_view keyName);

    std::optional<RegHandle> OpenKey(RegRoot root, std::string_view keyName) override;
    std::optional<RegValue> QueryValue(RegHandle key, std::string_view valueName) override;
    void CloseKey(RegHandle key) override;

    // Handles opened and not yet closed.
    std::size_t OpenKeyCount() const { return open_.size(); }

private:
    using KeyId = std::pair<RegRoot, std::string>;
    std::map<KeyId, std::map<std::string, RegValue>> keys_;
    std::map<RegHandle, KeyId> open_;
    RegHandle nextHandle_ = 1;
};

// Where the about box looks for the system information tool.
inline constexpr std::string_view kMsInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr std::string_view kMsInfoValue = "PATH";
inline constexpr std::string_view kSharedToolsKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
inline constexpr std::string_view kSharedToolsValue = "MSINFO";

// System information programs a Linux desktop may have, most fitting first.
std::vector<std::string> SysInfoProgramNames();

// The first of programNames found as an executable file in one of the ':'-separated folders of
// searchPath (programs first, then folders), or nothing.
std::optional<std::string> FindProgramOnPath(std::string_view searchPath,
                                             const std::vector<std::string>& programNames);

// The registry of this platform: a Linux desktop has none, so it answers only the key the
// about box asks first, with the system information program found on $PATH.
std::unique_ptr<Registry> PlatformRegistry();

// Reads value SubKeyRef of key KeyName under KeyRoot. A string value becomes its text up to the
// first zero byte, a 32-bit number "&h" and its hexadecimal digits; a value of any other type
// leaves KeyVal as passed in. A missing key or value, or data over 1024 bytes, gives False and
// an empty KeyVal. The key is always closed again.
bool GetKeyValue(Registry& registry, RegRoot KeyRoot, std::string_view KeyName,
                 std::string_view SubKeyRef, std::string& KeyVal);

// The system information tool to start: the first key's path as it stands, else the program
// file named by the second key when it exists; nothing when neither leads to a tool.
std::optional<std::string> FindSysInfoTool(Registry& registry);

}  // namespace zep
