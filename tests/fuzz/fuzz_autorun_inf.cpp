// Feeds arbitrary bytes to the autorun.inf reader, as text and as the file on a disc. The program
// it names is a trimmed, non-empty piece of one line; the file gives what its first 64 KiB give as
// text; and the same text in UTF-16 of either byte order names the same program.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/autorun_inf.h"
#include "fuzz_scratch_file.h"
#include "platform/code_page.h"

namespace {

constexpr std::size_t maxAutorunBytes = 64 * 1024;

bool StartsWithUtf16Mark(std::string_view text) {
    return text.size() >= 2 && (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF");
}

// The text as UTF-16 with its byte order mark, or nothing when it is not UTF-8.
std::optional<std::string> AsUtf16(std::string_view utf8, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    auto unit = [&](char32_t value) {
        const char high = static_cast<char>(value >> 8), low = static_cast<char>(value & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    for (std::size_t pos = 0; pos < utf8.size();) {
        char32_t code = 0;
        if (!NextUtf8(utf8, pos, code)) return std::nullopt;
        if (code < 0x10000) {
            unit(code);
        } else {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    return out;
}

// UTF-16 text in the other byte order; an odd last byte stays as it is.
std::string Swapped(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i + 1 < out.size(); i += 2) std::swap(out[i], out[i + 1]);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::optional<std::string> program = AutorunOpenProgram(input);
    if (program) {
        const std::string_view blanks(" \t\r\n");
        if (program->empty() || program->find_first_of(std::string_view("\n\0", 2)) != std::string::npos ||
            blanks.find(program->front()) != std::string_view::npos ||
            blanks.find(program->back()) != std::string_view::npos) {
            std::abort();
        }
        if (!StartsWithUtf16Mark(input) && input.find(*program) == std::string::npos) std::abort();
    }

    const std::string& path = ScratchPath("vx_fuzz_autorun_inf", ".inf");
    if (WriteScratch(path, data, size) &&
        ReadAutorunOpenProgram(path) != AutorunOpenProgram(input.substr(0, maxAutorunBytes))) {
        std::abort();
    }

    if (StartsWithUtf16Mark(input)) {
        if (AutorunOpenProgram(Swapped(input)) != program) std::abort();
        return 0;
    }
    std::string_view text = input;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    for (bool bigEndian : {false, true}) {
        const std::optional<std::string> utf16 = AsUtf16(text, bigEndian);
        if (!utf16) break;
        if (AutorunOpenProgram(*utf16) != program) std::abort();
    }
    return 0;
}
