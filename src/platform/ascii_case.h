#pragma once

#include <string_view>

// Names of pages, events and archive entries compare ignoring the case of ASCII letters only:
// the bytes above 0x7F are in the project's code page and compare exactly, whatever the locale.
inline char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}
