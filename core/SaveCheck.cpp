#include "core/SaveCheck.h"

#include <sys/stat.h>

#include <algorithm>

#include "core/RowMarker.h"
#include "support/StringTable.h"

namespace zep {
namespace {

constexpr std::int32_t kFileName = 2003;
constexpr std::int32_t kChangedOnDisk = 2012;

bool AskToReplace(Workspace& ws, const std::string& target) {
    std::string text(ResString(kChangedOnDisk));
    text += "\r\n";
    text += ResString(kFileName);
    text += target;
    return ws.messages.AskYesNo(text);
}

}  // namespace

std::optional<FileStamp> StampNow(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return FileStamp{
        static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
        static_cast<std::uint64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtim.tv_sec),
        static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
}

bool SaveCheck::MayReplace(const std::string& target) {
    const std::optional<FileStamp> now = StampNow(target);
    if (!now.has_value()) {  // nothing there to lose
        replacing_[target] = ListedAs(target);
        return true;
    }
    std::vector<clsZEPFileItem*> listed = ListedAt(target, *now);
    const bool changed = std::any_of(listed.begin(), listed.end(), [&](const clsZEPFileItem* item) {
        return item->OnDisk().has_value() && *item->OnDisk() != *now;
    });
    replacing_[target] = std::move(listed);
    return !changed || AskToReplace(ws_, target);
}

// A listed file whose other name was saved to keeps its old content under its own name (the
// writer gives that name a new file); only the files that now are the new one took it.
void SaveCheck::Saved(const std::string& target, const std::string& key) {
    const auto listed = replacing_.find(target);
    if (listed == replacing_.end() || listed->second.empty()) {  // a file no one listed
        return;
    }
    const std::optional<FileStamp> now = StampNow(target);
    for (clsZEPFileItem* item : listed->second) {
        if (item->Path() != target && StampNow(item->Path()) != now) {
            continue;
        }
        item->SetOnDisk(now);
        if (item->Key() != key) {
            MarkRowOf(item->Key());
        }
    }
}

// The same spelling is the same file; any other is found by where the listed paths lead now.
std::vector<clsZEPFileItem*> SaveCheck::ListedAs(const std::string& target) const {
    clsZEPFileItem* item = ws_.ZEPFiles.Item().Find(target);
    if (item != nullptr && item->Path() == target) {
        return {item};
    }
    return {};
}

std::vector<clsZEPFileItem*> SaveCheck::ListedAt(const std::string& target, const FileStamp& now) {
    if (std::vector<clsZEPFileItem*> same = ListedAs(target); !same.empty()) {
        return same;
    }
    if (clsZEPFileItem* item = ListedReaching({now.device, now.inode})) {
        return {item};
    }
    return {};
}

clsZEPFileItem* SaveCheck::ListedReaching(const Place& place) {
    if (!listed_.has_value()) {
        listed_.emplace();
        for (const auto& item : ws_.ZEPFiles.Item()) {
            if (const std::optional<FileStamp> stamp = StampNow(item->Path())) {
                listed_->emplace(Place{stamp->device, stamp->inode}, item.get());
            }
        }
    }
    const auto found = listed_->find(place);
    return found == listed_->end() ? nullptr : found->second;
}

void SaveCheck::MarkRowOf(const std::string& key) {
    for (std::int32_t row = 1; row <= ws_.view.RowCount(); ++row) {
        if (ws_.view.RowKey(row) == key) {
            MarkRow(ws_.view, row);
            return;
        }
    }
}

}  // namespace zep
