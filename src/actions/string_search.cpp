#include "actions/string_search.h"

#include <algorithm>

#include "actions/ansi_case.h"

namespace {

// The two texts as compared: upper-cased copies without case sensitivity, else the texts.
struct Compared {
    Compared(std::string_view text, std::string_view search, bool caseSensitive, const CodePage& codePage) {
        if (caseSensitive) {
            this->text = text;
            this->search = search;
            return;
        }
        upperText = UpperCaseAnsi(text, codePage);
        upperSearch = UpperCaseAnsi(search, codePage);
        this->text = upperText;
        this->search = upperSearch;
    }
    std::string upperText, upperSearch;
    std::string_view text, search;
};

// Calls visit(position) for each occurrence, left to right, without overlaps, at most maxCount
// when it is above 0; returns the count.
template <typename Visit>
std::size_t ForEachOccurrence(const Compared& compared, int maxCount, Visit visit) {
    if (compared.search.empty()) return 0;
    std::size_t count = 0;
    for (std::size_t found = compared.text.find(compared.search); found != std::string_view::npos;
         found = compared.text.find(compared.search, found + compared.search.size())) {
        visit(found);
        if (++count == static_cast<std::size_t>(maxCount)) break;
    }
    return count;
}

}  // namespace

int CKXCStringSearch::FindAll(std::string_view text, std::string_view search, bool caseSensitive, int maxCount) {
    positions.clear();
    ForEachOccurrence(Compared(text, search, caseSensitive, codePage), maxCount,
                      [this](std::size_t found) { positions.push_back(static_cast<int>(found)); });
    return static_cast<int>(positions.size());
}

std::optional<std::string> CKXStringSearchReplace::Replace(std::string_view text, std::string_view search,
                                                           std::string_view replacement, bool caseSensitive,
                                                           std::size_t maxBytes) const {
    Compared compared(text, search, caseSensitive, codePage);
    // Counted first, so that the result is checked against maxBytes and then built in one
    // block of its exact size: no list of positions, no growth by doubling.
    std::size_t count = ForEachOccurrence(compared, 0, [](std::size_t) {});
    std::size_t kept = text.size() - count * search.size();
    std::size_t room = maxBytes - std::min(kept, maxBytes);
    if (kept > maxBytes || (replacement.size() != 0 && count > room / replacement.size())) return std::nullopt;
    if (count == 0) return std::string(text);
    std::string out;
    out.reserve(kept + count * replacement.size());
    std::size_t copied = 0;
    ForEachOccurrence(compared, 0, [&](std::size_t at) {
        out.append(text.substr(copied, at - copied));
        out.append(replacement);
        copied = at + search.size();
    });
    out.append(text.substr(copied));
    return out;
}
