#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CKXDialogs;
class CKXFontRegistration;
class CKXTTFInfo;
class CodePage;

// The project's embedded fonts: read from the data file, written to a folder of their own under
// the temporary folder and added to the system's fonts for the run, then taken away again.
class CKXTTFManager {
public:
    // Reads the font entry of a data file. A file without one, or one whose directory cannot be
    // read, has no fonts: true. An entry that cannot be extracted shows "Failed to extract font
    // data to memory."; it and a damaged entry give false.
    bool Load(const std::string& dataFilePath, const std::string& password, const CodePage& codePage,
              CKXDialogs& dialogs);
    // Writes and adds every font the system does not have yet.
    void Install(CKXFontRegistration& registration, const CodePage& codePage);
    // Takes the added fonts away, deletes their files and then the folder, when it is empty.
    void Remove(CKXFontRegistration& registration);

    const std::vector<std::shared_ptr<CKXTTFInfo>>& Fonts() const { return fonts; }

    // What happened to each font: "installed" (with its file), "present" (the system has the
    // face), "failed" (with the reason).
    struct FontEvent {
        std::string face;  // UTF-8
        std::string action;
        std::string detail;
    };
    std::function<void(const FontEvent&)> onFont;

    std::string fontFolder;

private:
    bool CreateFontFolder();
    void Report(const std::string& face, const char* action, const std::string& detail = {}) const;

    std::vector<std::shared_ptr<CKXTTFInfo>> fonts;
    std::vector<int> registrationIds;  // parallel to fonts; -1 where not installed
};

// The file name, without extension, a font of this face is written under: the face itself, with
// path separators, control characters and NUL made '_', never "." or "..", at most 200 bytes.
std::string FontFileNameOf(const std::string& faceUtf8);

// The temporary folder fonts go under: $TMPDIR when it is an absolute path, else /tmp, without
// trailing slashes.
std::string FontTempBase();
