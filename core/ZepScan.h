#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace zep {

// SSE2 is on every x86-64; Portable gives the same answers everywhere.
enum class ScanPath { Portable, Sse2 };

// Asking for Sse2 where the build has no SSE2 scans portably.
ScanPath FastestScanPath();

// One line of a file cut at every CR LF pair (a lone CR or LF stays inside its line).
struct ScannedLine {
    std::size_t begin = 0;     // its first byte
    std::size_t end = 0;       // its CR, or the end of the text for the last line
    std::size_t next = 0;      // where the next line starts; the end of the text after the last
    std::uint64_t values = 0;  // non-empty fields between single spaces
    // Each value behind three spaces, a fourth when it holds no minus sign; a minus sign only
    // as its first byte; nothing after the last value.
    bool written = false;
    bool last = false;  // no CR LF ends it
};

// Makes at least wanted bytes readable (or all there will be); returns how many.
using ByteArrival = std::function<std::size_t(std::size_t wanted)>;

// Classifies each byte once per 64-byte block; lines and values come from bit masks.
class LineScanner {
public:
    LineScanner(std::string_view text, std::size_t from, ScanPath path, ByteArrival arrival = {});

    // A text ending with CR LF has an empty last line.
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
    std::uint64_t prevValue_ = 0;
    std::uint64_t prevSpace_ = 0;
    std::uint64_t prevRunStart_ = 0;
    std::uint64_t prevLineEnd_ = 0;
};

// The first space or CR LF from p on, or end; a lone CR belongs to the value.
const char* ValueEnd(const char* p, const char* end);

// The first value at or after p: spaces and CR LF pairs are skipped; end when there is none.
const char* NextValue(const char* p, const char* end);

// The byte after the line that starts at p: its CR, or end when no CR LF follows.
const char* LineEnd(const char* p, const char* end);

}  // namespace zep
