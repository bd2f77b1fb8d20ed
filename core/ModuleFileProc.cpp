#include "core/ModuleFileProc.h"

#include <exception>
#include <memory>
#include <utility>

#include "core/ZepReader.h"
#include "core/ZepWriter.h"
#include "support/FSUPLIBmain.h"
#include "support/ModuleErrProc.h"
#include "support/ParallelFor.h"
#include "support/SafeFile.h"
#include "support/StringTable.h"

namespace zep {
namespace {

constexpr std::int32_t kWrongFileFormat = 2000;
constexpr std::int32_t kAlreadyInList = 2001;
constexpr std::int32_t kFileUnwritable = 2002;
constexpr std::int32_t kFileName = 2003;
constexpr std::int32_t kMaxNumber = 2004;
// The run-time error number for a failed allocation.
constexpr std::int32_t kErrOutOfMemory = 7;

void ShowText(Workspace& ws, std::int32_t id, MessageIcon icon, std::string_view detail = {}) {
    ws.messages.ShowMessage(ResString(id), icon, detail);
}

// The file is read completely before anything of the list is touched.
bool ReadForAdd(Workspace& ws, const PreparedFile& prepared) {
    const ReadResult& result = prepared.result;
    if (prepared.outOfMemory) {  // memory for a file that is far too large
        ErrProc(ws.messages, "InitFileAdd", kErrOutOfMemory);
        return false;
    }
    if (!result.ok()) {
        ShowText(ws, kWrongFileFormat, MessageIcon::Critical, DescribeReadError(result.error));
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
                ZepFileContents& contents) {
    const std::int32_t index = ws.store.AddFileData();
    ws.store[index] = std::move(contents.data);

    auto item = std::make_unique<clsZEPFileItem>(ws.store);
    item->SetKey(path);
    item->SetTitle(title);
    item->SetPath(path);
    item->SetFormats(std::move(contents.Formats));
    item->SetFileDataIndex(index);
    item->AdoptCounts(contents.VarCount, contents.StrCount, contents.MidCount);
    ws.ZEPFiles.Item().Add(std::move(item));

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
    try {
        prepared.result = LoadZEPFile(path, tolerance);
    } catch (const std::exception&) {
        prepared.outOfMemory = true;
    }
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
    if (ws.ZEPFiles.Item().Find(path) != nullptr) {
        ShowText(ws, kAlreadyInList, MessageIcon::Information);
        return false;
    }
    if (!prepared.read) {
        prepared = PrepareFileAdd(path, ws.options.STR_OPT_TOLERANCE);
    }
    if (!ReadForAdd(ws, prepared)) {
        return false;
    }
    const std::string title = GetFileNameInPathName(path);
    if (!AppendListRow(ws, path, title)) {
        return false;
    }
    CommitFile(ws, path, title, *prepared.result.file);
    return true;
}

bool WriteZEPFile(Workspace& ws, const std::string& target, const std::string& key,
                  std::int32_t index) {
    const clsZEPFileItem* item = ws.ZEPFiles.Item().Find(key);
    const FileData* data = ws.store.Record(index);
    if (item == nullptr || data == nullptr) {
        return ReportUnwritable(ws, target, "the file is not in the list");
    }
    SafeFileWriter writer(target);
    if (!writer.Open() || !WriteZep(writer, *item, *data, ws.options, ws.store.MaxNumber()) ||
        !writer.Commit()) {
        return ReportUnwritable(ws, target, writer.Error());
    }
    return true;
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
    ws.ZEPFiles.SetItem(std::make_unique<Item>());
    ShowMaxNumber(ws);
}

void ShowMaxNumber(Workspace& ws) {
    ws.view.SetStatusText(std::string(ResString(kMaxNumber)) +
                          std::to_string(ws.store.MaxNumber()));
}

}  // namespace zep
