#include "platform/file_association.h"

#include "fake_programs.h"
#include "scoped_environment.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

namespace {

// A desktop's MIME database in a temporary folder: a user data folder, two system data folders
// (one with only the old unweighted globs file), user and system configuration folders, and a
// PATH of its own.
class FileAssociationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp.path.empty());
        environment.Set("XDG_DATA_HOME", temp / "user");
        environment.Set("XDG_DATA_DIRS", temp / "system" + ":" + temp / "old");
        environment.Set("XDG_CONFIG_HOME", temp / "config");
        environment.Set("XDG_CONFIG_DIRS", temp / "etc");
        environment.Set("XDG_CURRENT_DESKTOP", std::nullopt);
        environment.Set("PATH", temp / "bin");

        temp.Write("system/mime/globs2",
                   "# weight:type:glob\n"
                   "50:application/pdf:*.pdf\n"
                   "80:application/x-viewer-pdf:*.pdf\n"
                   "50:text/plain:*.txt\n"
                   "50:text/x-c++src:*.C:cs\n"
                   "50:text/x-csrc:*.c\n"
                   "50:image/png:*.png\n"
                   "50:application/x-lonely:*.lonely\n"
                   "50:application/x-broken:*.broken\n"
                   "50:application/x-gone:*.gone\n"
                   "50:application/x-plain:*.noexec\n"
                   "a line without fields\n"
                   "heavy:application/x-bad:*.bad\n"
                   "99999999999999999999:application/x-bad:*.bad\n");
        temp.Write("user/mime/globs2", "60:application/x-user-doc:*.doc\n40:text/x-low:*.pdf\n");
        temp.Write("old/mime/globs", "application/x-old:*.old\n");
    }

    std::string Program(const std::string& name) { return WriteScript(temp / name, "exit 0\n"); }
    void Desktop(const std::string& path, const std::string& body) {
        temp.Write(path, "[Desktop Entry]\nType=Application\nName=Viewer\n" + body);
    }

    struct Result {
        ViewerStatus status;
        std::string path;
    };
    Result Find(const std::string& extension) {
        Result result{ViewerStatus::Ok, "stale"};
        result.status = FindDefaultViewer(extension, result.path);
        return result;
    }

    TempFolder temp;
    ScopedEnvironment environment;
};

TEST_F(FileAssociationTest, TheHeaviestGlobGivesTheType) {
    struct Case {
        std::string extension;
        std::string type;
    };
    const Case cases[] = {
        {".pdf", "application/x-viewer-pdf"},
        {"PDF", "application/x-viewer-pdf"},
        {"..txt", "text/plain"},
        {".doc", "application/x-user-doc"},
        {".C", "text/x-c++src"},
        {".c", "text/x-csrc"},
        {".old", "application/x-old"},
        {".bad", ""},
        {".zip", ""},
        {"", ""},
        {"...", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(MimeTypeForExtension(c.extension), c.type) << c.extension;
}

TEST_F(FileAssociationTest, TheDefaultApplicationsProgramIsTheViewer) {
    std::string viewer = Program("bin dir/my viewer");
    std::string editor = Program("bin/editor");
    std::string images = Program("bin/imageview");
    // The user's choice: the first listed application is not installed, the second is hidden.
    temp.Write("config/mimeapps.list",
               "[Default Applications]\n"
               "application/x-viewer-pdf = gone.desktop;hidden.desktop;viewer.desktop;\n");
    Desktop("user/applications/hidden.desktop", "Hidden=true\nExec=" + editor + "\n");
    Desktop("user/applications/viewer.desktop", "Exec=\"" + viewer + "\" --page=1 %f\n");
    // No choice for text: the system's defaults.list.
    temp.Write("system/applications/defaults.list", "[Default Applications]\ntext/plain=editor.desktop\n");
    Desktop("system/applications/editor.desktop", "Exec=editor %U\n");
    // No choice and no default for images: an application that declares the type, found by the
    // ID kde-imageview.desktop in a sub-folder.
    Desktop("system/applications/kde/imageview.desktop", "MimeType=image/jpeg;image/png;\nExec=imageview\n");

    struct Case {
        std::string extension;
        std::string program;
    };
    const Case cases[] = {{".pdf", viewer}, {".txt", editor}, {".png", images}};
    for (const Case& c : cases) {
        Result result = Find(c.extension);
        EXPECT_EQ(result.status, ViewerStatus::Ok) << c.extension;
        EXPECT_EQ(result.path, c.program) << c.extension;
    }
}

TEST_F(FileAssociationTest, RemovedAssociationsAreNotUsed) {
    Program("bin/imageview");
    Program("bin/paint");
    Desktop("system/applications/imageview.desktop", "MimeType=image/png;\nExec=imageview\n");
    Desktop("system/applications/paint.desktop", "Exec=paint\n");
    temp.Write("etc/mimeapps.list",
               "[Added Associations]\nimage/png=paint.desktop;\n"
               "[Removed Associations]\nimage/png=imageview.desktop;paint.desktop;\n");
    EXPECT_EQ(Find(".png").status, ViewerStatus::NoCommand);

    temp.Write("config/mimeapps.list", "[Added Associations]\nimage/png=paint.desktop;\n");
    Result result = Find(".png");
    EXPECT_EQ(result.status, ViewerStatus::Ok);
    EXPECT_EQ(result.path, temp / "bin/paint");
}

TEST_F(FileAssociationTest, EachFailingStepHasItsStatus) {
    Program("bin/lonelyfriend");
    std::filesystem::permissions(temp.Write("bin/plain", "data"), std::filesystem::perms::owner_read);
    temp.Write("config/mimeapps.list",
               "[Default Applications]\n"
               "application/x-broken=broken.desktop\n"
               "application/x-gone=gone.desktop\n"
               "application/x-plain=plain.desktop\n");
    Desktop("user/applications/broken.desktop", "Exec=\"/opt/unterminated %f\n");
    Desktop("user/applications/gone.desktop", "Exec=/opt/nothing/here %f\n");
    Desktop("user/applications/plain.desktop", "Exec=plain\n");
    // Declares the type outside its [Desktop Entry] group, which does not count.
    temp.Write("user/applications/other.desktop",
               "[Desktop Entry]\nExec=lonelyfriend\n[Desktop Action x]\nMimeType=application/x-lonely\n");

    struct Case {
        std::string extension;
        ViewerStatus status;
    };
    const Case cases[] = {
        {".unknown", ViewerStatus::NoType},       {".lonely", ViewerStatus::NoCommand},
        {".broken", ViewerStatus::NotExecutable}, {".gone", ViewerStatus::Missing},
        {".noexec", ViewerStatus::Missing},
    };
    for (const Case& c : cases) {
        Result result = Find(c.extension);
        EXPECT_EQ(result.status, c.status) << c.extension;
        EXPECT_EQ(result.path, "") << c.extension;
    }
}

TEST(DesktopExecProgramTest, TakesTheFirstWordOfTheExecLine) {
    struct Case {
        std::string exec;
        std::optional<std::string> program;
    };
    const Case cases[] = {
        {"/usr/bin/okular %U", "/usr/bin/okular"},
        {"  evince --page-label=1 %f", "evince"},
        {R"("/opt/My Viewer/run" %F)", "/opt/My Viewer/run"},
        {R"("/opt/a\\"b\\$c" %f)", R"(/opt/a"b$c)"},
        // \s is a blank before the quoting rules apply, so it ends the word.
        {R"(/opt/my\sviewer %f)", "/opt/my"},
        {"view%%er %u", "view%er"},
        {"viewer%f", "viewer"},
        {"env LANG=C viewer", "env"},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"%f", std::nullopt},
        {R"("/opt/open ended %f)", std::nullopt},
        {R"("")", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(DesktopExecProgram(c.exec), c.program) << c.exec;
}

TEST_F(FileAssociationTest, DamagedDatabaseFilesDoNotCrash) {
    std::mt19937 random(20240611);
    auto garbage = [&random](std::size_t size) {
        std::string bytes;
        std::uniform_int_distribution<int> byte(0, 255);
        for (std::size_t i = 0; i < size; ++i) bytes += static_cast<char>(byte(random));
        return bytes;
    };
    const std::string damaged[] = {
        "[Default Applications\napplication/x-viewer-pdf=x.desktop\n",
        "[Default "
        "Applications]\n=\n;;;\napplication/x-viewer-pdf=;;;-.desktop;--.desktop;.desktop\n",
        "[Default Applications]\napplication/x-viewer-pdf=../../etc/passwd;a/b.desktop\n",
        "[]\n[\n]\n==\n\r\n",
    };
    temp.Write("user/applications/-.desktop", "[Desktop Entry]\nExec=\n");
    for (const std::string& contents : damaged) {
        temp.Write("config/mimeapps.list", contents);
        std::string path;
        ViewerStatus status = FindDefaultViewer(".pdf", path);
        EXPECT_NE(status, ViewerStatus::Ok) << contents;
    }
    for (int round = 0; round < 20; ++round) {
        temp.Write("user/mime/globs2", garbage(300) + "\n50:application/x-viewer-pdf:*.pdf\n" + garbage(300));
        temp.Write("config/mimeapps.list",
                   "[Default Applications]\napplication/x-viewer-pdf=g.desktop\n" + garbage(500));
        temp.Write("user/applications/g.desktop", "[Desktop Entry]\nExec=" + garbage(200));
        temp.Write("system/applications/" + std::to_string(round) + ".desktop", garbage(400));
        std::string path;
        ViewerStatus status = FindDefaultViewer(".pdf", path);
        EXPECT_NE(status, ViewerStatus::NoType);
    }
}

}  // namespace
