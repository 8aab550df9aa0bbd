#include "btn_file.h"

#include <filesystem>

#include "data_file_io.h"
#include "platform/ascii_case.h"
#include "platform/atomic_file.h"
#include "project/zip_writer.h"

namespace {

constexpr const char* manifestEntry = "_manifest.xml";

std::vector<std::uint8_t> ReadInput(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(path, bytes, &error)) throw ToolError(error);
    return bytes;
}

}  // namespace

void MakeButtonFile(const std::string& manifestPath, const std::vector<std::string>& picturePaths,
                    const std::string& outputPath) {
    std::vector<ZipEntryToWrite> entries;
    entries.push_back({manifestEntry, ReadInput(manifestPath), false});
    for (const std::string& path : picturePaths) {
        std::string name = std::filesystem::path(path).filename().string();
        // The player finds entries by name ignoring case, so such names would hide each other.
        for (const ZipEntryToWrite& entry : entries) {
            if (EqualsIgnoringAsciiCase(entry.name, name)) {
                throw ToolError(path + ": a button file cannot hold two entries named " + name);
            }
        }
        entries.push_back({name, ReadInput(path), false});
    }
    std::string error;
    if (!WriteZipArchive(outputPath, entries, "", &error)) throw ToolError(error);
}
