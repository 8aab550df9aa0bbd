// Feeds arbitrary bytes to the emulated registry as scripts write and read it, in a store of its
// own. The first byte picks how the value is written, the second its type and the third its root;
// the rest is a key, a value name and the value, split at NUL bytes.
//   even first byte: SetValue of the text as the type says. The value reads back under the key
//     with other letter cases and outer backslashes: strings up to their first NUL byte, binary
//     data as strtoul reads hex numbers, DWORDs as atol reads a number, multi strings without
//     their empty pieces; expanding a text without '%' changes nothing, and a host variable's
//     reference ahead of a text expands to the variable's value (not expanded again) and the
//     text's own expansion.
//   odd first byte: WriteRaw of the bytes under any type number, which ReadRaw gives back as
//     written and GetValue turns into text by the type, or refuses with the default.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_scratch_file.h"
#include "platform/ascii_case.h"
#include "platform/kx_registry.h"
#include "platform/windows_paths.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr const char* defaultText = "(default)";
constexpr std::string_view failedStringMarker = "***!!!***@@";
constexpr std::uint32_t failedDwordMarker = 99999999;

// A host variable that no Windows name shadows; its value holds references of its own.
constexpr const char* hostVariable = "VX_FUZZ_REGISTRY_VALUE";
constexpr std::string_view hostValue = "from %TEMP% host";

// Every store grows with the keys it is given: a fresh one now and then keeps the runs quick.
constexpr int runsPerStore = 512;

CKXRegistry& Registry() {
    static std::unique_ptr<CKXRegistry> registry;
    static int runs = 0;
    if (!registry || ++runs == runsPerStore) {
        runs = 0;
        const std::string& folder = ScratchFolder("vx_fuzz_registry_values");
        setenv(hostVariable, std::string(hostValue).c_str(), 1);
        WindowsPathLayer::Instance().SetDataHome(folder + "/data");
        registry.reset();
        const std::string store = folder + "/registry.sqlite";
        for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::remove((store + suffix).c_str());
        registry = std::make_unique<CKXRegistry>(store);
    }
    return *registry;
}

std::string Flipped(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string HexText(const Bytes& bytes) {
    std::string text;
    char digits[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned>(byte));
        text += (text.empty() ? "" : " ") + std::string(digits);
    }
    return text;
}

// The low byte of each number strtoul(..., 16) reads, one after the other.
Bytes HexNumbers(const std::string& text) {
    Bytes bytes;
    const char* at = text.c_str();
    for (;;) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(at, &end, 16);
        if (end == at) return bytes;
        bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
        at = end;
    }
}

std::string StringUpToNul(const Bytes& bytes) {
    const std::string text(bytes.begin(), bytes.end());
    return text.substr(0, text.find('\0'));
}

// The text GetValue gives for stored bytes of a type, or nothing when it refuses them.
std::optional<std::string> Decoded(int type, const Bytes& bytes) {
    switch (type) {
        case CKXRegistry::REG_SZ:
        case CKXRegistry::REG_EXPAND_SZ: {
            std::string text = StringUpToNul(bytes);
            if (EqualsIgnoringAsciiCase(text, failedStringMarker)) return std::nullopt;
            return text;
        }
        case CKXRegistry::REG_BINARY:
            return HexText(bytes);
        case CKXRegistry::REG_DWORD: {
            if (bytes.size() != 4) return std::nullopt;
            const std::uint32_t value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | std::uint32_t{bytes[3]} << 24;
            if (value == failedDwordMarker) return std::nullopt;
            return std::to_string(value);
        }
        default:
            return std::nullopt;
    }
}

// What SetValue stores for text, as the bytes of its type.
Bytes Encoded(int type, const std::string& text) {
    switch (type) {
        case CKXRegistry::REG_BINARY:
            return HexNumbers(text);
        case CKXRegistry::REG_DWORD: {
            const auto value = static_cast<std::uint32_t>(std::strtol(text.c_str(), nullptr, 10));
            return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                    static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
        }
        default:
            return Bytes(text.begin(), text.end());
    }
}

// A multi string's pieces without the empty ones, joined again.
std::string JoinedPieces(std::string_view text) {
    std::string joined;
    while (true) {
        const std::size_t bar = text.find('|');
        const std::string_view piece = text.substr(0, bar);
        if (!piece.empty()) joined += (joined.empty() ? "" : "|") + std::string(piece);
        if (bar == std::string_view::npos) return joined;
        text.remove_prefix(bar + 1);
    }
}

struct Input {
    int root;
    std::string key, name, value;
};

void Check(CKXRegistry& registry, const Input& in, int type, const std::optional<std::string>& expected) {
    // Outer backslashes and the case of ASCII letters do not matter; neither does a root that is
    // no root (it means the current user's).
    const bool isRoot = in.root >= CKXRegistry::HKEY_CLASSES_ROOT && in.root <= CKXRegistry::HKEY_USERS;
    const int root = isRoot ? in.root : static_cast<int>(CKXRegistry::HKEY_CURRENT_USER);
    const std::string key = "\\" + Flipped(in.key) + "\\\\";
    if (!registry.KeyExists(root, key)) std::abort();
    std::string text;
    const bool found = registry.GetValue(root, key, Flipped(in.name), defaultText, false, text);
    if (expected) {
        if (!found || text != *expected) std::abort();
    } else if (type == CKXRegistry::REG_MULTI_SZ) {
        if (!found || text.find('\0') != std::string::npos) std::abort();
    } else if (found || text != defaultText) {
        std::abort();
    }

    if (type != CKXRegistry::REG_EXPAND_SZ) return;
    std::string expanded;
    const bool read = registry.GetValue(in.root, in.key, in.name, defaultText, true, expanded);
    if (read != found || (text.find('%') == std::string::npos && expanded != text)) std::abort();
    if (!found) return;
    // A reference to a host variable ahead of the text expands to its value, which is not
    // expanded again, and leaves the rest as it was.
    const std::string prefixed = std::string("%") + hostVariable + "%" + text;
    const std::string name = in.name + "+";
    std::string both;
    if (!registry.WriteRaw(in.root, in.key, name, type, Bytes(prefixed.begin(), prefixed.end())) ||
        !registry.GetValue(in.root, in.key, name, defaultText, true, both) ||
        both != std::string(hostValue) + expanded) {
        std::abort();
    }
}

void SetText(CKXRegistry& registry, const Input& in, unsigned selector) {
    constexpr int types[] = {CKXRegistry::REG_SZ, CKXRegistry::REG_EXPAND_SZ, CKXRegistry::REG_BINARY,
                             CKXRegistry::REG_DWORD, CKXRegistry::REG_MULTI_SZ};
    const int type = types[selector % 5];
    if (!registry.SetValue(in.root, in.key, in.name, in.value, type)) std::abort();
    std::optional<std::string> expected;
    if (type == CKXRegistry::REG_MULTI_SZ) {
        // Pieces with a NUL byte are cut there on reading.
        if (in.value.find('\0') == std::string::npos) expected = JoinedPieces(in.value);
    } else {
        expected = Decoded(type, Encoded(type, in.value));
    }
    Check(registry, in, type, expected);
}

void WriteBytes(CKXRegistry& registry, const Input& in, int type) {
    const Bytes bytes(in.value.begin(), in.value.end());
    if (!registry.WriteRaw(in.root, in.key, in.name, type, bytes)) std::abort();
    int readType = 0;
    Bytes read;
    if (!registry.ReadRaw(in.root, in.key, in.name, readType, read) || readType != type || read != bytes) {
        std::abort();
    }
    Check(registry, in, type, Decoded(type, bytes));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    CKXRegistry& registry = Registry();
    if (!registry.IsOpen()) return 0;

    std::string_view rest(reinterpret_cast<const char*>(data) + 3, size - 3);
    Input in{data[2] % 8 - 1, {}, {}, {}};
    for (std::string* piece : {&in.key, &in.name}) {
        const std::size_t end = rest.find('\0');
        *piece = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    }
    in.value = rest;

    if (data[0] % 2 == 0) {
        SetText(registry, in, data[1]);
    } else {
        WriteBytes(registry, in, data[1] % 10);
    }
    return 0;
}
