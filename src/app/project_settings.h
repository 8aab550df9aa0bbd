#pragma once

#include <string>

class CodePage;

// The window settings read from the project entry before any window exists.
struct RuntimeAppSettings {
    std::string projectEntrySource;
    int windowWidth = 0;
    int windowHeight = 0;
    bool hasTitleBar = true;
    bool hasBorder = true;
    bool fullScreen = false;
    bool maximized = false;
    std::string projectTitle;
    bool useCustomIcon = false;
    std::string iconFileName;
    int taskbarMode = 0;
    bool movable = true;
    bool alwaysOnTop = false;
    bool skipSoundOnNT4 = false;
};

struct WindowStyleFlags {
    bool hasTitleBar;
    bool hasBorder;
    bool fullScreen;
};

// The flags of a window style code; codes outside 1..4 act like 0.
WindowStyleFlags WindowStyleFlagsFor(int windowStyle);

// Reads the header and project info of the data file's project entry into settings. On failure
// returns false with the message start-up shows. A malformed stream raises CKXArchiveError.
bool LoadProjectSettings(const std::string& dataFilePath, const std::string& password, const CodePage& codePage,
                         RuntimeAppSettings& settings, std::string& message);
