#pragma once

// The orderings written the long way, exactly as the user documentation describes them:
// neighbour exchanges pass after pass, and every label of every file pair compared with every
// other. The fast code must give the same files on any input; these are far too slow for real
// use and live here only to check it.

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "LabelFiles.h"

namespace zep::test::reference {

// One label row, remembered by the position it had before any reordering.
struct Row {
    std::string label;
    std::int32_t matchCount = 0;
    std::int32_t origin = 0;  // 1-based position in the snapshot taken before
};

using File = std::vector<Row>;

inline File FromSnapshot(const RecordSnapshot& snapshot) {
    File file;
    for (std::size_t i = 0; i < snapshot.labels.size(); ++i) {
        file.push_back(
            Row{snapshot.labels[i], snapshot.matchCounts[i], static_cast<std::int32_t>(i + 1)});
    }
    return file;
}

inline bool IsBlank(const std::string& label) {
    for (char ch : label) {
        if (ch != ' ') {
            return false;
        }
    }
    return true;
}

// Character by character by code; when one is the leading part of the other, the shorter first.
inline bool ComesAfter(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) {
            return x > y;
        }
    }
    return a.size() > b.size();
}

// Must the label after `here` come first?
inline bool LaterComesFirst(const Row& here, const Row& next, bool spaceToLast) {
    if (!spaceToLast) {
        return ComesAfter(here.label, next.label);
    }
    const bool hereBlank = IsBlank(here.label);
    const bool nextBlank = IsBlank(next.label);
    return (hereBlank && !nextBlank) ||
           (!hereBlank && !nextBlank && ComesAfter(here.label, next.label));
}

inline void SortByAscii(File& file, bool spaceToLast) {
    const std::size_t n = file.size();
    for (std::size_t p = 1; p <= n; ++p) {
        for (std::size_t j = 0; j + p < n; ++j) {
            if (LaterComesFirst(file[j], file[j + 1], spaceToLast)) {
                std::swap(file[j], file[j + 1]);
            }
        }
    }
}

inline void SortByMatchCount(File& file) {
    const std::size_t n = file.size();
    for (std::size_t p = 1; p <= n; ++p) {
        for (std::size_t j = 0; j + p < n; ++j) {
            if (file[j].matchCount < file[j + 1].matchCount) {
                std::swap(file[j], file[j + 1]);
            }
        }
    }
}

inline void ResetMatchCounts(std::vector<File>& files) {
    for (File& file : files) {
        for (Row& row : file) {
            row.matchCount = 1;
        }
    }
}

inline void CountLabelMatches(std::vector<File>& files) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        for (std::size_t k = i + 1; k < files.size(); ++k) {
            for (Row& mine : files[i]) {
                if (IsBlank(mine.label)) {
                    continue;
                }
                for (Row& theirs : files[k]) {
                    if (mine.label == theirs.label) {
                        ++mine.matchCount;
                        ++theirs.matchCount;
                    }
                }
            }
        }
    }
}

inline void CompareFiles(std::vector<File>& files, bool sortAscii, bool spaceToLast) {
    ResetMatchCounts(files);
    CountLabelMatches(files);
    for (File& file : files) {
        if (sortAscii) {
            SortByAscii(file, spaceToLast);
        }
        SortByMatchCount(file);
    }
}

// The record the fast code must leave: the label rows of `before` in the reference's order,
// each with its deviation and whole coordinate row; whatever lies past the labels unchanged.
inline RecordSnapshot Expected(const RecordSnapshot& before, const File& file) {
    RecordSnapshot expected = before;
    for (std::size_t p = 0; p < file.size(); ++p) {
        const auto from = static_cast<std::size_t>(file[p].origin - 1);
        expected.labels[p] = before.labels[from];
        expected.matchCounts[p] = file[p].matchCount;
        expected.deviations[p] = before.deviations[from];
        expected.coordinates[p] = before.coordinates[from];
    }
    return expected;
}

// Labels that stress the order: blanks of several widths, case and trailing-space twins,
// leading parts, tabs, bytes above 127.
inline std::string RandomLabel(std::mt19937& rng) {
    static const std::vector<std::string> tricky = {
        "",     " ",    "  ",   "    ",  "A",    "a",   "A ",  "a ", " A",
        "AB",   "B",    "\t",   " \t",   "0",    "9",   "Z",   "z",  "\xC3\xA9",
        "\xE9", "\xFF", "\x80", "A\xE9", "\x7F", "A  ", "AB ", "Ab", "aB"};
    static const std::string alphabet = " AaBb\t0\xE9\x80";
    if (std::uniform_int_distribution<int>(0, 9)(rng) < 4) {
        return tricky[std::uniform_int_distribution<std::size_t>(0, tricky.size() - 1)(rng)];
    }
    std::string label(std::uniform_int_distribution<std::size_t>(0, 3)(rng), ' ');
    for (char& ch : label) {
        ch = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(rng)];
    }
    return label;
}

}  // namespace zep::test::reference
