#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace {

TEST(CodePage, EveryByteOfWindows1252SurvivesARoundTrip) {
    const CodePage& page = CodePage::Default();
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    std::string utf8 = page.ToUtf8(all);
    std::string back;
    ASSERT_TRUE(page.FromUtf8(utf8, back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(page.ToUtf8("\x80\xE9\x81"), "\u20AC\u00E9\u0081");  // euro, e acute, undefined 0x81
}

TEST(CodePage, SingleByteCodePagesMapTheirLettersAndKeepEveryByte) {
    // Hebrew and Vietnamese letters come out as themselves although their converters hold a
    // letter back for a combining mark; bytes left undefined never take a defined byte's
    // character, so every byte of every page comes back as it was.
    struct Case {
        const char* page;
        unsigned char byte;
        const char* utf8;
    };
    for (Case c : {Case{"windows-1255", 0xE0, "\u05D0"}, Case{"windows-1255", 0xAA, "\u00D7"},
                   Case{"windows-1258", 0xC3, "\u0102"}, Case{"iso-8859-8", 0xE0, "\u05D0"},
                   Case{"windows-1251", 0xC0, "\u0410"}, Case{"windows-1252", 0x81, "\u0081"}}) {
        auto page = CodePage::Open(c.page, nullptr);
        ASSERT_TRUE(page) << c.page;
        EXPECT_EQ(page->ToUtf8(std::string(1, static_cast<char>(c.byte))), c.utf8) << c.page << " " << int(c.byte);
        std::string all;
        for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
        std::string back;
        EXPECT_TRUE(page->FromUtf8(page->ToUtf8(all), back)) << c.page;
        EXPECT_EQ(back, all) << c.page;
    }
}

TEST(CodePage, ConversionsIntoTheCodePage) {
    struct Case {
        const char* name;
        std::string utf8;
        bool representable;
        std::string bytes;
    };
    const Case cases[] = {
        {"windows-1252", "Caf\u00E9 \u20AC", true, "Caf\xE9 \x80"},
        {"windows-1252", "\u4E2D", false, ""},
        {"windows-1252", "\xC3", false, ""},  // not UTF-8
        {"cp1251", "\u041C\u0438\u0440", true, "\xCC\xE8\xF0"},
        {"cp932", "\u65E5\u672C", true, "\x93\xFA\x96\x7B"},
    };
    for (const Case& c : cases) {
        std::string error;
        auto page = CodePage::Open(c.name, &error);
        ASSERT_TRUE(page) << error;
        std::string out;
        EXPECT_EQ(page->FromUtf8(c.utf8, out), c.representable) << c.name << " " << c.utf8;
        if (c.representable) {
            EXPECT_EQ(out, c.bytes) << c.name;
            EXPECT_EQ(page->ToUtf8(out), c.utf8) << c.name;
        }
    }
}

TEST(CodePage, WideTextWithUnmappableCharacters) {
    auto cp932 = CodePage::Open("cp932", nullptr);
    ASSERT_TRUE(cp932);
    EXPECT_EQ(cp932->FromUtf16(u"A\u65E5\U0001F600"), "A\x93\xFA?");
    EXPECT_EQ(CodePage::Default().FromUtf16(u"\U0001F600\xD800x"), "??x");
}

TEST(CodePage, UnknownNameIsRefused) {
    std::string error;
    EXPECT_EQ(CodePage::Open("no-such-page", &error), nullptr);
    EXPECT_NE(error.find("no-such-page"), std::string::npos);
}

}  // namespace
