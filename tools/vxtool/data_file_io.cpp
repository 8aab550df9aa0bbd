#include "data_file_io.h"

#include <sys/stat.h>

#include "project/archive_error.h"
#include "project/unzip_to_memory.h"
#include "project/vantorix_project.h"
#include "project/zip_writer.h"

std::vector<std::uint8_t> ReadDataFileEntry(const std::string& path, const char* entryName, const std::string& password,
                                            bool required) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) throw ToolError(path + ": no such file");
    ArchiveEntryResult result = ReadArchiveEntry(path, entryName, password.c_str());
    switch (result.status) {
        case ArchiveEntryStatus::Ok:
            return std::move(result.bytes);
        case ArchiveEntryStatus::NoDirectory:
            throw ToolError(path + ": not a data file (its archive directory cannot be read)");
        case ArchiveEntryStatus::NoEntry:
            if (!required) return {};
            throw ToolError(path + ": the data file has no \"" + entryName + "\" entry");
        case ArchiveEntryStatus::TooLarge:
            throw ToolError(path + ": the \"" + entryName + "\" entry is larger than 256 MB");
        case ArchiveEntryStatus::ExtractFailed:
            break;
    }
    throw ToolError(path + ": cannot extract \"" + entryName + "\" (wrong password or damaged entry)");
}

std::unique_ptr<CVantorixProject> LoadDataFile(const std::string& path, const std::string& password,
                                               const CodePage& codePage) {
    std::vector<std::uint8_t> bytes = ReadDataFileEntry(path, projectEntryName, password, true);
    try {
        // The tool shows the file as stored, with the object kinds the player drops.
        return ReadProjectEntry(bytes, codePage, true);
    } catch (const CKXArchiveError& error) {
        throw ToolError(path + ": malformed \"" + projectEntryName + "\": " + error.what());
    }
}

ObjectList LoadDataFileFonts(const std::string& path, const std::string& password, const CodePage& codePage) {
    std::vector<std::uint8_t> bytes = ReadDataFileEntry(path, fontEntryName, password, false);
    if (bytes.empty()) return {};
    try {
        return ReadFontEntry(bytes, codePage);
    } catch (const CKXArchiveError& error) {
        throw ToolError(path + ": malformed \"" + fontEntryName + "\": " + error.what());
    }
}

void SaveDataFile(const std::string& path, CVantorixProject& project, const ObjectList& fonts,
                  const std::string& password) {
    std::vector<ZipEntryToWrite> entries;
    entries.push_back({projectEntryName, WriteProjectEntry(project), true});
    if (!fonts.empty()) entries.push_back({fontEntryName, WriteFontEntry(fonts), true});
    std::string error;
    if (!WriteZipArchive(path, entries, password, &error)) throw ToolError(path + ": " + error);
}
