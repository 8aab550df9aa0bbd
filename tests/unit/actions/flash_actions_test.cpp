#include "actions/flash_actions.h"

#include <gtest/gtest.h>

#include "actions/action_tables.h"
#include "engine/px_runtime_doc.h"
#include "media/flash/flash_host.h"
#include "media/flash_control.h"
#include "media/flash_settings.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/windows_paths.h"
#include "project/archive_password.h"
#include "project/vantorix_flash_object.h"
#include "project/vantorix_menu_page.h"
#include "project/vantorix_video_object.h"
#include "project/zip_writer.h"
#include "script/lua_engine.h"
#include "temp_folder.h"

namespace {

// A control that keeps a movie's frame and state, and writes down every call.
class FakeFlashControl : public CKXFlashControl {
public:
    bool PutQuality2(const std::string& quality) override { return Note("Quality2 " + quality); }
    bool PutScaleMode(int mode) override { return Note("ScaleMode " + std::to_string(mode)); }
    bool PutAlignMode(int bits) override { return Note("AlignMode " + std::to_string(bits)); }
    bool PutBackgroundColor(int color) override { return Note("BackgroundColor " + std::to_string(color)); }
    bool PutMenu(bool show) override { return Note(std::string("Menu ") + (show ? "1" : "0")); }
    bool PutDeviceFont(bool use) override { return Note(std::string("DeviceFont ") + (use ? "1" : "0")); }
    bool PutMovie(const std::string& path) override { return Note("Movie " + path); }
    bool PutLoop(bool loop) override { return Note(std::string("Loop ") + (loop ? "1" : "0")); }
    bool Play() override { return Note("Play"); }
    bool Stop() override { return Note("Stop"); }
    bool Rewind() override {
        frame = 0;
        return Note("Rewind");
    }
    bool GotoFrame(int to) override {
        frame = to;
        return Note("GotoFrame " + std::to_string(to));
    }
    std::optional<int> TotalFrames() override { return broken ? std::nullopt : std::optional<int>(total); }
    std::optional<int> CurrentFrame() override { return broken ? std::nullopt : std::optional<int>(frame); }
    std::optional<int> GetReadyState() override { return broken ? std::nullopt : std::optional<int>(kComplete); }

    bool Note(const std::string& call) {
        calls.push_back(call);
        return !broken;
    }
    std::vector<std::string> calls;
    int total = 10, frame = 0;
    bool broken = false;
};

class FlashActionsTest : public ::testing::Test {
protected:
    FlashActionsTest() : document(dialogs, frame, CodePage::Default(), ActionTables()) {
        WindowsPathLayer::Instance().SetDataHome(data.path);
        CVantorixProject project;
        auto page = std::make_unique<CVantorixMenuPage>();
        page->pageName = "Home";
        auto movie = std::make_shared<CVantorixFlashObject>();
        movie->objectName = "Movie";
        auto video = std::make_shared<CVantorixVideoObject>();
        video->objectName = "Clip";
        page->pageObjects = {movie, video};
        project.pages.push_back(std::move(page));
        std::string path = folder / "menu.cdd";
        std::string error;
        EXPECT_TRUE(WriteZipArchive(path, {{"_proj.dat", WriteProjectEntry(project), true}}, archivePassword, &error));
        EXPECT_TRUE(document.OnNewDocument(path, path, archivePassword, nullptr));
        document.ShowPage(0, true);
        flash = dynamic_cast<CVantorixFlashObject*>(document.FindObject("Movie", kindFlash));
    }

    // The script's result and the error it left, as "result error".
    std::string Eval(const std::string& expression) {
        document.RunEventScript("Result = tostring(" + expression + ") .. ' ' .. Application.GetLastError()", "Test",
                                "");
        lua_State* L = document.ScriptEngine().luaState;
        lua_getglobal(L, "Result");
        std::string value = lua_tostring(L, -1) ? lua_tostring(L, -1) : "";
        lua_pop(L, 1);
        return value;
    }
    std::string Run(const std::string& statement) { return Eval("(function() " + statement + " end)() or ''"); }

    TempFolder data, folder;
    ScriptedDialogs dialogs;
    CKXFrameServices frame;
    CPXRuntimeDoc document;
    CVantorixFlashObject* flash = nullptr;
    FakeFlashControl control;
};

TEST_F(FlashActionsTest, ActionsReachTheControl) {
    ASSERT_NE(flash, nullptr);
    // Without a live control: nothing happens and no error; GetState fails with -1.
    EXPECT_EQ(Eval("Flash.GetState('Movie')"), "-1 0");
    EXPECT_EQ(Run("Flash.Play('Movie')"), " 0");
    // A name that is another kind's object, or none at all.
    EXPECT_EQ(Eval("Flash.GetState('Clip')"), "-1 1100");
    EXPECT_EQ(Run("Flash.Stop('Nobody')"), " 1100");

    flash->control = &control;
    EXPECT_EQ(Eval("Flash.GetState('Movie')"), "4 0");
    EXPECT_EQ(Run("Flash.Play('Movie') Flash.Stop('Movie')"), " 0");
    EXPECT_EQ(control.calls, (std::vector<std::string>{"Play", "Stop"}));
    control.broken = true;
    EXPECT_EQ(Eval("Flash.GetState('Movie')"), "-1 1115");
    EXPECT_EQ(Run("Flash.Play('Movie')"), " 1115");
    EXPECT_EQ(Run("Flash.Seek('Movie', SEEK_SPECIFIC, 2)"), " 1115");
    flash->control = nullptr;
}

TEST_F(FlashActionsTest, SeekModes) {
    ASSERT_NE(flash, nullptr);
    flash->control = &control;
    struct Case {
        int from;
        const char* seek;
        const char* call;  // nullptr: no call
        int error;
    };
    const Case cases[] = {
        {5, "SEEK_BEGINNING", "Rewind", 0},           {5, "SEEK_END", "GotoFrame 10", 0},
        {5, "SEEK_FORWARD, 5", "GotoFrame 10", 0},    {8, "SEEK_FORWARD, 5", nullptr, 0},
        {5, "SEEK_BACKWARD, 5", "GotoFrame 0", 0},    {3, "SEEK_BACKWARD, 5", nullptr, 0},
        {3, "SEEK_SPECIFIC, 7.9", "GotoFrame 7", 0},  {3, "SEEK_FORWARD, 0/0", "GotoFrame 3", 0},
        {3, "SEEK_FORWARD, 1e300", "GotoFrame 3", 0}, {3, "9", nullptr, 1104},
    };
    for (const Case& c : cases) {
        control.frame = c.from;
        control.calls.clear();
        EXPECT_EQ(Run(std::string("Flash.Seek('Movie', ") + c.seek + ")"), " " + std::to_string(c.error)) << c.seek;
        EXPECT_EQ(control.calls, c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{}) << c.seek;
    }
    flash->control = nullptr;
}

TEST(FlashSettings, TheControlGetsTheObjectsSettingsInOrder) {
    CVantorixFlashObject flash;
    flash.quality = 1;
    flash.scaleMode = 2;
    flash.alignment = 6;
    flash.customBackground = 1;
    flash.backgroundColor = 0x0000FF;  // red, as stored
    flash.showMenu = 0;
    flash.loop = 0;
    flash.playOnShow = 0;
    FakeFlashControl control;
    EXPECT_TRUE(ApplyFlashSettings(control, flash, "/discs/intro.swf"));
    EXPECT_EQ(control.calls, (std::vector<std::string>{"Quality2 high", "ScaleMode 2", "AlignMode 9",
                                                       "BackgroundColor " + std::to_string(0xFF0000), "Menu 0",
                                                       "DeviceFont 0", "Movie /discs/intro.swf", "Loop 0", "Stop"}));
    flash.customBackground = 0;
    EXPECT_EQ(FlashBackgroundColor(flash), -1);
    struct Case {
        int alignment, bits;
    };
    for (Case c : {Case{0, 0}, Case{1, 4}, Case{2, 1}, Case{3, 8}, Case{4, 2}, Case{5, 5}, Case{7, 6}, Case{8, 10},
                   Case{9, 0}, Case{-1, 0}}) {
        EXPECT_EQ(FlashAlignBits(c.alignment), c.bits) << c.alignment;
    }
    EXPECT_EQ(FlashQualityText(0), "low");
    EXPECT_EQ(FlashQualityText(3), "autohigh");
    EXPECT_EQ(FlashQualityText(17), "autohigh");
}

}  // namespace

namespace {

TEST(FlashHost, SaysWhyNoPlayerCanBeMade) {
    TempFolder folder;
    std::string module = folder.Write("vx_flash_ruffle.so", "not a library");
    struct Case {
        std::string module, ruffle, reason;
    };
    const Case cases[] = {
        {"", "", "the Flash player module is not installed"},
        {module, folder / "ruffle", "Ruffle is not installed (" + folder / "ruffle" + ")"},
    };
    for (const Case& c : cases) {
        CKXFlashHost host;
        host.Configure(c.module, c.ruffle);
        EXPECT_FALSE(host.Installed());
        std::string error;
        EXPECT_EQ(host.CreateWindow({}, error), nullptr);
        EXPECT_EQ(error, c.reason);
        // Asked again, the same answer without trying again.
        error.clear();
        EXPECT_EQ(host.CreateWindow({}, error), nullptr);
        EXPECT_EQ(error, c.reason);
    }
    // Both there, but the module is no library: the loader's reason.
    folder.Write("ruffle/ruffle.js", "");
    CKXFlashHost host;
    host.Configure(module, folder / "ruffle");
    EXPECT_TRUE(host.Installed());
    std::string error;
    EXPECT_EQ(host.CreateWindow({}, error), nullptr);
    EXPECT_FALSE(error.empty());
}

}  // namespace
