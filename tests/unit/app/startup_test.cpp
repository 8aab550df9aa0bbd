#include <gtest/gtest.h>

#include "app/data_file_search.h"
#include "app/project_settings.h"
#include "platform/code_page.h"
#include "project/archive_error.h"
#include "project/archive_password.h"
#include "project/vantorix_project.h"
#include "project/zip_writer.h"
#include "temp_folder.h"

namespace {

TEST(DataFileSearch, CandidateOrderAndBaseName) {
    struct Case {
        const char* what;
        std::vector<std::string> files;  // besides the executable "menu.exe"
        std::string expected;            // relative to the folder; empty when none is found
    };
    const Case cases[] = {
        {"sub-folder first", {"Vantorix/menu.cdd", "menu.cdd"}, "Vantorix/menu.cdd"},
        {"beside the executable", {"menu.cdd"}, "menu.cdd"},
        {"named after the executable only", {"autorun.cdd", "Vantorix/other.cdd"}, ""},
        {"letter case of a disc's names", {"VANTORIX/MENU.CDD"}, "VANTORIX/MENU.CDD"},
        {"a folder of that name is no file", {"menu.cdd/inner"}, "menu.cdd"},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        std::string exe = folder.Write("menu.exe");
        for (const std::string& file : c.files) folder.Write(file);
        DataFileLocation location = FindDataFile(exe);
        EXPECT_EQ(location.exeFolder, folder.path) << c.what;
        EXPECT_EQ(location.exeBaseName, "menu") << c.what;
        EXPECT_EQ(location.dataFilePath, c.expected.empty() ? "" : folder / c.expected) << c.what;
    }
}

TEST(DataFileSearch, BaseNameAsStoredOnDisk) {
    TempFolder folder;
    folder.Write("Menu.Setup.EXE");
    folder.Write("Menu.Setup.cdd");
    // The name given differs in case from the stored one; the stored one names the data file.
    DataFileLocation location = FindDataFile(folder / "menu.setup.exe");
    EXPECT_EQ(location.exeBaseName, "Menu.Setup");
    EXPECT_EQ(location.dataFilePath, folder / "Menu.Setup.cdd");
}

TEST(DataFileSearch, DataFileGivenDirectly) {
    TempFolder folder;
    std::string data = folder.Write("show.cdd");
    EXPECT_EQ(FindDataFile(data).dataFilePath, data);
}

class ProjectSettingsTest : public ::testing::Test {
protected:
    std::string Pack(const std::string& name, const std::vector<ZipEntryToWrite>& entries,
                     const std::string& password = archivePassword) {
        std::string path = folder / name;
        std::string error;
        EXPECT_TRUE(WriteZipArchive(path, entries, password, &error)) << error;
        return path;
    }
    std::string Load(const std::string& path, RuntimeAppSettings& settings) {
        std::string message;
        bool ok = LoadProjectSettings(path, archivePassword, CodePage::Default(), settings, message);
        EXPECT_EQ(ok, message.empty());
        return message;
    }
    TempFolder folder;
};

TEST_F(ProjectSettingsTest, FailuresGiveTheStartupMessages) {
    CVantorixProject project;
    auto stream = WriteProjectEntry(project);
    struct Case {
        const char* what;
        std::string path;
        const char* message;
    };
    std::string notZip = folder.Write("not-a-zip.cdd", "plain text");
    std::string noEntry = Pack("folder.cdd", {{"data/_proj.dat", stream, true}});
    std::string wrongPassword = Pack("other.cdd", {{"_proj.dat", stream, true}}, "AnotherPassword123");
    const Case cases[] = {
        {"missing file", folder / "absent.cdd", "Failed to get archive directory listing."},
        {"not a zip", notZip, "Failed to get archive directory listing."},
        {"entry inside a folder", noEntry, "Failed to find project file in archive."},
        {"other password", wrongPassword, "Failed to extract project file to memory."},
    };
    for (const Case& c : cases) {
        RuntimeAppSettings settings;
        EXPECT_EQ(Load(c.path, settings), c.message) << c.what;
        EXPECT_EQ(settings.projectEntrySource, c.path) << c.what;
    }
}

TEST_F(ProjectSettingsTest, WindowSettingsComeFromTheProjectInfo) {
    CVantorixProject project;
    project.header.suppressProjectEvents = 1;
    project.info.windowWidth = 800;
    project.info.windowHeight = 600;
    project.info.windowStyle = 3;
    project.info.projectTitle = "Atlas";
    project.info.useCustomIcon = 1;
    project.info.iconFileName = "atlas.ico";
    project.info.taskbarMode = 2;
    project.info.movable = 0;
    project.info.alwaysOnTop = 5;
    project.info.skipSoundOnNT4 = 1;
    std::string path = Pack("menu.cdd", {{"_PROJ.DAT", WriteProjectEntry(project), true}});
    RuntimeAppSettings settings;
    ASSERT_EQ(Load(path, settings), "");
    EXPECT_EQ(settings.windowWidth, 800);
    EXPECT_EQ(settings.windowHeight, 600);
    EXPECT_TRUE(settings.fullScreen);
    EXPECT_FALSE(settings.hasTitleBar);
    EXPECT_FALSE(settings.maximized);
    EXPECT_EQ(settings.projectTitle, "Atlas");
    EXPECT_TRUE(settings.useCustomIcon);
    EXPECT_EQ(settings.iconFileName, "atlas.ico");
    EXPECT_EQ(settings.taskbarMode, 2);
    EXPECT_FALSE(settings.movable);
    EXPECT_TRUE(settings.alwaysOnTop);
    EXPECT_TRUE(settings.skipSoundOnNT4);
}

TEST_F(ProjectSettingsTest, MalformedStreamRaisesTheReaderError) {
    std::string path = Pack("menu.cdd", {{"_proj.dat", {1, 0, 0, 0, 5, 'a'}, true}});
    RuntimeAppSettings settings;
    std::string message;
    EXPECT_THROW(LoadProjectSettings(path, archivePassword, CodePage::Default(), settings, message), CKXArchiveError);
}

TEST(WindowStyle, FlagsOfEachCode) {
    struct Case {
        int code;
        bool title, border, full;
    };
    const Case cases[] = {{0, true, true, false},  {1, false, true, false},  {2, false, false, false},
                          {3, false, false, true}, {4, false, false, false}, {5, true, true, false},
                          {-1, true, true, false}};
    for (const Case& c : cases) {
        WindowStyleFlags flags = WindowStyleFlagsFor(c.code);
        EXPECT_EQ(flags.hasTitleBar, c.title) << c.code;
        EXPECT_EQ(flags.hasBorder, c.border) << c.code;
        EXPECT_EQ(flags.fullScreen, c.full) << c.code;
    }
}

}  // namespace
