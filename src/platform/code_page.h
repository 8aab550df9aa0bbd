#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

// An 8-bit code page of project text (windows-1252 by default). Project text stays in its code
// page everywhere; this converts it at the edges (output, input files, wide strings of streams).
class CodePage {
public:
    // Opens a code page by its iconv name ("windows-1252", "cp1251", "cp932", ...). Returns
    // nullptr and sets *error when the system does not know it.
    static std::unique_ptr<CodePage> Open(const std::string& name, std::string* error);
    // The project default, windows-1252; always available.
    static const CodePage& Default();

    const std::string& Name() const { return name; }
    bool IsSingleByte() const { return singleByte; }
    // Whether a byte starts a two-byte character of a multi-byte code page.
    bool IsLeadByte(unsigned char byte) const { return leadBytes[byte]; }
    static constexpr char32_t privateFallback = 0xF700;

    // Text of this code page as UTF-8. Every byte maps to a character: bytes the code page
    // leaves undefined become the character of the same number, as Windows does (or, where a
    // defined byte has that one, the private character privateFallback + byte), so text
    // survives a round trip unchanged.
    std::string ToUtf8(std::string_view text) const;
    // UTF-8 to this code page; false when some character has no encoding here or the input
    // is not UTF-8.
    bool FromUtf8(std::string_view utf8, std::string& out) const;
    // The same, with every character the code page lacks (or malformed input) as '?'.
    std::string FromUtf8Lossy(std::string_view utf8) const;
    // UTF-16 code units to this code page; characters without an encoding become '?'.
    std::string FromUtf16(const std::u16string& units) const;

private:
    explicit CodePage(std::string name) : name(std::move(name)) {}
    bool Init(std::string* error);
    std::string ConvertMultiByte(std::string_view input, const char* from, const char* to, std::size_t unitSize,
                                 bool replace, bool* ok) const;

    std::string name;
    bool singleByte = true;
    std::array<bool, 256> leadBytes{};
    std::array<char32_t, 256> toUnicode{};
    std::unordered_map<char32_t, std::uint8_t> fromUnicode;
};

// UTF-8 helpers shared by the converters.
void AppendUtf8(std::string& out, char32_t codePoint);
// Decodes one code point at text[pos], advancing pos; returns false on malformed input.
bool NextUtf8(std::string_view text, std::size_t& pos, char32_t& codePoint);
