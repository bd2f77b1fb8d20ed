// The verbs that reorder labels before writing: sort and compare.

#include <filesystem>
#include <string>

#include "cli/Verbs.h"
#include "compare/CompareReport.h"
#include "compare/LabelSort.h"
#include "compare/ModuleCompare.h"
#include "support/SafeFile.h"

namespace zep::cli {
namespace {

namespace fs = std::filesystem;

// Every file is tried, so that each one that cannot be sorted is named; then nothing is written.
bool SortEveryFile(Workspace& ws) {
    bool all = true;
    for (std::int32_t f = 1; f <= ws.store.FileCount(); ++f) {
        all = SortByAscii(ws, f) && all;
    }
    return all;
}

// The report must not replace one of the coordinate files the same run reads or writes.
bool ReportCollides(const Request& request, std::ostream& err) {
    const std::string report = FullPath(request.reportPath);
    for (const std::string& file : request.files) {
        std::string target = FullPath(file);
        if (!request.settings.outDir.empty()) {
            target =
                FullPath((fs::path(request.settings.outDir) / fs::path(file).filename()).string());
        }
        if (report == FullPath(file) || report == target) {
            err << "zepconv: the report " << request.reportPath << " would replace " << file
                << '\n';
            return true;
        }
    }
    return false;
}

bool WriteReport(Workspace& ws, const std::string& path, std::ostream& out, std::ostream& err) {
    std::error_code ignored;
    const fs::path folder = fs::path(path).parent_path();
    if (!folder.empty()) {
        fs::create_directories(folder, ignored);
    }
    std::string why;
    if (!WriteFileSafely(path, CompareReportCsv(ws), &why)) {
        err << "zepconv: cannot write the report " << path << ": " << why << '\n';
        return false;
    }
    out << "wrote report " << path << '\n';
    return true;
}

}  // namespace

int RunSort(const Request& request, std::ostream& out, std::ostream& err) {
    return LoadChangeAndSave(request, SortEveryFile, out, err);
}

int RunCompare(const Request& request, std::ostream& out, std::ostream& err) {
    if (!request.reportPath.empty() && ReportCollides(request, err)) {
        return kExitUsage;
    }
    auto compare = [&request, &out, &err](Workspace& ws) {
        return CompareFiles(ws) &&
               (request.reportPath.empty() || WriteReport(ws, request.reportPath, out, err));
    };
    return LoadChangeAndSave(request, compare, out, err);
}

}  // namespace zep::cli
