#include "project/vantorix_project.h"

#include "project/archive_reader.h"
#include "project/archive_writer.h"

std::unique_ptr<CVantorixProject> ReadProjectEntry(const std::vector<std::uint8_t>& bytes, const CodePage& codePage,
                                                   bool keepDiscardedObjects) {
    CKXArchiveReader reader(bytes.data(), bytes.size(), codePage);
    reader.keepDiscardedObjects = keepDiscardedObjects;
    auto project = std::make_unique<CVantorixProject>();
    project->ReadBody(reader);
    return project;
}

void ReadProjectSettingsEntry(const std::vector<std::uint8_t>& bytes, const CodePage& codePage,
                              CVantorixStreamHeader& header, CVantorixProjectInfo& info) {
    CKXArchiveReader reader(bytes.data(), bytes.size(), codePage);
    header.ReadBody(reader);
    info.ReadBody(reader);
}

std::vector<std::uint8_t> WriteProjectEntry(CVantorixProject& project) {
    CKXArchiveWriter writer;
    project.WriteBody(writer);
    return writer.TakeBytes();
}

ObjectList ReadFontEntry(const std::vector<std::uint8_t>& bytes, const CodePage& codePage) {
    CKXArchiveReader reader(bytes.data(), bytes.size(), codePage);
    ObjectList fonts;
    reader.ReadObjectList(fonts);
    return fonts;
}

std::vector<std::uint8_t> WriteFontEntry(const ObjectList& fonts) {
    CKXArchiveWriter writer;
    writer.WriteObjectList(fonts);
    return writer.TakeBytes();
}
