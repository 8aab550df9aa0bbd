#include <gtest/gtest.h>

#include <fstream>

#include "app/autorun_inf.h"
#include "app/project_folder.h"
#include "temp_folder.h"

namespace {

TEST(AutorunInf, OpenLineOfTheAutorunSection) {
    struct Case {
        const char* what;
        std::string text;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"plain", "[autorun]\r\nopen=START.EXE\r\nicon=start.ico\r\n", "START.EXE"},
        {"any letter case, spaces", "[AutoRun]\n  OPEN = setup\\Start.exe  \n", "setup\\Start.exe"},
        {"arguments dropped", "[autorun]\nopen=menu.exe /fullscreen -x\n", "menu.exe"},
        {"quoted with spaces", "[autorun]\nopen=\"My Menu.exe\" /a\n", "My Menu.exe"},
        {"byte order mark", "\xEF\xBB\xBF[autorun]\nopen=a.exe\n", "a.exe"},
        {"other sections ignored", "[autorun.amd64]\nopen=x64.exe\n[autorun]\nopen=x86.exe\n", "x86.exe"},
        {"comments", "[autorun]\n;open=no.exe\nopen=yes.exe\n", "yes.exe"},
        {"no autorun section", "[other]\nopen=a.exe\n", std::nullopt},
        {"no open line", "[autorun]\nicon=a.ico\nshellexecute=a.html\n", std::nullopt},
        {"empty value", "[autorun]\nopen=\nopen=\"\"\n", std::nullopt},
        {"binary", std::string("[autorun]\nopen=a.exe\0\x01\x02", 22), std::nullopt},
        {"empty file", "", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(AutorunOpenProgram(c.text), c.expected) << c.what;
}

TEST(AutorunInf, Utf16Text) {
    auto utf16 = [](const std::u16string& text, bool bigEndian) {
        std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t unit : text) {
            char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            out += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return out;
    };
    EXPECT_EQ(AutorunOpenProgram(utf16(u"[AUTORUN]\r\nOPEN=Menu.exe\r\n", false)), "Menu.exe");
    EXPECT_EQ(AutorunOpenProgram(utf16(u"[AUTORUN]\r\nOPEN=Menu.exe\r\n", true)), "Menu.exe");
    // Names outside ASCII come out as UTF-8; a lone surrogate as the replacement character.
    EXPECT_EQ(AutorunOpenProgram(utf16(u"[autorun]\nopen=Caf\u00e9\U0001F600.exe\n", false)),
              "Caf\xC3\xA9\xF0\x9F\x98\x80.exe");
    EXPECT_EQ(AutorunOpenProgram(utf16(std::u16string(u"[autorun]\nopen=a") + char16_t(0xD800) + u".exe\n", false)),
              "a\xEF\xBF\xBD.exe");
}

TEST(AutorunInf, HugeFileReadOnlyAtItsStart) {
    TempFolder folder;
    std::string path = folder / "autorun.inf";
    {
        std::ofstream out(path, std::ios::binary);
        out << "[autorun]\nopen=first.exe\n";
        out << std::string(1 << 20, ';');
    }
    EXPECT_EQ(ReadAutorunOpenProgram(path), "first.exe");
    {
        std::ofstream out(path, std::ios::binary);
        out << std::string(1 << 20, ' ') << "\n[autorun]\nopen=late.exe\n";
    }
    EXPECT_EQ(ReadAutorunOpenProgram(path), std::nullopt);
    EXPECT_EQ(ReadAutorunOpenProgram(folder / "missing.inf"), std::nullopt);
}

TEST(ProjectFolder, ChoosesTheMenuOfAFolder) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        std::string expected;  // relative to the folder; empty when an error is expected
        std::string error;     // the start of the error
    };
    const std::string autorun = "autorun.inf";
    const Case cases[] = {
        {"autorun names the program, any letter case",
         {{"AUTORUN.INF", "[autorun]\nopen=START.EXE /x\n"}, {"start.cdd", "x"}, {"other.cdd", "x"}},
         "START.EXE",
         ""},
        {"autorun's program in a sub-folder",
         {{autorun, "[autorun]\nopen=bin\\Menu.exe\n"}, {"BIN/menu.exe", "x"}, {"BIN/MENU.CDD", "x"}, {"x.cdd", "x"}},
         "bin/Menu.exe",
         ""},
        {"autorun's program outside the folder is not followed",
         {{autorun, "[autorun]\nopen=..\\evil.exe\n"}, {"menu.cdd", "x"}},
         "menu.cdd",
         ""},
        {"autorun's program without a data file",
         {{autorun, "[autorun]\nopen=setup.exe\n"}, {"setup.exe", "x"}, {"menu.exe", "x"}, {"menu.cdd", "x"}},
         "menu.exe",
         ""},
        {"one data file alone", {{"show.cdd", "x"}}, "show.cdd", ""},
        {"an executable and its data file", {{"show.exe", "x"}, {"Show.cdd", "x"}}, "show.exe", ""},
        {"the data file in the Vantorix sub-folder", {{"show.exe", "x"}, {"vantorix/show.cdd", "x"}}, "show.exe", ""},
        {"nothing", {{"readme.txt", "x"}}, "", "No menu in "},
        {"several", {{"a.cdd", "x"}, {"b.cdd", "x"}}, "", ""},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        for (const auto& [name, contents] : c.files) folder.Write(name, contents);
        ProjectChoice choice = ChooseProjectExecutable(folder.path);
        if (c.expected.empty()) {
            EXPECT_EQ(choice.executable, "") << c.what;
            EXPECT_FALSE(choice.error.empty()) << c.what;
            if (!c.error.empty()) {
                EXPECT_EQ(choice.error.rfind(c.error, 0), 0u) << c.what << ": " << choice.error;
            }
        } else {
            EXPECT_EQ(choice.error, "") << c.what;
            EXPECT_EQ(choice.executable, folder / c.expected) << c.what;
        }
    }
}

TEST(ProjectFolder, SeveralMenusAreNamed) {
    TempFolder folder;
    folder.Write("a.exe");
    folder.Write("a.cdd");
    folder.Write("b.cdd");
    ProjectChoice choice = ChooseProjectExecutable(folder.path);
    EXPECT_EQ(choice.error, folder.path + " holds several menus (a.cdd, b.cdd): give the one to play.");
}

TEST(ProjectFolder, DataFileGivenNamesItsExecutable) {
    TempFolder folder;
    std::string data = folder.Write("Menu.cdd");
    EXPECT_EQ(ChooseProjectExecutable(data).executable, data);
    folder.Write("MENU.exe");
    EXPECT_EQ(ChooseProjectExecutable(data).executable, folder / "MENU.exe");
}

}  // namespace
