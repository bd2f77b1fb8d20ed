#include "core/ZepReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <new>
#include <utility>

#include "core/ZepScan.h"
#include "support/ByteBuffer.h"
#include "support/SafeFileReader.h"

namespace zep {
namespace {

// Texts are 32-bit offsets; the largest stays clear of the empty-text mark.
constexpr std::uint64_t kMaxBufferBytes = std::numeric_limits<std::uint32_t>::max() - 1;
constexpr std::uint64_t kAddedTextRoom = sizeof(std::uint32_t);
constexpr std::size_t kReadStep = std::size_t{128} << 10;

ReadResult Refuse(std::int64_t line, std::string reason) {
    ReadResult result;
    result.error.line = static_cast<std::int32_t>(
        std::min<std::int64_t>(line, std::numeric_limits<std::int32_t>::max()));
    result.error.reason = std::move(reason);
    return result;
}

bool TooLarge(std::uint64_t size, std::string_view tolerance) {
    return tolerance.size() + kAddedTextRoom > kMaxBufferBytes ||
           size > kMaxBufferBytes - kAddedTextRoom - tolerance.size();
}

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

// Cut short, UTF-8 kept whole: a junk header field can be megabytes, and reasons reach a terminal.
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

// Nothing is allocated for labels or deviations until the file is known to hold them, so a
// refused file costs little more than its own bytes.
class Parser {
public:
    Parser(ZepFileContents& file, std::string_view text, std::string_view tolerance,
           ByteArrival arrival)
        : file_(file),
          text_(text),
          tolerance_(tolerance),
          scanner_(text, 0, FastestScanPath(), std::move(arrival)) {}

    bool Run() {
        return ReadHeader() && FitsTheFile() && ReadRows() && ReadLabels() && ReadDeviations();
    }
    ReadResult TakeFailure() { return std::move(failure_); }

private:
    bool Fail(std::int64_t line, std::string reason) {
        failure_ = Refuse(line, std::move(reason));
        return false;
    }

    bool NextLine(ScannedLine& line) {
        if (!scanner_.Next(line)) {
            return false;
        }
        ++line_;
        return true;
    }

    bool ReadHeader() {
        ScannedLine line;
        NextLine(line);
        const std::string_view header = text_.substr(0, line.end);
        next_ = line.next;
        std::array<std::string_view, 5> fields{};
        std::size_t count = 0;
        for (std::size_t start = 0; start <= header.size(); ++count) {
            const std::size_t space = std::min(header.find(' ', start), header.size());
            if (count < fields.size()) {
                fields[count] = header.substr(start, space - start);
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

    // Each value takes at least a byte, so a header can be checked against the file's size.
    bool FitsTheFile() {
        const auto size = static_cast<std::uint64_t>(text_.size());
        const auto rows = static_cast<std::uint64_t>(file_.VarCount);
        const auto labels = static_cast<std::uint64_t>(file_.StrCount);
        const auto deviations = static_cast<std::uint64_t>(file_.MidCount);
        if (rows * rows > size) {
            return TooMany(file_.VarCount, "rows of as many values");
        }
        if (rows + labels > size / 2) {
            return TooMany(file_.StrCount, "labels after its rows");
        }
        if (deviations > std::max<std::uint64_t>(size, kMostDefaultDeviations)) {
            return TooMany(file_.MidCount, "deviation values");
        }
        return true;
    }

    bool TooMany(std::int32_t count, const char* what) {
        return Fail(1, "the header announces " + std::to_string(count) + " " + what +
                           ", more than a file of " + std::to_string(text_.size()) +
                           " bytes can hold");
    }

    // A row is kept as the stretch of its lines, marked when laid out exactly as written.
    bool ReadRows() {
        const std::int32_t n = file_.VarCount;
        file_.data.SizeCoordinates(n);
        ScannedLine line;
        line.next = next_;
        for (std::int32_t r = 1; r <= n; ++r) {
            const std::size_t begin = line.next;
            std::uint64_t c = 0;
            bool written = true;
            while (c < static_cast<std::uint64_t>(n)) {
                if (!NextLine(line)) {
                    return Fail(line_, "the file ends in row " + std::to_string(r) + " after " +
                                           std::to_string(c) + " of " + std::to_string(n) +
                                           " values");
                }
                const std::uint64_t due =
                    std::min(kValuesPerLine, static_cast<std::uint64_t>(n) - c);
                written = written && line.written && !line.last && line.values == due;
                c += line.values;
            }
            if (c > static_cast<std::uint64_t>(n)) {
                return Fail(line_, "row " + std::to_string(r) + " has " + std::to_string(c) +
                                       " values, expected " + std::to_string(n));
            }
            file_.data.SetFileRow(r, begin, line.next, written);
        }
        next_ = line.next;
        return true;
    }

    bool ReadLabels() {
        ScannedLine line;
        for (std::int32_t i = 1; i <= file_.StrCount; ++i) {
            if (!NextLine(line)) {
                return Fail(line_, "the file ends after " + std::to_string(i - 1) + " of " +
                                       std::to_string(file_.StrCount) + " labels");
            }
        }
        file_.data.SizeLabels(file_.StrCount);
        const char* const base = text_.data();
        const char* const end = base + scanner_.End();  // the bytes read so far
        const char* p = base + next_;
        for (std::int32_t i = 1; i <= file_.StrCount; ++i) {
            file_.data.SetLabelAt(i, static_cast<std::size_t>(p - base));
            const char* const lineEnd = LineEnd(p, end);
            p = lineEnd == end ? end : lineEnd + 2;
        }
        next_ = line.next;
        return true;
    }

    // Anything but spaces after the labels starts the block, even on the last line (the shape
    // written for few values); values past the last one needed are not read.
    bool ReadDeviations() {
        const std::int32_t m = file_.MidCount;
        ScannedLine line;
        if (!NextLine(line) || line.values == 0) {
            return FillDeviations();
        }
        std::uint64_t c = line.values;
        while (c < static_cast<std::uint64_t>(m)) {
            if (!NextLine(line)) {
                return Fail(line_, "the file ends after " + std::to_string(c) + " of " +
                                       std::to_string(m) + " deviation values");
            }
            c += line.values;
        }
        file_.data.SizeDeviations(m);
        const char* const base = text_.data();
        const char* const end = base + scanner_.End();  // the bytes read so far
        const char* p = base + next_;
        for (std::int32_t i = 1; i <= m; ++i) {
            p = NextValue(p, end);
            file_.data.SetDeviationAt(i, static_cast<std::size_t>(p - base));
            p = ValueEnd(p, end);
        }
        return true;
    }

    bool FillDeviations() {
        if (file_.MidCount > kMostDefaultDeviations) {
            return Fail(1, "the header announces " + std::to_string(file_.MidCount) +
                               " deviation values and the file holds none; at most " +
                               std::to_string(kMostDefaultDeviations) +
                               " are filled with the default");
        }
        file_.data.SizeDeviations(file_.MidCount);
        file_.data.FillDeviations(tolerance_);
        return true;
    }

    static constexpr std::uint64_t kValuesPerLine = 6;

    ZepFileContents& file_;
    std::string_view text_;
    std::string_view tolerance_;
    LineScanner scanner_;
    std::int64_t line_ = 0;  // 1-based number of the last line taken
    std::size_t next_ = 0;   // where the line after the last section starts
    ReadResult failure_;
};

// Scans each step just behind the read, while it is still in the cache.
ReadResult Parse(ByteBuffer bytes, std::string_view tolerance, SafeFileReader* reader = nullptr) {
    try {
        if (reader != nullptr) {
            reader->Begin(bytes, kAddedTextRoom + tolerance.size());
        }
        if (bytes.empty()) {
            return Refuse(0, "the file is empty");
        }
        if (TooLarge(bytes.size(), tolerance)) {
            return Refuse(0, "the file is larger than 4 GB");
        }
        // Room for the default deviation, so adding it never moves the file's bytes.
        bytes.Reserve(bytes.size() + kAddedTextRoom + tolerance.size());
        ReadResult result;
        result.file.emplace();
        ZepFileContents& file = *result.file;
        file.data.AdoptBytes(std::move(bytes));
        const std::string_view text =
            file.data.text(TextRef{0, static_cast<std::uint32_t>(file.data.ByteCount())});
        ByteArrival arrival;
        if (reader != nullptr) {
            arrival = [reader](std::size_t wanted) {
                return reader->ReadTo(std::max(wanted, reader->ReadSoFar() + kReadStep));
            };
        }
        Parser parser(file, text, tolerance, std::move(arrival));
        const bool parsed = parser.Run();
        // A file that ended early was cut while it was read: that, not the cut, is the reason.
        if (reader != nullptr && ((parsed && !reader->Finish()) || !reader->Error().empty())) {
            return Refuse(0, reader->Error());
        }
        if (!parsed) {
            return parser.TakeFailure();
        }
        return result;
    } catch (const std::bad_alloc&) {
        return Refuse(0, "the file is too large to hold in memory");
    }
}

}  // namespace

std::string DescribeReadError(const ReadError& error) {
    if (error.line <= 0) {
        return error.reason;
    }
    return error.reason + " (line " + std::to_string(error.line) + ")";
}

ReadResult ParseZepFile(std::string_view bytes, std::string_view tolerance) {
    ByteBuffer buffer;
    buffer.Reserve(bytes.size() + kAddedTextRoom + tolerance.size());
    buffer.Append(bytes);
    return Parse(std::move(buffer), tolerance);
}

ReadResult LoadZEPFile(const std::string& path, std::string_view tolerance,
                       std::optional<FileIdentity>* identity,
                       std::optional<SafeFileReader::Stamp>* stamp) {
    SafeFileReader reader;
    if (!reader.Open(path)) {
        return Refuse(0, reader.Error());
    }
    if (identity != nullptr) {
        *identity = reader.Identity();
    }
    if (stamp != nullptr) {
        *stamp = reader.Opened();
    }
    // A file too large to be held is refused before any of it is read.
    if (TooLarge(reader.Size(), tolerance)) {
        return Refuse(0, "the file is larger than 4 GB");
    }
    return Parse(ByteBuffer(), tolerance, &reader);
}

}  // namespace zep
