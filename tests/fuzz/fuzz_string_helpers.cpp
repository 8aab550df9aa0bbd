// Feeds arbitrary bytes to the string helpers behind the scripts' string actions. The first byte
// picks the helper, the next two its options; the rest is its input, split at NUL bytes:
//   0  a text and a delimiter, split keeping or dropping empty pieces (second byte, bit 0): no
//      piece holds the delimiter; kept pieces joined again begin the text; dropped ones are
//      never empty; and a split replaces the pieces of the one before.
//   1  a text, a search text and a replacement, with or without case (second byte, bit 0) in a
//      code page (the rest of the second byte), at most a count (third byte) and in at most a
//      number of bytes around the result's size: occurrences lie in the text in order without
//      overlapping, a count keeps the first ones, ignoring case finds no fewer in a single-byte
//      code page, and a replaced text has the size its occurrences give, or none when too long.
//   2  a Windows path, and the same bytes as drive, folder, file name and extension: split and
//      joined again the path is what it was (when within MAX_PATH), and so is a joined path.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/path_parts.h"
#include "actions/string_search.h"
#include "fuzz_inputs.h"
#include "platform/ascii_case.h"
#include "platform/code_page.h"
#include "script/kx_delimited_string.h"

namespace {

void CheckSplit(const CKXDelimitedString& split, const std::string& text, const std::string& delimiter,
                bool keepEmpty) {
    if (split.Text() != text || split.Delimiter() != delimiter || split.KeepEmpty() != keepEmpty ||
        !split.GetItem(-1).empty() || !split.GetItem(split.Count()).empty()) {
        std::abort();
    }
    if (EqualsIgnoringAsciiCase(text, delimiter)) {
        if (split.Count() != 0) std::abort();
        return;
    }
    if (delimiter.empty()) {
        if (split.Count() != 1 || split.GetItem(0) != text) std::abort();
        return;
    }
    std::string joined;
    for (int i = 0; i < split.Count(); ++i) {
        const std::string& piece = split.GetItem(i);
        if (piece.find(delimiter) != std::string::npos || (!keepEmpty && piece.empty())) std::abort();
        joined += piece + delimiter;
    }
    // Kept pieces with their delimiters are the start of the text with its closing delimiter.
    if (keepEmpty && (split.Count() < 1 || (text + delimiter).compare(0, joined.size(), joined) != 0)) std::abort();
}

void Split(unsigned options, std::string_view input) {
    const std::vector<std::string> pieces = Pieces(input, 2);
    const bool keepEmpty = (options & 1) != 0;
    CKXDelimitedString split;
    split.Set(pieces[1], pieces[0], !keepEmpty);
    split.Set(pieces[0], pieces[1], keepEmpty);
    CheckSplit(split, pieces[0], pieces[1], keepEmpty);
}

// Code pages of both kinds, opened once a process; nullptr where the system lacks one.
constexpr std::array<const char*, 6> codePageNames = {"windows-1252", "windows-1251", "windows-1253",
                                                      "windows-1250", "shift_jis",    "cp936"};

const CodePage* CodePageFor(std::size_t index) {
    return OpenedCodePage(codePageNames, index);
}

void Search(unsigned options, unsigned number, std::string_view input) {
    const CodePage* page = CodePageFor((options >> 1) % codePageNames.size());
    if (!page) return;
    const std::vector<std::string> pieces = Pieces(input, 3);
    const std::string& text = pieces[0];
    const std::string& search = pieces[1];
    const std::string& replacement = pieces[2];
    const bool caseSensitive = (options & 1) != 0;

    CKXCStringSearch finder(*page);
    const int count = finder.FindAll(text, search, caseSensitive, 0);
    const std::vector<int> all = finder.Positions();
    if (count != static_cast<int>(all.size()) || (search.empty() && count != 0)) std::abort();
    std::size_t next = 0;
    for (int at : all) {
        const auto position = static_cast<std::size_t>(at);
        if (at < 0 || position < next || position + search.size() > text.size()) std::abort();
        if (caseSensitive && text.compare(position, search.size(), search) != 0) std::abort();
        next = position + search.size();
    }

    const int maxCount = static_cast<int>(number % 4);
    if (maxCount > 0) {
        const int limited = finder.FindAll(text, search, caseSensitive, maxCount);
        if (limited != std::min(count, maxCount) ||
            !std::equal(finder.Positions().begin(), finder.Positions().end(), all.begin())) {
            std::abort();
        }
    }
    if (page->IsSingleByte() && caseSensitive && finder.FindAll(text, search, false, 0) < count) std::abort();

    const CKXStringSearchReplace replacer(*page);
    const std::optional<std::string> replaced = replacer.Replace(text, search, replacement, caseSensitive);
    const std::size_t n = static_cast<std::size_t>(count);
    const std::size_t size = text.size() - n * search.size() + n * replacement.size();
    if (!replaced || replaced->size() != size || (count == 0 && *replaced != text)) std::abort();
    if (caseSensitive && replacer.Replace(text, search, search, true) != text) std::abort();

    // A limit just below, at or just above the result's size.
    const std::size_t shift = (number / 4) % 3;
    if (size + shift >= 1) {
        const std::size_t maxBytes = size + shift - 1;
        const std::optional<std::string> limited = replacer.Replace(text, search, replacement, caseSensitive, maxBytes);
        if (limited.has_value() != (size <= maxBytes) || (limited && *limited != *replaced)) std::abort();
    }
}

void Paths(std::string_view input) {
    const std::string path(input);
    const PathParts parts = SplitPath(path);
    if (parts.drive + parts.folder + parts.filename + parts.extension != path) std::abort();
    std::string joined = "stale";
    const bool fits = MakePath(parts, joined);
    if (fits != (path.size() <= 260) || joined != (fits ? path : "")) std::abort();

    const std::vector<std::string> pieces = Pieces(input, 4);
    const PathParts given{pieces[0], pieces[1], pieces[2], pieces[3]};
    std::string made = "stale";
    if (!MakePath(given, made)) {
        if (!made.empty()) std::abort();
        return;
    }
    std::string again;
    if (made.size() <= 260 && (!MakePath(SplitPath(made), again) || again != made)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 3, size - 3);
    switch (data[0] % 3) {
        case 0:
            Split(data[1], input);
            break;
        case 1:
            Search(data[1], data[2], input);
            break;
        default:
            Paths(input);
            break;
    }
    return 0;
}
