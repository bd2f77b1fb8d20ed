#include "cli/BatchList.h"

#include <algorithm>
#include <filesystem>

#include "core/ModuleFileProc.h"
#include "core/ZepWriter.h"
#include "support/AppSettings.h"
#include "support/PrintableText.h"

namespace zep::cli {

void BatchSettings::ApplyTo(Options& options) const {
    if (!settingsFile.empty()) {
        AppINI store;
        store.IniName = settingsFile;
        options = ReadOptions(store);
    }
    if (tolerance.has_value()) {
        options.STR_OPT_TOLERANCE = *tolerance;
    }
    if (perLine.has_value()) {
        options.LNG_OPT_COUNT_PER_TOLERANCELINE = *perLine;
    }
    if (noPad) {
        options.BLN_OPT_ADJTOMAXCOUNT = false;
    }
    if (noSortAscii) {
        options.BLN_OPT_SORTASCII = false;
    }
    if (noSpaceLast) {
        options.BLN_OPT_SORT_SPACE_TO_LAST = false;
    }
}

std::string FullPath(const std::string& given) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(given, error);
    return error ? given : full.lexically_normal().string();
}

BatchList::BatchList(const BatchSettings& settings, std::ostream& err)
    : messages_(err), ws_(view_, messages_) {
    settings.ApplyTo(ws_.options);
}

// The files are read side by side first; adding them in order afterwards gives the rows and
// messages of adding them one by one.
bool BatchList::AddAll(const std::vector<std::string>& files) {
    std::vector<std::string> keys;
    for (const std::string& file : files) {
        keys.push_back(FullPath(file));
    }
    std::vector<PreparedFile> read = PrepareFileAdds(keys, ws_.options.STR_OPT_TOLERANCE);
    bool all = true;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::string& file = files[i];
        messages_.SetContext(file);
        if (InitFileAdd(ws_, keys[i], std::move(read[i]))) {
            given_.push_back(file);
        } else {
            all = false;
        }
    }
    messages_.SetContext({});
    return all;
}

bool BatchList::SaveAll(const std::vector<std::string>& targets, std::ostream& out) {
    std::vector<SaveRequest> requests;
    for (std::int32_t row = 1; row <= view_.RowCount(); ++row) {
        requests.push_back(SaveRequest{targets[static_cast<std::size_t>(row - 1)],
                                       view_.RowKey(row), view_.RowTag(row)});
    }
    const std::vector<bool> saved = WriteZEPFiles(ws_, requests);
    for (std::size_t i = 0; i < requests.size(); ++i) {
        if (!saved[i]) {
            continue;
        }
        const clsZEPFileItem* item = ws_.ZEPFiles.Item().Find(requests[i].key);
        const ZepLayout layout = ChooseLayout(*item, ws_.options, ws_.store.MaxNumber());
        out << "wrote " << PrintableText(requests[i].target);
        if (layout.padded) {
            out << " (padded to " << layout.rows << " labels)";
        }
        out << '\n';
    }
    return std::find(saved.begin(), saved.end(), false) == saved.end();
}

}  // namespace zep::cli
