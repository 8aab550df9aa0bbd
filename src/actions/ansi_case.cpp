#include "actions/ansi_case.h"

#include "platform/code_page.h"

#include <array>
#include <functional>
#include <map>
#include <mutex>

namespace {

// The simple capital of a lower-case letter of the alphabets that 8-bit code pages carry, or the
// character itself. Dotless i, long s and the micro sign are left alone: their capitals (I, S,
// Greek Mu) would turn them into another character, not only another case.
char32_t SimpleUpper(char32_t c) {
    auto odd = [](char32_t ch) { return (ch & 1) != 0; };
    if (c >= U'a' && c <= U'z') return c - 0x20;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
    if (c == 0xFF) return 0x178;
    // Latin Extended-A: capital and small letters alternate, with the parity changing twice.
    if (((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) && odd(c)) {
        return c - 1;
    }
    if (((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) && !odd(c)) return c - 1;
    // Greek.
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 0x25;
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if ((c >= 0x3B1 && c <= 0x3C1) || (c >= 0x3C3 && c <= 0x3CB)) return c - 0x20;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 0x3F;
    // Cyrillic.
    if (c >= 0x430 && c <= 0x44F) return c - 0x20;
    if (c >= 0x450 && c <= 0x45F) return c - 0x50;
    if (((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF)) && odd(c)) return c - 1;
    return c;
}

struct FoldTable {
    std::array<unsigned char, 256> upper{};
    std::array<bool, 256> leadByte{};
};

FoldTable BuildTable(const CodePage& codePage) {
    FoldTable table;
    for (int b = 0; b < 256; ++b) {
        table.upper[b] = static_cast<unsigned char>(b >= 'a' && b <= 'z' ? b - 0x20 : b);
    }
    if (!codePage.IsSingleByte()) {
        for (int b = 0; b < 256; ++b) table.leadByte[b] = codePage.IsLeadByte(static_cast<unsigned char>(b));
        return table;
    }

    for (int b = 0x80; b < 256; ++b) {
        std::string utf8 = codePage.ToUtf8(std::string(1, static_cast<char>(b)));
        std::size_t pos = 0;
        char32_t c;
        if (!NextUtf8(utf8, pos, c) || pos != utf8.size()) continue;
        char32_t upper = SimpleUpper(c);
        if (upper == c) continue;
        std::string encoded, capital;
        AppendUtf8(encoded, upper);
        if (codePage.FromUtf8(encoded, capital) && capital.size() == 1) {
            table.upper[b] = static_cast<unsigned char>(capital[0]);
        }
    }
    return table;
}

const FoldTable& TableFor(const CodePage& codePage) {
    static std::mutex mutex;
    static std::map<std::string, FoldTable, std::less<>> tables;
    std::lock_guard lock(mutex);
    auto it = tables.find(codePage.Name());
    if (it == tables.end()) it = tables.emplace(codePage.Name(), BuildTable(codePage)).first;
    return it->second;
}

}  // namespace

std::string UpperCaseAnsi(std::string_view text, const CodePage& codePage) {
    const FoldTable& table = TableFor(codePage);
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto byte = static_cast<unsigned char>(out[i]);
        if (table.leadByte[byte]) {
            ++i;  // the trail byte may look like an ASCII letter but belongs to this character
            continue;
        }
        out[i] = static_cast<char>(table.upper[byte]);
    }
    return out;
}
