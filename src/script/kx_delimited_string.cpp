#include "script/kx_delimited_string.h"

#include "platform/ascii_case.h"

void CKXDelimitedString::Set(std::string_view text, std::string_view newDelimiter, bool keep) {
    pieces.clear();
    sourceText = text;
    delimiter = newDelimiter;
    keepEmpty = keep;
    // A text that is nothing but the delimiter has no pieces at all, not two empty ones.
    if (EqualsIgnoringAsciiCase(text, newDelimiter)) return;

    std::string s(text);
    if (!keepEmpty && !delimiter.empty()) {
        std::size_t first = s.find_first_not_of(delimiter);
        if (first == std::string::npos) {
            s.clear();
        } else {
            s = s.substr(first, s.find_last_not_of(delimiter) - first + 1);
        }
    }
    // The appended delimiter closes the last piece. When the delimiter can match earlier (such
    // as "aa" after a text ending in "a"), whatever follows that match is dropped.
    s += delimiter;
    if (delimiter.empty()) {
        pieces.push_back(std::move(s));
        return;
    }
    std::size_t start = 0;
    for (std::size_t found; (found = s.find(delimiter, start)) != std::string::npos; start = found + delimiter.size()) {
        if (found > start || keepEmpty) pieces.push_back(s.substr(start, found - start));
    }
}

const std::string& CKXDelimitedString::GetItem(int index) const {
    static const std::string empty;
    if (index < 0 || index >= Count()) return empty;
    return pieces[static_cast<std::size_t>(index)];
}
