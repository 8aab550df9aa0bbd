#include "resources/version_compare.h"

#include <algorithm>
#include <climits>

namespace {

int PartValue(std::string_view part) {
    if (part.empty()) return 0;
    bool negative = part[0] == '-';
    std::string_view digits = part[0] == '-' || part[0] == '+' ? part.substr(1) : part;
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    // Accumulate toward the sign so that INT_MIN is reachable; saturate instead of overflowing.
    int value = 0;
    for (char c : digits) {
        int digit = c - '0';
        if (negative) {
            if (value < (INT_MIN + digit) / 10) return INT_MIN;
            value = value * 10 - digit;
        } else {
            if (value > (INT_MAX - digit) / 10) return INT_MAX;
            value = value * 10 + digit;
        }
    }
    return value;
}

}  // namespace

int ParseVersion(std::string_view text, std::array<int, kMaxVersionParts>& parts) {
    parts.fill(0);
    if (!text.empty() && (text[0] == 'V' || text[0] == 'v')) text.remove_prefix(1);
    int count = 0;
    while (count < kMaxVersionParts) {
        std::size_t stop = text.find('.');
        parts[static_cast<std::size_t>(count++)] = PartValue(text.substr(0, stop));
        if (stop == std::string_view::npos) break;
        text.remove_prefix(stop + 1);
    }
    return count;
}

int CompareVersions(std::string_view a, std::string_view b) {
    std::array<int, kMaxVersionParts> partsA, partsB;
    int count = std::max(ParseVersion(a, partsA), ParseVersion(b, partsB));
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        if (partsA[i] != partsB[i]) return partsA[i] > partsB[i] ? 1 : -1;
    }
    return 0;
}
