#include "core/ZepWriter.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <memory>
#include <vector>

namespace zep {
namespace {

constexpr std::size_t kChunkSize = std::size_t{1} << 20;
constexpr std::size_t kDirectRun = std::size_t{16} << 10;
constexpr std::string_view kLineEnd = "\r\n";
// The padding value " 0.000000" behind the three spaces every value gets.
constexpr std::string_view kPaddingCell = "    0.000000";
constexpr std::string_view kPaddingLabel = "    ";
constexpr std::int32_t kValuesPerLine = 6;

static_assert(std::endian::native == std::endian::little, "HasMinus reads words low byte first");

// Whether one of the first n bytes (1..8, in memory order) of word is a minus sign. A byte
// equal to '-' becomes 0 and is found by the zero-byte test; a false mark can only stand above
// a true one, so masking to n bytes keeps the answer exact.
bool HasMinus(std::uint64_t word, std::size_t n) {
    const std::uint64_t x = word ^ 0x2d2d2d2d2d2d2d2dULL;
    std::uint64_t zero = (x - 0x0101010101010101ULL) & ~x & 0x8080808080808080ULL;
    if (n < 8) {
        zero &= (std::uint64_t{1} << (8 * n)) - 1;
    }
    return zero != 0;
}

// Gathers the many small pieces of a file into large writes; memory stays one chunk whatever
// the file's size. Stretches of the input that go out unchanged and follow each other in the
// input are joined first, and a long one is handed to the sink as it is, next to the chunk's
// bytes before and after it: a file read in the written form and not reordered leaves in one
// gathered write straight from the input's bytes.
class ChunkedOutput {
public:
    // The chunk is left uncleared: a small file touches only the pages it fills.
    explicit ChunkedOutput(ByteSink& sink)
        : sink_(sink), buffer_(std::make_unique_for_overwrite<char[]>(kChunkSize)) {
        pending_.reserve(kMostPieces);
    }

    // bytes must stay where they are until the output is finished.
    void PutInput(std::string_view bytes) {
        if (!run_.empty() && run_.data() + run_.size() == bytes.data()) {
            run_ = std::string_view(run_.data(), run_.size() + bytes.size());
            return;
        }
        PutRun();
        run_ = bytes;
    }

    void Put(std::string_view bytes) {
        PutRun();
        PutNow(bytes);
    }

    void PutNumber(std::int32_t value) {
        char digits[16];
        auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
        Put(std::string_view(digits, static_cast<std::size_t>(end - digits)));
    }

    // Three spaces, a fourth for a value without a minus sign anywhere, then the value.
    void PutCoordinate(std::string_view value) {
        const bool minus = std::memchr(value.data(), '-', value.size()) != nullptr;
        Put(minus ? std::string_view("   ") : std::string_view("    "));
        Put(value);
    }

    // The same for a short value with at least kWide readable bytes from its start (they may
    // run past it): the hot path of a large file, with fixed-size copies and no calls.
    void PutShortCoordinate(const char* value, std::size_t size) {
        PutRun();
        if (kWide + 4 > kChunkSize - used_) {
            PutCoordinate(std::string_view(value, size));
            return;
        }
        std::uint64_t low = 0;
        std::uint64_t high = 0;
        std::memcpy(&low, value, 8);
        std::memcpy(&high, value + 8, 8);
        const bool minus =
            HasMinus(low, std::min<std::size_t>(size, 8)) || (size > 8 && HasMinus(high, size - 8));
        char* out = buffer_.get() + used_;
        std::memcpy(out, "    ", 4);
        const std::size_t lead = minus ? 3 : 4;
        std::memcpy(out + lead, value, kWide);
        used_ += lead + size;
    }

    static constexpr std::size_t kWide = 16;

    bool ok() const { return ok_; }

    bool Finish() {
        PutRun();
        Flush();
        return ok_;
    }

private:
    static constexpr std::size_t kMostPieces = 64;

    // A long run waits for the sink as it is, sparing a copy into the chunk.
    void PutRun() {
        const std::string_view run = run_;
        run_ = {};
        if (run.size() < kDirectRun) {
            PutNow(run);
            return;
        }
        Queue(run);
    }

    void PutNow(std::string_view bytes) {
        if (bytes.empty()) {
            return;
        }
        if (bytes.size() > kChunkSize - used_) {
            Flush();
            if (bytes.size() > kChunkSize) {  // not known to stay: it goes out at once
                Queue(bytes);
                Flush();
                return;
            }
        }
        std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
        used_ += bytes.size();
    }

    // The chunk's bytes so far go before piece.
    void Queue(std::string_view piece) {
        QueueChunk();
        pending_.push_back(piece);
        if (pending_.size() + 1 >= kMostPieces) {
            Flush();
        }
    }

    void QueueChunk() {
        if (used_ > queued_) {
            pending_.emplace_back(buffer_.get() + queued_, used_ - queued_);
            queued_ = used_;
        }
    }

    void Flush() {
        QueueChunk();
        if (!pending_.empty() && ok_) {
            ok_ = sink_.WriteGathered(pending_);
        }
        pending_.clear();
        used_ = queued_ = 0;
    }

    ByteSink& sink_;
    std::unique_ptr<char[]> buffer_;
    std::size_t used_ = 0;
    std::size_t queued_ = 0;  // the chunk's bytes before this are in pending_
    std::vector<std::string_view> pending_;
    std::string_view run_;
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

// Values 1..held of row r, six to a line. kWide bytes past a value's start may be read when
// they lie inside the record's buffer.
void PutValues(ChunkedOutput& out, const FileData& data, std::int32_t r, std::int32_t held) {
    const char* const readable = data.text(TextRef{}).data() + data.ByteCount();
    std::int32_t c = 0;
    data.ForEachCoordinate(r, [&](std::string_view value) {
        if (++c > held) {
            return;
        }
        if (value.size() <= ChunkedOutput::kWide &&
            static_cast<std::size_t>(readable - value.data()) >= ChunkedOutput::kWide) {
            out.PutShortCoordinate(value.data(), value.size());
        } else {
            out.PutCoordinate(value);
        }
        if (c % kValuesPerLine == 0) {
            out.Put(kLineEnd);
        }
    });
}

// Six values a line; a row that does not fill its last line still ends it. A row read in the
// written form goes out as it came in.
void PutRows(ChunkedOutput& out, const FileData& data, std::int32_t rows, std::int32_t held) {
    for (std::int32_t r = 1; r <= rows && out.ok(); ++r) {
        std::int32_t c = 0;
        if (r <= held) {
            std::string_view row =
                held == data.VarCount() ? data.WrittenRow(r) : std::string_view();
            if (!row.empty() && rows == held) {
                out.PutInput(row);
                continue;
            }
            if (!row.empty()) {
                if (held % kValuesPerLine != 0) {
                    row.remove_suffix(kLineEnd.size());  // the padding continues the line
                }
                out.PutInput(row);
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
