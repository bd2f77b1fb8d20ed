#include "support/FSUPLIBmain.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

namespace zep {
namespace {

// Hidden files qualify only when the mask asks; directories and other entries never do.
bool Qualifies(const std::string& path, std::string_view name, std::int16_t attributes) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    return !name.starts_with('.') || (attributes & kAttrHidden) != 0;
}

bool AnyMatchIn(const std::string& folder, const std::string& pattern, std::int16_t attributes) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return false;
    }
    bool found = false;
    for (const dirent* entry = nullptr; !found && (entry = ::readdir(dir)) != nullptr;) {
        const std::string name = entry->d_name;
        found = ::fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) == 0 &&
                Qualifies(folder + "/" + name, name, attributes);
    }
    ::closedir(dir);
    return found;
}

}  // namespace

std::string GetFileNameInPathName(const std::string& PathName) {
    for (std::size_t pos = PathName.size(); pos-- > 1;) {
        if (PathName[pos - 1] == '/') {
            return PathName.substr(pos);
        }
    }
    return {};
}

bool FileExist(const std::string& PathName, std::int16_t Attributes) {
    if (PathName.empty()) {
        return false;
    }
    auto slash = PathName.rfind('/');
    std::string name = slash == std::string::npos ? PathName : PathName.substr(slash + 1);
    if (name.find_first_of("*?[") == std::string::npos) {
        return Qualifies(PathName, name, Attributes);
    }
    std::string folder = slash == std::string::npos ? "." : PathName.substr(0, slash);
    return AnyMatchIn(folder.empty() ? "/" : folder, name, Attributes);
}

bool DelFile(const std::string& PathName) {
    if (!FileExist(PathName, kAttrHidden | kAttrSystem)) {
        return true;
    }
    // Write permission on the file itself does not matter for removing it.
    return ::unlink(PathName.c_str()) == 0;
}

}  // namespace zep
