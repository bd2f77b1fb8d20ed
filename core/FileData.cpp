#include "core/FileData.h"

#include "support/HugePages.h"

#include <numeric>
#include <utility>

namespace zep {

std::string_view FileData::Coordinates(std::int32_t r, std::int32_t c) const {
    return text(RowCells(r)[slot(c)]);
}

const TextRef* FileData::RowCells(std::int32_t r) const {
    return cells_.data() + std::size_t{rows_[slot(r)]} * static_cast<std::size_t>(varCount_);
}

TextRef* FileData::RowCells(std::int32_t r) {
    return cells_.data() + std::size_t{rows_[slot(r)]} * static_cast<std::size_t>(varCount_);
}

void FileData::SizeCoordinates(std::int32_t n) {
    const auto count = static_cast<std::size_t>(n);
    varCount_ = n;
    // Sizing discards the old cells anyway; dropping them first lets a large matrix start in
    // fresh memory that can take huge pages.
    cells_ = {};
    cells_.reserve(count * count);
    AskForHugePages(cells_.data(), count * count * sizeof(TextRef));
    cells_.assign(count * count, TextRef{});
    rows_.resize(count);
    std::iota(rows_.begin(), rows_.end(), std::uint32_t{0});
}

void FileData::SizeLabels(std::int32_t n) {
    labels_.assign(static_cast<std::size_t>(n), TextRef{});
    matchCounts_.assign(static_cast<std::size_t>(n), 0);
}

void FileData::SizeDeviations(std::int32_t n) {
    deviations_.assign(static_cast<std::size_t>(n), TextRef{});
}

void FileData::AdoptBytes(std::string bytes) {
    bytes_ = std::move(bytes);
}

TextRef FileData::AppendText(std::string_view text) {
    TextRef ref{static_cast<std::uint32_t>(bytes_.size()), static_cast<std::uint32_t>(text.size())};
    bytes_.append(text);
    return ref;
}

void FileData::SetCoordinateRef(std::int32_t r, std::int32_t c, TextRef ref) {
    cells_[std::size_t{rows_[slot(r)]} * static_cast<std::size_t>(varCount_) + slot(c)] = ref;
}

void FileData::SetCoordinate(std::int32_t r, std::int32_t c, std::string_view text) {
    SetCoordinateRef(r, c, AppendText(text));
}

void FileData::SwapLabelRows(std::int32_t a, std::int32_t b) {
    std::swap(matchCounts_[slot(a)], matchCounts_[slot(b)]);
    std::swap(labels_[slot(a)], labels_[slot(b)]);
    std::swap(deviations_[slot(a)], deviations_[slot(b)]);
    std::swap(rows_[slot(a)], rows_[slot(b)]);
}

}  // namespace zep
