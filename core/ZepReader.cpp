#include "core/ZepReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <limits>
#include <new>
#include <utility>

#include "support/SafeFile.h"

namespace zep {
namespace {

// Cells of the rows that may be allocated before the file is known to hold as many values.
constexpr std::uint64_t kCellsCheckedAbove = std::uint64_t{64} << 20;

// Tokens are 32-bit offsets into the record's buffer, which also takes the default deviation.
constexpr std::uint64_t kMaxBufferBytes = std::numeric_limits<std::uint32_t>::max();

ReadResult Refuse(std::int64_t line, std::string reason) {
    ReadResult result;
    result.error.line = static_cast<std::int32_t>(
        std::min<std::int64_t>(line, std::numeric_limits<std::int32_t>::max()));
    result.error.reason = std::move(reason);
    return result;
}

static_assert(std::endian::native == std::endian::little, "words are scanned low byte first");

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighs = 0x8080808080808080ULL;

std::uint64_t Load8(const char* p) {
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The high bit of every byte of word that equals byte. Bytes above a true mark may be marked
// falsely, so only the lowest mark is to be trusted.
std::uint64_t Marks(std::uint64_t word, unsigned char byte) {
    const std::uint64_t x = word ^ (kOnes * byte);
    return (x - kOnes) & ~x & kHighs;
}

// Walks the pieces of a file cut at every CR LF pair (a lone CR or LF stays inside its piece).
// A file ending with CR LF has an empty last piece.
class PieceCursor {
public:
    explicit PieceCursor(std::string_view text) : text_(text) {}

    // The next piece; false when the file has none left.
    bool Next(std::string_view& piece) {
        if (!more_) {
            return false;
        }
        ++line_;
        const std::size_t start = pos_;
        std::size_t search = pos_;
        while (search < text_.size()) {
            const void* hit = std::memchr(text_.data() + search, '\n', text_.size() - search);
            if (hit == nullptr) {
                break;
            }
            const auto lf = static_cast<std::size_t>(static_cast<const char*>(hit) - text_.data());
            if (lf > start && text_[lf - 1] == '\r') {
                piece = text_.substr(start, lf - 1 - start);
                pos_ = lf + 1;
                return true;
            }
            search = lf + 1;
        }
        piece = text_.substr(start);
        pos_ = text_.size();
        more_ = false;
        return true;
    }

    // Takes the next piece as values: calls take(ref) for every non-empty field between single
    // spaces, in order, and moves past the piece. False when the file has no piece left. Lines
    // and fields are found in the same walk over the bytes, which is most of a large file.
    template <typename Take>
    bool NextValues(Take&& take) {
        if (!more_) {
            return false;
        }
        ++line_;
        const char* const base = text_.data();
        const char* const end = base + text_.size();
        const char* p = base + pos_;
        while (true) {
            p = SkipSpaces(p, end);
            if (p == end) {
                more_ = false;
                break;
            }
            if (IsLineEnd(p, end)) {
                p += 2;
                break;
            }
            const char* start = p;
            p = ValueEnd(p + 1, end);
            take(TextRef{static_cast<std::uint32_t>(start - base),
                         static_cast<std::uint32_t>(p - start)});
        }
        pos_ = static_cast<std::size_t>(p - base);
        return true;
    }

    // Whether a next piece exists and holds anything but spaces.
    bool HasBlockAhead() const {
        if (!more_) {
            return false;
        }
        for (std::size_t p = pos_; p < text_.size(); ++p) {
            if (text_[p] != ' ') {
                return !IsLineEnd(text_.data() + p, text_.data() + text_.size());
            }
        }
        return false;
    }

    // 1-based line number of the last piece taken.
    std::int64_t Line() const { return line_; }

private:
    static bool IsLineEnd(const char* p, const char* end) {
        return *p == '\r' && p + 1 != end && p[1] == '\n';
    }

    // The first byte at or after p that is not a space, eight bytes at a time.
    static const char* SkipSpaces(const char* p, const char* end) {
        while (end - p >= 8) {
            const std::uint64_t other = Load8(p) ^ (kOnes * ' ');
            if (other != 0) {
                return p + (std::countr_zero(other) >> 3);
            }
            p += 8;
        }
        while (p != end && *p == ' ') {
            ++p;
        }
        return p;
    }

    // Where a value ends: at the first space or CR LF from p on. A lone CR belongs to it.
    // Sixteen bytes are looked at together and the place is found without a branch, since
    // whether a value is one byte longer (a minus sign) is as good as random.
    static const char* ValueEnd(const char* p, const char* end) {
        while (end - p >= 16) {
            const std::uint64_t word = Load8(p);
            const std::uint64_t next = Load8(p + 8);
            const int low = std::countr_zero(Marks(word, ' ') | Marks(word, '\r'));
            const int high = std::countr_zero(Marks(next, ' ') | Marks(next, '\r'));
            const int bit = low + (low >> 6) * high;  // 64 + high when the first word has none
            if (bit == 128) {
                p += 16;
                continue;
            }
            p += bit >> 3;
            if (*p == ' ' || IsLineEnd(p, end)) {
                return p;
            }
            ++p;
        }
        while (p != end && *p != ' ' && !IsLineEnd(p, end)) {
            ++p;
        }
        return p;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    std::int64_t line_ = 0;
    bool more_ = true;
};

// A count is plain decimal digits naming a number from 1 to 2147483647.
bool ParseCount(std::string_view field, std::int32_t& count) {
    if (field.empty() || field.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end != field.data() + field.size() || value < 1 ||
        value > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        return false;
    }
    count = static_cast<std::int32_t>(value);
    return true;
}

// A field quoted in a reason, cut short: one field of a junk header can be megabytes long, and
// the reason becomes a line on a terminal or a message box. The cut keeps UTF-8 characters whole.
std::string Quoted(std::string_view field) {
    constexpr std::size_t kShown = 40;
    if (field.size() <= kShown) {
        return "\"" + std::string(field) + "\"";
    }
    std::size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(field[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return "\"" + std::string(field.substr(0, cut)) + "...\" (" + std::to_string(field.size()) +
           " bytes)";
}

class Parser {
public:
    Parser(ZepFileContents& file, std::string_view text, std::string_view tolerance)
        : file_(file), text_(text), tolerance_(tolerance), cursor_(text) {}

    // False with Error() set when the file cannot be read.
    bool Run() {
        return ReadHeader() && FitsTheFile() && SizeRecord() && ReadRows() && ReadLabels() &&
               ReadDeviations();
    }
    ReadResult TakeFailure() { return std::move(failure_); }

private:
    bool Fail(std::int64_t line, std::string reason) {
        failure_ = Refuse(line, std::move(reason));
        return false;
    }

    bool ReadHeader() {
        std::string_view header;
        cursor_.Next(header);
        std::array<std::string_view, 5> fields{};
        std::size_t count = 0;
        std::size_t start = 0;
        while (true) {
            const std::size_t space = header.find(' ', start);
            const std::string_view field = header.substr(
                start, space == std::string_view::npos ? std::string_view::npos : space - start);
            if (count < fields.size()) {
                fields[count] = field;
            }
            ++count;
            if (space == std::string_view::npos) {
                break;
            }
            start = space + 1;
        }
        if (count < fields.size()) {
            return Fail(1, "the header has " + std::to_string(count) +
                               (count == 1 ? " field" : " fields") + ", expected at least 5");
        }
        file_.Formats = std::string(fields[0]);
        return Count(fields[2], "row", file_.VarCount) &&
               Count(fields[3], "label", file_.StrCount) &&
               Count(fields[4], "deviation", file_.MidCount);
    }

    bool Count(std::string_view field, const char* what, std::int32_t& count) {
        if (ParseCount(field, count)) {
            return true;
        }
        return Fail(1, std::string("the ") + what + " count " + Quoted(field) +
                           " is not a whole number from 1 to 2147483647");
    }

    // Every value takes at least one byte and every line but the last two, so a header can be
    // checked against the file's size before anything is allocated for it.
    bool FitsTheFile() {
        const auto size = static_cast<std::uint64_t>(text_.size());
        const auto rows = static_cast<std::uint64_t>(file_.VarCount);
        const auto labels = static_cast<std::uint64_t>(file_.StrCount);
        const auto deviations = static_cast<std::uint64_t>(file_.MidCount);
        if (rows * rows > size ||
            (rows * rows * sizeof(TextRef) > std::max(size, kCellsCheckedAbove) &&
             rows * rows > MostValuesHeld())) {
            return TooMany(file_.VarCount, "rows of as many values");
        }
        if (rows + labels > size / 2) {
            return TooMany(file_.StrCount, "labels after its rows");
        }
        if (deviations > size) {
            return TooMany(file_.MidCount, "deviation values");
        }
        return true;
    }

    // Every value starts a line or follows a space. Counted only when the cells of the rows
    // would outweigh the file itself (values shorter than a cell reference) and take more than
    // kCellsCheckedAbove, so that a file of junk under a large header is refused before many
    // times its size is allocated, while a small file still gets the exact line of its fault.
    std::uint64_t MostValuesHeld() const {
        std::uint64_t starts = 1;
        for (const char ch : text_) {
            starts += static_cast<std::uint64_t>(ch == ' ' || ch == '\n');
        }
        return starts;
    }

    bool TooMany(std::int32_t count, const char* what) {
        return Fail(1, "the header announces " + std::to_string(count) + " " + what +
                           ", more than a file of " + std::to_string(text_.size()) +
                           " bytes can hold");
    }

    bool SizeRecord() {
        file_.data.SizeCoordinates(file_.VarCount);
        file_.data.SizeLabels(file_.StrCount);
        file_.data.SizeDeviations(file_.MidCount);
        return true;
    }

    // Every row starts on a line of its own and may run over several lines; the lines of a row
    // carry exactly its values.
    bool ReadRows() {
        const std::int32_t n = file_.VarCount;
        for (std::int32_t r = 1; r <= n; ++r) {
            TextRef* const cells = file_.data.RowCells(r);
            std::int32_t c = 0;
            std::int32_t extra = 0;
            while (c < n) {
                const bool more = cursor_.NextValues([&](TextRef ref) {
                    if (c < n) {
                        cells[c++] = ref;
                    } else {
                        ++extra;
                    }
                });
                if (!more) {
                    return Fail(cursor_.Line(), "the file ends in row " + std::to_string(r) +
                                                    " after " + std::to_string(c) + " of " +
                                                    std::to_string(n) + " values");
                }
            }
            if (extra > 0) {
                return Fail(cursor_.Line(), "row " + std::to_string(r) + " has " +
                                                std::to_string(std::int64_t{n} + extra) +
                                                " values, expected " + std::to_string(n));
            }
        }
        return true;
    }

    bool ReadLabels() {
        std::string_view piece;
        for (std::int32_t i = 1; i <= file_.StrCount; ++i) {
            if (!cursor_.Next(piece)) {
                return Fail(cursor_.Line(), "the file ends after " + std::to_string(i - 1) +
                                                " of " + std::to_string(file_.StrCount) +
                                                " labels");
            }
            file_.data.SetLabelRef(i, Offset(piece));
        }
        return true;
    }

    // The block is there when the line after the labels holds anything but spaces, also when
    // it is the file's last line: that is the shape written for fewer values than fill a line.
    bool ReadDeviations() {
        if (!cursor_.HasBlockAhead()) {
            const TextRef fill = file_.data.AppendText(tolerance_);
            for (std::int32_t i = 1; i <= file_.MidCount; ++i) {
                file_.data.SetDeviationRef(i, fill);
            }
            return true;
        }
        const std::int32_t m = file_.MidCount;
        std::int32_t c = 0;
        while (c < m) {
            // Values past the last one needed are not read.
            const bool more = cursor_.NextValues([&](TextRef ref) {
                if (c < m) {
                    file_.data.SetDeviationRef(++c, ref);
                }
            });
            if (!more) {
                return Fail(cursor_.Line(), "the file ends after " + std::to_string(c) + " of " +
                                                std::to_string(m) + " deviation values");
            }
        }
        return true;
    }

    TextRef Offset(std::string_view piece) const {
        return TextRef{static_cast<std::uint32_t>(piece.data() - text_.data()),
                       static_cast<std::uint32_t>(piece.size())};
    }

    ZepFileContents& file_;
    std::string_view text_;
    std::string_view tolerance_;
    PieceCursor cursor_;
    ReadResult failure_;
};

}  // namespace

std::string DescribeReadError(const ReadError& error) {
    if (error.line <= 0) {
        return error.reason;
    }
    return error.reason + " (line " + std::to_string(error.line) + ")";
}

ReadResult ParseZepFile(std::string bytes, std::string_view tolerance) {
    if (bytes.empty()) {
        return Refuse(0, "the file is empty");
    }
    if (tolerance.size() > kMaxBufferBytes || bytes.size() > kMaxBufferBytes - tolerance.size()) {
        return Refuse(0, "the file is larger than 4 GB");
    }
    try {
        ReadResult result;
        result.file.emplace();
        ZepFileContents& file = *result.file;
        const std::size_t size = bytes.size();
        file.data.AdoptBytes(std::move(bytes));
        const std::string_view text = file.data.text(TextRef{0, static_cast<std::uint32_t>(size)});
        Parser parser(file, text, tolerance);
        if (!parser.Run()) {
            return parser.TakeFailure();
        }
        return result;
    } catch (const std::bad_alloc&) {
        return Refuse(0, "the file is too large to hold in memory");
    }
}

ReadResult LoadZEPFile(const std::string& path, std::string_view tolerance) {
    // A file too large to be held is refused before any of it is read.
    std::error_code sizeError;
    const std::uintmax_t size = std::filesystem::file_size(path, sizeError);
    if (!sizeError &&
        size > kMaxBufferBytes - std::min<std::uint64_t>(tolerance.size(), kMaxBufferBytes)) {
        return Refuse(0, "the file is larger than 4 GB");
    }
    std::string bytes;
    errno = 0;
    // Room for the default deviation, so adding it never copies the whole file.
    if (!ReadWholeFile(path, bytes, tolerance.size())) {
        const int cause = errno;
        std::error_code ignored;
        if (std::filesystem::is_directory(path, ignored)) {
            return Refuse(0, "cannot open the file: it is a folder");
        }
        return Refuse(0, cause != 0 ? std::string("cannot open the file: ") + std::strerror(cause)
                                    : std::string("cannot open the file"));
    }
    return ParseZepFile(std::move(bytes), tolerance);
}

}  // namespace zep
