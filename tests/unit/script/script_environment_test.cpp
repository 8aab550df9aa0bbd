#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "actions/action_support.h"
#include "script/script_environment.h"
#include "script_fixture.h"

namespace {

TEST(ScriptEnvironment, ValuesScriptsRelyOn) {
    ScriptFixture fixture;
    std::string folder = fixture.document.ExeFolder();
    struct Case {
        const char* expression;
        std::string expected;
    };
    const Case cases[] = {
        {"HKEY_CURRENT_USER", "2"},
        {"REG_DWORD", "4"},
        {"CHANNEL_ALL", "-3"},
        {"TABLE_ALL", "-1"},
        {"MB_ICONEXCLAMATION", "48"},
        {"SHF_PROGRAMFILES", "38"},
        {"_tblErrorMessages[1010]", "nil"},
        {"string.sub(_tblErrorMessages[1011], 1, 34)", "There is no application associated"},
        {"_tblErrorMessages[2514] == _tblErrorMessages[9999]", "true"},
        {"_tblErrorMessages[2603] .. _tblErrorMessages[1041]", "Out of memory.Out of memory."},
        {"_tblNotificationMessages.MissingFlashMinVersion", "6.0.0.0"},
        {"_LastErrorCode", "nil"},
        {"_LastErrorMessage", ""},
        {"_ShowIntroVideo", "true"},
        {"_DoFlashCheck", "false"},
        {"_SoundInitialized", "true"},
        {"_SourceFolder", folder},
        {"_SourceDrive", "Z:"},
        {"_WindowsFolder", "C:\\Windows"},
        {"_SystemFolder", "C:\\Windows\\System32"},
        {"_ProgramFilesFolder", "C:\\Program Files"},
        {"LUA_PATH", "?;" + folder + "\\Vantorix\\Modules\\?;" + folder + "\\Vantorix\\Modules\\?.lua;" + folder +
                         "\\?.lua;" + folder + "\\?;"},
        {"type(Zip) .. type(Window) .. type(Application.Exit)", "tabletablefunction"},
    };
    for (const Case& c : cases) EXPECT_EQ(fixture.Eval(c.expression), c.expected) << c.expression;
    // The player's folder is the current directory, so bare names open there.
    fixture.player.Write("note.txt", "beside the player");
    EXPECT_EQ(fixture.Eval("io.open('note.txt'):read('*a')"), "beside the player");
    EXPECT_EQ(std::filesystem::current_path().string(), fixture.player.path);
}

TEST(ScriptEnvironment, FileNamesInTheProjectsCodePage) {
    ScriptFixture fixture;
    // On disk names are UTF-8; scripts write them in windows-1252.
    fixture.player.Write("Caf\u00e9.txt", "menu");
    EXPECT_EQ(fixture.Eval("io.open('Caf\\233.txt'):read('*a')"), "menu");
    fixture.player.Write("\u00c9t\u00e9/x.txt", "y");
    std::string folder = fixture.document.ExeFolder();
    EXPECT_EQ(ResolveSourcePath(fixture.document, "\xC9t\xE9\\x.txt"), folder + "\\\xC9t\xE9\\x.txt");
}

TEST(ScriptEnvironment, SourceDrive) {
    struct Case {
        const char* folder;
        const char* drive;
    };
    const Case cases[] = {{"Z:\\home\\ann\\menu", "Z:"},
                          {"D:\\", "D:"},
                          {"\\\\server\\share\\menu", "\\\\server"},
                          {"\\\\server", "\\\\server"}};
    for (const Case& c : cases) EXPECT_EQ(SourceDriveOf(c.folder), c.drive) << c.folder;
}

TEST(ScriptEnvironment, NotificationAndErrorMessagesFromTheHost) {
    ScriptFixture fixture;
    CLUAEngine& engine = *fixture.engine;
    EXPECT_EQ(GetNotificationMessage(engine, "MissingFlashTitle"), "Incorrect Flash Version");
    fixture.Run("_tblNotificationMessages.MissingFlashTitle = 42");
    EXPECT_EQ(GetNotificationMessage(engine, "MissingFlashTitle"), "42");
    SetErrorMessage(engine, 7, "Seven.");
    EXPECT_EQ(fixture.Eval("_tblErrorMessages[7]"), "Seven.");
    // A script that replaced the tables leaves the host reading empty texts, not failing.
    fixture.Run("_tblNotificationMessages = 5\r\n_tblErrorMessages = nil");
    EXPECT_EQ(GetNotificationMessage(engine, "MissingFlashTitle"), "");
    SetNotificationMessage(engine, "Key", "text");
    SetErrorMessage(engine, 1, "x");
}

TEST(ScriptModules, RequireFollowsLuaPath) {
    ScriptFixture fixture;
    fixture.player.Write("Vantorix/Modules/Tools.lua", "Loads = (Loads or 0) + 1\r\nreturn 'tools'");
    fixture.player.Write("bare", "Bare = _REQUIREDNAME");
    fixture.player.Write("broken.lua", "x = = 1");
    fixture.player.Write("other/Lib.lua", "return 'elsewhere'");
    struct Case {
        const char* expression;
        const char* expected;
    };
    const Case cases[] = {
        {"require('Tools')", "tools"},
        {"require('Tools') .. Loads", "tools1"},  // loaded once per name
        {"require('bare')", "true"},
        {"Bare", "bare"},
        {"_REQUIREDNAME", "nil"},
        {"select(2, pcall(require, 'missing'))", "could not load package `missing' from path `?;"},
        {"string.sub(select(2, pcall(require, 'broken')), 1, 32)", "error loading package `broken' ("},
    };
    for (const Case& c : cases) {
        std::string value = fixture.Eval(c.expression);
        EXPECT_EQ(value.substr(0, std::string(c.expected).size()), c.expected) << c.expression;
    }
    // A changed LUA_PATH redirects later calls.
    fixture.Run("LUA_PATH = 'other\\\\?.lua'");
    EXPECT_EQ(fixture.Eval("require('Lib')"), "elsewhere");
}

TEST(ScriptModules, LoadScriptCodes) {
    ScriptFixture fixture;
    fixture.player.Write("Data/Scripts/helpers.lua", "Runs = (Runs or 0) + 1");
    fixture.player.Write("beside.lua", "Beside = true");
    fixture.player.Write("bad.lua", "this is not lua");
    fixture.player.Write("fails.lua", "error('at load')");
    struct Case {
        const char* name;
        const char* code;
    };
    const Case cases[] = {
        {"helpers.lua", "0"},    {"helpers.lua", "0"}, {"beside.lua", "0"},
        {"missing.lua", "1000"}, {"bad.lua", "2901"},  {"fails.lua", "2901"},
    };
    for (const Case& c : cases) {
        fixture.Run(std::string("Application.LoadScript('") + c.name + "')");
        EXPECT_EQ(fixture.Eval("Application.GetLastError()"), c.code) << c.name;
    }
    EXPECT_EQ(fixture.Eval("Runs"), "1");
    EXPECT_EQ(fixture.Eval("Beside"), "true");
    EXPECT_TRUE(fixture.ErrorBoxes().empty());
    fixture.Run("require = nil\r\nApplication.LoadScript('beside.lua')");
    EXPECT_EQ(fixture.Eval("Application.GetLastError()"), "2900");
}

TEST(ScriptActions, ResolveSourcePath) {
    ScriptFixture fixture;
    fixture.player.Write("Docs/Guide.PDF");
    std::string folder = fixture.document.ExeFolder();
    struct Case {
        const char* path;
        std::string expected;
    };
    const Case cases[] = {
        {"", ""},
        {"Docs\\Guide.PDF", folder + "\\Docs\\Guide.PDF"},
        {"\\\\Docs\\guide.pdf", folder + "\\Docs\\guide.pdf"},  // leading backslashes dropped, case ignored
        {"Docs\\*.pdf", folder + "\\Docs\\*.pdf"},
        {"Nowhere\\*.pdf", "Nowhere\\*.pdf"},
        {"missing.txt", "missing.txt"},
        {"C:\\absolute.txt", "C:\\absolute.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(ResolveSourcePath(fixture.document, c.path), c.expected) << c.path;
}

TEST(ScriptActions, Application) {
    ScriptFixture fixture;
    fixture.Run("Application.SaveValue('Game', 'Score', 5)");
    EXPECT_EQ(fixture.Eval("Application.GetLastError()"), "0");
    EXPECT_EQ(fixture.Eval("Application.LoadValue('Game', 'Score')"), "5");
    EXPECT_EQ(fixture.Eval("Application.LoadValue('Game', 'Never') .. Application.GetLastError()"), "2801");
    std::string value;
    EXPECT_TRUE(fixture.registry.GetValue(2, "Software\\Brindlewick\\PXData\\Game", "Score", "", false, value));
    EXPECT_EQ(value, "5");

    fixture.Run("Application.Exit()\r\nAfterExit = true");
    EXPECT_TRUE(fixture.document.ExitRequested());
    EXPECT_EQ(fixture.frame.closeRequests, 1);
    EXPECT_EQ(fixture.Eval("AfterExit"), "true");

    fixture.Run("Application.SetRedraw(false)");
    EXPECT_FALSE(fixture.document.RedrawEnabled());
    EXPECT_EQ(fixture.frame.repaints, 0);
    fixture.Run("Application.SetRedraw()");
    EXPECT_TRUE(fixture.document.RedrawEnabled());
    EXPECT_EQ(fixture.frame.repaints, 1);

    fixture.Run("Application.Sleep(500)\r\nApplication.Sleep('x')");
    EXPECT_EQ(fixture.frame.waits, (std::vector<int>{500, 0}));
    fixture.Run("Application.SetLastError(7)");
    EXPECT_EQ(fixture.Eval("Application.GetLastError()"), "7");
    fixture.Run("Application.SaveValue('a', 'b')");
    EXPECT_EQ(fixture.ErrorBoxes().back(), "On Click, Line 1: 3 arguments required.");
}

TEST(ScriptActions, SavedValuesFailWithoutAStore) {
    ScriptFixture fixture;
    fixture.document.SetRegistry(nullptr);
    EXPECT_EQ(fixture.Eval("Application.LoadValue('a', 'b') .. Application.GetLastError()"), "2801");
    fixture.Run("Application.SaveValue('a', 'b', 'c')");
    EXPECT_EQ(fixture.Eval("Application.GetLastError()"), "2802");
}

}  // namespace
