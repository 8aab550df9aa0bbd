#include "resources/flash_check.h"

#include <gtest/gtest.h>

#include "platform/dialogs.h"
#include "platform/kx_registry.h"
#include "temp_folder.h"

namespace {

const char defaultMessage[] =
    "This application requires Macromedia Flash Player version %s or greater to operate properly.  You can "
    "download Flash Player for free from %s.  Would you like to download Flash Player now?";

// A minimal Windows program whose version resource says major.minor.build.revision.
std::string ProgramWithVersion(int major, int minor, int build, int revision) {
    std::string bytes = "MZ";
    bytes.resize(64, '\0');
    auto dword = [&](std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(value >> shift & 0xFF);
    };
    dword(0xFEEF04BD);
    dword(0x00010000);
    dword(static_cast<std::uint32_t>(major << 16 | minor));
    dword(static_cast<std::uint32_t>(build << 16 | revision));
    bytes.resize(bytes.size() + 36, '\0');
    return bytes;
}

class FlashCheckTest : public ::testing::Test {
protected:
    void Register(const std::string& hostFile) {
        ASSERT_TRUE(registry.SetValue(CKXRegistry::HKEY_CLASSES_ROOT, flashControlServerKey, "", WindowsForm(hostFile),
                                      CKXRegistry::REG_SZ));
    }
    // Runs the check; the box's text, or "" when none showed.
    std::string Check(const FlashCheckTexts& texts, int answer = IDNO) {
        ScriptedDialogs::Answer reply;
        reply.button = answer;
        dialogs.answers.push_back(reply);
        opened.clear();
        bool shown = RunFlashCheck(registry, dialogs, texts, [this](const std::string& a) { opened = a; });
        if (!shown) {
            dialogs.answers.clear();
            return "";
        }
        EXPECT_EQ(dialogs.records.back().style, unsigned{MB_YESNO | MB_ICONQUESTION});
        EXPECT_EQ(dialogs.records.back().title, texts.title);
        return dialogs.records.back().text;
    }

    TempFolder folder;
    CKXRegistry registry{folder / "registry.sqlite"};
    ScriptedDialogs dialogs;
    std::string opened;
    FlashCheckTexts texts{"Incorrect Flash Version", defaultMessage, "https://example.org/flash", ""};
};

TEST_F(FlashCheckTest, InstalledVersions) {
    std::string file = folder.Write("Flash.ocx", ProgramWithVersion(9, 0, 124, 0));
    EXPECT_EQ(GetFlashControlMajor(registry), -1);
    EXPECT_FALSE(GetFlashControlVersion(registry));
    Register(folder / "missing.ocx");
    EXPECT_FALSE(GetFlashControlVersion(registry));
    EXPECT_EQ(GetFlashControlMajor(registry), 0);
    Register(file);
    std::optional<FileVersion> version = GetFlashControlVersion(registry);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->major, 9);
    EXPECT_EQ(version->build, 124);
    EXPECT_EQ(GetFlashControlMajor(registry), 9);
    // A version file beside it answers before the program's own resource.
    folder.Write("Flash.ocx.version", "10.3.183.90\r\n");
    EXPECT_EQ(GetFlashControlMajor(registry), 10);
    EXPECT_EQ(GetFlashControlVersion(registry)->revision, 90);
    // And a source that knows the file answers before both.
    SetFileVersionSource([&](const std::string& path) -> std::optional<FileVersion> {
        if (path == file) return FileVersion{32, 0, 0, 1};
        return std::nullopt;
    });
    EXPECT_EQ(GetFlashControlMajor(registry), 32);
    SetFileVersionSource(nullptr);
    // A file without version data counts as 0.0.0.0.
    Register(folder.Write("plain.ocx", "MZ but no version"));
    version = GetFlashControlVersion(registry);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->major + version->minor + version->build + version->revision, 0);
    EXPECT_EQ(GetFlashControlMajor(registry), 0);
}

TEST_F(FlashCheckTest, TheBoxAndItsAnswers) {
    const std::string expectedDefault =
        "This application requires Macromedia Flash Player version 6.0.0.0 or greater to operate properly.  You can "
        "download Flash Player for free from https://example.org/flash.  Would you like to download Flash Player now?";
    // No control registered: the box, and Yes opens the address.
    EXPECT_EQ(Check(texts, IDYES), expectedDefault);
    EXPECT_EQ(opened, "https://example.org/flash");
    EXPECT_EQ(Check(texts, IDNO), expectedDefault);
    EXPECT_EQ(opened, "");
    // A control without version data is 0.0.0.0: too old.
    Register(folder.Write("plain.ocx", "no version"));
    EXPECT_EQ(Check(texts), expectedDefault);
    // Recent enough: nothing shows.
    Register(folder.Write("Flash.ocx", ProgramWithVersion(6, 0, 79, 0)));
    EXPECT_EQ(Check(texts), "");
    // A project that asks for more.
    FlashCheckTexts demanding = texts;
    demanding.minVersion = "7";
    EXPECT_EQ(Check(demanding),
              "This application requires Macromedia Flash Player version 7 or greater to operate properly.  "
              "You can download Flash Player for free from https://example.org/flash.  Would you like "
              "to download Flash Player now?");
    demanding.minVersion = "V6.0.79";
    EXPECT_EQ(Check(demanding), "");
}

TEST(FlashCheckMessage, FillsOnlyItsTwoArguments) {
    struct Case {
        const char* format;
        const char* text;
    };
    const Case cases[] = {
        {"need %s from %s", "need 6.0 from web"},
        {"%s %s %s", "6.0 web %s"},
        {"100%% sure: %d %n %s", "100% sure: %d %n 6.0"},
        {"no arguments", "no arguments"},
        {"trailing %", "trailing %"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FlashCheckMessage(c.format, "6.0", "web"), c.text) << c.format;
}

}  // namespace
