#include "script/kx_delimited_string.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> PiecesOf(const CKXDelimitedString& split) {
    std::vector<std::string> pieces;
    for (int i = 0; i < split.Count(); ++i) pieces.push_back(split.GetItem(i));
    return pieces;
}

TEST(KXDelimitedString, Splitting) {
    struct Case {
        std::string text;
        std::string delimiter;
        bool keepEmpty;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {"a\r\nb\r\n\r\nc", "\r\n", true, {"a", "b", "", "c"}},
        {"a\r\nb\r\n\r\nc", "\r\n", false, {"a", "b", "c"}},
        {"\r\nline\r\n", "\r\n", true, {"", "line", ""}},
        {"\r\nline\r\n", "\r\n", false, {"line"}},
        // Without empty pieces every character of the delimiter is stripped from both ends,
        // in any order, not only whole delimiters.
        {"\n\r\nA\r\r", "\r\n", false, {"A"}},
        {"-a--b-", "-", false, {"a", "b"}},
        {"a::b::c", "::", true, {"a", "b", "c"}},
        // Splitting is case-sensitive although the whole-text test is not.
        {"aXbxc", "x", true, {"aXb", "c"}},
        {"AND", "and", true, {}},
        {"\r\n", "\r\n", true, {}},
        {"", "", true, {}},
        {"", ",", true, {""}},
        {"", ",", false, {}},
        {",,,", ",", false, {}},
        {"a,b", "", true, {"a,b"}},
        {"a,b", "", false, {"a,b"}},
        // The appended delimiter can match one character early; the rest is dropped.
        {"xa", "aa", true, {"x"}},
    };
    for (const Case& c : cases) {
        CKXDelimitedString split;
        split.Set(c.text, c.delimiter, c.keepEmpty);
        EXPECT_EQ(PiecesOf(split), c.pieces)
            << "text \"" << c.text << "\" delimiter \"" << c.delimiter << "\" keepEmpty " << c.keepEmpty;
        EXPECT_EQ(split.Text(), c.text);
        EXPECT_EQ(split.Delimiter(), c.delimiter);
        EXPECT_EQ(split.KeepEmpty(), c.keepEmpty);
    }
}

TEST(KXDelimitedString, ItemsOutOfRangeAreEmptyAndSetStartsOver) {
    CKXDelimitedString split;
    EXPECT_EQ(split.Count(), 0);
    EXPECT_TRUE(split.KeepEmpty());
    EXPECT_EQ(split.GetItem(0), "");

    split.Set("one;two;three", ";", true);
    ASSERT_EQ(split.Count(), 3);
    EXPECT_EQ(split.GetItem(-1), "");
    EXPECT_EQ(split.GetItem(2), "three");
    EXPECT_EQ(split.GetItem(3), "");

    split.Set("four", ";", true);
    EXPECT_EQ(PiecesOf(split), std::vector<std::string>{"four"});
    split.Set(";", ";", true);
    EXPECT_EQ(split.Count(), 0);
}

}  // namespace
