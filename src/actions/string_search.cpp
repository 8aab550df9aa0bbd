#include "actions/string_search.h"

#include "actions/ansi_case.h"

int CKXCStringSearch::FindAll(std::string_view text, std::string_view search, bool caseSensitive, int maxCount) {
    positions.clear();
    if (search.empty()) return 0;
    std::string upperText, upperSearch;
    if (!caseSensitive) {
        upperText = UpperCaseAnsi(text, codePage);
        upperSearch = UpperCaseAnsi(search, codePage);
        text = upperText;
        search = upperSearch;
    }
    for (std::size_t found = text.find(search); found != std::string_view::npos;
         found = text.find(search, found + search.size())) {
        positions.push_back(static_cast<int>(found));
        if (maxCount > 0 && static_cast<int>(positions.size()) >= maxCount) break;
    }
    return static_cast<int>(positions.size());
}

std::string CKXStringSearchReplace::Replace(std::string_view text, std::string_view search,
                                            std::string_view replacement, bool caseSensitive) const {
    CKXCStringSearch finder(codePage);
    if (finder.FindAll(text, search, caseSensitive, 0) == 0) return std::string(text);
    std::string out;
    std::size_t copied = 0;
    for (int position : finder.Positions()) {
        auto at = static_cast<std::size_t>(position);
        out.append(text.substr(copied, at - copied));
        out.append(replacement);
        copied = at + search.size();
    }
    out.append(text.substr(copied));
    return out;
}
