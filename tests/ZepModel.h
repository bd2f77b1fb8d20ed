#pragma once

// A coordinate file spelled out as plain strings, for building records and checking what the
// reader made of a file.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/FileData.h"
#include "core/FileDataStore.h"
#include "core/ZepReader.h"
#include "core/clsZEPFileItem.h"

namespace zep::test {

struct ZepModel {
    std::string formats;
    std::vector<std::vector<std::string>> rows;  // VarCount rows of VarCount values
    std::vector<std::string> labels;
    std::vector<std::string> deviations;

    std::int32_t varCount() const { return static_cast<std::int32_t>(rows.size()); }
    std::int32_t strCount() const { return static_cast<std::int32_t>(labels.size()); }
    std::int32_t midCount() const { return static_cast<std::int32_t>(deviations.size()); }
};

// Lines joined by CR LF, with no line end after the last one.
inline std::string CrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text += "\r\n";
        }
        text += lines[i];
    }
    return text;
}

inline FileData MakeRecord(const ZepModel& model) {
    FileData data;
    data.SizeCoordinates(model.varCount());
    data.SizeLabels(model.strCount());
    data.SizeDeviations(model.midCount());
    for (std::int32_t r = 1; r <= model.varCount(); ++r) {
        for (std::int32_t c = 1; c <= model.varCount(); ++c) {
            data.SetCoordinate(r, c, model.rows[std::size_t(r - 1)][std::size_t(c - 1)]);
        }
    }
    for (std::int32_t i = 1; i <= model.strCount(); ++i) {
        data.SetLabel(i, model.labels[std::size_t(i - 1)]);
    }
    for (std::int32_t i = 1; i <= model.midCount(); ++i) {
        data.SetDeviation(i, model.deviations[std::size_t(i - 1)]);
    }
    return data;
}

// A descriptor carrying the model's header, for writing a record made by MakeRecord.
inline clsZEPFileItem MakeItem(FileDataStore& store, const ZepModel& model) {
    clsZEPFileItem item(store);
    item.SetFormats(model.formats);
    item.AdoptCounts(model.varCount(), model.strCount(), model.midCount());
    return item;
}

inline void ExpectRecordHolds(const FileData& data, const ZepModel& model) {
    ASSERT_EQ(data.VarCount(), model.varCount());
    ASSERT_EQ(data.LabelCount(), model.strCount());
    ASSERT_EQ(data.DeviationCount(), model.midCount());
    for (std::int32_t r = 1; r <= model.varCount(); ++r) {
        for (std::int32_t c = 1; c <= model.varCount(); ++c) {
            ASSERT_EQ(data.Coordinates(r, c), model.rows[std::size_t(r - 1)][std::size_t(c - 1)])
                << "row " << r << " value " << c;
        }
    }
    for (std::int32_t i = 1; i <= model.strCount(); ++i) {
        ASSERT_EQ(data.Labels(i), model.labels[std::size_t(i - 1)]) << "label " << i;
        ASSERT_EQ(data.MatchCounts(i), 0);
    }
    for (std::int32_t i = 1; i <= model.midCount(); ++i) {
        ASSERT_EQ(data.Deviations(i), model.deviations[std::size_t(i - 1)]) << "deviation " << i;
    }
}

inline void ExpectReadAs(const ReadResult& result, const ZepModel& model) {
    ASSERT_TRUE(result.ok()) << DescribeReadError(result.error);
    EXPECT_EQ(result.file->Formats, model.formats);
    EXPECT_EQ(result.file->VarCount, model.varCount());
    EXPECT_EQ(result.file->StrCount, model.strCount());
    EXPECT_EQ(result.file->MidCount, model.midCount());
    ExpectRecordHolds(result.file->data, model);
}

}  // namespace zep::test
