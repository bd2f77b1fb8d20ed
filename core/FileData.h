#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zep {

// A piece of text inside a record's byte buffer. Offsets keep the model small (a 48 MB file
// holds four million coordinate tokens) and stay valid when the buffer grows.
struct TextRef {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

// The contents of one loaded coordinate file. Every token is kept exactly as read, as a view
// into the file's own bytes; texts that did not come from the file (a default deviation, a
// value set by a test) are appended to the same buffer.
//
// All indices are 1-based. Row r of Coordinates, Labels(r), Deviations(r) and MatchCounts(r)
// form one label row. Coordinate rows are reached through a row index, so exchanging two label
// rows is O(1) whatever VarCount is.
class FileData {
public:
    std::int32_t VarCount() const { return varCount_; }
    std::int32_t LabelCount() const { return static_cast<std::int32_t>(labels_.size()); }
    std::int32_t DeviationCount() const { return static_cast<std::int32_t>(deviations_.size()); }

    std::string_view Coordinates(std::int32_t r, std::int32_t c) const;
    std::string_view Labels(std::int32_t i) const { return text(labels_[slot(i)]); }
    std::string_view Deviations(std::int32_t i) const { return text(deviations_[slot(i)]); }
    std::int32_t MatchCounts(std::int32_t i) const { return matchCounts_[slot(i)]; }
    void SetMatchCount(std::int32_t i, std::int32_t value) { matchCounts_[slot(i)] = value; }

    // Sizing discards the previous contents: texts become empty, match counts 0.
    void SizeCoordinates(std::int32_t n);  // also sets VarCount
    void SizeLabels(std::int32_t n);       // Labels and MatchCounts
    void SizeDeviations(std::int32_t n);

    // Hands the record the bytes that the references below point into.
    void AdoptBytes(std::string bytes);
    // Appends text to the record's buffer and returns where it stands.
    TextRef AppendText(std::string_view text);

    void SetCoordinateRef(std::int32_t r, std::int32_t c, TextRef ref);
    void SetLabelRef(std::int32_t i, TextRef ref) { labels_[slot(i)] = ref; }
    void SetDeviationRef(std::int32_t i, TextRef ref) { deviations_[slot(i)] = ref; }

    void SetCoordinate(std::int32_t r, std::int32_t c, std::string_view text);
    void SetLabel(std::int32_t i, std::string_view text) { SetLabelRef(i, AppendText(text)); }
    void SetDeviation(std::int32_t i, std::string_view text) {
        SetDeviationRef(i, AppendText(text));
    }

    // Exchanges the label rows at positions a and b: match count, label, deviation and the
    // whole row of coordinates. The caller makes sure both positions exist in every array.
    void SwapLabelRows(std::int32_t a, std::int32_t b);

    std::string_view text(TextRef ref) const { return {bytes_.data() + ref.offset, ref.length}; }
    // Size of the buffer the references point into.
    std::size_t ByteCount() const { return bytes_.size(); }
    // The physical row behind position r, for code that walks a row's cells quickly.
    const TextRef* RowCells(std::int32_t r) const;
    TextRef* RowCells(std::int32_t r);

private:
    static std::size_t slot(std::int32_t i) { return static_cast<std::size_t>(i - 1); }

    std::int32_t varCount_ = 0;
    std::string bytes_;
    std::vector<TextRef> cells_;       // physical rows, VarCount cells each
    std::vector<std::uint32_t> rows_;  // position -> physical row
    std::vector<TextRef> labels_;
    std::vector<TextRef> deviations_;
    std::vector<std::int32_t> matchCounts_;
};

}  // namespace zep
