#include "platform/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace {

struct IconvHandle {
    iconv_t cd;
    IconvHandle(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (Valid()) iconv_close(cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool Valid() const { return cd != reinterpret_cast<iconv_t>(-1); }
};

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool NextUtf8(std::string_view text, std::size_t& pos, char32_t& codePoint) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(pos);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
    if (extra < 0 || text.size() - pos <= static_cast<std::size_t>(extra)) return false;
    char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        unsigned char b = byte(pos + i);
        if ((b & 0xC0) != 0x80) return false;
        c = (c << 6) | (b & 0x3F);
    }
    static constexpr char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (c < minimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    pos += extra + 1;
    codePoint = c;
    return true;
}

std::unique_ptr<CodePage> CodePage::Open(const std::string& name, std::string* error) {
    std::unique_ptr<CodePage> page(new CodePage(name));
    if (!page->Init(error)) return nullptr;
    return page;
}

const CodePage& CodePage::Default() {
    static const std::unique_ptr<CodePage> page = Open("windows-1252", nullptr);
    return *page;
}

bool CodePage::Init(std::string* error) {
    IconvHandle cd("UTF-32LE", name.c_str());
    if (!cd.Valid()) {
        if (error) *error = "unknown code page \"" + name + "\"";
        return false;
    }
    std::array<bool, 256> undefined{};
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        char out[8];
        char* inPtr = &in;
        char* outPtr = out;
        std::size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd.cd, nullptr, nullptr, nullptr, nullptr);
        std::size_t r = iconv(cd.cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (r == static_cast<std::size_t>(-1) && errno == EINVAL) {
            // Incomplete on its own: a lead byte, so the code page is multi-byte.
            leadBytes[static_cast<std::size_t>(b)] = true;
            singleByte = false;
            continue;
        }
        // Some converters (Hebrew, Vietnamese) hold a letter back in case a combining mark
        // follows: the end of the input gives it.
        if (r != static_cast<std::size_t>(-1)) iconv(cd.cd, nullptr, nullptr, &outPtr, &outLeft);
        char32_t c = static_cast<char32_t>(b);
        if (r != static_cast<std::size_t>(-1) && outLeft == sizeof out - 4) {
            c = static_cast<unsigned char>(out[0]) | (static_cast<unsigned char>(out[1]) << 8) |
                (static_cast<unsigned char>(out[2]) << 16) |
                (static_cast<char32_t>(static_cast<unsigned char>(out[3])) << 24);
        } else {
            undefined[static_cast<std::size_t>(b)] = true;
        }
        toUnicode[b] = c;
    }
    // A byte the code page leaves undefined stands for the character of its own number, unless
    // a defined byte already stands for that one: then for a private character, so that no two
    // bytes share a character and every byte comes back as it was.
    for (int b = 0; b < 256; ++b) {
        if (!undefined[static_cast<std::size_t>(b)]) continue;
        for (int other = 0; other < 256; ++other) {
            if (other != b && !undefined[static_cast<std::size_t>(other)] &&
                !leadBytes[static_cast<std::size_t>(other)] && toUnicode[other] == toUnicode[b]) {
                toUnicode[b] = privateFallback + static_cast<char32_t>(b);
                break;
            }
        }
    }
    if (singleByte) {
        // Later bytes never shadow earlier ones, so the reverse map stays one-to-one.
        for (int b = 255; b >= 0; --b) fromUnicode[toUnicode[b]] = static_cast<std::uint8_t>(b);
    }
    return true;
}

std::string CodePage::ConvertMultiByte(std::string_view input, const char* from, const char* to, std::size_t unitSize,
                                       bool replace, bool* ok) const {
    IconvHandle cd(to, from);
    std::string out;
    if (!cd.Valid()) {
        if (ok) *ok = false;
        return out;
    }
    std::vector<char> in(input.begin(), input.end());
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t r = iconv(cd.cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr);
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            if (!replace) {
                if (ok) *ok = false;
                return out;
            }
            out += std::string_view(to) == "UTF-8" ? "\xEF\xBF\xBD" : "?";
            std::size_t skip = std::min(unitSize, inLeft);
            // A surrogate pair is one character and gets one replacement.
            auto unit = [&](std::size_t at) {
                return static_cast<unsigned char>(inPtr[at]) | (static_cast<unsigned char>(inPtr[at + 1]) << 8);
            };
            if (unitSize == 2 && inLeft >= 4 && unit(0) >= 0xD800 && unit(0) <= 0xDBFF && unit(2) >= 0xDC00 &&
                unit(2) <= 0xDFFF) {
                skip = 4;
            }
            inPtr += skip;
            inLeft -= skip;
        }
    }
    if (ok) *ok = true;
    return out;
}

std::string CodePage::ToUtf8(std::string_view text) const {
    if (!singleByte) return ConvertMultiByte(text, name.c_str(), "UTF-8", 1, true, nullptr);
    std::string out;
    out.reserve(text.size());
    for (char ch : text) AppendUtf8(out, toUnicode[static_cast<unsigned char>(ch)]);
    return out;
}

bool CodePage::FromUtf8(std::string_view utf8, std::string& out) const {
    out.clear();
    if (!singleByte) {
        bool ok = false;
        out = ConvertMultiByte(utf8, "UTF-8", name.c_str(), 1, false, &ok);
        return ok;
    }
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c;
        if (!NextUtf8(utf8, pos, c)) return false;
        auto it = fromUnicode.find(c);
        if (it == fromUnicode.end()) return false;
        out += static_cast<char>(it->second);
    }
    return true;
}

std::string CodePage::FromUtf8Lossy(std::string_view utf8) const {
    if (!singleByte) return ConvertMultiByte(utf8, "UTF-8", name.c_str(), 1, true, nullptr);
    std::string out;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c;
        if (!NextUtf8(utf8, pos, c)) {
            ++pos;
            out += '?';
            continue;
        }
        auto it = fromUnicode.find(c);
        out += it == fromUnicode.end() ? '?' : static_cast<char>(it->second);
    }
    return out;
}

std::string CodePage::FromUtf16(const std::u16string& units) const {
    std::string out;
    if (!singleByte) {
        std::string bytes;
        for (char16_t u : units) {
            bytes += static_cast<char>(u & 0xFF);
            bytes += static_cast<char>(u >> 8);
        }
        return ConvertMultiByte(bytes, "UTF-16LE", name.c_str(), 2, true, nullptr);
    }
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        auto it = fromUnicode.find(c);
        out += it == fromUnicode.end() ? '?' : static_cast<char>(it->second);
    }
    return out;
}
