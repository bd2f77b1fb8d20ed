#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace zep {

// Small text helpers for names in settings files and the registry, which ignore the case of
// ASCII letters only: every other byte is compared as it is, whatever its encoding.

// text without the given blanks at either end.
inline std::string_view Trim(std::string_view text, std::string_view blanks = " \t") {
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

inline char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// text with its ASCII letters in upper case, as a key that ignores their case.
inline std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        c = UpperAscii(c);
    }
    return upper;
}

inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

}  // namespace zep
