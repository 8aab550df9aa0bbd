#pragma once

#include "platform/code_page.h"

#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Finds every occurrence of a text in another. Without case sensitivity both texts are
// upper-cased in the given code page first; positions are byte offsets either way.
class CKXCStringSearch {
public:
    explicit CKXCStringSearch(const CodePage& page = CodePage::Default()) : codePage(page) {}

    // Replaces Positions() with the 0-based start of each occurrence, left to right; a search
    // resumes after the previous occurrence, so occurrences never overlap. Stops after maxCount
    // occurrences when maxCount is above 0. An empty search text occurs nowhere. Returns the
    // number found.
    int FindAll(std::string_view text, std::string_view search, bool caseSensitive, int maxCount);
    const std::vector<int>& Positions() const { return positions; }

private:
    const CodePage& codePage;
    std::vector<int> positions;
};

class CKXStringSearchReplace {
public:
    explicit CKXStringSearchReplace(const CodePage& page = CodePage::Default()) : codePage(page) {}

    // The text with every occurrence of search (as FindAll finds them) replaced; the text
    // unchanged when search is empty or absent. The replacement is never searched again.
    // Nothing when the result would be longer than maxBytes: it is measured before it is built.
    std::optional<std::string> Replace(std::string_view text, std::string_view search, std::string_view replacement,
                                       bool caseSensitive,
                                       std::size_t maxBytes = std::numeric_limits<std::size_t>::max()) const;

private:
    const CodePage& codePage;
};
