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
