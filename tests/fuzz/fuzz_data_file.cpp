// Feeds arbitrary bytes to the player's reading of a whole data file: the project entry is
// found, decrypted with the data-file password, inflated and read as a project, pages and
// objects included, as the document does at start.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_scratch_file.h"
#include "platform/code_page.h"
#include "project/archive_error.h"
#include "project/archive_password.h"
#include "project/unzip_to_memory.h"
#include "project/vantorix_project.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchPath("vx_fuzz_data_file", ".cdd");
    if (!WriteScratch(path, data, size)) return 0;
    ArchiveEntryResult entry = ReadArchiveEntry(path, "_proj.dat", archivePassword);
    if (entry.status != ArchiveEntryStatus::Ok) return 0;
    try {
        ReadProjectEntry(entry.bytes, CodePage::Default(), true);
    } catch (const CKXArchiveError&) {
    }
    return 0;
}
