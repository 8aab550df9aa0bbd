#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text split into pieces at a delimiter: script lines for trace output, lines of text files.
// Splitting follows the player's historic rules, quirks included, because scripts depend on the
// piece counts it produces.
class CKXDelimitedString {
public:
    // Replaces the pieces with those of text split at delimiter. keepEmpty false drops empty
    // pieces and first strips every character of the delimiter from both ends of the text.
    void Set(std::string_view text, std::string_view delimiter, bool keepEmpty);

    int Count() const { return static_cast<int>(pieces.size()); }
    // The piece at the 0-based index; the empty string when the index is out of range.
    const std::string& GetItem(int index) const;

    const std::string& Text() const { return sourceText; }
    const std::string& Delimiter() const { return delimiter; }
    bool KeepEmpty() const { return keepEmpty; }

private:
    std::string sourceText;
    std::string delimiter;
    std::vector<std::string> pieces;
    bool keepEmpty = true;
};
