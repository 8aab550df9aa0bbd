// Feeds arbitrary bytes to the version readers of the resources layer; the first byte picks the
// reader, the rest is its input:
//   0  a program file: the version its resource gives, read from bytes and from the file alike,
//      unchanged by bytes added at the end, and nothing for a file that is not "MZ".
//   1  a program with a ".version" file beside it, both of the same bytes: the first line gives
//      the version, the resource only when that line is empty.
//   2  three version texts, split at NUL bytes: comparing is an order (reflexive, antisymmetric,
//      transitive), a ".0" more changes nothing, and the parsed numbers written back read the same.
//   3  the Flash check's message, its minimum version and address, split at NUL bytes: doubled
//      '%' come back as written, and only the first two "%s" are filled.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_inputs.h"
#include "fuzz_scratch_file.h"
#include "resources/file_version.h"
#include "resources/flash_check.h"
#include "resources/version_compare.h"

namespace {

bool Same(const std::optional<FileVersion>& a, const std::optional<FileVersion>& b) {
    if (!a || !b) return !a && !b;
    return a->major == b->major && a->minor == b->minor && a->build == b->build && a->revision == b->revision;
}

std::optional<FileVersion> InBytes(std::string_view bytes) {
    return VersionResourceIn(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

void ProgramFile(const std::string& program, std::string_view bytes, bool withVersionFile) {
    const std::string versionFile = program + ".version";
    std::remove(versionFile.c_str());
    if (!WriteScratch(program, bytes)) return;
    if (withVersionFile && !WriteScratch(versionFile, bytes)) return;

    const std::optional<FileVersion> resource = InBytes(bytes);
    if (resource &&
        (resource->major < 0 || resource->major > 0xFFFF || resource->minor < 0 || resource->minor > 0xFFFF ||
         resource->build < 0 || resource->build > 0xFFFF || resource->revision < 0 || resource->revision > 0xFFFF)) {
        std::abort();
    }
    if (bytes.substr(0, 2) != "MZ" && resource) std::abort();
    if (resource && !Same(InBytes(std::string(bytes) + std::string(16, '\0')), resource)) std::abort();

    std::optional<FileVersion> expected = resource;
    if (withVersionFile && !bytes.empty()) {
        std::string_view line = bytes.substr(0, bytes.find('\n'));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) expected = FileVersionOf(line);
    }
    if (!Same(ReadFileVersion(program), expected)) std::abort();
}

void VersionTexts(std::string_view input) {
    const std::vector<std::string> texts = Pieces(input, 3);
    const std::string& a = texts[0];
    const std::string& b = texts[1];
    const std::string& c = texts[2];
    const int ab = CompareVersions(a, b), bc = CompareVersions(b, c), ac = CompareVersions(a, c);
    if (ab < -1 || ab > 1 || CompareVersions(b, a) != -ab || CompareVersions(a, a) != 0) std::abort();
    if (ab <= 0 && bc <= 0 && ac > 0) std::abort();
    if (ab == 0 && bc == 0 && ac != 0) std::abort();
    if (CompareVersions(a, a + ".0") != 0) std::abort();

    for (const std::string& text : texts) {
        std::array<int, kMaxVersionParts> parts;
        const int count = ParseVersion(text, parts);
        std::string_view numbers = text;
        if (!numbers.empty() && (numbers[0] == 'v' || numbers[0] == 'V')) numbers.remove_prefix(1);
        const std::size_t dots = static_cast<std::size_t>(std::count(numbers.begin(), numbers.end(), '.'));
        if (count < 1 || static_cast<std::size_t>(count) != std::min<std::size_t>(dots + 1, kMaxVersionParts)) {
            std::abort();
        }
        for (int i = count; i < kMaxVersionParts; ++i) {
            if (parts[static_cast<std::size_t>(i)] != 0) std::abort();
        }
        const FileVersion version = FileVersionOf(text);
        if (version.major != parts[0] || version.minor != parts[1] || version.build != parts[2] ||
            version.revision != parts[3]) {
            std::abort();
        }

        std::string written;
        for (int i = 0; i < count; ++i) {
            written += (i == 0 ? "" : ".") + std::to_string(parts[static_cast<std::size_t>(i)]);
        }
        std::array<int, kMaxVersionParts> again;
        if (ParseVersion(written, again) != count || again != parts || CompareVersions(text, written) != 0) {
            std::abort();
        }
    }
}

void FlashMessage(std::string_view input) {
    const std::vector<std::string> pieces = Pieces(input, 3);
    const std::string& format = pieces[0];
    const std::string& minVersion = pieces[1];
    const std::string& webSite = pieces[2];

    const std::string message = FlashCheckMessage(format, minVersion, webSite);
    if (message.size() > format.size() + minVersion.size() + webSite.size()) std::abort();
    if (format.find('%') == std::string::npos && message != format) std::abort();

    std::string escaped;
    for (char c : format) escaped += c == '%' ? "%%" : std::string(1, c);
    if (FlashCheckMessage(escaped, minVersion, webSite) != format) std::abort();
    // Once both are filled, a further "%s" stays as written.
    if (FlashCheckMessage("%s%s" + format, minVersion, webSite) !=
        minVersion + webSite + FlashCheckMessage(format, "%s", "%s")) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
        case 0:
        case 1:
            ProgramFile(ScratchFolder("vx_fuzz_file_version") + "/control.ocx", input, data[0] % 4 == 1);
            break;
        case 2:
            VersionTexts(input);
            break;
        default:
            FlashMessage(input);
            break;
    }
    return 0;
}
