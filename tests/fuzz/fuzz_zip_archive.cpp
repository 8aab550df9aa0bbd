// Feeds arbitrary bytes to the data-file reader as if they were a .cdd archive: list every
// entry, then extract each one without and with the data-file password.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_scratch_file.h"
#include "project/archive_password.h"
#include "project/unzip_to_memory.h"
#include "project/zip_dir.h"

namespace {

// Each extraction reopens and relists the archive, so an input with thousands of tiny
// entries would be quadratic; the first ones exercise the same code.
constexpr std::size_t maxEntriesPerInput = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchPath("vx_fuzz_zip_archive", ".cdd");
    if (!WriteScratch(path, data, size)) return 0;

    CKXZipDir directory;
    if (directory.ReadDirectory(path, "*.*", 0) != 0) return 0;
    std::size_t visited = 0;
    for (const CKXZipEntryInfo& entry : directory.Entries()) {
        if (++visited > maxEntriesPerInput) break;
        ReadArchiveEntry(path, entry.name, nullptr);
        ReadArchiveEntry(path, entry.name, archivePassword);
    }
    return 0;
}
