#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace zep {

// Which file a path reaches; a link, ".." or a second hard link gives one file other names.
// For a path not there yet, device and inode are the deepest existing folder's, the normalised rest
// in below; when not even the working folder can be looked at, both are 0 and below is absolute.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::string below;

    friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

FileIdentity IdentityOf(const std::string& path);

// IdentityOf(folderPath + "/" + name), given folder = IdentityOf(folderPath): many names in one
// folder then cost one lookup each, and none while the folder is not there yet.
FileIdentity IdentityIn(const FileIdentity& folder, const std::string& folderPath,
                        const std::string& name);

}  // namespace zep
