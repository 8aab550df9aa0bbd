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

// A temporary folder mapped as drive D:, holding a few files whose names differ from the way
// the tests spell them. The data home (and so drive C:) lies in the same temporary folder.
class WindowsPathTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp.path.empty());
        layer.SetDataHome(temp / "data");
        layer.ResetDrives();
        drive = temp / "d";
        temp.Write("d/Docs/Readme.TXT");
        temp.Write("d/Case/a.txt");
        temp.Write("d/Case/A.txt");
        std::filesystem::create_directories(drive + "/Docs/sub");
        std::filesystem::create_directories(drive + "/Trail.");
        std::filesystem::create_directories(temp / "dx");
        ASSERT_TRUE(layer.MapDrive('D', drive));
        savedDirectory = std::filesystem::current_path();
        std::filesystem::current_path(temp.path);
    }
    void TearDown() override {
        std::filesystem::current_path(savedDirectory);
        layer.ResetDrives();
        layer.SetDataHome("");
    }

    WindowsPathLayer& layer = WindowsPathLayer::Instance();
    TempFolder temp;
    std::string drive;
    std::filesystem::path savedDirectory;
};

TEST_F(WindowsPathTest, WindowsPathsOnAMappedDrive) {
    struct Case {
        const char* windows;
        const char* host;  // below the drive's folder; nullptr: no such path
    };
    const Case cases[] = {
        {"D:\\Docs\\Readme.TXT", "/Docs/Readme.TXT"},
        {"d:\\docs\\README.txt", "/Docs/Readme.TXT"},
        {"D:/DOCS/readme.txt", "/Docs/Readme.TXT"},
        {"D:\\Docs/SUB\\\\New Folder\\File.txt", "/Docs/sub/New Folder/File.txt"},
        {"D:\\Missing\\DOCS\\readme.txt", "/Missing/DOCS/readme.txt"},
        {"D:\\..\\..\\docs\\readme.txt", "/Docs/Readme.TXT"},
        {"D:\\Docs\\.\\sub\\..\\..\\..\\Docs\\sub\\..", "/Docs"},
        {"D:\\docs\\readme.txt.", "/Docs/Readme.TXT"},
        {"D:\\docs\\readme.txt . ", "/Docs/Readme.TXT"},
        {"D:\\Docs\\", "/Docs"},
        {"D:\\", ""},
        {"D:", ""},
        {"D:docs\\SUB", "/Docs/sub"},
        // An exact name wins; otherwise the first case variant in byte order.
        {"D:\\case\\a.txt", "/Case/a.txt"},
        {"D:\\case\\A.txt", "/Case/A.txt"},
        {"D:\\case\\A.TXT", "/Case/A.txt"},
        {"Q:\\Docs", nullptr},
        {"\\\\server\\share\\Docs", nullptr},
        {"//server/share/Docs", nullptr},
        {"\\\\?\\D:\\Docs", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        std::string expected = c.host ? drive + c.host : "";
        EXPECT_EQ(layer.ToHostPath(c.windows), expected) << c.windows;
    }
}

TEST_F(WindowsPathTest, PathsWithoutADriveStartFromTheCurrentDirectory) {
    struct Case {
        std::string current;
        std::string windows;
        std::string host;
    };
    const Case cases[] = {
        {drive + "/Docs", "readme.txt", drive + "/Docs/Readme.TXT"},
        {drive + "/Docs", "..\\..\\..\\CASE\\a.txt", drive + "/Case/a.txt"},
        {drive + "/Docs", "\\case", drive + "/Case"},
        {drive + "/Docs", "/docs/sub", drive + "/Docs/sub"},
        {drive + "/Docs", "D:SUB", drive + "/Docs/sub"},
        {drive + "/Docs", "Z:\\", "/"},
        {drive + "/Trail.", "x.txt", drive + "/Trail./x.txt"},
        // On drive Z:, host paths keep their meaning.
        {temp.path, temp.path + "/D/DOCS", drive + "/Docs"},
        {temp.path, "\\", "/"},
        {temp.path, "d\\docs\\", drive + "/Docs"},
    };
    for (const Case& c : cases) {
        std::filesystem::current_path(c.current);
        EXPECT_EQ(layer.ToHostPath(c.windows), c.host) << c.current << " " << c.windows;
    }
}

TEST_F(WindowsPathTest, DriveZIsTheHostRoot) {
    std::string upper = WindowsForm(temp.path);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    EXPECT_EQ(layer.ToHostPath(upper + "\\D\\DOCS"), drive + "/Docs");
    EXPECT_EQ(layer.ToHostPath("Z:\\"), "/");
    EXPECT_EQ(layer.ToHostPath("z:\\..\\.."), "/");
    EXPECT_EQ(layer.DriveFolder('z'), "/");

    layer.UnmapDrive('Z');
    EXPECT_EQ(layer.ToHostPath("Z:\\tmp"), "");
    EXPECT_EQ(layer.ToWindowsPath("/tmp"), "");
    EXPECT_EQ(layer.ToHostPath("\\tmp"), "") << "the current directory is on no drive";
}

TEST_F(WindowsPathTest, HostPathsInWindowsForm) {
    ASSERT_TRUE(layer.MapDrive('e', drive + "/Docs/"));
    struct Case {
        std::string host;
        std::string windows;
    };
    const Case cases[] = {
        {drive, "D:\\"},
        {drive + "/", "D:\\"},
        {drive + "/Case/A.txt", "D:\\Case\\A.txt"},
        {drive + "/Case/../Case/./a.txt", "D:\\Case\\a.txt"},
        {drive + "/Docs", "E:\\"},
        {drive + "/Docs/sub/x", "E:\\sub\\x"},
        {temp / "dx", WindowsForm(temp / "dx")},
        {"/", "Z:\\"},
        {"//home//ann/menu/", "Z:\\home\\ann\\menu"},
        {"/..", "Z:\\"},
        {temp / "data/vantorix/drive_c/Windows", "C:\\Windows"},
        {"d/Case", "D:\\Case"},  // relative to the current directory
    };
    for (const Case& c : cases) EXPECT_EQ(layer.ToWindowsPath(c.host), c.windows) << c.host;
    EXPECT_EQ(layer.ToWindowsPath(""), "");
}

TEST_F(WindowsPathTest, ExistingHostPathsSurviveARoundTrip) {
    const std::string paths[] = {
        drive + "/Docs/Readme.TXT",
        drive + "/Case/A.txt",
        drive + "/Case/a.txt",
        drive,
        temp.path,
        "/",
        layer.DriveCFolder() + "/Windows/Fonts",
    };
    for (const std::string& path : paths) {
        std::string windows = layer.ToWindowsPath(path);
        EXPECT_EQ(layer.ToHostPath(windows), path) << windows;
    }
}

TEST_F(WindowsPathTest, MappingDrives) {
    EXPECT_FALSE(layer.MapDrive('1', drive));
    EXPECT_FALSE(layer.MapDrive(':', drive));
    EXPECT_FALSE(layer.MapDrive('F', ""));

    ASSERT_TRUE(layer.MapDrive('f', "d/Case"));  // relative to the current directory
    EXPECT_EQ(layer.DriveFolder('F'), drive + "/Case");
    EXPECT_EQ(layer.ToHostPath("F:\\A.txt"), drive + "/Case/A.txt");

    ASSERT_TRUE(layer.MapDrive('F', drive + "/Docs"));
    EXPECT_EQ(layer.ToHostPath("f:\\readme.txt"), drive + "/Docs/Readme.TXT");

    layer.UnmapDrive('f');
    EXPECT_EQ(layer.ToHostPath("F:\\readme.txt"), "");
    EXPECT_EQ(layer.DriveFolder('F'), "");
}

TEST_F(WindowsPathTest, DriveCHoldsAWindowsLayout) {
    std::string c = layer.DriveCFolder();
    EXPECT_EQ(c, temp / "data/vantorix/drive_c");
    EXPECT_EQ(layer.DriveFolder('C'), c);
    const std::string profile = "Documents and Settings/" + WindowsPathLayer::UserName();
    const std::string folders[] = {
        "Windows/System32",
        "Windows/Fonts",
        "Program Files/Common Files",
        profile + "/Desktop",
        profile + "/My Documents",
        profile + "/Start Menu/Programs/Startup",
        profile + "/Application Data",
        "Documents and Settings/All Users/Desktop",
        "Documents and Settings/All Users/Start Menu/Programs/Startup",
        "Documents and Settings/All Users/Application Data",
    };
    for (const std::string& folder : folders) {
        EXPECT_TRUE(std::filesystem::is_directory(c + "/" + folder)) << folder;
    }
    EXPECT_EQ(layer.ToHostPath("c:\\WINDOWS\\system32\\new.dll"), c + "/Windows/System32/new.dll");
}

TEST_F(WindowsPathTest, DriveCFollowsTheDataHomeUntilMapped) {
    TempFolder other;
    layer.SetDataHome(other.path);
    EXPECT_EQ(layer.ToHostPath("C:\\windows"), other / "vantorix/drive_c/Windows");

    // A folder mapped by the user is the user's: nothing is created in it.
    ASSERT_TRUE(layer.MapDrive('C', drive));
    EXPECT_EQ(layer.DriveCFolder(), drive);
    EXPECT_EQ(layer.ToHostPath("C:\\Windows"), drive + "/Windows");
    EXPECT_FALSE(std::filesystem::exists(drive + "/Windows"));

    layer.ResetDrives();
    EXPECT_EQ(layer.DriveFolder('C'), other / "vantorix/drive_c");
    EXPECT_EQ(layer.DriveFolder('D'), "");
}

TEST_F(WindowsPathTest, DataHomeComesFromTheEnvironment) {
    struct Case {
        std::optional<std::string> own;
        std::optional<std::string> xdg;
        std::string expected;
    };
    const std::string home = temp / "home";
    const Case cases[] = {
        {temp / "own/", temp / "xdg", temp / "own"},
        {std::nullopt, temp / "xdg", temp / "xdg"},
        {"", temp / "xdg", temp / "xdg"},
        {std::nullopt, "relative/xdg", home + "/.local/share"},
        {std::nullopt, std::nullopt, home + "/.local/share"},
    };
    layer.SetDataHome("");
    for (const Case& c : cases) {
        ScopedEnvironment environment;
        environment.Set("HOME", home);
        environment.Set("VANTORIX_DATA_HOME", c.own);
        environment.Set("XDG_DATA_HOME", c.xdg);
        EXPECT_EQ(layer.DataHome(), c.expected) << c.own.value_or("-") << " " << c.xdg.value_or("-");
    }

    ScopedEnvironment environment;
    environment.Set("VANTORIX_DATA_HOME", temp / "own");
    layer.SetDataHome(temp / "override");
    EXPECT_EQ(layer.DataHome(), temp / "override");
}

}  // namespace
