#include "support/FileIdentity.h"

#include <sys/stat.h>

#include <filesystem>
#include <utility>

namespace zep {
namespace {

namespace fs = std::filesystem;

FileIdentity ByText(const std::string& path) {
    std::error_code error;
    const fs::path full = fs::absolute(path, error);
    return {0, 0, (error ? fs::path(path) : full).lexically_normal().string()};
}

std::string TakeLast(std::string& head) {
    while (head.size() > 1 && head.back() == '/') {
        head.pop_back();
    }
    const std::size_t slash = head.rfind('/');
    std::string last = head.substr(slash == std::string::npos ? 0 : slash + 1);
    head.erase(slash == std::string::npos ? 0 : (slash == 0 ? 1 : slash));
    return last;
}

std::string Normalised(const std::string& below) {
    std::string rest = fs::path(below).lexically_normal().generic_string();
    while (!rest.empty() && rest.back() == '/') {
        rest.pop_back();
    }
    return rest == "." ? std::string() : rest;
}

FileIdentity Found(const struct stat& info, std::string below) {
    return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
            std::move(below)};
}

}  // namespace

FileIdentity IdentityOf(const std::string& path) {
    std::string head = path;
    std::string below;
    for (;;) {
        struct stat info {};
        if (::stat(head.empty() ? "." : head.c_str(), &info) == 0) {
            std::string rest = Normalised(below);
            // A ".." above the part still to be created is left to the file system, links and all.
            if ((rest == ".." || rest.starts_with("../")) && S_ISDIR(info.st_mode)) {
                return IdentityOf((head.empty() ? "." : head) + "/" + rest);
            }
            return Found(info, std::move(rest));
        }
        if (head.empty() || head == "/") {
            return ByText(path);
        }
        const std::string last = TakeLast(head);
        below = below.empty() ? last : last + "/" + below;
    }
}

FileIdentity IdentityIn(const FileIdentity& folder, const std::string& folderPath,
                        const std::string& name) {
    const std::string path = folderPath + "/" + name;
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
        return IdentityOf(path);
    }
    if (!folder.below.empty()) {  // the folder is not there yet, so neither is the name
        return {folder.device, folder.inode, folder.below + "/" + name};
    }
    // Whatever keeps the name from being looked at, the whole path would stop at the folder.
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? Found(info, {})
                                            : FileIdentity{folder.device, folder.inode, name};
}

}  // namespace zep
