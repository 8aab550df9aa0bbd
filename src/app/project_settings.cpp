#include "app/project_settings.h"

#include "project/unzip_to_memory.h"
#include "project/vantorix_project.h"

WindowStyleFlags WindowStyleFlagsFor(int windowStyle) {
    switch (windowStyle) {
        case 1:
            return {false, true, false};
        case 2:
            return {false, false, false};
        case 3:
            return {false, false, true};
        case 4:
            return {false, false, false};
        default:
            return {true, true, false};
    }
}

bool LoadProjectSettings(const std::string& dataFilePath, const std::string& password, const CodePage& codePage,
                         RuntimeAppSettings& settings, std::string& message) {
    settings.projectEntrySource = dataFilePath;
    ArchiveEntryResult entry = ReadArchiveEntry(settings.projectEntrySource, projectEntryName, password.c_str());
    if (const char* failure = ProjectEntryFailureMessage(entry.status)) {
        message = failure;
        return false;
    }
    CVantorixStreamHeader header;
    CVantorixProjectInfo info;
    ReadProjectSettingsEntry(entry.bytes, codePage, header, info);

    settings.windowWidth = info.windowWidth;
    settings.windowHeight = info.windowHeight;
    WindowStyleFlags flags = WindowStyleFlagsFor(info.windowStyle);
    settings.hasTitleBar = flags.hasTitleBar;
    settings.hasBorder = flags.hasBorder;
    settings.fullScreen = flags.fullScreen;
    settings.maximized = false;
    settings.projectTitle = info.projectTitle;
    settings.useCustomIcon = info.useCustomIcon != 0;
    settings.iconFileName = info.iconFileName;
    settings.taskbarMode = info.taskbarMode;
    settings.movable = info.movable != 0;
    settings.alwaysOnTop = info.alwaysOnTop != 0;
    settings.skipSoundOnNT4 = info.skipSoundOnNT4 != 0;
    return true;
}
