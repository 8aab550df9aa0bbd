#pragma once

// Ways the targets split one input into the several values a reader takes.
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

// The pieces of text between NUL bytes; missing ones are empty.
inline std::vector<std::string> Pieces(std::string_view text, std::size_t count) {
    std::vector<std::string> pieces;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t end = text.find('\0');
        pieces.emplace_back(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return pieces;
}

// The code page names[index], opened once a process; nullptr where the system's converters lack
// it. One list of names a target.
template <std::size_t N>
const CodePage* OpenedCodePage(const std::array<const char*, N>& names, std::size_t index) {
    static std::array<std::unique_ptr<CodePage>, N> pages;
    static std::array<bool, N> tried{};
    if (!tried[index]) {
        tried[index] = true;
        pages[index] = CodePage::Open(names[index], nullptr);
    }
    return pages[index].get();
}
