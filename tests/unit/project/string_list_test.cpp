#include "project/string_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(StringList, HoldsEveryEntryAsGiven) {
    // Lengths that need one, two and three length bytes, empty entries, and zero bytes inside.
    std::vector<std::string> entries = {"",
                                        "a",
                                        std::string(127, 'x'),
                                        std::string(128, 'y'),
                                        "",
                                        std::string(20000, 'z'),
                                        std::string("nul\0inside", 10)};
    for (int i = 0; i < 1000; ++i) entries.push_back(std::to_string(i));
    CKXStringList list(entries);
    ASSERT_EQ(list.size(), entries.size());
    EXPECT_EQ(list.ToVector(), entries);
    // Indexing finds entries on both sides of the every-256th marks.
    for (std::size_t i : {std::size_t{0}, std::size_t{5}, std::size_t{6}, std::size_t{255}, std::size_t{256},
                          std::size_t{257}, std::size_t{511}, std::size_t{512}, entries.size() - 1}) {
        EXPECT_EQ(list[i], entries[i]) << i;
    }
    EXPECT_EQ(CKXStringList(entries), list);
    EXPECT_FALSE(CKXStringList({"a", "b"}) == CKXStringList({"ab"}));
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.begin(), list.end());
}

TEST(StringList, CostsAboutItsText) {
    CKXStringList list;
    for (int i = 0; i < 100000; ++i) list.push_back("");
    EXPECT_EQ(list.ByteSize(), 100000u) << "one length byte for each empty entry";
}

}  // namespace
