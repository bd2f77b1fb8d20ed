#include "core/ZepWriter.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>

namespace zep {
namespace {

constexpr std::size_t kChunkSize = std::size_t{1} << 20;
constexpr std::string_view kLineEnd = "\r\n";
// The padding value " 0.000000" behind the three spaces every value gets.
constexpr std::string_view kPaddingCell = "    0.000000";
constexpr std::string_view kPaddingLabel = "    ";
constexpr std::int32_t kValuesPerLine = 6;

// Memory stays one chunk whatever the file's size.
class ChunkedOutput {
public:
    // The chunk is left uncleared: a small file touches only the pages it fills.
    explicit ChunkedOutput(ByteSink& sink)
        : sink_(sink), buffer_(std::make_unique_for_overwrite<char[]>(kChunkSize)) {}

    void Put(std::string_view bytes) {
        if (bytes.size() > kChunkSize - used_) {
            Flush();
            if (bytes.size() > kChunkSize) {
                ok_ = ok_ && sink_.Write(bytes);
                return;
            }
        }
        std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
        used_ += bytes.size();
    }

    void PutNumber(std::int32_t value) {
        char digits[16];
        auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
        Put(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }

    void PutCoordinate(std::string_view value) {
        const bool minus = std::memchr(value.data(), '-', value.size()) != nullptr;
        Put(minus ? std::string_view("   ") : std::string_view("    "));
        Put(value);
    }

    bool ok() const { return ok_; }

    bool Finish() {
        Flush();
        return ok_;
    }

private:
    void Flush() {
        if (used_ > 0) {
            ok_ = ok_ && sink_.Write(std::string_view(buffer_.get(), used_));
        }
        used_ = 0;
    }

    ByteSink& sink_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    bool ok_ = true;
};

void PutHeader(ChunkedOutput& out, const std::string& formats, const ZepLayout& layout) {
    out.Put(formats);
    out.Put("  ");
    for (std::int32_t count : {layout.rows, layout.labels, layout.deviations}) {
        out.PutNumber(count);
        out.Put(" ");
    }
    out.Put(kLineEnd);
}

void PutValues(ChunkedOutput& out, const FileData& data, std::int32_t r, std::int32_t held) {
    std::int32_t c = 0;
    data.ForEachCoordinate(r, [&](std::string_view value) {
        if (++c > held) {
            return;
        }
        out.PutCoordinate(value);
        if (c % kValuesPerLine == 0) {
            out.Put(kLineEnd);
        }
    });
}

// A row read in the written form goes out as it came in.
void PutRows(ChunkedOutput& out, const FileData& data, std::int32_t rows, std::int32_t held) {
    for (std::int32_t r = 1; r <= rows && out.ok(); ++r) {
        std::int32_t c = 0;
        if (r <= held) {
            std::string_view row =
                held == data.VarCount() ? data.WrittenRow(r) : std::string_view();
            if (!row.empty()) {
                if (held % kValuesPerLine != 0) {
                    row.remove_suffix(kLineEnd.size());  // the padding continues the line
                }
                out.Put(row);
            } else {
                PutValues(out, data, r, held);
            }
            c = held;
        }
        while (++c <= rows) {
            out.Put(kPaddingCell);
            if (c % kValuesPerLine == 0) {
                out.Put(kLineEnd);
            }
        }
        if (rows % kValuesPerLine != 0) {
            out.Put(kLineEnd);
        }
    }
}

void PutLabels(ChunkedOutput& out, const FileData& data, std::int32_t labels, std::int32_t held) {
    for (std::int32_t i = 1; i <= labels; ++i) {
        out.Put(i <= held ? data.Labels(i) : kPaddingLabel);
        out.Put(kLineEnd);
    }
}

// perLine values a line; the last line gets no line end unless it is full.
void PutDeviations(ChunkedOutput& out, const FileData& data, std::int32_t deviations,
                   std::int32_t held, std::string_view tolerance, std::int32_t perLine) {
    for (std::int32_t i = 1; i <= deviations; ++i) {
        out.Put("  ");
        out.Put(i <= held ? data.Deviations(i) : tolerance);
        if (i % perLine == 0) {
            out.Put(kLineEnd);
        }
    }
}

}  // namespace

ZepLayout ChooseLayout(const clsZEPFileItem& item, const Options& options, std::int32_t maxNumber) {
    if (options.BLN_OPT_ADJTOMAXCOUNT && item.VarCount() < maxNumber &&
        item.StrCount() <= maxNumber && item.MidCount() <= maxNumber) {
        return ZepLayout{maxNumber, maxNumber, maxNumber, true};
    }
    return ZepLayout{item.VarCount(), item.StrCount(), item.MidCount(), false};
}

bool WriteZep(ByteSink& sink, const clsZEPFileItem& item, const FileData& data,
              const Options& options, std::int32_t maxNumber) {
    const ZepLayout layout = ChooseLayout(item, options, maxNumber);
    ChunkedOutput out(sink);
    PutHeader(out, item.Formats(), layout);
    PutRows(out, data, layout.rows, std::min(item.VarCount(), data.VarCount()));
    PutLabels(out, data, layout.labels, std::min(item.StrCount(), data.LabelCount()));
    PutDeviations(out, data, layout.deviations, std::min(item.MidCount(), data.DeviationCount()),
                  options.STR_OPT_TOLERANCE, options.deviationsPerLine());
    return out.Finish();
}

}  // namespace zep
