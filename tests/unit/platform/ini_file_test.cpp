#include "platform/ini_file.h"

#include "platform/atomic_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

constexpr std::size_t kActionBuffer = 8192;

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string repeated;
    for (std::size_t i = 0; i < times; ++i) repeated += piece;
    return repeated;
}

// The value GetString finds, or nothing when it falls back to the default.
std::optional<std::string> Find(const CKXIniFile& ini, const std::string& section, const std::string& key,
                                std::size_t bufferSize = kActionBuffer) {
    std::string result = "untouched";
    if (ini.GetString(section, key, "default", bufferSize, result)) return result;
    EXPECT_EQ(result, "default") << section << "/" << key;
    return std::nullopt;
}

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(temp.path.empty()); }

    TempFolder temp;
};

TEST_F(IniFileTest, GetStringFollowsTheLookupRules) {
    const std::string ini = temp.Write("menu.ini",
                                       "; Comment=not a key\r\n"
                                       "Orphan=before any section\r\n"
                                       "[General]\r\n"
                                       "Name=Plain\r\n"
                                       "  SPACED  =   padded value   \t\r\n"
                                       "\tTabbed\t=\tx\t\r\n"
                                       "Quoted=\"  keep inner  \"\r\n"
                                       "Single='single'\r\n"
                                       "QuotedInside=a \"b\"\r\n"
                                       "Mismatched=\"half'\r\n"
                                       "Lone=\"\r\n"
                                       "Empty=\r\n"
                                       "EmptyQuoted=\"\"\r\n"
                                       ";Commented=yes\r\n"
                                       "   ; Indented=yes\r\n"
                                       "NoEquals\r\n"
                                       "=no key\r\n"
                                       "Dup=first\r\n"
                                       "DUP=second\r\n"
                                       "Eq = a=b\r\n"
                                       "Semi=value ; not a comment\r\n"
                                       "\xC4pfel=upper umlaut\r\n"
                                       "[ Spaced Section ]  ; trailing text\r\n"
                                       "Key=in spaced\r\n"
                                       "[general]\r\n"
                                       "Name=second section\r\n"
                                       "Only=in second\r\n"
                                       "[Empty]\r\n"
                                       "[Unclosed\r\n"
                                       "InEmpty=yes\r\n"
                                       "[]\r\n"
                                       "Nameless=yes\r\n");
    const CKXIniFile file(ini);
    struct Case {
        std::string section;
        std::string key;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"General", "Name", "Plain"},
        {"GENERAL", "nAmE", "Plain"},
        {" \tGeneral ", "\t Name  ", "Plain"},
        {"General", "spaced", "padded value"},
        {"General", "Tabbed", "x"},
        {"General", "Quoted", "  keep inner  "},
        {"General", "Single", "single"},
        {"General", "QuotedInside", "a \"b\""},
        {"General", "Mismatched", "\"half'"},
        {"General", "Lone", "\""},
        {"General", "Empty", ""},
        {"General", "EmptyQuoted", ""},
        {"General", "Commented", std::nullopt},
        {"General", ";Commented", std::nullopt},
        {"General", "; Indented", std::nullopt},
        {"General", "NoEquals", std::nullopt},
        {"General", "", std::nullopt},
        {"General", "Dup", "first"},
        {"General", "Eq", "a=b"},
        {"General", "Semi", "value ; not a comment"},
        // Only ASCII letters fold: the code page's upper-case letters are other bytes.
        {"General", "\xC4pfel", "upper umlaut"},
        {"General", "\xE4pfel", std::nullopt},
        {"General", "Key", std::nullopt},
        {"Spaced Section", "KEY", "in spaced"},
        // The first section of a name hides later ones.
        {"General", "Only", std::nullopt},
        {"Empty", "InEmpty", "yes"},
        {"Unclosed", "InEmpty", std::nullopt},
        {"", "Nameless", "yes"},
        {"", "Orphan", std::nullopt},
        {"Missing", "Name", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Find(file, c.section, c.key), c.expected) << c.section << "/" << c.key;
    }
}

TEST_F(IniFileTest, GetStringReadsEveryLineBreakStyle) {
    struct Case {
        const char* name;
        std::string contents;
    };
    const Case cases[] = {
        {"CR LF", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\nz=3"},
        {"LF", "[a]\nx=1\n\n[b]\ny=2\nz=3\n"},
        {"lone CR", "[a]\rx=1\r\r[b]\ry=2\rz=3\r"},
        {"mixed", "[a]\rx=1\n\r\n[b]\ny=2\r\nz=3\r"},
    };
    for (const Case& c : cases) {
        const CKXIniFile file(temp.Write("breaks.ini", c.contents));
        EXPECT_EQ(Find(file, "a", "x"), "1") << c.name;
        EXPECT_EQ(Find(file, "b", "y"), "2") << c.name;
        EXPECT_EQ(Find(file, "b", "z"), "3") << c.name;
        EXPECT_EQ(Find(file, "a", "y"), std::nullopt) << c.name;
    }
}

TEST_F(IniFileTest, GetStringCutsToTheBuffer) {
    const std::string longValue(10000, 'v');
    const CKXIniFile file(temp.Write(
        "long.ini", "[s]\r\nlong=" + longValue + "\r\nfits=" + std::string(8191, 'f') + "\r\nquoted=\"abcdef\"\r\n"));
    struct Case {
        std::string key;
        std::size_t bufferSize;
        std::string expected;
    };
    const Case cases[] = {
        {"long", kActionBuffer, std::string(8191, 'v')},
        {"fits", kActionBuffer, std::string(8191, 'f')},
        {"fits", kActionBuffer - 1, std::string(8190, 'f')},
        {"quoted", 4, "abc"},
        {"quoted", 7, "abcdef"},
        {"quoted", 1, ""},
        {"quoted", 0, ""},
    };
    for (const Case& c : cases) {
        std::string result;
        EXPECT_TRUE(file.GetString("s", c.key, "default", c.bufferSize, result)) << c.key;
        EXPECT_EQ(result, c.expected) << c.key << " " << c.bufferSize;
    }
    // The default is cut the same way.
    std::string result;
    EXPECT_FALSE(file.GetString("s", "missing", "default", 4, result));
    EXPECT_EQ(result, "def");
}

TEST_F(IniFileTest, GetStringFallsBackToTheDefaultWithoutTrailingBlanks) {
    const std::string ini = temp.Write("app.ini", "[s]\r\nk=v\r\n");
    std::filesystem::create_directory(temp / "folder.ini");
    struct Case {
        std::string path;
        std::string section;
        std::string key;
        std::string defaultValue;
        std::string expected;
    };
    const Case cases[] = {
        {temp / "missing.ini", "s", "k", "fallback", "fallback"},
        {temp / "folder.ini", "s", "k", "fallback", "fallback"},
        {ini, "other", "k", "fallback", "fallback"},
        {ini, "s", "other", "fallback", "fallback"},
        {ini, "s", "other", "  spaced  ", "  spaced"},
        {ini, "s", "other", "tab\t", "tab\t"},
        {ini, "s", "other", "   ", ""},
        {ini, "s", "other", "", ""},
    };
    for (const Case& c : cases) {
        std::string result = "untouched";
        EXPECT_FALSE(CKXIniFile(c.path).GetString(c.section, c.key, c.defaultValue, kActionBuffer, result)) << c.path;
        EXPECT_EQ(result, c.expected) << c.path << " [" << c.defaultValue << "]";
    }
}

TEST_F(IniFileTest, GetStringSurvivesBinaryGarbage) {
    struct Case {
        const char* name;
        std::string contents;
        std::string section;
        std::string key;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"NUL ends the text", "[a]\r\nk=1\0\r\nj=2\r\n"s, "a", "j", std::nullopt},
        {"NUL ends the line", "[a]\r\nk=1\0\r\nj=2\r\n"s, "a", "k", "1"},
        {"NUL inside a value", "[a]\r\nk=va\0lue\r\n"s, "a", "k", "va"},
        {"NUL first", "\0[a]\r\nk=1\r\n"s, "a", "k", std::nullopt},
        {"bytes pass unchanged", "[\xFF\xFE]\r\nk=\x80\xC3(\xF0\r\n", "\xFF\xFE", "k", "\x80\xC3(\xF0"},
        {"one long line", "[a]" + std::string(1 << 20, '='), "a", "k", std::nullopt},
        {"many headers", Repeat("[x]\n", 1 << 16) + "[a]\nk=1", "a", "k", "1"},
        {"many line breaks", "[a]" + std::string(1 << 18, '\r') + "k=1", "a", "k", "1"},
    };
    for (const Case& c : cases) {
        const CKXIniFile file(temp.Write("garbage.ini", c.contents));
        EXPECT_EQ(Find(file, c.section, c.key), c.expected) << c.name;
    }
    // Noise of every byte value: no crash, no hang, whatever is found.
    std::string noise(1 << 16, '\0');
    std::uint32_t state = 12345;
    for (char& byte : noise) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 24);
    }
    noise[0] = '[';
    const CKXIniFile file(temp.Write("noise.ini", noise));
    std::string result;
    file.GetString(noise.substr(1, 3), noise.substr(4, 2), "", kActionBuffer, result);
}

TEST_F(IniFileTest, SetStringChangesOnlyWhatItMust) {
    struct Case {
        const char* name;
        std::string before;
        std::string section;
        std::string key;
        std::string value;
        std::string after;
    };
    const std::string commented =
        "; settings\r\n"
        "[General]\r\n"
        "  Name = \"Old Name\"  \r\n"
        "garbage line\r\n"
        "\r\n"
        "; about [Other]\r\n"
        "[Other]\r\n"
        "X=1\r\n";
    const Case cases[] = {
        {"replace keeps the key's spelling and the rest", commented, "general", "NAME", "New",
         "; settings\r\n"
         "[General]\r\n"
         "  Name = New  \r\n"
         "garbage line\r\n"
         "\r\n"
         "; about [Other]\r\n"
         "[Other]\r\n"
         "X=1\r\n"},
        {"replace an empty value", "[a]\nk=\nj=   \n", "a", "j", "v", "[a]\nk=\nj=v   \n"},
        {"replace the first of duplicates", "[a]\nk=1\nK=2\n[A]\nk=3\n", "A", "k", "new",
         "[a]\nk=new\nK=2\n[A]\nk=3\n"},
        {"replace without a final line break", "[a]\r\nk=old", "a", "k", "new", "[a]\r\nk=new"},
        {"append after the section's last key", commented, "General", "Added", "yes",
         "; settings\r\n"
         "[General]\r\n"
         "  Name = \"Old Name\"  \r\n"
         "Added=yes\r\n"
         "garbage line\r\n"
         "\r\n"
         "; about [Other]\r\n"
         "[Other]\r\n"
         "X=1\r\n"},
        {"append to a section without keys", "[a]\r\n\r\n[b]\r\nk=1\r\n", "a", "k", "v",
         "[a]\r\nk=v\r\n\r\n[b]\r\nk=1\r\n"},
        {"append to the first of two sections", "[a]\nx=1\n[b]\n[A]\ny=2\n", "a", "y", "3",
         "[a]\nx=1\ny=3\n[b]\n[A]\ny=2\n"},
        {"append after a last line without a break", "[a]\r\nx=1", "a", "k", "v", "[a]\r\nx=1\r\nk=v\r\n"},
        {"append after a last header without a break", "[a]", "a", "k", "v", "[a]\r\nk=v\r\n"},
        {"append a section", commented, "New", "k", "v", commented + "[New]\r\nk=v\r\n"},
        {"append a section after a missing break", "[a]\r\nx=1", "b", "k", "v", "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
        {"append a section to an empty file", "", "b", "k", "v", "[b]\r\nk=v\r\n"},
        {"append a section to a file without breaks", "; note", "b", "k", "v", "; note\r\n[b]\r\nk=v\r\n"},
        {"a LF file stays LF", "[a]\nx=1\n", "a", "k", "v", "[a]\nx=1\nk=v\n"},
        {"a new section in a LF file", "[a]\nx=1", "b", "k", "v", "[a]\nx=1\n[b]\nk=v\n"},
        {"a CR file stays CR", "[a]\rx=1\r", "b", "k", "v", "[a]\rx=1\r[b]\rk=v\r"},
        {"the first line break sets the style", "[a]\nx=1\r\n", "b", "k", "v", "[a]\nx=1\r\n[b]\nk=v\n"},
        {"names are written trimmed", "", " \tb ", " k\t", "v", "[b]\r\nk=v\r\n"},
        {"bytes after a NUL stay after the text", "[a]\r\nx=1\r\n\0junk=1\r\n"s, "b", "k", "v",
         "[a]\r\nx=1\r\n[b]\r\nk=v\r\n\0junk=1\r\n"s},
        {"a key after a NUL is not replaced", "[a]\r\nx=1\0\r\nk=1\r\n"s, "a", "k", "v",
         "[a]\r\nx=1\r\nk=v\r\n\0\r\nk=1\r\n"s},
    };
    for (const Case& c : cases) {
        const std::string path = temp.Write("edit.ini", c.before);
        CKXIniFile file(path);
        ASSERT_TRUE(file.SetString(c.section, c.key, c.value)) << c.name;
        EXPECT_EQ(FileContents(path), c.after) << c.name;
        EXPECT_EQ(Find(file, c.section, c.key), c.value) << c.name;
        EXPECT_EQ(FolderEntries(temp.path), std::vector<std::string>{"edit.ini"}) << c.name;
    }
}

TEST_F(IniFileTest, SetStringWritesTheValueAsGiven) {
    const std::string path = temp.Write("quoted.ini", "[a]\r\nk=1\r\n");
    CKXIniFile file(path);
    ASSERT_TRUE(file.SetString("a", "k", " \"  q \" "));
    EXPECT_EQ(FileContents(path), "[a]\r\nk= \"  q \" \r\n");
    EXPECT_EQ(Find(file, "a", "k"), "  q ");
}

TEST_F(IniFileTest, SetStringRefusesWhatCouldNotBeReadBack) {
    const std::string before = "[a]\r\nk=1\r\n";
    struct Case {
        std::string section;
        std::string key;
        std::string value;
    };
    const Case cases[] = {
        {"a", "k", "two\r\nlines"},
        {"a", "k", "x\n[other]\nk=injected"},
        {"a", "k", "cr\r"},
        {"a", "k", "nul\0"s},
        {"a", "", "v"},
        {"a", "  ", "v"},
        {"a", "x=y", "v"},
        {"a", ";k", "v"},
        {"a", "[k", "v"},
        {"a", "k\n", "v"},
        {"a]b", "k", "v"},
        {"a\r\n[b", "k", "v"},
    };
    const std::string path = temp.Write("refuse.ini", before);
    for (const Case& c : cases) {
        EXPECT_FALSE(CKXIniFile(path).SetString(c.section, c.key, c.value))
            << c.section << "/" << c.key << "/" << c.value;
        EXPECT_EQ(FileContents(path), before);
    }
}

TEST_F(IniFileTest, SetStringNeverCreatesAFile) {
    std::filesystem::create_directory(temp / "folder.ini");
    EXPECT_FALSE(CKXIniFile(temp / "missing.ini").SetString("a", "k", "v"));
    EXPECT_FALSE(CKXIniFile(temp / "no/such/folder.ini").SetString("a", "k", "v"));
    EXPECT_FALSE(CKXIniFile(temp / "folder.ini").SetString("a", "k", "v"));
    EXPECT_TRUE(std::filesystem::is_directory(temp / "folder.ini"));
    EXPECT_EQ(FolderEntries(temp.path), std::vector<std::string>{"folder.ini"});
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFile) {
    const std::string before = "[a]\r\nk=1\r\n";
    const std::string path = temp.Write("keep.ini", before);
    // A file size limit makes the write fail even for root.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(CKXIniFile(path).SetString("a", "k", std::string(100, 'x')) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "SetString claimed success";
    EXPECT_EQ(FileContents(path), before);
    EXPECT_EQ(FolderEntries(temp.path), std::vector<std::string>{"keep.ini"});
}

TEST_F(IniFileTest, ReadOnlyFileOrFolderIsNotWritten) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes whatever the permissions say";
    const std::string before = "[a]\r\nk=1\r\n";
    const std::string readOnlyFile = temp.Write("ro.ini", before);
    const std::string inReadOnlyFolder = temp.Write("ro/in.ini", before);
    chmod(readOnlyFile.c_str(), 0444);
    chmod((temp / "ro").c_str(), 0555);
    EXPECT_FALSE(CKXIniFile(readOnlyFile).SetString("a", "k", "2"));
    EXPECT_FALSE(CKXIniFile(inReadOnlyFolder).SetString("a", "k", "2"));
    chmod((temp / "ro").c_str(), 0755);
    EXPECT_EQ(FileContents(readOnlyFile), before);
    EXPECT_EQ(FileContents(inReadOnlyFolder), before);
    EXPECT_EQ(FolderEntries(temp / "ro"), std::vector<std::string>{"in.ini"});
}

}  // namespace
