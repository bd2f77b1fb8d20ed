#include "core/FileData.h"

#include <cstring>
#include <functional>
#include <numeric>
#include <utility>

namespace zep {

std::string_view FileData::Coordinates(std::int32_t r, std::int32_t c) const {
    std::string_view found = kNoText;
    std::int32_t k = 0;
    ForEachCoordinate(r, [&](std::string_view value) {
        if (++k == c) {
            found = value;
        }
    });
    return found;
}

void FileData::SetMatchCount(std::int32_t i, std::int32_t value) {
    if (matchCounts_.empty()) {
        if (value == 0) {
            return;
        }
        matchCounts_.assign(labels_.size(), 0);
    }
    matchCounts_[slot(i)] = value;
}

void FileData::SizeCoordinates(std::int32_t n) {
    varCount_ = n;
    physical_.assign(static_cast<std::size_t>(n), Row{});
    rows_.resize(static_cast<std::size_t>(n));
    std::iota(rows_.begin(), rows_.end(), std::uint32_t{0});
    cells_.clear();
}

void FileData::SizeLabels(std::int32_t n) {
    labels_.assign(static_cast<std::size_t>(n), kEmpty);
    matchCounts_.clear();
}

void FileData::SizeDeviations(std::int32_t n) {
    deviations_.assign(static_cast<std::size_t>(n), kEmpty);
}

void FileData::AdoptBytes(ByteBuffer bytes) {
    bytes_ = std::move(bytes);
    fileEnd_ = bytes_.size();
}

TextRef FileData::AppendText(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const std::less<const char*> before;
    if (bytes_.data() != nullptr && !before(text.data(), bytes_.data()) &&
        before(text.data(), bytes_.data() + bytes_.size())) {
        const std::string copy(text);  // growing the buffer would move the text away
        return AppendText(copy);
    }
    const auto length = static_cast<std::uint32_t>(text.size());
    char prefix[sizeof length];
    std::memcpy(prefix, &length, sizeof length);
    bytes_.Append(std::string_view(prefix, sizeof prefix));
    const auto offset = static_cast<std::uint32_t>(bytes_.size());
    bytes_.Append(text);
    return {offset, length};
}

void FileData::SetCoordinate(std::int32_t r, std::int32_t c, std::string_view text) {
    const TextAt at = Added(text);
    CellsOf(r)[slot(c)] = at;
}

void FileData::SwapLabelRows(std::int32_t a, std::int32_t b) {
    if (!matchCounts_.empty()) {
        std::swap(matchCounts_[slot(a)], matchCounts_[slot(b)]);
    }
    std::swap(labels_[slot(a)], labels_[slot(b)]);
    std::swap(deviations_[slot(a)], deviations_[slot(b)]);
    std::swap(rows_[slot(a)], rows_[slot(b)]);
}

void FileData::ReorderLabelRows(const std::vector<std::int32_t>& order) {
    const auto move = [&order](auto& positions) {
        if (positions.empty()) {  // match counts never set
            return;
        }
        const auto old = positions;
        for (std::size_t k = 0; k < order.size(); ++k) {
            positions[k] = old[slot(order[k])];
        }
    };
    move(labels_);
    move(deviations_);
    move(rows_);
    move(matchCounts_);
}

FileData::Order FileData::SaveOrder() const {
    Order order;
    order.labels_ = labels_;
    order.deviations_ = deviations_;
    order.rows_ = rows_;
    order.matchCounts_ = matchCounts_;
    return order;
}

bool FileData::RestoreOrder(const Order& order) {
    if (order.labels_.size() != labels_.size() || order.deviations_.size() != deviations_.size() ||
        order.rows_.size() != rows_.size()) {
        return false;
    }
    labels_ = order.labels_;
    deviations_ = order.deviations_;
    rows_ = order.rows_;
    matchCounts_ = order.matchCounts_;
    return true;
}

void FileData::SetFileRow(std::int32_t r, std::size_t begin, std::size_t end, bool written) {
    physical_[slot(r)] =
        Row{static_cast<std::uint32_t>(begin), static_cast<std::uint32_t>(end), -1, written};
}

void FileData::SetLabelAt(std::int32_t i, std::size_t offset) {
    labels_[slot(i)] = offset < fileEnd_ ? static_cast<TextAt>(offset) : kEmpty;
}

void FileData::SetDeviationAt(std::int32_t i, std::size_t offset) {
    deviations_[slot(i)] = offset < fileEnd_ ? static_cast<TextAt>(offset) : kEmpty;
}

void FileData::FillDeviations(std::string_view text) {
    std::fill(deviations_.begin(), deviations_.end(), Added(text));
}

std::string_view FileData::WrittenRow(std::int32_t r) const {
    const Row& row = RowAt(r);
    if (row.cells >= 0 || !row.written) {
        return {};
    }
    return {bytes_.data() + row.begin, std::size_t{row.end} - row.begin};
}

// A text of the file runs from at to where stop says it ends; an added one carries its length.
std::string_view FileData::TextFrom(TextAt at, TextStop stop) const {
    if (at == kEmpty) {
        return kNoText;
    }
    if (!FromFile(at)) {
        std::uint32_t length = 0;
        std::memcpy(&length, bytes_.data() + at - sizeof length, sizeof length);
        return {bytes_.data() + at, length};
    }
    const char* const p = bytes_.data() + at;
    return {p, static_cast<std::size_t>(stop(p, bytes_.data() + fileEnd_) - p)};
}

std::vector<FileData::TextAt>& FileData::CellsOf(std::int32_t r) {
    Row& row = physical_[rows_[slot(r)]];
    if (row.cells < 0) {
        std::vector<TextAt> cells;
        cells.reserve(static_cast<std::size_t>(varCount_));
        ForEachCoordinate(r, [&](std::string_view value) {
            cells.push_back(value.empty() ? kEmpty
                                          : static_cast<TextAt>(value.data() - bytes_.data()));
        });
        row.cells = static_cast<std::int32_t>(cells_.size());
        cells_.push_back(std::move(cells));
    }
    return cells_[static_cast<std::size_t>(row.cells)];
}

}  // namespace zep
