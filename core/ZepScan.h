#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace zep {

// Which code classifies the bytes of a file: SSE2, which every x86-64 processor has, or a
// portable one that gives the same answers everywhere.
enum class ScanPath { Portable, Sse2 };

// Sse2 where the program is built for a processor that has it, Portable elsewhere; Sse2 asked
// for where the build has no SSE2 scans portably.
ScanPath FastestScanPath();

// One line of a file cut at every CR LF pair (a lone CR or LF stays inside its line).
struct ScannedLine {
    std::size_t begin = 0;     // its first byte
    std::size_t end = 0;       // its CR, or the end of the text for the last line
    std::size_t next = 0;      // where the next line starts; the end of the text after the last
    std::uint64_t values = 0;  // non-empty fields between single spaces
    // Laid out as the writer lays out values: each one behind three spaces, and a fourth when it
    // holds no minus sign; a minus sign only as a value's first byte; nothing after the last.
    bool written = false;
    bool last = false;  // no CR LF ends it
};

// Makes at least the first wanted bytes of a text readable, or all there will be, and returns
// how many are: for a text that is scanned while it is still being read.
using ByteArrival = std::function<std::size_t(std::size_t wanted)>;

// Walks the lines of text from a line start, 64 bytes at a time: every byte is classified once,
// and lines, values and the written layout are found from bit masks of those classes.
class LineScanner {
public:
    // Without arrival, the whole text is there from the start.
    LineScanner(std::string_view text, std::size_t from, ScanPath path, ByteArrival arrival = {});

    // The next line; false when the text has none left. A text ending with CR LF has an empty
    // last line.
    bool Next(ScannedLine& line);

    // Where the text ends: short of its full size when its bytes stopped arriving early.
    std::size_t End() const { return text_.size(); }

private:
    struct Block {
        std::uint64_t lineEnds = 0;     // the CR of every CR LF pair
        std::uint64_t valueStarts = 0;  // first byte of every value
        std::uint64_t offForm = 0;      // bytes that break the written layout
    };

    void Load(std::size_t base);

    std::string_view text_;
    ScanPath path_;
    ByteArrival arrival_;
    std::size_t arrived_ = 0;  // bytes of text that can be read
    std::size_t base_ = 0;     // where the current block starts
    unsigned bit_ = 0;         // where the next line starts, in bits of the current block
    bool done_ = false;
    Block block_;
    // What the block before left for the next one, as masks of its bytes.
    std::uint64_t prevValue_ = 0;
    std::uint64_t prevSpace_ = 0;
    std::uint64_t prevRunStart_ = 0;
    std::uint64_t prevLineEnd_ = 0;
};

// The byte after the value that starts at p: the first space or CR LF from p on, or end. A
// lone CR belongs to the value.
const char* ValueEnd(const char* p, const char* end);

// The first value at or after p: spaces and CR LF pairs are skipped; end when there is none.
const char* NextValue(const char* p, const char* end);

// The byte after the line that starts at p: its CR, or end when no CR LF follows.
const char* LineEnd(const char* p, const char* end);

}  // namespace zep
