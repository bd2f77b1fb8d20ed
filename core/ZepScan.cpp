#include "core/ZepScan.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zep {
namespace {

static_assert(std::endian::native == std::endian::little, "words are scanned low byte first");

constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kLows = 0x7f7f7f7f7f7f7f7fULL;
constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
constexpr std::uint64_t kAll = ~std::uint64_t{0};
constexpr std::size_t kBlock = 64;

// One bit per byte of a 64-byte block, byte i at bit i, for each byte that matters.
struct ByteClasses {
    std::uint64_t space = 0;
    std::uint64_t cr = 0;
    std::uint64_t lf = 0;
    std::uint64_t minus = 0;
};

std::uint64_t Load8(const char* p) {
    std::uint64_t word = 0;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The high bit of every byte of word that equals byte, exactly (no false marks).
std::uint64_t HighBitsWhere(std::uint64_t word, unsigned char byte) {
    const std::uint64_t x = word ^ (kOnes * byte);
    return ~(((x & kLows) + kLows) | x) & kHighs;
}

std::uint64_t Gather(std::uint64_t highs) {
    return ((highs >> 7) * 0x0102040810204080ULL) >> 56;
}

ByteClasses ClassifyPortable(const char* p) {
    ByteClasses classes;
    for (unsigned i = 0; i < kBlock / 8; ++i) {
        const std::uint64_t word = Load8(p + 8 * i);
        classes.space |= Gather(HighBitsWhere(word, ' ')) << (8 * i);
        classes.cr |= Gather(HighBitsWhere(word, '\r')) << (8 * i);
        classes.lf |= Gather(HighBitsWhere(word, '\n')) << (8 * i);
        classes.minus |= Gather(HighBitsWhere(word, '-')) << (8 * i);
    }
    return classes;
}

#if defined(__SSE2__)
std::uint64_t Matches(const __m128i (&bytes)[4], char wanted) {
    const __m128i value = _mm_set1_epi8(wanted);
    const auto bits = [&](int i) {
        return std::uint64_t{
            static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes[i], value)))};
    };
    return bits(0) | bits(1) << 16 | bits(2) << 32 | bits(3) << 48;
}

ByteClasses ClassifySse2(const char* p) {
    const __m128i bytes[4] = {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32)),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48))};
    return ByteClasses{Matches(bytes, ' '), Matches(bytes, '\r'), Matches(bytes, '\n'),
                       Matches(bytes, '-')};
}
#endif

ByteClasses Classify(const char* p, ScanPath path) {
#if defined(__SSE2__)
    if (path == ScanPath::Sse2) {
        return ClassifySse2(p);
    }
#else
    (void)path;
#endif
    return ClassifyPortable(p);
}

bool IsLineEnd(const char* p, const char* end) {
    return *p == '\r' && p + 1 != end && p[1] == '\n';
}

const char* SkipSpaces(const char* p, const char* end) {
    while (p != end && *p == ' ') {
        ++p;
    }
    return p;
}

}  // namespace

ScanPath FastestScanPath() {
#if defined(__SSE2__)
    return ScanPath::Sse2;
#else
    return ScanPath::Portable;
#endif
}

LineScanner::LineScanner(std::string_view text, std::size_t from, ScanPath path,
                         ByteArrival arrival)
    : text_(text), path_(path), arrival_(std::move(arrival)), arrived_(arrival_ ? 0 : text.size()) {
    Load(from);
}

// Masks carry over through prev*, so a block never looks back at bytes before it.
void LineScanner::Load(std::size_t base) {
    base_ = base;
    // The block and the byte after it, which tells whether a CR at its end ends a line.
    const std::size_t needed = std::min(base + kBlock + 1, text_.size());
    if (arrived_ < needed) {
        arrived_ = arrival_(needed);
        if (arrived_ < needed) {
            text_ = text_.substr(0, arrived_);  // no more will come
        }
    }
    const std::size_t left = base < text_.size() ? text_.size() - base : 0;
    const char* bytes = text_.data() + base;
    char tail[kBlock];  // the last, short block, padded with bytes of no class
    std::uint64_t valid = kAll;
    if (left < kBlock) {
        std::memset(tail, 0, kBlock);
        if (left > 0) {
            std::memcpy(tail, bytes, left);
        }
        bytes = tail;
        valid = left == 0 ? 0 : kAll >> (kBlock - left);
    }
    const ByteClasses c = Classify(bytes, path_);
    const bool lfAfter = left > kBlock && text_[base + kBlock] == '\n';
    const std::uint64_t lineEnds = c.cr & ((c.lf >> 1) | (std::uint64_t{lfAfter} << 63)) & valid;
    const std::uint64_t lineFeeds = (lineEnds << 1) | (prevLineEnd_ >> 63);
    const std::uint64_t value = ~(c.space | lineEnds | lineFeeds) & valid;
    const std::uint64_t starts = value & ~((value << 1) | (prevValue_ >> 63));
    const std::uint64_t space = c.space & valid;
    const std::uint64_t runStarts = space & ~((space << 1) | (prevSpace_ >> 63));
    // A value is led well by three spaces before a leading minus sign, else by four.
    const auto back = [](std::uint64_t mask, std::uint64_t before, unsigned k) {
        return (mask << k) | (before >> (kBlock - k));
    };
    const std::uint64_t spaces3 =
        back(space, prevSpace_, 1) & back(space, prevSpace_, 2) & back(space, prevSpace_, 3);
    const std::uint64_t lead3 = back(runStarts, prevRunStart_, 3) & spaces3;
    const std::uint64_t lead4 = back(runStarts, prevRunStart_, 4) & spaces3;
    const std::uint64_t wellLed = (lead3 & c.minus) | (lead4 & ~c.minus);
    block_.lineEnds = lineEnds;
    block_.valueStarts = starts;
    block_.offForm = (starts & ~wellLed) | (c.minus & value & ~starts);
    prevValue_ = value;
    prevSpace_ = space;
    prevRunStart_ = runStarts;
    prevLineEnd_ = lineEnds;
}

bool LineScanner::Next(ScannedLine& line) {
    if (done_) {
        return false;
    }
    line.begin = base_ + bit_;
    std::uint64_t values = 0;
    std::uint64_t offForm = 0;
    while (true) {
        const std::uint64_t from = bit_ >= kBlock ? 0 : kAll << bit_;
        const std::uint64_t ends = block_.lineEnds & from;
        if (ends != 0) {
            const auto k = static_cast<unsigned>(std::countr_zero(ends));
            const std::uint64_t through = k == 63 ? kAll : (std::uint64_t{2} << k) - 1;
            values += static_cast<unsigned>(std::popcount(block_.valueStarts & from & through));
            offForm |= block_.offForm & from & through;
            line.end = base_ + k;
            line.next = line.end + 2;
            line.last = false;
            bit_ = k + 2;
            break;
        }
        values += static_cast<unsigned>(std::popcount(block_.valueStarts & from));
        offForm |= block_.offForm & from;
        if (base_ + kBlock >= text_.size()) {
            line.end = line.next = text_.size();
            line.last = true;
            done_ = true;
            break;
        }
        const unsigned carry = bit_ > kBlock ? bit_ - static_cast<unsigned>(kBlock) : 0;
        Load(base_ + kBlock);
        bit_ = carry;
    }
    line.values = values;
    line.written = offForm == 0 && (line.end == line.begin || text_[line.end - 1] != ' ');
    return true;
}

const char* ValueEnd(const char* p, const char* end) {
    while (p != end && *p != ' ' && !IsLineEnd(p, end)) {
        ++p;
    }
    return p;
}

const char* NextValue(const char* p, const char* end) {
    while (true) {
        p = SkipSpaces(p, end);
        if (p == end || !IsLineEnd(p, end)) {
            return p;
        }
        p += 2;
    }
}

const char* LineEnd(const char* p, const char* end) {
    while (p != end && !IsLineEnd(p, end)) {
        ++p;
    }
    return p;
}

}  // namespace zep
