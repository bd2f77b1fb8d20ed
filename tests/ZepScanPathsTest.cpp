// The SSE2 and the portable scan find what cutting random texts by hand finds.

#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "core/ZepScan.h"

namespace zep {

// Written: the line is its fields, behind three spaces when led by their only minus, else four.
ScannedLine ByHand(std::string_view text, std::size_t begin) {
    const std::size_t end = std::min(text.find("\r\n", begin), text.size());
    ScannedLine line{begin, end, std::min(end + 2, text.size()), 0, false, end == text.size()};
    std::string laid;
    for (std::size_t start = begin; start <= end;) {
        const std::size_t stop = std::min(text.find(' ', start), end);
        const std::string_view field = text.substr(start, stop - start);
        if (!field.empty()) {
            ++line.values;
            laid += field.find('-') == field.npos ? "    " : field.rfind('-') == 0 ? "   " : "?";
            laid += field;
        }
        start = stop + 1;
    }
    line.written = laid == text.substr(begin, end - begin);
    return line;
}

TEST(ZepScanPaths, BothFindWhatCuttingByHandFinds) {
    std::mt19937 rng(20240601);
    for (int round = 0; round < 3000; ++round) {
        std::string text(rng() % 300, ' ');
        for (char& ch : text) {
            ch = "   \r\n-1a"[rng() % 8];
        }
        for (const ScanPath path : {ScanPath::Portable, FastestScanPath()}) {
            LineScanner scanner(text, 0, path);
            ScannedLine got;
            for (std::size_t begin = 0; !got.last; begin = got.next) {
                const ScannedLine want = ByHand(text, begin);
                ASSERT_TRUE(scanner.Next(got));
                EXPECT_EQ(std::tie(got.end, got.next, got.values, got.written, got.last),
                          std::tie(want.end, want.next, want.values, want.written, want.last))
                    << testing::PrintToString(text.substr(begin));
            }
            EXPECT_FALSE(scanner.Next(got));
        }
    }
}

}  // namespace zep
