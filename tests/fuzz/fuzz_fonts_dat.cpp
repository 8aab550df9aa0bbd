// Feeds arbitrary bytes to the reading of a font entry and installs what it holds, as the start
// of a run does, into a scratch temporary folder: every file written must stay in the font
// folder, and the folder must be gone after the fonts are taken away.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "fuzz_scratch_file.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/font_registration.h"
#include "project/archive_error.h"
#include "project/kx_ttf_info.h"
#include "project/vantorix_project.h"
#include "project/zip_writer.h"
#include "resources/kx_ttf_manager.h"

namespace {

// Takes every file that is not empty as a font.
class AnyFileIsAFont : public CKXFontRegistration {
public:
    bool HasScalableFace(const std::string& face, int) override { return face == "Arial"; }
    int AddFontFile(const std::string& path) override {
        std::error_code error;
        return std::filesystem::file_size(path, error) > 0 && !error ? next++ : -1;
    }
    bool RemoveFontFile(int) override { return true; }
    void ProvideSubstitutes(const std::vector<std::string>&) override {}
    int next = 1;
};

// Kept for the whole process: the clean-up at exit runs after static objects are gone.
const std::string& TempBase() {
    static const std::string* base = [] {
        auto* folder = new std::string("/tmp/vx_fuzz_fonts_" + std::to_string(static_cast<long>(getpid())));
        std::filesystem::create_directories(*folder);
        setenv("TMPDIR", folder->c_str(), 1);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(TempBase(), ignored);
        });
        return folder;
    }();
    return *base;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& base = TempBase();
    std::vector<std::uint8_t> bytes(data, data + size);
    try {
        ReadFontEntry(bytes, CodePage::Default());
    } catch (const CKXArchiveError&) {
        return 0;
    }
    // The entry reads: install it from a data file, as the player would.
    const std::string& dataFile = ScratchPath("vx_fuzz_fonts_dat", ".cdd");
    std::string error;
    if (!WriteZipArchive(dataFile, {{fontEntryName, bytes, false}}, "", &error)) return 0;
    CKXTTFManager manager;
    ScriptedDialogs dialogs;
    if (!manager.Load(dataFile, "", CodePage::Default(), dialogs)) return 0;
    AnyFileIsAFont registration;
    manager.Install(registration, CodePage::Default());
    for (const auto& entry : std::filesystem::recursive_directory_iterator(base)) {
        if (!entry.is_directory() && entry.path().parent_path() != manager.fontFolder) std::abort();
    }
    manager.Remove(registration);
    if (!std::filesystem::is_empty(base)) std::abort();
    return 0;
}
