#include "project/zip_dir.h"

#include "platform/ascii_case.h"
#include "project/zip_handles.h"

#include <zip.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <string_view>
#include <system_error>

namespace {

// '*' matches any run (including '/'), '?' exactly one byte. Greedy with a single
// backtrack point, so hostile patterns stay O(pattern * name).
bool WildcardMatch(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || FoldAscii(pattern[p]) == FoldAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

// The published projects were built on Windows, where a trailing ".*" also matches a name
// without any dot; that is what makes "*.*" list every entry.
bool SpecMatches(std::string_view spec, std::string_view name) {
    if (WildcardMatch(spec, name)) return true;
    if (spec.size() >= 2 && spec.substr(spec.size() - 2) == ".*") {
        return WildcardMatch(spec.substr(0, spec.size() - 2), name);
    }
    return false;
}

}  // namespace

int CKXZipDir::ReadDirectory(const std::string& archivePath, const std::string& fileSpec, int /*listingOption*/) {
    entries.clear();
    try {
        // Some libzip versions open a zero-length file as an empty archive; a data file is
        // never empty. A directory or a pipe is no archive either, and a pipe could block.
        std::error_code ec;
        if (!std::filesystem::is_regular_file(archivePath, ec) || std::filesystem::file_size(archivePath, ec) == 0 ||
            ec) {
            return 1;
        }

        int openError = 0;
        ZipHandle archive(zip_open(archivePath.c_str(), ZIP_RDONLY, &openError));
        if (!archive) return 2;

        const std::string_view spec = StripQuotes(fileSpec);
        const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            zip_stat_t st;
            zip_stat_init(&st);
            if (zip_stat_index(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &st) != 0) {
                continue;
            }
            constexpr zip_uint64_t needed = ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE;
            if ((st.valid & needed) != needed || st.name == nullptr) continue;
            // Data files stay far below 4 GiB; an entry claiming more cannot be read into a
            // single buffer and is left out rather than listed with a wrong size.
            constexpr zip_uint64_t maxSize = std::numeric_limits<std::uint32_t>::max();
            if (st.size > maxSize || st.comp_size > maxSize) continue;
            if (!SpecMatches(spec, st.name)) continue;

            CKXZipEntryInfo info;
            info.name = st.name;
            info.uncompressedSize = static_cast<std::uint32_t>(st.size);
            info.compressedSize = static_cast<std::uint32_t>(st.comp_size);
            entries.push_back(std::move(info));
        }
        return 0;
    } catch (...) {
        entries.clear();
        return 3;
    }
}

const CKXZipEntryInfo* CKXZipDir::FindEntry(const std::string& name) const {
    const std::string_view wanted = StripQuotes(name);
    const CKXZipEntryInfo* found = nullptr;
    // An entry appended later shadows an earlier one of the same name, so the whole list is
    // walked.
    for (const CKXZipEntryInfo& entry : entries) {
        if (EqualsIgnoringAsciiCase(entry.name, wanted)) found = &entry;
    }
    return found;
}
