#include "cli/Verbs.h"

#include <filesystem>
#include <functional>
#include <iomanip>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "compare/Coverage.h"
#include "compare/LabelSort.h"
#include "compare/ModuleCompare.h"
#include "core/FileListCommands.h"
#include "support/FileIdentity.h"
#include "support/PrintableText.h"
#include "support/SafeFileWriter.h"
#include "support/StringTable.h"

namespace zep::cli {
namespace {

namespace fs = std::filesystem;

struct Plan {
    std::vector<std::string> read;                // the inputs in order, then the settings file
    std::vector<std::string> targets;             // per input
    std::map<FileIdentity, std::size_t> inputs;   // position in read
    std::map<FileIdentity, std::size_t> written;  // position in targets
};

std::string TargetOf(const Request& request, const std::string& file) {
    if (request.settings.outDir.empty()) {
        return KeyForPath(file);
    }
    return (fs::path(request.settings.outDir) / fs::path(file).filename()).string();
}

// No file is written twice or saved over another input, by identity so no link or ".." hides it.
bool SavesCollide(const Request& request, Plan& plan, std::ostream& err) {
    plan.read = request.files;
    const std::string& outDir = request.settings.outDir;
    const FileIdentity outDirIdentity = outDir.empty() ? FileIdentity{} : IdentityOf(outDir);
    for (std::size_t i = 0; i < request.files.size(); ++i) {
        plan.targets.push_back(TargetOf(request, request.files[i]));
        if (!plan.inputs.emplace(IdentityOf(request.files[i]), i).second) {
            continue;
        }
        const std::string& target = plan.targets[i];
        // An out folder is looked up once, and each target inside it.
        const FileIdentity written =
            outDir.empty() ? IdentityOf(target)
                           : IdentityIn(outDirIdentity, outDir,
                                        fs::path(request.files[i]).filename().string());
        const auto [other, fresh] = plan.written.emplace(written, i);
        if (!fresh) {
            err << "zepconv: " << PrintableText(KeyForPath(request.files[other->second])) << " and "
                << PrintableText(KeyForPath(request.files[i])) << " would both be written to "
                << PrintableText(plan.targets[i]) << '\n';
            return true;
        }
    }
    if (!request.settings.settingsFile.empty()) {
        plan.read.push_back(request.settings.settingsFile);
        plan.inputs.emplace(IdentityOf(plan.read.back()), plan.read.size() - 1);
    }
    for (const auto& [identity, i] : plan.written) {
        const auto input = plan.inputs.find(identity);
        if (input != plan.inputs.end() && input->second != i) {
            err << "zepconv: writing " << PrintableText(request.files[i]) << " to "
                << PrintableText(plan.targets[i]) << " would replace "
                << PrintableText(plan.read[input->second]) << '\n';
            return true;
        }
    }
    return false;
}

bool ReportCollides(const Request& request, const Plan& plan, std::ostream& err) {
    if (request.reportPath.empty()) {
        return false;
    }
    const FileIdentity report = IdentityOf(request.reportPath);
    const std::string* hit = nullptr;
    if (const auto input = plan.inputs.find(report); input != plan.inputs.end()) {
        hit = &plan.read[input->second];
    } else if (const auto target = plan.written.find(report); target != plan.written.end()) {
        hit = &plan.targets[target->second];
    }
    if (hit != nullptr) {
        err << "zepconv: the report " << PrintableText(request.reportPath) << " would replace "
            << PrintableText(*hit) << '\n';
    }
    return hit != nullptr;
}

bool ReportOverAnInput(const Request& request, std::ostream& err) {
    Plan plan;
    plan.read = request.files;
    for (std::size_t i = 0; i < request.files.size(); ++i) {
        plan.inputs.emplace(IdentityOf(request.files[i]), i);
    }
    return ReportCollides(request, plan, err);
}

std::optional<std::vector<std::string>> PlanTargets(const Request& request, std::ostream& err) {
    Plan plan;
    if (SavesCollide(request, plan, err) || ReportCollides(request, plan, err)) {
        return std::nullopt;
    }
    return std::move(plan.targets);
}

bool MakeOutDir(const std::string& outDir, std::ostream& err) {
    if (outDir.empty()) {
        return true;
    }
    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    if (error || !std::filesystem::is_directory(outDir, error)) {
        err << "zepconv: cannot create the folder " << PrintableText(outDir) << ": "
            << (error ? error.message() : "a file of that name is in the way") << '\n';
        return false;
    }
    return true;
}

void PrintInfo(Workspace& ws, const std::string& given, const clsZEPFileItem& item,
               std::ostream& out) {
    const FileData& data = ws.store[item.FileDataIndex()];
    out << PrintableText(given) << '\n'
        << "  Formats   " << PrintableText(item.Formats()) << '\n'
        << "  VarCount  " << item.VarCount() << "   StrCount  " << item.StrCount()
        << "   MidCount  " << item.MidCount() << '\n'
        << "  Labels\n";
    for (std::int32_t i = 1; i <= data.LabelCount(); ++i) {
        out << "  " << std::setw(4) << i << "  \"" << PrintableText(data.Labels(i)) << "\"\n";
    }
}

std::string CoverageCsvOf(BatchList& list) {
    Coverage coverage = CoverageOf(list.ws());
    for (std::size_t i = 0; i < coverage.columns.size() && i < list.Given().size(); ++i) {
        coverage.columns[i].path = list.Given()[i];
    }
    return CoverageCsv(coverage);
}

bool WriteCoverageFile(BatchList& list, const std::string& path, std::ostream& err) {
    std::error_code ignored;
    const fs::path folder = fs::path(path).parent_path();
    if (!folder.empty()) {
        fs::create_directories(folder, ignored);
    }
    std::string why;
    if (!WriteFileSafely(path, CoverageCsvOf(list), &why)) {
        err << "zepconv: cannot write the report " << PrintableText(path) << ": " << why << '\n';
        return false;
    }
    return true;
}

// Changes the loaded list before it is written; false (having said why) stops the run.
using Transform = std::function<bool(BatchList&)>;

// Writes nothing when saves collide (kExitUsage), a file is refused or the change fails.
int LoadChangeAndSave(const Request& request, const Transform& change, std::ostream& out,
                      std::ostream& err) {
    const std::optional<std::vector<std::string>> targets = PlanTargets(request, err);
    if (!targets.has_value()) {
        return kExitUsage;
    }
    BatchList list(request.settings, err);
    if (!list.AddAll(request.files) || (change && !change(list))) {
        err << "zepconv: nothing was written\n";
        return kExitFailed;
    }
    if (!MakeOutDir(request.settings.outDir, err)) {
        return kExitFailed;
    }
    return list.SaveAll(*targets, out) ? kExitOk : kExitFailed;
}

// Every file is tried, so that each one that cannot be sorted is named; then nothing is written.
bool SortEveryFile(BatchList& list) {
    bool all = true;
    for (std::int32_t f = 1; f <= list.ws().store.FileCount(); ++f) {
        all = SortByAscii(list.ws(), f) && all;
    }
    return all;
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

int RunSort(const Request& request, std::ostream& out, std::ostream& err) {
    return LoadChangeAndSave(request, SortEveryFile, out, err);
}

int RunCompare(const Request& request, std::ostream& out, std::ostream& err) {
    const std::string& path = request.reportPath;
    auto compare = [&](BatchList& list) {
        if (!CompareFiles(list.ws()) || (!path.empty() && !WriteCoverageFile(list, path, err))) {
            return false;
        }
        if (!path.empty()) {
            out << "wrote report " << PrintableText(path) << '\n';
        }
        return true;
    };
    return LoadChangeAndSave(request, compare, out, err);
}

int RunReport(const Request& request, std::ostream& out, std::ostream& err) {
    if (ReportOverAnInput(request, err)) {
        return kExitUsage;
    }
    BatchList list(request.settings, err);
    if (!list.AddAll(request.files)) {
        err << "zepconv: nothing was written\n";
        return kExitFailed;
    }
    if (request.reportPath.empty()) {
        out << CoverageCsvOf(list);
        return kExitOk;
    }
    return WriteCoverageFile(list, request.reportPath, err) ? kExitOk : kExitFailed;
}

}  // namespace zep::cli
