#include "resources/kx_ttf_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "fake_font_registration.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "project/kx_ttf_info.h"
#include "project/vantorix_project.h"
#include "project/zip_writer.h"
#include "scoped_environment.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

RecordRef Font(const std::string& face, const std::string& data) {
    auto font = std::make_shared<CKXTTFInfo>();
    font->faceName = face;
    font->fontData.assign(data.begin(), data.end());
    return font;
}

class TTFManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        temp = folder / "tmp";
        fs::create_directories(temp);
        environment.Set("TMPDIR", temp + "/");
    }
    std::string DataFile(const ObjectList& fonts, bool withFontEntry = true) {
        CVantorixProject project;
        std::vector<ZipEntryToWrite> entries{{projectEntryName, WriteProjectEntry(project), true}};
        if (withFontEntry) entries.push_back({fontEntryName, WriteFontEntry(fonts), true});
        std::string path = folder / "menu.cdd";
        std::string error;
        EXPECT_TRUE(WriteZipArchive(path, entries, "secret", &error)) << error;
        return path;
    }
    bool Load(const std::string& path, const std::string& password = "secret") {
        return manager.Load(path, password, *codePage, dialogs);
    }

    TempFolder folder;
    std::string temp;
    ScopedEnvironment environment;
    std::unique_ptr<CodePage> codePage = CodePage::Open("windows-1252", nullptr);
    ScriptedDialogs dialogs;
    FakeFontRegistration registration;
    CKXTTFManager manager;
};

TEST_F(TTFManagerTest, InstallsWhatTheSystemLacksAndRemovesItAtTheEnd) {
    ASSERT_TRUE(Load(DataFile(
        {Font("Vantorix Boxes", "FONT boxes"), Font("Arial", "FONT arial"), Font("arial", "FONT other case")})));
    ASSERT_EQ(manager.Fonts().size(), 3u);
    std::vector<std::string> actions;
    manager.onFont = [&](const CKXTTFManager::FontEvent& e) { actions.push_back(e.face + ":" + e.action); };
    manager.Install(registration, *codePage);
    EXPECT_EQ(manager.fontFolder, temp + "/_kx_tmpfnt_1");
    // The skip rule compares the face exactly, letter case included.
    EXPECT_EQ(actions, (std::vector<std::string>{"Vantorix Boxes:installed", "Arial:present", "arial:installed"}));
    EXPECT_EQ(FileContents(temp + "/_kx_tmpfnt_1/Vantorix Boxes.TFT"), "FONT boxes");
    EXPECT_FALSE(fs::exists(temp + "/_kx_tmpfnt_1/Arial.TFT"));
    EXPECT_EQ(manager.Fonts()[0]->installedBase, temp + "/_kx_tmpfnt_1/Vantorix Boxes");
    EXPECT_EQ(registration.added.size(), 2u);
    EXPECT_TRUE(dialogs.records.empty());

    manager.Remove(registration);
    EXPECT_TRUE(registration.added.empty());
    EXPECT_FALSE(fs::exists(temp + "/_kx_tmpfnt_1"));
    EXPECT_TRUE(manager.Fonts()[0]->installedBase.empty());
}

TEST_F(TTFManagerTest, AFontListedSeveralTimesIsInstalledOnceAndLeavesNothingBehind) {
    // The stream stores the repeats as back-references to one record.
    RecordRef font = Font("Face", "FONT");
    ASSERT_TRUE(Load(DataFile({font, Font("Other", "FONT other"), font, font})));
    ASSERT_EQ(manager.Fonts().size(), 4u);
    ASSERT_EQ(manager.Fonts()[0], manager.Fonts()[2]);
    std::vector<std::string> actions;
    manager.onFont = [&](const CKXTTFManager::FontEvent& e) { actions.push_back(e.face + ":" + e.action); };
    manager.Install(registration, *codePage);
    EXPECT_EQ(actions, (std::vector<std::string>{"Face:installed", "Other:installed"}));
    manager.Remove(registration);
    EXPECT_TRUE(registration.added.empty());
    EXPECT_FALSE(fs::exists(temp + "/_kx_tmpfnt_1"));
}

TEST_F(TTFManagerTest, LeftoverFoldersAreNotReused) {
    fs::create_directories(temp + "/_kx_tmpfnt_1");
    folder.Write("tmp/_kx_tmpfnt_2", "a file, not a folder");
    ASSERT_TRUE(Load(DataFile({Font("Face", "FONT")})));
    manager.Install(registration, *codePage);
    EXPECT_EQ(manager.fontFolder, temp + "/_kx_tmpfnt_3");
    manager.Remove(registration);
    EXPECT_TRUE(fs::exists(temp + "/_kx_tmpfnt_1"));
    EXPECT_FALSE(fs::exists(temp + "/_kx_tmpfnt_3"));
}

TEST_F(TTFManagerTest, HostileFacesStayInsideTheFontFolder) {
    const std::string faces[] = {"../../escaped",       "a/b", "a\\b", "..", ".", "", std::string("nul\0here", 8),
                                 std::string(300, 'W'), "a_b"};
    ObjectList fonts;
    for (const std::string& face : faces) fonts.push_back(Font(face, "FONT " + face));
    fonts.push_back(Font("empty", ""));
    fonts.push_back(Font("garbage", "\x01\x02 not a font"));
    ASSERT_TRUE(Load(DataFile(fonts)));
    std::map<std::string, std::string> outcome;
    manager.onFont = [&](const CKXTTFManager::FontEvent& e) { outcome[e.face] = e.action; };
    manager.Install(registration, *codePage);
    EXPECT_EQ(outcome["empty"], "failed");
    EXPECT_EQ(outcome["garbage"], "failed");
    // Every written file is a direct child of the font folder and is one of the installed fonts.
    std::set<std::string> contents;
    for (const auto& entry : fs::recursive_directory_iterator(temp)) {
        if (!entry.is_regular_file()) continue;
        EXPECT_EQ(entry.path().parent_path().string(), manager.fontFolder) << entry.path();
        EXPECT_LE(entry.path().filename().string().size(), 204u);
        contents.insert(FileContents(entry.path().string()));
    }
    EXPECT_EQ(contents.size(), std::size(faces));
    for (const std::string& face : faces) EXPECT_EQ(contents.count("FONT " + face), 1u) << face;
    EXPECT_FALSE(fs::exists(folder / "escaped.TFT"));
    manager.Remove(registration);
    EXPECT_FALSE(fs::exists(manager.fontFolder.empty() ? temp + "/_kx_tmpfnt_1" : manager.fontFolder));
}

TEST_F(TTFManagerTest, AFontThatCannotBeRemovedKeepsItsFolder) {
    ASSERT_TRUE(Load(DataFile({Font("Face", "FONT")})));
    manager.Install(registration, *codePage);
    registration.refuseRemoval = true;
    manager.Remove(registration);
    EXPECT_TRUE(fs::exists(temp + "/_kx_tmpfnt_1/Face.TFT"));
}

TEST_F(TTFManagerTest, NoTemporaryFolderMeansNoFonts) {
    // A temporary "folder" that is a file: nothing can be made under it, not even by root.
    environment.Set("TMPDIR", folder.Write("not-a-folder"));
    ASSERT_TRUE(Load(DataFile({Font("Face", "FONT")})));
    std::vector<std::string> actions;
    manager.onFont = [&](const CKXTTFManager::FontEvent& e) { actions.push_back(e.action); };
    manager.Install(registration, *codePage);
    EXPECT_EQ(actions, std::vector<std::string>{"failed"});
    EXPECT_TRUE(registration.added.empty());
    manager.Remove(registration);
}

TEST_F(TTFManagerTest, DataFilesWithoutFontsAndBrokenOnes) {
    // No font entry, or no archive at all: no fonts and no message.
    EXPECT_TRUE(Load(DataFile({}, false)));
    EXPECT_TRUE(manager.Fonts().empty());
    EXPECT_TRUE(Load(folder.Write("plain.cdd", "not a zip")));
    EXPECT_TRUE(dialogs.records.empty());
    // An entry that cannot be extracted (here: the wrong password).
    std::string path = DataFile({Font("Face", "FONT")});
    EXPECT_FALSE(Load(path, "wrong"));
    ASSERT_EQ(dialogs.records.size(), 1u);
    EXPECT_EQ(dialogs.records[0].text, "Failed to extract font data to memory.");
    // An entry that extracts but does not read.
    std::string error;
    ASSERT_TRUE(WriteZipArchive(path, {{fontEntryName, {0xFF, 0xFF, 0xFF, 0xFF, 0x01}, true}}, "secret", &error));
    EXPECT_FALSE(Load(path));
    EXPECT_TRUE(manager.Fonts().empty());
}

TEST(FontFileName, SafeNames) {
    struct Case {
        std::string face, name;
    };
    const Case cases[] = {
        {"Times New Roman", "Times New Roman"},
        {"a/b\\c", "a_b_c"},
        {"..", "_"},
        {".", "_"},
        {"", "_"},
        {"..hidden", "..hidden"},
        {std::string("a\0b\n", 4), "a_b_"},
        // Cut at a character boundary: 199 bytes of 'x' and then a two-byte character.
        {std::string(199, 'x') + "\xC3\xA9" + "tail", std::string(199, 'x')},
    };
    for (const Case& c : cases) EXPECT_EQ(FontFileNameOf(c.face), c.name) << c.face;
}

}  // namespace
