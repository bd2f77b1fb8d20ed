#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/ZepScan.h"
#include "support/ByteBuffer.h"

namespace zep {

struct TextRef {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// Every token stays as read, in the file's own bytes, and added texts join that buffer; file rows
// are re-read on demand. 1-based; label rows go through a position index, so a swap is O(1).
class FileData {
public:
    std::int32_t VarCount() const { return varCount_; }
    std::int32_t LabelCount() const { return static_cast<std::int32_t>(labels_.size()); }
    std::int32_t DeviationCount() const { return static_cast<std::int32_t>(deviations_.size()); }

    // Walks row r from its start; whole rows go through ForEachCoordinate.
    std::string_view Coordinates(std::int32_t r, std::int32_t c) const;
    std::string_view Labels(std::int32_t i) const { return TextFrom(labels_[slot(i)], LineEnd); }
    std::string_view Deviations(std::int32_t i) const { return ValueText(deviations_[slot(i)]); }
    // Match counts take memory only once one is set; until then every count is 0.
    std::int32_t MatchCounts(std::int32_t i) const {
        return matchCounts_.empty() ? 0 : matchCounts_[slot(i)];
    }
    void SetMatchCount(std::int32_t i, std::int32_t value);

    // Sizing discards the previous contents: texts become empty, match counts 0.
    void SizeCoordinates(std::int32_t n);  // also sets VarCount
    void SizeLabels(std::int32_t n);       // Labels and MatchCounts
    void SizeDeviations(std::int32_t n);

    void AdoptBytes(ByteBuffer bytes);
    TextRef AppendText(std::string_view text);

    void SetCoordinate(std::int32_t r, std::int32_t c, std::string_view text);
    void SetLabel(std::int32_t i, std::string_view text) { labels_[slot(i)] = Added(text); }
    void SetDeviation(std::int32_t i, std::string_view text) { deviations_[slot(i)] = Added(text); }

    // The caller makes sure both positions exist in every array.
    void SwapLabelRows(std::int32_t a, std::int32_t b);
    // Position k + 1 receives the row at order[k]; order is a permutation of 1..LabelCount.
    void ReorderLabelRows(const std::vector<std::int32_t>& order);

    // Only index vectors, since reorderings only move rows; restoring undoes any number.
    class Order {
        friend class FileData;
        std::vector<std::uint32_t> labels_;
        std::vector<std::uint32_t> deviations_;
        std::vector<std::uint32_t> rows_;
        std::vector<std::int32_t> matchCounts_;
    };
    Order SaveOrder() const;
    // False, changing nothing, when order belongs to a record of other sizes.
    bool RestoreOrder(const Order& order);

    std::string_view text(TextRef ref) const { return {bytes_.data() + ref.offset, ref.length}; }
    std::size_t ByteCount() const { return bytes_.size(); }

    // For the reader: row r (after SizeCoordinates) is the file's bytes [begin, end).
    void SetFileRow(std::int32_t r, std::size_t begin, std::size_t end, bool written);
    void SetLabelAt(std::int32_t i, std::size_t offset);
    void SetDeviationAt(std::int32_t i, std::size_t offset);
    void FillDeviations(std::string_view text);

    // Row r through its last CR LF when read in the writer's exact layout; empty otherwise.
    std::string_view WrittenRow(std::int32_t r) const;

    template <typename Take>
    void ForEachCoordinate(std::int32_t r, Take&& take) const;

private:
    using TextAt = std::uint32_t;
    static constexpr TextAt kEmpty = UINT32_MAX;
    // What an empty text reads as: never a null pointer, which the C library may not be given.
    static constexpr std::string_view kNoText = "";

    // File lines, values set one by one (cells >= 0), or before either, empty values.
    struct Row {
        std::uint32_t begin = 0;
        std::uint32_t end = 0;
        std::int32_t cells = -1;
        bool written = false;
    };

    static std::size_t slot(std::int32_t i) { return static_cast<std::size_t>(i - 1); }

    using TextStop = const char* (*)(const char* p, const char* end);
    std::string_view ValueText(TextAt at) const { return TextFrom(at, ValueEnd); }
    std::string_view TextFrom(TextAt at, TextStop stop) const;
    bool FromFile(TextAt at) const { return at < fileEnd_; }
    TextAt Added(std::string_view text) { return text.empty() ? kEmpty : AppendText(text).offset; }
    const Row& RowAt(std::int32_t r) const { return physical_[rows_[slot(r)]]; }
    std::vector<TextAt>& CellsOf(std::int32_t r);

    std::int32_t varCount_ = 0;
    ByteBuffer bytes_;
    std::size_t fileEnd_ = 0;  // bytes_ up to here are the file's; added texts follow
    std::vector<Row> physical_;
    std::vector<std::uint32_t> rows_;  // position -> physical row
    std::vector<std::vector<TextAt>> cells_;
    std::vector<TextAt> labels_;
    std::vector<TextAt> deviations_;
    std::vector<std::int32_t> matchCounts_;
};

template <typename Take>
void FileData::ForEachCoordinate(std::int32_t r, Take&& take) const {
    const Row& row = RowAt(r);
    if (row.cells >= 0) {
        for (TextAt at : cells_[static_cast<std::size_t>(row.cells)]) {
            take(ValueText(at));
        }
        return;
    }
    if (row.begin == row.end) {  // a row sized but never filled
        for (std::int32_t c = 0; c < varCount_; ++c) {
            take(kNoText);
        }
        return;
    }
    const char* p = bytes_.data() + row.begin;
    const char* const end = bytes_.data() + row.end;
    for (std::int32_t c = 0; c < varCount_; ++c) {
        p = NextValue(p, end);
        const char* const stop = ValueEnd(p, end);
        take(std::string_view(p, static_cast<std::size_t>(stop - p)));
        p = stop;
    }
}

}  // namespace zep
