// Feeds arbitrary bytes to the scripts' text files and the code pages that convert their text; the
// first byte picks the code page, the rest is the file. Loading keeps every block of 1024 bytes up
// to its first zero byte, saving and loading again gives the text back, the text in UTF-8 is
// well-formed, and in a single-byte code page every byte survives the way to UTF-8 (and UTF-16)
// and back.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_inputs.h"
#include "fuzz_scratch_file.h"
#include "platform/code_page.h"
#include "platform/kx_text_file.h"

namespace {

// Code pages of the menus' texts, both kinds.
constexpr std::array<const char*, 16> codePageNames = {
    "windows-1252", "windows-1251", "windows-1250", "windows-1253", "windows-1254", "windows-1255",
    "windows-1257", "windows-1258", "iso-8859-8",   "koi8-r",       "cp866",        "shift_jis",
    "cp932",        "cp936",        "cp949",        "cp950",
};

// Opened once a process; nullptr where the system's converters lack one.
const CodePage* CodePageFor(std::size_t index) {
    return OpenedCodePage(codePageNames, index);
}

// What loading gives: each block of 1024 bytes up to its first zero byte.
std::string Expected(std::string_view bytes) {
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += 1024) {
        const std::string_view block = bytes.substr(at, 1024);
        text += block.substr(0, block.find('\0'));
    }
    return text;
}

bool IsUtf8(std::string_view text) {
    char32_t code = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        if (!NextUtf8(text, pos, code)) return false;
    }
    return true;
}

// Well-formed UTF-8 as UTF-16 code units.
std::u16string Utf16Of(std::string_view utf8) {
    std::u16string units;
    char32_t code = 0;
    for (std::size_t pos = 0; pos < utf8.size() && NextUtf8(utf8, pos, code);) {
        if (code < 0x10000) {
            units += static_cast<char16_t>(code);
        } else {
            units += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    return units;
}

void Convert(const CodePage& page, const std::string& text) {
    const std::string utf8 = page.ToUtf8(text);
    if (!IsUtf8(utf8)) std::abort();
    const std::string lossy = page.FromUtf8Lossy(utf8);
    const std::string fromUtf16 = page.FromUtf16(Utf16Of(utf8));
    std::string back;
    const bool converted = page.FromUtf8(utf8, back);
    if (page.IsSingleByte() && (!converted || back != text || lossy != text || fromUtf16 != text)) std::abort();

    // The same bytes taken as UTF-8 from the desktop, as dialogs give them.
    std::string encoded;
    const bool wasUtf8 = page.FromUtf8(text, encoded);
    const std::string replaced = page.FromUtf8Lossy(text);
    if (page.IsSingleByte()) {
        if (wasUtf8 && (page.ToUtf8(encoded) != text || replaced != encoded)) std::abort();
        if (replaced.size() > text.size()) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string& folder = ScratchFolder("vx_fuzz_text_file");
    const std::string path = folder + "/read.txt", saved = folder + "/saved.txt";
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (!WriteScratch(path, bytes)) return 0;

    CKXTextFile file;
    if (file.Load(path) != TextFileStatus::Ok || file.Text() != Expected(bytes)) std::abort();
    const std::string text = file.Text();
    CKXTextFile again;
    if (CKXTextFile::Save(saved, text) != TextFileStatus::Ok || again.Load(saved) != TextFileStatus::Ok ||
        again.Text() != text) {
        std::abort();
    }

    if (const CodePage* page = CodePageFor(data[0] % codePageNames.size())) Convert(*page, text);
    return 0;
}
