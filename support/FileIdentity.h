#pragma once

#include <compare>
#include <cstdint>
#include <string>

namespace zep {

// Which file a path reaches. Texts say nothing about that: a link, "..", a folder reached
// through a link or a second hard link all give one file another name, and a save or a report
// written under that name would land on the file all the same.
//
// device and inode are those of what the path reaches, links followed. A path that does not
// exist yet is a place where a file may still be created: its identity is that of the deepest
// folder on the way that exists, with the rest of the path below it (normalised) in below.
// Only when not even the working folder can be looked at does the text decide: device and
// inode are then 0 and below is the path made absolute.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::string below;

    friend auto operator<=>(const FileIdentity&, const FileIdentity&) = default;
};

FileIdentity IdentityOf(const std::string& path);

}  // namespace zep
