#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "project/serializable.h"
#include "project/vantorix_menu_page.h"
#include "project/vantorix_project_info.h"

class CKXArchiveReader;
class CodePage;

// The values at the head of the project entry, before the project info.
class CVantorixStreamHeader : public CKXSerializable {
public:
    const char* ClassName() const override { return "CVantorixStreamHeader"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Dword("version", version);
        v.String("startupScript", startupScript);
        v.Int("previewMode", previewMode);
        v.Int("suppressProjectEvents", suppressProjectEvents);
        v.String("unusedText", unusedText);
        v.Time("unusedTime", unusedTime);
        v.Int("reserved", reserved);
        v.String("unusedText2", unusedText2);
        v.String("dataFolderName", dataFolderName);
        v.Int("debugOnStart", debugOnStart);
    }

    std::uint32_t version = 1;
    std::string startupScript;
    std::int32_t previewMode = 0;
    std::int32_t suppressProjectEvents = 0;
    std::string unusedText;
    std::int32_t unusedTime = 0;
    std::int32_t reserved = 0;
    std::string unusedText2;
    std::string dataFolderName;
    std::int32_t debugOnStart = 0;
};

// The whole project entry "_proj.dat": header, project info, pages and the Flash check flag.
// Bytes after the flag are ignored.
class CVantorixProject : public CKXSerializable {
public:
    const char* ClassName() const override { return "CVantorixProject"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Member("header", header);
        v.Member("project", info);
        VisitMemberList(v, "pages", pages);
        v.Int("doFlashCheck", doFlashCheck);
    }

    CVantorixStreamHeader header;
    CVantorixProjectInfo info;
    std::vector<std::unique_ptr<CVantorixMenuPage>> pages;
    std::int32_t doFlashCheck = 0;
};

// Reads a whole project entry. Raises CKXArchiveError on a malformed stream.
std::unique_ptr<CVantorixProject> ReadProjectEntry(const std::vector<std::uint8_t>& bytes, const CodePage& codePage,
                                                   bool keepDiscardedObjects = false);
// Reads only the header and the project info, as start-up does before any window exists.
void ReadProjectSettingsEntry(const std::vector<std::uint8_t>& bytes, const CodePage& codePage,
                              CVantorixStreamHeader& header, CVantorixProjectInfo& info);
std::vector<std::uint8_t> WriteProjectEntry(CVantorixProject& project);

// The font entry "_fonts.dat": one object list of embedded font records.
ObjectList ReadFontEntry(const std::vector<std::uint8_t>& bytes, const CodePage& codePage);
std::vector<std::uint8_t> WriteFontEntry(const ObjectList& fonts);

inline constexpr char projectEntryName[] = "_proj.dat";
inline constexpr char fontEntryName[] = "_fonts.dat";
