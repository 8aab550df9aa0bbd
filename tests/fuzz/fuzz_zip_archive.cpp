// Feeds arbitrary bytes to the data-file reader as if they were a .cdd archive: list every
// entry, then extract each one without and with the data-file password.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "project/archive_password.h"
#include "project/unzip_to_memory.h"
#include "project/zip_dir.h"

namespace {

// The reader works on files, so each input goes to one scratch file per process (parallel
// fuzzing jobs must not share it), removed again at exit.
const std::string& ScratchPath() {
    static const std::string path = [] {
        std::string scratch =
            "/tmp/vx_fuzz_zip_archive_" + std::to_string(static_cast<long>(getpid())) + ".cdd";
        std::atexit([] { std::remove(ScratchPath().c_str()); });
        return scratch;
    }();
    return path;
}

bool WriteScratch(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// Each extraction reopens and relists the archive, so an input with thousands of tiny
// entries would be quadratic; the first ones exercise the same code.
constexpr std::size_t maxEntriesPerInput = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchPath();
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
