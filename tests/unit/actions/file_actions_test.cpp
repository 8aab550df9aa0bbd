#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>

#include "actions/file_actions.h"
#include "script_fixture.h"

namespace {

TEST(ShellResults, EveryResultHasItsCode) {
    struct ResultCase {
        int result, code;
    };
    const ResultCase cases[] = {{42, 0},    {33, 0},    {2, 1000},  {3, 1002},  {5, 1004},  {8, 1012},
                                {11, 1003}, {26, 1014}, {27, 1005}, {28, 1008}, {29, 1007}, {30, 1006},
                                {31, 1011}, {32, 1009}, {0, 9999},  {4, 9999}};
    for (ResultCase c : cases) EXPECT_EQ(ShellResultToCode(c.result), c.code) << c.result;
}

TEST(IniFileActions, ReadAndWriteBesideThePlayer) {
    ScriptFixture fixture;
    std::string ini = fixture.player.Write("Settings.ini", "; menu settings\r\n[Main]\r\nLanguage = \"English\"\r\n");
    const ActionCase cases[] = {
        {"INIFile.GetValue('settings.INI', 'main', 'LANGUAGE')", "English", 0},
        {"INIFile.GetValue('Settings.ini', 'Main', 'Missing')", "", 0},
        {"INIFile.SetValue('Settings.ini', 'Main', 'Volume', 7)", nullptr, 0},
        {"INIFile.GetValue('Settings.ini', 'Main', 'Volume')", "7", 0},
        {"INIFile.GetValue('Absent.ini', 'Main', 'Volume')", "", 1000},
        {"INIFile.SetValue('Absent.ini', 'Main', 'Volume', 1)", nullptr, 1000},
    };
    for (const ActionCase& c : cases) {
        CheckActionCase(fixture, c);
        EXPECT_TRUE(fixture.ErrorBoxes().empty()) << c.expression;
    }
    EXPECT_EQ(FileContents(ini), "; menu settings\r\n[Main]\r\nLanguage = \"English\"\r\nVolume=7\r\n");
    struct stat info;
    EXPECT_NE(stat((fixture.player / "Absent.ini").c_str(), &info), 0) << "a missing INI file is never created";
}

TEST(TextFileActions, ReadWriteAndLimits) {
    ScriptFixture fixture;
    fixture.player.Write("big.txt", std::string(2000001, 'x'));
    fixture.player.Write("limit.txt", std::string(2000000, 'y'));
    mkdir((fixture.player / "folder.txt").c_str(), 0755);
    const ActionCase cases[] = {
        {"TextFile.WriteFromString('notes.txt', 'one')", nullptr, 0},
        {"TextFile.WriteFromString('notes.txt', ' two', true)", nullptr, 0},
        {"TextFile.ReadToString('notes.txt')", "one two", 0},
        {"TextFile.WriteFromString('fresh.txt', 'new', true)", nullptr, 0},
        {"TextFile.ReadToString('fresh.txt')", "new", 0},
        {"TextFile.ReadToString('missing.txt')", "", 1000},
        {"TextFile.ReadToString('big.txt')", "", 1901},
        {"string.len(TextFile.ReadToString('limit.txt'))", "2000000", 0},
        {"TextFile.WriteFromString('big.txt', 'lost?', true)", nullptr, 1901},
        {"TextFile.ReadToString('folder.txt')", "", 1900},
        {"TextFile.WriteFromString('no\\\\such\\\\folder\\\\x.txt', 'x')", nullptr, 1902},
    };
    for (const ActionCase& c : cases) {
        CheckActionCase(fixture, c);
        EXPECT_TRUE(fixture.ErrorBoxes().empty()) << c.expression;
    }
    EXPECT_EQ(FileContents(fixture.player / "big.txt").size(), 2000001u) << "a refused write changes nothing";
}

// A fake desktop: xdg-open and lp scripts first on PATH that record their arguments.
class FakeDesktop {
public:
    FakeDesktop() : savedPath(std::getenv("PATH") ? std::getenv("PATH") : "") {
        for (const char* tool : {"xdg-open", "xdg-email", "lp"}) {
            std::string script = folder.Write(
                tool, "#!/bin/sh\necho \"" + std::string(tool) + " $*\" >> \"" + (folder / "calls.txt") + "\"\n");
            chmod(script.c_str(), 0755);
        }
        setenv("PATH", (folder.path + ":" + savedPath).c_str(), 1);
    }
    ~FakeDesktop() { setenv("PATH", savedPath.c_str(), 1); }
    // The calls made so far, once every opener has had time to write them.
    std::string Calls() {
        for (int i = 0; i < 100 && FileContents(folder / "calls.txt").empty(); ++i) usleep(20000);
        usleep(100000);
        return FileContents(folder / "calls.txt");
    }

    TempFolder folder;
    std::string savedPath;
};

TEST(FileActions, ShellVerbsReachTheDesktop) {
    FakeDesktop desktop;
    ScriptFixture fixture;
    fixture.player.Write("Docs/Guide.pdf");
    const ActionCase cases[] = {
        {"File.Open('Docs\\\\guide.PDF')", nullptr, 0},    {"File.OpenURL('https://example.org/a?b=c')", nullptr, 0},
        {"File.OpenEmail('ann@example.org')", nullptr, 0}, {"File.Print('Docs\\\\Guide.pdf')", nullptr, 0},
        {"File.ExploreFolder('Docs')", nullptr, 0},        {"File.Open('Docs\\\\Missing.pdf')", nullptr, 1000},
        {"File.ExploreFolder('Nowhere')", nullptr, 1002},
    };
    for (const ActionCase& c : cases) {
        CheckActionCase(fixture, c);
        EXPECT_TRUE(fixture.ErrorBoxes().empty()) << c.expression;
    }
    std::string calls = desktop.Calls();
    std::string docs = fixture.player / "Docs";
    for (std::string expected :
         {"xdg-open " + docs + "/Guide.pdf", std::string("xdg-open https://example.org/a?b=c"),
          std::string("xdg-email mailto:ann@example.org"), "lp " + docs + "/Guide.pdf", "xdg-open " + docs}) {
        EXPECT_NE(calls.find(expected + "\n"), std::string::npos) << expected << "\nin:\n" << calls;
    }
}

TEST(FileActions, RunStartsProgramsAndWaits) {
    ScriptFixture fixture;
    std::string program = fixture.player.Write(
        "tool.sh", "#!/bin/sh\nsleep 0.2\nfor a in \"$@\"; do echo \"$a\"; done > \"$PWD/out.txt\"\n");
    chmod(program.c_str(), 0755);
    fixture.player.Write("work/.keep");
    int pumps = 0;
    fixture.frame.onPump = [&] { ++pumps; };
    const ActionCase cases[] = {
        {"File.Run('tool.sh', 'a \"b c\" d\\\\\"e', 'work', SW_SHOWNORMAL, true)", nullptr, 0},
        {"File.Run('missing.sh', '', '', SW_SHOWNORMAL, true)", nullptr, 1013},
        {"File.Run('tool.sh', '', 'no such folder', SW_SHOWNORMAL, true)", nullptr, 1013},
    };
    for (const ActionCase& c : cases) {
        CheckActionCase(fixture, c);
        EXPECT_TRUE(fixture.ErrorBoxes().empty()) << c.expression;
    }
    EXPECT_EQ(FileContents(fixture.player / "work/out.txt"), "a\nb c\nd\"e\n");
    EXPECT_GT(pumps, 1) << "events are served while the script waits";
}

}  // namespace
