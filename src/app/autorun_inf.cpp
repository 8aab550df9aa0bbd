#include "app/autorun_inf.h"

#include <algorithm>
#include <cstdint>

#include "platform/ascii_case.h"
#include "platform/code_page.h"
#include "platform/host_path.h"

namespace {

// An autorun.inf is a few lines; a bigger file is read no further than this.
constexpr std::size_t maxAutorunBytes = 64 * 1024;

// UTF-16 text (after its byte order mark) as UTF-8; unpaired surrogates become U+FFFD.
std::string FromUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    auto unit = [&](std::size_t i) -> std::uint32_t {
        auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 3 < bytes.size()) {
            std::uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                code = 0xFFFD;
            }
        } else if (code >= 0xD800 && code < 0xE000) {
            code = 0xFFFD;
        }
        AppendUtf8(out, code);
    }
    return out;
}

std::string_view Trimmed(std::string_view text) {
    const char* space = " \t\r\n";
    std::size_t first = text.find_first_not_of(space);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

}  // namespace

std::optional<std::string> AutorunOpenProgram(std::string_view text) {
    std::string decoded;
    if (text.size() >= 2 && (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF")) {
        decoded = FromUtf16(text.substr(2), text[0] == '\xFE');
        text = decoded;
    } else if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    // A file with NUL bytes that is not UTF-16 is no text.
    if (text.find('\0') != std::string_view::npos) return std::nullopt;
    bool inAutorun = false;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            inAutorun = close != std::string_view::npos &&
                        EqualsIgnoringAsciiCase(Trimmed(line.substr(1, close - 1)), "autorun");
            continue;
        }
        std::size_t equals = line.find('=');
        if (!inAutorun || equals == std::string_view::npos ||
            !EqualsIgnoringAsciiCase(Trimmed(line.substr(0, equals)), "open")) {
            continue;
        }
        std::string_view value = Trimmed(line.substr(equals + 1));
        std::string_view program;
        if (!value.empty() && value.front() == '"') {
            value.remove_prefix(1);
            program = value.substr(0, value.find('"'));
        } else {
            program = value.substr(0, value.find_first_of(" \t"));
        }
        program = Trimmed(program);
        if (!program.empty()) return std::string(program);
    }
    return std::nullopt;
}

std::optional<std::string> ReadAutorunOpenProgram(const std::string& path) {
    std::optional<std::string> bytes = ReadRegularFileStart(path, maxAutorunBytes);
    if (!bytes) return std::nullopt;
    return AutorunOpenProgram(*bytes);
}
