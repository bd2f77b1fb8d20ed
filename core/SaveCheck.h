#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/Workspace.h"
#include "support/SafeFileReader.h"

namespace zep {

using FileStamp = SafeFileReader::Stamp;

// The state of the regular file path reaches now, links followed; nullopt when there is none.
// Anything else there is no one's work to lose, and the writer refuses it with its reason.
std::optional<FileStamp> StampNow(const std::string& path);

// Guards the listed files a batch of saves replaces. Another program may have changed a listed
// file since this program read or last saved it; its work is not overwritten without the user's
// Yes. A save landing on a listed file other than the one saved leaves that file's memory
// behind its file, which its row then shows.
class SaveCheck {
public:
    explicit SaveCheck(Workspace& ws) : ws_(ws) {}

    // Whether target may be replaced: asks, naming it, when it is a listed file changed on disk.
    bool MayReplace(const std::string& target);
    // After the file under key was saved to target: the listed files there remember the new
    // file, and any other than key's own is marked changed.
    void Saved(const std::string& target, const std::string& key);

private:
    using Place = std::pair<std::uint64_t, std::uint64_t>;  // device, inode
    std::vector<clsZEPFileItem*> ListedAs(const std::string& target) const;
    std::vector<clsZEPFileItem*> ListedAt(const std::string& target, const FileStamp& now);
    clsZEPFileItem* ListedReaching(const Place& place);
    void MarkRowOf(const std::string& key);

    Workspace& ws_;
    // Which file every listed path reaches now, looked up once a target needs it.
    std::optional<std::map<Place, clsZEPFileItem*>> listed_;
    std::unordered_map<std::string, std::vector<clsZEPFileItem*>> replacing_;  // by target
};

}  // namespace zep
