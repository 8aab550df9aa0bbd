#include "actions/ansi_case.h"
#include "actions/path_parts.h"
#include "actions/string_search.h"
#include "platform/code_page.h"
#include "resources/version_compare.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

std::unique_ptr<CodePage> OpenPage(const char* name) {
    std::string error;
    auto page = CodePage::Open(name, &error);
    EXPECT_TRUE(page) << error;
    return page;
}

TEST(UpperCaseAnsi, LettersOfSingleByteCodePages) {
    struct Case {
        const char* page;
        const char* utf8;
        const char* upper;
    };
    const Case cases[] = {
        {"windows-1252", "abc xyz 09 [@`{", "ABC XYZ 09 [@`{"},
        {"windows-1252", "caf\u00E9 \u00E0\u00FE \u00FF \u0161 \u0153 \u017E",
         "CAF\u00C9 \u00C0\u00DE \u0178 \u0160 \u0152 \u017D"},
        // No capital of their own in the code page, or none at all.
        {"windows-1252", "\u00DF \u00B5 \u00F7 \u0192 \u00AA", "\u00DF \u00B5 \u00F7 \u0192 \u00AA"},
        {"windows-1252", "\u00C9\u0160 ALREADY", "\u00C9\u0160 ALREADY"},
        {"windows-1250", "\u0142\u0107\u0148\u017A\u0171", "\u0141\u0106\u0147\u0179\u0170"},
        {"windows-1254", "i\u0131\u011F\u015F", "I\u0131\u011E\u015E"},
        {"windows-1251", "\u0430\u044F \u0451\u0491\u045F", "\u0410\u042F \u0401\u0490\u040F"},
        {"windows-1253", "\u03B1\u03C9\u03C2 \u03AC\u03CE\u03CA\u0390", "\u0391\u03A9\u03A3 \u0386\u038F\u03AA\u0390"},
    };
    for (const Case& c : cases) {
        auto page = OpenPage(c.page);
        ASSERT_TRUE(page);
        std::string text;
        ASSERT_TRUE(page->FromUtf8(c.utf8, text)) << c.page << " " << c.utf8;
        std::string upper = UpperCaseAnsi(text, *page);
        EXPECT_EQ(page->ToUtf8(upper), c.upper) << c.page << " " << c.utf8;
    }
    EXPECT_EQ(UpperCaseAnsi("\xE9\xFF", CodePage::Default()), "\xC9\x9F");
}

TEST(UpperCaseAnsi, DoubleByteCharactersStayIntact) {
    auto cp932 = OpenPage("cp932");
    ASSERT_TRUE(cp932);
    struct Case {
        std::string text;
        std::string upper;
    };
    const Case cases[] = {
        {"\x83\x61", "\x83\x61"},  // trail byte 'a'
        {"a\x83\x61z", "A\x83\x61Z"},
        {"\x82\x81", "\x82\x81"},  // full-width small a
        {"\xB1"
         "a",
         "\xB1"
         "A"},  // single-byte katakana is no lead byte
        {"\x83\x83\x61",
         "\x83\x83"
         "A"},               // the second 0x83 is a trail byte
        {"b\x83", "B\x83"},  // a lead byte at the very end
    };
    for (const Case& c : cases) EXPECT_EQ(UpperCaseAnsi(c.text, *cp932), c.upper);
}

TEST(StringSearch, FindAll) {
    struct Case {
        std::string text;
        std::string search;
        bool caseSensitive;
        int maxCount;
        std::vector<int> positions;
    };
    const Case cases[] = {
        {"aaa", "aa", true, 0, {0}},       {"aaaa", "aa", true, 0, {0, 2}},
        {"abcabc", "bc", true, 0, {1, 4}}, {"abcabcabc", "b", true, 2, {1, 4}},
        {"abcabc", "b", true, -1, {1, 4}}, {"aXbxc", "x", false, 0, {1, 3}},
        {"aXbxc", "x", true, 0, {3}},      {"caf\xE9 CAF\xC9", "\xE9", false, 0, {3, 8}},
        {"abc", "", false, 0, {}},         {"", "a", false, 0, {}},
        {"ab", "abc", false, 0, {}},       {"abc", "d", false, 0, {}},
    };
    for (const Case& c : cases) {
        CKXCStringSearch search;
        int found = search.FindAll(c.text, c.search, c.caseSensitive, c.maxCount);
        EXPECT_EQ(search.Positions(), c.positions) << c.text << " / " << c.search;
        EXPECT_EQ(found, static_cast<int>(c.positions.size()));
    }

    // The second search starts afresh.
    CKXCStringSearch search;
    search.FindAll("aaa", "a", true, 0);
    search.FindAll("ba", "a", true, 0);
    EXPECT_EQ(search.Positions(), std::vector<int>{1});

    // Case-insensitive search in cp932 does not see a trail byte as a letter.
    auto cp932 = OpenPage("cp932");
    ASSERT_TRUE(cp932);
    CKXCStringSearch japanese(*cp932);
    EXPECT_EQ(japanese.FindAll("\x83\x61", "A", false, 0), 0);
}

TEST(StringSearch, Replace) {
    constexpr std::size_t kAny = std::numeric_limits<std::size_t>::max();
    struct Case {
        std::string text;
        std::string search;
        std::string replacement;
        bool caseSensitive;
        std::optional<std::string> result;
        std::size_t maxBytes = kAny;
    };
    const Case cases[] = {
        {"aXbxc", "x", "-", false, "a-b-c"},
        {"aXbxc", "x", "-", true, "aXb-c"},
        {"abc", "", "-", false, "abc"},
        {"abc", "z", "-", false, "abc"},
        {"aaa", "a", "aa", true, "aaaaaa"},  // the replacement is not searched again
        {"aaa", "aa", "b", true, "ba"},
        {"abab", "ab", "", true, ""},
        {"Hello World", "O", "0", false, "Hell0 W0rld"},  // the rest keeps its letter case
        {"xABCx", "abc", "<&>", false, "x<&>x"},
        {"", "a", "b", false, ""},
        // A result is measured against the room before it is built.
        {"aaa", "a", "bb", true, "bbbbbb", 6},
        {"aaa", "a", "bb", true, std::nullopt, 5},
        {"abcd", "b", "", true, "acd", 3},
        {"abcd", "z", "", true, std::nullopt, 3},
    };
    CKXStringSearchReplace replacer;
    for (const Case& c : cases) {
        EXPECT_EQ(replacer.Replace(c.text, c.search, c.replacement, c.caseSensitive, c.maxBytes), c.result)
            << c.text << " / " << c.search << " / " << c.replacement << " / " << c.maxBytes;
    }
}

TEST(VersionCompare, CompareVersions) {
    auto zeroParts = [](int count) {
        std::string parts;
        for (int i = 0; i < count; ++i) parts += "0.";
        return parts;
    };
    struct Case {
        std::string a;
        std::string b;
        int result;
    };
    const Case cases[] = {
        // The Flash check's comparisons.
        {"6.0.79.0", "6.0.0.0", 1},
        {"V6.0", "6.0.0.0", 0},
        {"6.0.a.1", "6.0.0.1", 0},
        {"1.0.0.1", "1.0.0.10", -1},
        {"1.0.0.10", "1.0.0.1", 1},
        {"V3", "3.0", 0},
        {"v2.0", "2.0", 0},
        {"VV1", "0", 0},  // only one V is skipped
        {"1.2", "1.2.0", 0},
        {"1.10", "1.9", 1},
        {"2", "10", -1},
        {"1.2a", "1.0", 0},
        {"1.2a", "1.1", -1},
        {"1..2", "1.0.2", 0},
        {"1. 2", "1.0", 0},
        {"1.+", "1.0", 0},
        {"1.-", "1.0", 0},
        {"1.-1", "1.0", -1},
        {"1.+2", "1.2", 0},
        {"1.2-", "1.0", 0},
        {"", "0", 0},
        {"1.2.3", "1.2.3.0.0.1", -1},
        {"99999999999", "2147483647", 0},
        {"99999999999", "2147483646", 1},
        {"-99999999999", "-2147483648", 0},
        // Parts after the 200th are ignored; the 200th still counts.
        {zeroParts(kMaxVersionParts) + "1", "0", 0},
        {zeroParts(kMaxVersionParts - 1) + "1", "0", 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CompareVersions(c.a, c.b), c.result) << c.a << " vs " << c.b;
        EXPECT_EQ(CompareVersions(c.b, c.a), -c.result) << c.b << " vs " << c.a;
    }
}

TEST(VersionCompare, ParseVersion) {
    std::array<int, kMaxVersionParts> parts;
    parts.fill(7);
    EXPECT_EQ(ParseVersion("v1.2.", parts), 3);
    EXPECT_EQ(parts[0], 1);
    EXPECT_EQ(parts[1], 2);
    EXPECT_EQ(parts[2], 0);
    EXPECT_EQ(parts[3], 0);  // nothing left over from before
    EXPECT_EQ(ParseVersion("", parts), 1);

    std::string many;
    for (int i = 1; i <= 250; ++i) many += std::to_string(i) + ".";
    EXPECT_EQ(ParseVersion(many, parts), kMaxVersionParts);
    EXPECT_EQ(parts[kMaxVersionParts - 1], kMaxVersionParts);
}

TEST(PathParts, SplitPathAndBack) {
    struct Case {
        std::string path;
        PathParts parts;
    };
    const Case cases[] = {
        {"C:\\Temp\\file.tar.gz", {"C:", "\\Temp\\", "file.tar", ".gz"}},
        {"C:file.txt", {"C:", "", "file", ".txt"}},
        {"C:", {"C:", "", "", ""}},
        {"\\\\server\\share\\a", {"", "\\\\server\\share\\", "a", ""}},
        {"dir/sub\\name", {"", "dir/sub\\", "name", ""}},
        {"C:\\dir.d\\name", {"C:", "\\dir.d\\", "name", ""}},
        {".profile", {"", "", "", ".profile"}},
        {"name.", {"", "", "name", "."}},
        {"ab:c", {"", "", "ab:c", ""}},
        {"", {"", "", "", ""}},
    };
    for (const Case& c : cases) {
        PathParts parts = SplitPath(c.path);
        EXPECT_EQ(parts.drive, c.parts.drive) << c.path;
        EXPECT_EQ(parts.folder, c.parts.folder) << c.path;
        EXPECT_EQ(parts.filename, c.parts.filename) << c.path;
        EXPECT_EQ(parts.extension, c.parts.extension) << c.path;
        std::string joined;
        EXPECT_TRUE(MakePath(parts, joined));
        EXPECT_EQ(joined, c.path);
    }
}

TEST(PathParts, MakePath) {
    struct Case {
        PathParts parts;
        bool ok;
        std::string path;
    };
    const std::string longFolder(256, 'x');
    const Case cases[] = {
        {{"", "C:\\Temp", "a", "txt"}, true, "C:\\Temp\\a.txt"},
        {{"D", "dir/", "a", ""}, true, "D:dir/a"},
        {{"Cxyz", "", "a", ".b"}, true, "C:a.b"},
        {{"", "", "", "txt"}, true, ".txt"},
        {{"", "", "", ""}, true, ""},
        {{"", longFolder, "abcd", ""}, true, longFolder + "\\abcd"},  // 260 in all
        {{"", longFolder, "abcd", "e"}, false, ""},
    };
    for (const Case& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(MakePath(c.parts, out), c.ok) << c.path;
        EXPECT_EQ(out, c.path);
    }
}

}  // namespace
