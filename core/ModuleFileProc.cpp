#include "core/ModuleFileProc.h"

#include <sys/stat.h>

#include <algorithm>
#include <exception>
#include <map>
#include <memory>
#include <span>
#include <unordered_map>
#include <utility>

#include "core/RowMarker.h"
#include "core/ZepReader.h"
#include "core/ZepWriter.h"
#include "support/BatchCommit.h"
#include "support/FSUPLIBmain.h"
#include "support/FileIdentity.h"
#include "support/ModuleErrProc.h"
#include "support/ParallelFor.h"
#include "support/SafeFileWriter.h"
#include "support/StringTable.h"

namespace zep {
namespace {

constexpr std::int32_t kWrongFileFormat = 2000;
constexpr std::int32_t kAlreadyInList = 2001;
constexpr std::int32_t kFileUnwritable = 2002;
constexpr std::int32_t kFileName = 2003;
constexpr std::int32_t kMaxNumber = 2004;
// Told after a save that gave a file with hard links a new file under this name only.
constexpr std::int32_t kOtherNamesKeepOldContent = 2011;
constexpr std::int32_t kChangedOnDisk = 2012;
constexpr std::int32_t kErrOutOfMemory = 7;

std::string TextNaming(std::int32_t id, const std::string& path) {
    return std::string(ResString(id)) + "\r\n" + std::string(ResString(kFileName)) + path;
}

void ShowText(Workspace& ws, std::int32_t id, MessageIcon icon, std::string_view detail = {}) {
    ws.messages.ShowMessage(ResString(id), icon, detail);
}

std::string RefusalDetail(const Workspace& ws, const std::string& path, const ReadError& error) {
    const std::string reason = DescribeReadError(error);
    return ws.messages.NamesFileItself() ? reason : path + ": " + reason;
}

// A second name would have Compare count its labels twice. A save forgets identities, as the
// file under a name may now be another.
bool AlreadyInList(Workspace& ws, const std::string& path, const FileIdentity& identity) {
    if (ws.ZEPFiles.Item().Find(path) != nullptr) {
        return true;
    }
    for (const auto& item : ws.ZEPFiles.Item()) {
        if (item->Identity() == FileIdentity{}) {
            item->SetIdentity(IdentityOf(item->Path()));
        }
        if (item->Identity() == identity) {
            return true;
        }
    }
    return false;
}

struct PreparedFile {
    ReadResult result;
    bool outOfMemory = false;
    FileIdentity identity;                       // which file the path reached when it was read
    std::optional<SafeFileReader::Stamp> stamp;  // the state it was read in
};

PreparedFile PrepareFileAdd(const std::string& path, std::string_view tolerance) {
    PreparedFile prepared;
    std::optional<FileIdentity> opened;
    try {
        prepared.result = LoadZEPFile(path, tolerance, &opened, &prepared.stamp);
    } catch (const std::exception&) {
        prepared.outOfMemory = true;
    }
    // A path that could not be opened may still name a place, which the list's check needs.
    prepared.identity = opened.has_value() ? *std::move(opened) : IdentityOf(path);
    return prepared;
}

// The file is read completely before anything of the list is touched.
bool ReadForAdd(Workspace& ws, const std::string& path, const PreparedFile& prepared) {
    const ReadResult& result = prepared.result;
    if (prepared.outOfMemory) {  // memory for a file that is far too large
        ErrProc(ws.messages, "InitFileAdd", kErrOutOfMemory);
        return false;
    }
    if (!result.ok()) {
        ShowText(ws, kWrongFileFormat, MessageIcon::Critical,
                 RefusalDetail(ws, path, result.error));
        return false;
    }
    return true;
}

// The list row is the one step that can still be refused; it comes before the store changes.
bool AppendListRow(Workspace& ws, const std::string& path, const std::string& title) {
    if (ws.view.AppendRow(path, "* " + title) != 0) {  // a key the list holds already
        ShowText(ws, kAlreadyInList, MessageIcon::Information);
        return false;
    }
    return true;
}

void CommitFile(Workspace& ws, const std::string& path, const std::string& title,
                ZepFileContents& contents, FileIdentity identity,
                std::optional<SafeFileReader::Stamp> stamp) {
    const std::int32_t index = ws.store.AddFileData();
    ws.store[index] = std::move(contents.data);

    auto item = std::make_unique<clsZEPFileItem>(ws.store);
    item->SetKey(path);
    item->SetTitle(title);
    item->SetPath(path);
    item->SetFormats(std::move(contents.Formats));
    item->SetFileDataIndex(index);
    item->AdoptCounts(contents.VarCount, contents.StrCount, contents.MidCount);
    item->SetIdentity(std::move(identity));
    item->SetOnDisk(stamp);
    ws.ZEPFiles.Item().Add(std::move(item));
    ws.history.Forget();

    if (contents.StrCount > ws.store.MaxNumber()) {
        ws.store.SetMaxNumber(contents.StrCount);
        ShowMaxNumber(ws);
    }

    const std::int32_t row = ws.view.RowCount();
    ws.view.SetRowFullPath(row, path);
    ws.view.SetRowTag(row, index);
    ws.view.SelectRow(row);
}

bool ReportUnwritable(Workspace& ws, const std::string& target, std::string_view reason) {
    ws.messages.ShowMessage(TextNaming(kFileUnwritable, target), MessageIcon::Critical, reason);
    return false;
}

void WarnOtherNames(Workspace& ws, const std::string& target, std::uint64_t others) {
    ws.messages.ShowMessage(TextNaming(kOtherNamesKeepOldContent, target), MessageIcon::Information,
                            std::to_string(others) + " other hard link(s) to the old file");
}

using FileStamp = SafeFileReader::Stamp;

// Only a regular file holds work to lose; the writer refuses anything else with its reason.
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

class SaveCheck {
public:
    explicit SaveCheck(Workspace& ws) : ws_(ws) {}

    // Asks before replacing a listed file changed on disk, matching other spellings by identity.
    bool MayReplace(const std::string& target) {
        const std::optional<FileStamp> now = StampNow(target);
        clsZEPFileItem* item = ws_.ZEPFiles.Item().Find(target);
        if (item != nullptr && item->Path() != target) {
            item = nullptr;
        }
        if (item == nullptr && now.has_value()) {
            item = ListedReaching({now->device, now->inode});
        }
        replacing_[target] = item;
        const bool changed = item != nullptr && now.has_value() && item->OnDisk().has_value() &&
                             *item->OnDisk() != *now;
        return !changed || ws_.messages.AskYesNo(TextNaming(kChangedOnDisk, target));
    }

    // Only a listed file that now is the new file took the content; other names keep the old.
    void Saved(const std::string& target, const std::string& key) {
        clsZEPFileItem* item = replacing_[target];
        if (item == nullptr) {  // a file no one listed
            return;
        }
        const std::optional<FileStamp> now = StampNow(target);
        if (item->Path() != target && StampNow(item->Path()) != now) {
            return;
        }
        item->SetOnDisk(now);
        for (std::int32_t row = 1; item->Key() != key && row <= ws_.view.RowCount(); ++row) {
            if (ws_.view.RowKey(row) == item->Key()) {
                MarkRow(ws_.view, row);
            }
        }
    }

private:
    using Place = std::pair<std::uint64_t, std::uint64_t>;  // device, inode

    clsZEPFileItem* ListedReaching(const Place& place) {
        if (!listed_.has_value()) {  // which file every listed path reaches now, looked up once
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

    Workspace& ws_;
    std::optional<std::map<Place, clsZEPFileItem*>> listed_;
    std::unordered_map<std::string, clsZEPFileItem*> replacing_;  // by target
};

struct PreparedSave {
    std::unique_ptr<SafeFileWriter> writer;
    std::string failure;  // set when the file never reached the commit
};

PreparedSave WriteOne(Workspace& ws, const SaveRequest& request, SaveFolders& folders) {
    PreparedSave save;
    const clsZEPFileItem* item = ws.ZEPFiles.Item().Find(request.key);
    const FileData* data = ws.store.Record(request.index);
    if (item == nullptr || data == nullptr) {
        save.failure = "the file is not in the list";
        return save;
    }
    try {
        save.writer = std::make_unique<SafeFileWriter>(request.target, &folders);
        SafeFileWriter& writer = *save.writer;
        if (!writer.Open() || !WriteZep(writer, *item, *data, ws.options, ws.store.MaxNumber()) ||
            !writer.Finish()) {
            save.failure = writer.Error().empty() ? "cannot write the file" : writer.Error();
        }
    } catch (const std::exception&) {  // memory for a file that is far too large
        save.failure = "not enough memory";
    }
    if (!save.failure.empty()) {
        save.writer.reset();
    }
    return save;
}

bool ReportSave(Workspace& ws, const std::string& target, const PreparedSave& save) {
    if (save.writer == nullptr || !save.writer->Committed()) {
        return ReportUnwritable(ws, target,
                                save.writer == nullptr ? save.failure : save.writer->Error());
    }
    if (save.writer->OtherNames() > 0) {
        WarnOtherNames(ws, target, save.writer->OtherNames());
    }
    return true;
}

void SaveGroup(Workspace& ws, const std::vector<SaveRequest>& requests,
               std::span<const std::size_t> group, std::vector<bool>& saved) {
    SaveFolders folders;
    std::vector<PreparedSave> saves(group.size());
    std::vector<SafeFileWriter*> written;
    ReserveDescriptors(2 * group.size());
    ParallelFor(group.size(),
                [&](std::size_t k) { saves[k] = WriteOne(ws, requests[group[k]], folders); });
    for (const PreparedSave& save : saves) {
        if (save.writer != nullptr) {
            written.push_back(save.writer.get());
        }
    }
    CommitTogether(written);
    for (std::size_t k = 0; k < group.size(); ++k) {
        saved[group[k]] = ReportSave(ws, requests[group[k]].target, saves[k]);
    }
}

void CloseIndexGap(Workspace& ws, std::int32_t index) {
    for (const auto& item : ws.ZEPFiles.Item()) {
        if (item->FileDataIndex() > index) {
            item->SetFileDataIndex(item->FileDataIndex() - 1);
        }
    }
    for (std::int32_t row = 1; row <= ws.view.RowCount(); ++row) {
        const std::int32_t tag = ws.view.RowTag(row);
        if (tag > index) {
            ws.view.SetRowTag(row, tag - 1);
        }
    }
}

}  // namespace

bool CheckFileFormat(const std::string& /*path*/) {
    return true;
}

namespace {

// A file already in the list has been read in vain: it is refused all the same.
bool AddPrepared(Workspace& ws, const std::string& path, PreparedFile& prepared) {
    if (!CheckFileFormat(path)) {
        ShowText(ws, kWrongFileFormat, MessageIcon::Critical);
        return false;
    }
    if (AlreadyInList(ws, path, prepared.identity)) {
        ShowText(ws, kAlreadyInList, MessageIcon::Information);
        return false;
    }
    if (!ReadForAdd(ws, path, prepared)) {
        return false;
    }
    const std::string title = GetFileNameInPathName(path);
    if (!AppendListRow(ws, path, title)) {
        return false;
    }
    CommitFile(ws, path, title, *prepared.result.file, std::move(prepared.identity),
               prepared.stamp);
    return true;
}

}  // namespace

bool InitFileAdd(Workspace& ws, const std::string& path) {
    PreparedFile prepared = PrepareFileAdd(path, ws.options.STR_OPT_TOLERANCE);
    return AddPrepared(ws, path, prepared);
}

// The files are read side by side; the list takes them, and shows their messages, in order.
std::vector<bool> AddFiles(Workspace& ws, const std::vector<std::string>& keys,
                           const std::function<void(std::size_t)>& beforeEach) {
    std::vector<PreparedFile> prepared(keys.size());
    ParallelFor(keys.size(), [&](std::size_t i) {
        prepared[i] = PrepareFileAdd(keys[i], ws.options.STR_OPT_TOLERANCE);
    });
    std::vector<bool> added;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (beforeEach) {
            beforeEach(i);
        }
        added.push_back(AddPrepared(ws, keys[i], prepared[i]));
    }
    return added;
}

bool WriteZEPFile(Workspace& ws, const std::string& target, const std::string& key,
                  std::int32_t index) {
    return WriteZEPFiles(ws, {SaveRequest{target, key, index}}).front();
}

// Every question comes first, so no answer waits on a half-done batch.
std::vector<bool> WriteZEPFiles(Workspace& ws, const std::vector<SaveRequest>& requests) {
    SaveCheck check(ws);
    std::vector<std::size_t> going;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        if (check.MayReplace(requests[i].target)) {
            going.push_back(i);
        }
    }
    std::vector<bool> saved(requests.size(), false);
    const std::size_t atOnce = WritersAtOnce();
    for (std::size_t first = 0; first < going.size(); first += atOnce) {
        SaveGroup(ws, requests,
                  std::span(going).subspan(first, std::min(atOnce, going.size() - first)), saved);
    }
    for (const std::size_t i : going) {
        if (saved[i]) {
            check.Saved(requests[i].target, requests[i].key);
            ws.history.Forget();
        }
    }
    for (const auto& item : ws.ZEPFiles.Item()) {
        item->SetIdentity({});
    }
    return saved;
}

void RemoveFile(Workspace& ws, const std::string& key, std::int32_t position, std::int32_t index) {
    // The three values come from one list row; a mismatch would tear the list apart.
    const clsZEPFileItem* item = ws.ZEPFiles.Item().Find(key);
    if (item == nullptr || item->FileDataIndex() != index || ws.store.Record(index) == nullptr ||
        position < 1 || position > ws.view.RowCount() || ws.view.RowKey(position) != key) {
        return;
    }
    const bool heldTheMaximum = ws.store[index].VarCount() == ws.store.MaxNumber();
    ws.store.RemoveFileData(index);
    ws.ZEPFiles.Item().Remove(key);
    ws.view.RemoveRow(position);
    CloseIndexGap(ws, index);
    ws.history.Forget();
    if (heldTheMaximum) {
        ws.store.RecalcMaxNumber();
        ShowMaxNumber(ws);
    }
}

void ClearList(Workspace& ws) {
    ws.store.ResetFileData();
    for (std::int32_t row = ws.view.RowCount(); row >= 1; --row) {
        ws.view.RemoveRow(row);
    }
    ws.ZEPFiles.SetItem(Item{});
    ws.history.Forget();
    ShowMaxNumber(ws);
}

void ShowMaxNumber(Workspace& ws) {
    ws.view.SetStatusText(std::string(ResString(kMaxNumber)) +
                          std::to_string(ws.store.MaxNumber()));
}

}  // namespace zep
