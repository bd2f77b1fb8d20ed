#include "core/ModuleFileProc.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <span>
#include <utility>

#include "core/SaveCheck.h"
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
// The run-time error number for a failed allocation.
constexpr std::int32_t kErrOutOfMemory = 7;

void ShowText(Workspace& ws, std::int32_t id, MessageIcon icon, std::string_view detail = {}) {
    ws.messages.ShowMessage(ResString(id), icon, detail);
}

// Why a file was refused, with its line, and which file it was unless the messages say so.
std::string RefusalDetail(const Workspace& ws, const std::string& path, const ReadError& error) {
    const std::string reason = DescribeReadError(error);
    return ws.messages.NamesFileItself() ? reason : path + ": " + reason;
}

// A file is in the list once, whatever name it is given: a link or a second path to a listed
// file would have Compare count its labels twice and two saves race for one file. Each listed
// file's identity is kept from when it was read, so adding many files costs one look-up each,
// not one for every file already listed; a save forgets it (the file under that name is a new
// one, and Save As may land on another listed file), and it is looked up again when needed.
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

void ForgetIdentities(Workspace& ws) {
    for (const auto& item : ws.ZEPFiles.Item()) {
        item->SetIdentity({});
    }
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
    const std::int32_t err = ws.view.AppendRow(path, "* " + title);
    if (err == FileListView::kErrKeyNotUnique) {
        ShowText(ws, kAlreadyInList, MessageIcon::Information);
        return false;
    }
    if (err != 0) {
        ErrProc(ws.messages, "InitFileAdd", err);
        return false;
    }
    return true;
}

// Hands the record to the store and ties a descriptor, the row and MaxNumber to it.
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
    std::string text(ResString(kFileUnwritable));
    text += "\r\n";
    text += ResString(kFileName);
    text += target;
    ws.messages.ShowMessage(text, MessageIcon::Critical, reason);
    return false;
}

void WarnOtherNames(Workspace& ws, const std::string& target, std::uint64_t others) {
    std::string text(ResString(kOtherNamesKeepOldContent));
    text += "\r\n";
    text += ResString(kFileName);
    text += target;
    ws.messages.ShowMessage(text, MessageIcon::Information,
                            std::to_string(others) + " other hard link(s) to the old file");
}

// One file of a batch on its way: written, committed with the others, and reported afterwards.
struct PreparedSave {
    const SaveRequest* request = nullptr;
    const clsZEPFileItem* item = nullptr;
    const FileData* data = nullptr;
    std::unique_ptr<SafeFileWriter> writer;
    std::string failure;  // set when the file never reached the commit
};

void WriteOne(const Workspace& ws, PreparedSave& save) {
    if (save.item == nullptr || save.data == nullptr) {
        save.failure = "the file is not in the list";
        return;
    }
    try {
        save.writer = std::make_unique<SafeFileWriter>(save.request->target);
        SafeFileWriter& writer = *save.writer;
        if (!writer.Open() ||
            !WriteZep(writer, *save.item, *save.data, ws.options, ws.store.MaxNumber()) ||
            !writer.Finish()) {
            save.failure = writer.Error().empty() ? "cannot write the file" : writer.Error();
        }
    } catch (const std::exception&) {  // memory for a file that is far too large
        save.failure = "not enough memory";
    }
    if (!save.failure.empty()) {
        save.writer.reset();
    }
}

// Writes every file of the group, then commits the written ones together.
std::vector<PreparedSave> PrepareSaves(Workspace& ws, std::span<const SaveRequest> group) {
    std::vector<PreparedSave> saves(group.size());
    for (std::size_t i = 0; i < group.size(); ++i) {
        saves[i].request = &group[i];
        saves[i].item = ws.ZEPFiles.Item().Find(group[i].key);
        saves[i].data = ws.store.Record(group[i].index);
    }
    ParallelFor(saves.size(), [&](std::size_t i) { WriteOne(ws, saves[i]); });
    std::vector<SafeFileWriter*> written;
    for (PreparedSave& save : saves) {
        if (save.writer != nullptr) {
            written.push_back(save.writer.get());
        }
    }
    CommitTogether(written);
    return saves;
}

bool ReportSave(Workspace& ws, const PreparedSave& save) {
    const std::string& target = save.request->target;
    if (save.writer == nullptr || !save.writer->Committed()) {
        return ReportUnwritable(ws, target,
                                save.writer == nullptr ? save.failure : save.writer->Error());
    }
    if (save.writer->OtherNames() > 0) {
        WarnOtherNames(ws, target, save.writer->OtherNames());
    }
    return true;
}

// Lowers every index that pointed past a removed record.
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

PreparedFile PrepareFileAdd(const std::string& path, std::string_view tolerance) {
    PreparedFile prepared;
    prepared.read = true;
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

std::vector<PreparedFile> PrepareFileAdds(const std::vector<std::string>& paths,
                                          std::string_view tolerance) {
    std::vector<PreparedFile> prepared(paths.size());
    ParallelFor(paths.size(),
                [&](std::size_t i) { prepared[i] = PrepareFileAdd(paths[i], tolerance); });
    return prepared;
}

bool InitFileAdd(Workspace& ws, const std::string& path) {
    return InitFileAdd(ws, path, PreparedFile{});
}

// A file already in the list is refused before it is read.
bool InitFileAdd(Workspace& ws, const std::string& path, PreparedFile prepared) {
    if (!CheckFileFormat(path)) {
        ShowText(ws, kWrongFileFormat, MessageIcon::Critical);
        return false;
    }
    if (AlreadyInList(ws, path, prepared.read ? prepared.identity : IdentityOf(path))) {
        ShowText(ws, kAlreadyInList, MessageIcon::Information);
        return false;
    }
    if (!prepared.read) {
        prepared = PrepareFileAdd(path, ws.options.STR_OPT_TOLERANCE);
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

bool WriteZEPFile(Workspace& ws, const std::string& target, const std::string& key,
                  std::int32_t index) {
    return WriteZEPFiles(ws, {SaveRequest{target, key, index}}).front();
}

namespace {

std::vector<bool> WriteChecked(Workspace& ws, const std::vector<SaveRequest>& requests) {
    std::vector<bool> saved;
    saved.reserve(requests.size());
    const std::size_t atOnce = WritersAtOnce();
    ReserveDescriptors(2 * std::min(atOnce, requests.size()));
    for (std::size_t first = 0; first < requests.size(); first += atOnce) {
        const std::span<const SaveRequest> group(requests.data() + first,
                                                 std::min(atOnce, requests.size() - first));
        for (const PreparedSave& save : PrepareSaves(ws, group)) {
            saved.push_back(ReportSave(ws, save));
        }
    }
    return saved;
}

}  // namespace

// Every question comes before the first file is written, so that no answer waits on a half
// done batch.
std::vector<bool> WriteZEPFiles(Workspace& ws, const std::vector<SaveRequest>& requests) {
    SaveCheck check(ws);
    std::vector<SaveRequest> going;
    std::vector<std::size_t> from;
    for (std::size_t i = 0; i < requests.size(); ++i) {
        if (check.MayReplace(requests[i].target)) {
            going.push_back(requests[i]);
            from.push_back(i);
        }
    }
    const std::vector<bool> written = WriteChecked(ws, going);
    std::vector<bool> saved(requests.size(), false);
    for (std::size_t k = 0; k < going.size(); ++k) {
        if (written[k]) {
            saved[from[k]] = true;
            check.Saved(going[k].target, going[k].key);
            ws.history.Forget();
        }
    }
    ForgetIdentities(ws);
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
        ws.ZEPFiles.Item().Remove(ws.view.RowKey(row));
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
