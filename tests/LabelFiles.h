#pragma once

// Builds loaded files straight from label lists, and takes snapshots of records, for the tests
// of the label sort and the compare.

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "core/Workspace.h"

namespace zep::test {

// Adds a loaded file (row, descriptor, record) whose labels are the given ones. varCount and
// midCount default to the number of labels. Every cell tells where it came from: coordinate
// (r, c) is "<tag>:r<r>c<c>", deviation r is "<tag>:d<r>", and match count r is 100 + r.
inline std::int32_t AddLabelFile(Workspace& ws, const std::string& key,
                                 const std::vector<std::string>& labels, std::int32_t varCount = 0,
                                 std::int32_t midCount = 0, const std::string& tag = "") {
    const auto strCount = static_cast<std::int32_t>(labels.size());
    varCount = varCount > 0 ? varCount : strCount;
    midCount = midCount > 0 ? midCount : strCount;
    const std::string origin = tag.empty() ? key : tag;

    const std::int32_t index = ws.store.AddFileData();
    FileData& record = ws.store[index];
    record.SizeCoordinates(varCount);
    record.SizeLabels(strCount);
    record.SizeDeviations(midCount);
    for (std::int32_t r = 1; r <= varCount; ++r) {
        for (std::int32_t c = 1; c <= varCount; ++c) {
            record.SetCoordinate(r, c, origin + ":r" + std::to_string(r) + "c" + std::to_string(c));
        }
    }
    for (std::int32_t i = 1; i <= strCount; ++i) {
        record.SetLabel(i, labels[static_cast<std::size_t>(i - 1)]);
        record.SetMatchCount(i, 100 + i);
    }
    for (std::int32_t i = 1; i <= midCount; ++i) {
        record.SetDeviation(i, origin + ":d" + std::to_string(i));
    }

    auto item = std::make_unique<clsZEPFileItem>(ws.store);
    item->SetFileDataIndex(index);
    item->AdoptCounts(varCount, strCount, midCount);
    item->SetKey(key);
    item->SetPath(key);
    item->SetTitle(key.substr(key.find_last_of("/\\") + 1));
    item->SetFormats("ZEP");
    const std::string title = item->Title();
    ws.ZEPFiles.Item().Add(std::move(item));
    ws.view.AppendRow(key, "* " + title);
    ws.view.SetRowTag(ws.view.RowCount(), index);
    ws.view.SetRowFullPath(ws.view.RowCount(), key);
    return index;
}

// Everything of a record that a reordering may touch, each array at its own length.
struct RecordSnapshot {
    std::vector<std::string> labels;
    std::vector<std::string> deviations;
    std::vector<std::int32_t> matchCounts;
    std::vector<std::vector<std::string>> coordinates;
    bool operator==(const RecordSnapshot&) const = default;
};

inline void PrintTo(const RecordSnapshot& snapshot, std::ostream* out) {
    *out << "labels [";
    for (const std::string& label : snapshot.labels) {
        *out << '"' << label << "\" ";
    }
    *out << "] counts [";
    for (std::int32_t count : snapshot.matchCounts) {
        *out << count << ' ';
    }
    *out << ']';
}

inline RecordSnapshot Snapshot(const FileData& record) {
    RecordSnapshot snapshot;
    for (std::int32_t i = 1; i <= record.LabelCount(); ++i) {
        snapshot.labels.emplace_back(record.Labels(i));
        snapshot.matchCounts.push_back(record.MatchCounts(i));
    }
    for (std::int32_t i = 1; i <= record.DeviationCount(); ++i) {
        snapshot.deviations.emplace_back(record.Deviations(i));
    }
    for (std::int32_t r = 1; r <= record.VarCount(); ++r) {
        auto& row = snapshot.coordinates.emplace_back();
        for (std::int32_t c = 1; c <= record.VarCount(); ++c) {
            row.emplace_back(record.Coordinates(r, c));
        }
    }
    return snapshot;
}

inline std::vector<RecordSnapshot> SnapshotAll(const FileDataStore& store) {
    std::vector<RecordSnapshot> all;
    for (std::int32_t f = 1; f <= store.FileCount(); ++f) {
        all.push_back(Snapshot(store[f]));
    }
    return all;
}

inline std::vector<std::string> LabelsOf(const FileData& record) {
    return Snapshot(record).labels;
}

inline std::vector<std::int32_t> MatchCountsOf(const FileData& record) {
    return Snapshot(record).matchCounts;
}

}  // namespace zep::test
