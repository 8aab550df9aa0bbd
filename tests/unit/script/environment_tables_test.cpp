#include "script/environment_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

const char* MessageFor(int code) {
    auto messages = ErrorMessages();
    auto it = std::find_if(messages.begin(), messages.end(), [code](const ErrorMessage& m) { return m.code == code; });
    return it == messages.end() ? nullptr : it->text;
}

TEST(EnvironmentTables, ErrorMessages) {
    auto messages = ErrorMessages();
    ASSERT_EQ(messages.size(), 229u);
    EXPECT_EQ(messages[0].code, 0);
    EXPECT_STREQ(messages[0].text, "Success.");
    EXPECT_EQ(messages[1].code, 9999);
    EXPECT_EQ(messages.back().code, 3300);

    for (int missing : {1010, 1111, 1112, 1113, 1114, 1116, 1117, 2525}) {
        EXPECT_EQ(MessageFor(missing), nullptr) << missing;
    }
    ASSERT_NE(MessageFor(1011), nullptr);
    EXPECT_EQ(std::string(MessageFor(1011)).rfind("There is no application associated", 0), 0u);

    struct Case {
        int code;
        const char* text;
    };
    const Case cases[] = {
        {2514, "Unknown error."},
        {9999, "Unknown error."},
        {2603, "Out of memory."},
        {1041, "Out of memory."},
        {1107, "File is to large to read."},
        {1108, "The specified file could not be opened"},
        {2634,
         "Bad or missing decrypt code, either no password was specified, or the password "
         "was incorrect.."},
        {3000, "An invalid index has been specified. Indices must be greater than or equal to -1."},
        {3001, "The specified path is longer then MAX_PATH,or 260 characters."},
    };
    for (const Case& c : cases) {
        ASSERT_NE(MessageFor(c.code), nullptr) << c.code;
        EXPECT_STREQ(MessageFor(c.code), c.text) << c.code;
    }
}

TEST(EnvironmentTables, Constants) {
    auto constants = ScriptConstants();
    ASSERT_FALSE(constants.empty());
    EXPECT_STREQ(constants.front().name, "MB_OK");
    EXPECT_STREQ(constants.back().name, "TABLE_ALL");

    std::set<std::string> names;
    for (const NamedConstant& c : constants) {
        EXPECT_TRUE(names.insert(c.name).second) << "set twice: " << c.name;
    }
    struct Case {
        const char* name;
        int value;
    };
    const Case cases[] = {
        {"HKEY_CURRENT_USER", 2}, {"REG_DWORD", 4},   {"REG_MULTI_SZ", 7},        {"CHANNEL_ALL", -3},
        {"CHANNEL_EFFECTS", 0},   {"TABLE_ALL", -1},  {"MB_ICONEXCLAMATION", 48}, {"MB_DEFBUTTON3", 512},
        {"SHF_MYDOCUMENTS", 5},   {"SW_MINIMIZE", 6},
    };
    for (const Case& c : cases) {
        auto it = std::find_if(constants.begin(), constants.end(),
                               [&](const NamedConstant& k) { return std::string(k.name) == c.name; });
        ASSERT_NE(it, constants.end()) << c.name;
        EXPECT_EQ(it->value, c.value) << c.name;
    }
}

TEST(EnvironmentTables, NotificationMessages) {
    auto notes = NotificationMessages();
    ASSERT_EQ(notes.size(), 4u);
    const char* keys[] = {"MissingFlashTitle", "MissingFlashMessage", "MissingFlashWebSite", "MissingFlashMinVersion"};
    for (std::size_t i = 0; i < notes.size(); ++i) EXPECT_STREQ(notes[i].key, keys[i]);
    EXPECT_STREQ(notes[0].text, "Incorrect Flash Version");
    EXPECT_STREQ(notes[1].text,
                 "This application requires Macromedia Flash Player version %s or greater to "
                 "operate properly.  You can download Flash Player for free from %s.  Would you "
                 "like to download Flash Player now?");
    EXPECT_STREQ(notes[2].text, "https://get.adobe.com/flashplayer/");
    EXPECT_STREQ(notes[3].text, "6.0.0.0");
}

}  // namespace
