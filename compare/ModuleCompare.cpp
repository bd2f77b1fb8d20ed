#include "compare/ModuleCompare.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "compare/LabelRows.h"
#include "compare/LabelSort.h"

namespace zep {

namespace {

constexpr std::uint32_t kNoLabel = UINT32_MAX;

// Dense label ids, so counting needs one hash look-up per label and plain arrays after.
struct LabelIds {
    std::vector<std::vector<std::uint32_t>> perFile;  // [file - 1][position - 1]
    std::vector<std::int32_t> totals;                 // occurrences over all files, by id
};

LabelIds NumberLabels(const FileDataStore& store) {
    LabelIds ids;
    std::unordered_map<std::string_view, std::uint32_t> known;
    for (std::int32_t f = 1; f <= store.FileCount(); ++f) {
        const FileData& record = store[f];
        std::vector<std::uint32_t>& fileIds = ids.perFile.emplace_back();
        fileIds.reserve(static_cast<std::size_t>(record.LabelCount()));
        for (std::int32_t j = 1; j <= record.LabelCount(); ++j) {
            const std::string_view label = record.Labels(j);
            if (IsBlankLabel(label)) {
                fileIds.push_back(kNoLabel);
                continue;
            }
            const auto [it, added] =
                known.try_emplace(label, static_cast<std::uint32_t>(ids.totals.size()));
            if (added) {
                ids.totals.push_back(0);
            }
            ++ids.totals[it->second];
            fileIds.push_back(it->second);
        }
    }
    return ids;
}

// own holds zeros on entry and on return; it is reused from file to file.
void AddMatchesOfOtherFiles(FileData& record, const std::vector<std::uint32_t>& fileIds,
                            const std::vector<std::int32_t>& totals,
                            std::vector<std::int32_t>& own) {
    for (std::uint32_t id : fileIds) {
        if (id != kNoLabel) {
            ++own[id];
        }
    }
    for (std::size_t j = 0; j < fileIds.size(); ++j) {
        const std::uint32_t id = fileIds[j];
        if (id == kNoLabel) {
            continue;
        }
        const auto position = static_cast<std::int32_t>(j + 1);
        record.SetMatchCount(position, record.MatchCounts(position) + totals[id] - own[id]);
    }
    for (std::uint32_t id : fileIds) {
        if (id != kNoLabel) {
            own[id] = 0;
        }
    }
}

std::int32_t FirstUnmovableFile(const FileDataStore& store) {
    for (std::int32_t f = 1; f <= store.FileCount(); ++f) {
        if (!LabelRowsMovable(store[f])) {
            return f;
        }
    }
    return 0;
}

}  // namespace

void ResetMatchCounts(FileDataStore& store) {
    for (std::int32_t f = 1; f <= store.FileCount(); ++f) {
        FileData& record = store[f];
        for (std::int32_t j = 1; j <= record.LabelCount(); ++j) {
            record.SetMatchCount(j, 1);
        }
    }
}

void CountLabelMatches(FileDataStore& store) {
    const LabelIds ids = NumberLabels(store);
    std::vector<std::int32_t> own(ids.totals.size(), 0);
    for (std::int32_t f = 1; f <= store.FileCount(); ++f) {
        AddMatchesOfOtherFiles(store[f], ids.perFile[static_cast<std::size_t>(f - 1)], ids.totals,
                               own);
    }
}

bool SortByMatchCount(FileDataStore& store, std::int32_t index) {
    FileData* record = store.Record(index);
    if (record == nullptr || !LabelRowsMovable(*record)) {
        return false;
    }
    std::vector<std::int32_t> order = LabelPositions(*record);
    std::stable_sort(order.begin(), order.end(), [record](std::int32_t a, std::int32_t b) {
        return record->MatchCounts(a) > record->MatchCounts(b);
    });
    record->ReorderLabelRows(order);
    return true;
}

bool CompareFiles(Workspace& ws) {
    if (const std::int32_t refused = FirstUnmovableFile(ws.store); refused != 0) {
        ReportUnmovableFile(ws, refused);
        return false;
    }
    ResetMatchCounts(ws.store);
    CountLabelMatches(ws.store);
    for (std::int32_t f = 1; f <= ws.store.FileCount(); ++f) {
        if (ws.options.BLN_OPT_SORTASCII) {
            SortByAscii(ws, f);  // no message: every file was found movable above
        }
        SortByMatchCount(ws.store, f);
    }
    return true;
}

}  // namespace zep
