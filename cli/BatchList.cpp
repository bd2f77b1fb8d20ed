#include "cli/BatchList.h"

#include <algorithm>

#include "core/FileListCommands.h"
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

BatchList::BatchList(const BatchSettings& settings, std::ostream& err)
    : messages_(err), ws_(view_, messages_) {
    settings.ApplyTo(ws_.options);
}

bool BatchList::AddAll(const std::vector<std::string>& files) {
    std::vector<std::string> keys;
    for (const std::string& file : files) {
        keys.push_back(KeyForPath(file));
    }
    const std::vector<bool> added =
        AddFiles(ws_, keys, [&](std::size_t i) { messages_.SetContext(files[i]); });
    messages_.SetContext({});
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (added[i]) {
            given_.push_back(files[i]);
        }
    }
    return std::find(added.begin(), added.end(), false) == added.end();
}

bool BatchList::SaveAll(const std::vector<std::string>& targets, std::ostream& out) {
    const std::vector<bool> saved = SaveAllFiles(ws_, targets);
    for (std::size_t i = 0; i < saved.size(); ++i) {
        if (!saved[i]) {
            continue;
        }
        const std::int32_t row = static_cast<std::int32_t>(i + 1);
        const clsZEPFileItem* item = ws_.ZEPFiles.Item().Find(view_.RowKey(row));
        const ZepLayout layout = ChooseLayout(*item, ws_.options, ws_.store.MaxNumber());
        out << "wrote " << PrintableText(targets[i]);
        if (layout.padded) {
            out << " (padded to " << layout.rows << " labels)";
        }
        out << '\n';
    }
    return std::find(saved.begin(), saved.end(), false) == saved.end();
}

}  // namespace zep::cli
