#include "platform/special_folders.h"

#include "platform/windows_paths.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>
#include "scoped_environment.h"

namespace {

// The user's home, XDG configuration and the data home (drive C:) all lie in a temporary folder.
class SpecialFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp.path.empty());
        layer.SetDataHome(temp / "data");
        layer.ResetDrives();
        home = temp / "home";
        std::filesystem::create_directories(home);
        environment.Set("HOME", home);
        environment.Set("XDG_CONFIG_HOME", temp / "config");
    }
    void TearDown() override { layer.SetDataHome(""); }

    void WriteUserDirs(const std::string& contents) { temp.Write("config/user-dirs.dirs", contents); }

    WindowsPathLayer& layer = WindowsPathLayer::Instance();
    TempFolder temp;
    ScopedEnvironment environment;
    std::string home;
    const std::string profile = "C:\\Documents and Settings\\" + WindowsPathLayer::UserName();
    const std::string allUsers = "C:\\Documents and Settings\\All Users";
};

TEST_F(SpecialFolderTest, SystemAndProfileFoldersLieOnDriveC) {
    struct Case {
        int csidl;
        std::string windows;
    };
    const Case cases[] = {
        {2, profile + "\\Start Menu\\Programs"},
        {7, profile + "\\Start Menu\\Programs\\Startup"},
        {11, profile + "\\Start Menu"},
        {26, profile + "\\Application Data"},
        {20, "C:\\Windows\\Fonts"},
        {22, allUsers + "\\Start Menu"},
        {23, allUsers + "\\Start Menu\\Programs"},
        {24, allUsers + "\\Start Menu\\Programs\\Startup"},
        {25, allUsers + "\\Desktop"},
        {35, allUsers + "\\Application Data"},
        {38, "C:\\Program Files"},
        {43, "C:\\Program Files\\Common Files"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SpecialFolders::SpecialFolder(c.csidl), c.windows) << c.csidl;
        // Scripts look into these folders at once: they must exist on the host.
        std::string host = layer.ToHostPath(c.windows);
        EXPECT_EQ(host.rfind(temp / "data/vantorix/drive_c/", 0), 0u) << host;
        EXPECT_TRUE(std::filesystem::is_directory(host)) << host;
    }
    EXPECT_EQ(SpecialFolders::WindowsFolder(), "C:\\Windows");
    EXPECT_EQ(SpecialFolders::SystemFolder(), "C:\\Windows\\System32");
    EXPECT_TRUE(std::filesystem::is_directory(layer.ToHostPath(SpecialFolders::SystemFolder())));
}

TEST_F(SpecialFolderTest, DesktopIsTheUsersXdgDesktop) {
    struct Case {
        const char* userDirs;              // nullptr: no user-dirs.dirs
        std::vector<std::string> folders;  // below the temporary folder
        std::string expected;              // below the temporary folder, or a Windows path
    };
    const std::string elsewhere = temp / "elsewhere/Desk";
    const std::string absoluteEntry = "XDG_DESKTOP_DIR=\"" + elsewhere + "\"\n";
    const Case cases[] = {
        {nullptr, {"home/Desktop"}, "home/Desktop"},
        {nullptr, {}, profile + "\\Desktop"},
        {"# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n",
         {"home/Desktop", "home/Schreibtisch"},
         "home/Schreibtisch"},
        {absoluteEntry.c_str(), {"elsewhere/Desk"}, "elsewhere/Desk"},
        {"XDG_DESKTOP_DIR=\"$HOME/Gone\"\n", {"home/Desktop"}, profile + "\\Desktop"},
        {"XDG_DESKTOP_DIR=\"$HOME/First\"\nXDG_DESKTOP_DIR=\"$HOME/My \\\"Desk\\\"\"\n",
         {"home/First", "home/My \"Desk\""},
         "home/My \"Desk\""},
        {"XDG_DOCUMENTS_DIR=\"$HOME/Desk\"\n", {"home/Desk", "home/Desktop"}, "home/Desktop"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(temp / "home");
        std::filesystem::remove_all(temp / "elsewhere");
        std::filesystem::remove_all(temp / "config");
        std::filesystem::create_directories(home);
        if (c.userDirs) WriteUserDirs(c.userDirs);
        for (const std::string& folder : c.folders) std::filesystem::create_directories(temp / folder);
        std::string expected = c.expected.starts_with("C:") ? c.expected : WindowsForm(temp / c.expected);
        const char* label = c.userDirs ? c.userDirs : "(none)";
        EXPECT_EQ(SpecialFolders::SpecialFolder(0), expected) << label;
        EXPECT_EQ(SpecialFolders::SpecialFolder(16), expected) << label;
    }
}

TEST_F(SpecialFolderTest, DocumentsAreTheUsersXdgDocumentsElseHome) {
    struct Case {
        const char* userDirs;
        std::vector<std::string> folders;
        std::string expected;  // below the temporary folder
    };
    const Case cases[] = {
        {nullptr, {"home/Documents"}, "home/Documents"},
        {nullptr, {}, "home"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", {"home/Dokumente", "home/Documents"}, "home/Dokumente"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/Gone\"\n", {"home/Documents"}, "home"},
        {"XDG_DOCUMENTS_DIR=\"$HOME\"\n", {}, "home"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(temp / "home");
        std::filesystem::remove_all(temp / "config");
        std::filesystem::create_directories(home);
        if (c.userDirs) WriteUserDirs(c.userDirs);
        for (const std::string& folder : c.folders) std::filesystem::create_directories(temp / folder);
        EXPECT_EQ(SpecialFolders::SpecialFolder(5), WindowsForm(temp / c.expected))
            << (c.userDirs ? c.userDirs : "(none)");
    }
}

TEST_F(SpecialFolderTest, TempFolderIsTheHostsInWindowsForm) {
    struct Case {
        std::optional<std::string> tmpdir;
        std::string expected;
    };
    const Case cases[] = {
        {std::nullopt, "Z:\\tmp"},
        {"", "Z:\\tmp"},
        {"relative", "Z:\\tmp"},
        {temp / "t/", WindowsForm(temp / "t")},
        {temp / "data/vantorix/drive_c/Windows/Temp", "C:\\Windows\\Temp"},
    };
    for (const Case& c : cases) {
        ScopedEnvironment tmpdir;
        tmpdir.Set("TMPDIR", c.tmpdir);
        EXPECT_EQ(SpecialFolders::TempFolder(), c.expected) << c.tmpdir.value_or("(unset)");
    }
}

TEST_F(SpecialFolderTest, UnknownNumbersGiveNothing) {
    for (int csidl : {-1, 1, 3, 4, 6, 8, 21, 27, 36, 37, 39, 44, 0x8005, 0x8000}) {
        EXPECT_EQ(SpecialFolders::SpecialFolder(csidl), "") << csidl;
    }
}

}  // namespace
