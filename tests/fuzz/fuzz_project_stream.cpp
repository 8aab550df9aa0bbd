// Feeds raw "_proj.dat" and "_fonts.dat" bytes to the stream reader. Besides not crashing, a
// stream that reads must write back to bytes that read to the same bytes again.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/code_page.h"
#include "project/archive_error.h"
#include "project/vantorix_project.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    const CodePage& codePage = CodePage::Default();
    for (bool keep : {false, true}) {
        try {
            auto project = ReadProjectEntry(bytes, codePage, keep);
            std::vector<std::uint8_t> written = WriteProjectEntry(*project);
            auto again = ReadProjectEntry(written, codePage, keep);
            if (WriteProjectEntry(*again) != written) std::abort();
        } catch (const CKXArchiveError&) {
        }
    }
    try {
        CVantorixStreamHeader header;
        CVantorixProjectInfo info;
        ReadProjectSettingsEntry(bytes, codePage, header, info);
    } catch (const CKXArchiveError&) {
    }
    try {
        ObjectList fonts = ReadFontEntry(bytes, codePage);
        if (WriteFontEntry(ReadFontEntry(WriteFontEntry(fonts), codePage)) != WriteFontEntry(fonts)) {
            std::abort();
        }
    } catch (const CKXArchiveError&) {
    }
    return 0;
}
