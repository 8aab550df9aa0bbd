// Feeds arbitrary bytes to the INI file reader and writer as if a menu had left them on disk. The
// first bytes also give a section, a key and a value to write. Whatever SetString accepts must
// read back as written, and no other key may change on the way.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_scratch_file.h"
#include "platform/ascii_case.h"
#include "platform/atomic_file.h"
#include "platform/ini_file.h"

namespace {

constexpr std::size_t bufferSize = 8192;

std::string ReadScratch(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, nullptr)) std::abort();
    return std::string(bytes.begin(), bytes.end());
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// What an INI line can hold: anything else must be refused rather than written.
bool Representable(std::string_view section, std::string_view key, std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    return !HasLineBreakOrNul(section) && !HasLineBreakOrNul(key) && !HasLineBreakOrNul(value) &&
           section.find(']') == std::string_view::npos && !key.empty() && key.front() != ';' && key.front() != '[' &&
           key.find('=') == std::string_view::npos;
}

// The value as reading gives it back: without surrounding blanks and one pair of quotes.
std::string AsRead(std::string_view value) {
    value = Trim(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value.substr(0, bufferSize - 1));
}

struct Probe {
    Probe(std::string section, std::string key) : section(std::move(section)), key(std::move(key)) {}

    std::string section;
    std::string key;
    bool found = false;
    std::string value;
};

std::string Take(const std::string& input, std::size_t& pos, std::size_t length) {
    std::string piece = pos < input.size() ? input.substr(pos, length) : std::string();
    pos += length;
    return piece;
}

// The text between the first '[' and the next ']'.
std::string FirstSectionName(const std::string& input) {
    const std::size_t open = input.find('[');
    const std::size_t close = input.find(']', open);
    return close == std::string::npos ? std::string() : input.substr(open + 1, close - open - 1);
}

// The text between the start of the line of the last '=' and that '='.
std::string LastKeyName(const std::string& input) {
    const std::size_t equals = input.rfind('=');
    if (equals == std::string::npos) return std::string();
    const std::size_t lineBreak = input.find_last_of("\r\n", equals);
    const std::size_t begin = lineBreak == std::string::npos ? 0 : lineBreak + 1;
    return input.substr(begin, equals - begin);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchPath("vx_fuzz_ini_file", ".ini");
    if (!WriteScratch(path, data, size)) return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);

    // Names made of raw bytes seldom meet the file's own, so the high bits of the first bytes
    // pick names from the file instead.
    std::size_t pos = 3;
    std::string section = Take(input, pos, size > 0 ? data[0] % 12 : 0);
    std::string key = Take(input, pos, size > 1 ? data[1] % 12 : 1);
    const std::string value = Take(input, pos, size > 2 ? data[2] % 32 : 2);
    if (size > 0 && data[0] >= 0x80) section = FirstSectionName(input);
    if (size > 1 && data[1] >= 0x80) key = LastKeyName(input);

    CKXIniFile ini(path);
    // Braces evaluate the two Takes of the last probe in order.
    std::vector<Probe> probes = {
        {section, "Name"}, {"General", key}, {"General", "Name"},
        {"", ""},          {"a", "k"},       {Take(input, pos, 4), Take(input, pos, 4)},
    };
    for (Probe& probe : probes) {
        probe.found = ini.GetString(probe.section, probe.key, "d ", bufferSize, probe.value);
        if (!probe.found && probe.value != "d") std::abort();
    }

    const std::string before = ReadScratch(path);
    const bool written = ini.SetString(section, key, value);
    if (written != Representable(section, key, value)) std::abort();
    const std::string after = ReadScratch(path);
    if (!written) {
        if (after != before) std::abort();
        return 0;
    }

    std::string readBack;
    if (!ini.GetString(section, key, "", bufferSize, readBack) || readBack != AsRead(value)) {
        std::abort();
    }
    // Bytes past a NUL are not text and stay as they were.
    const std::size_t nul = before.find('\0');
    if (nul != std::string::npos && after.substr(after.find('\0')) != before.substr(nul)) {
        std::abort();
    }
    for (const Probe& probe : probes) {
        if (EqualsIgnoringAsciiCase(Trim(probe.section), Trim(section)) &&
            EqualsIgnoringAsciiCase(Trim(probe.key), Trim(key))) {
            continue;
        }
        std::string now;
        const bool found = ini.GetString(probe.section, probe.key, "d", bufferSize, now);
        if (found != probe.found || now != probe.value) std::abort();
    }
    return 0;
}
