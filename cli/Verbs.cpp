#include "cli/Verbs.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/StringTable.h"

namespace zep::cli {
namespace {

// Where every file goes: over itself, or into the out-dir under its file name. Two different
// files with one name would overwrite each other there, so that is refused up front. A path
// named twice is left to the list, which refuses it as it would in the window.
std::optional<std::vector<std::string>> PlanTargets(const Request& request, std::ostream& err) {
    std::vector<std::string> targets;
    std::map<std::string, std::string> keyOfName;
    for (const std::string& file : request.files) {
        const std::string key = FullPath(file);
        if (request.settings.outDir.empty()) {
            targets.push_back(key);
            continue;
        }
        const std::string name = std::filesystem::path(file).filename().string();
        const auto [it, fresh] = keyOfName.emplace(name, key);
        if (!fresh && it->second != key) {
            err << "zepconv: " << it->second << " and " << key << " would both be written to "
                << (std::filesystem::path(request.settings.outDir) / name).string() << '\n';
            return std::nullopt;
        }
        targets.push_back((std::filesystem::path(request.settings.outDir) / name).string());
    }
    return targets;
}

bool MakeOutDir(const std::string& outDir, std::ostream& err) {
    if (outDir.empty()) {
        return true;
    }
    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    if (error || !std::filesystem::is_directory(outDir, error)) {
        err << "zepconv: cannot create the folder " << outDir << ": "
            << (error ? error.message() : "a file of that name is in the way") << '\n';
        return false;
    }
    return true;
}

void PrintInfo(Workspace& ws, const std::string& given, const clsZEPFileItem& item,
               std::ostream& out) {
    const FileData& data = ws.store[item.FileDataIndex()];
    out << given << '\n'
        << "  Formats   " << item.Formats() << '\n'
        << "  VarCount  " << item.VarCount() << "   StrCount  " << item.StrCount()
        << "   MidCount  " << item.MidCount() << '\n'
        << "  Labels\n";
    for (std::int32_t i = 1; i <= data.LabelCount(); ++i) {
        out << "  "
            << (i < 10     ? "   "
                : i < 100  ? "  "
                : i < 1000 ? " "
                           : "")
            << i << "  \"" << data.Labels(i) << "\"\n";
    }
}

}  // namespace

int RunCheck(const Request& request, std::ostream& /*out*/, std::ostream& err) {
    BatchList list(request.settings, err);
    return list.AddAll(request.files) ? kExitOk : kExitFailed;
}

int RunInfo(const Request& request, std::ostream& out, std::ostream& err) {
    BatchList list(request.settings, err);
    const bool all = list.AddAll(request.files);
    Workspace& ws = list.ws();
    for (std::int32_t row = 1; row <= ws.view.RowCount(); ++row) {
        const clsZEPFileItem* item = ws.ZEPFiles.Item().Find(ws.view.RowKey(row));
        PrintInfo(ws, list.Given()[static_cast<std::size_t>(row - 1)], *item, out);
    }
    out << ResString(2004) << ws.store.MaxNumber() << '\n';
    return all ? kExitOk : kExitFailed;
}

int RunSave(const Request& request, std::ostream& out, std::ostream& err) {
    return LoadChangeAndSave(request, nullptr, out, err);
}

int LoadChangeAndSave(const Request& request, const Transform& change, std::ostream& out,
                      std::ostream& err) {
    const std::optional<std::vector<std::string>> targets = PlanTargets(request, err);
    if (!targets.has_value()) {
        return kExitUsage;
    }
    BatchList list(request.settings, err);
    if (!list.AddAll(request.files)) {
        err << "zepconv: nothing was written\n";
        return kExitFailed;
    }
    if (change && !change(list.ws())) {
        err << "zepconv: nothing was written\n";
        return kExitFailed;
    }
    if (!MakeOutDir(request.settings.outDir, err)) {
        return kExitFailed;
    }
    return list.SaveAll(*targets, out) ? kExitOk : kExitFailed;
}

}  // namespace zep::cli
