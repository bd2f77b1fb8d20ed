// The verbs that reorder labels before writing: sort and compare.

#include <string>

#include "cli/Verbs.h"
#include "compare/LabelSort.h"
#include "compare/ModuleCompare.h"
#include "support/PrintableText.h"

namespace zep::cli {
namespace {

// Every file is tried, so that each one that cannot be sorted is named; then nothing is written.
bool SortEveryFile(BatchList& list) {
    Workspace& ws = list.ws();
    bool all = true;
    for (std::int32_t f = 1; f <= ws.store.FileCount(); ++f) {
        all = SortByAscii(ws, f) && all;
    }
    return all;
}

bool WriteReport(BatchList& list, const std::string& path, std::ostream& out, std::ostream& err) {
    if (!WriteCoverageFile(list, path, err)) {
        return false;
    }
    out << "wrote report " << PrintableText(path) << '\n';
    return true;
}

}  // namespace

int RunSort(const Request& request, std::ostream& out, std::ostream& err) {
    return LoadChangeAndSave(request, SortEveryFile, out, err);
}

int RunCompare(const Request& request, std::ostream& out, std::ostream& err) {
    auto compare = [&request, &out, &err](BatchList& list) {
        return CompareFiles(list.ws()) &&
               (request.reportPath.empty() || WriteReport(list, request.reportPath, out, err));
    };
    return LoadChangeAndSave(request, compare, out, err);
}

}  // namespace zep::cli
