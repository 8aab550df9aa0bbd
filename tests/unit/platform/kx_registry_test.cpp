#include "platform/kx_registry.h"

#include "platform/special_folders.h"
#include "platform/windows_paths.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

constexpr int kHkcr = CKXRegistry::HKEY_CLASSES_ROOT;
constexpr int kHkcc = CKXRegistry::HKEY_CURRENT_CONFIG;
constexpr int kHkcu = CKXRegistry::HKEY_CURRENT_USER;
constexpr int kHklm = CKXRegistry::HKEY_LOCAL_MACHINE;
constexpr int kHku = CKXRegistry::HKEY_USERS;

// Each test gets its own store, data home and drive C: in a temporary folder.
class KXRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp.path.empty());
        WindowsPathLayer::Instance().SetDataHome(temp / "data");
        WindowsPathLayer::Instance().ResetDrives();
        path = temp / "registry/registry.sqlite";
    }
    void TearDown() override { WindowsPathLayer::Instance().SetDataHome(""); }

    // The text GetValue gives, or nothing when it fails (and then leaves the default).
    static std::optional<std::string> Read(const CKXRegistry& registry, int root, const std::string& key,
                                           const std::string& name, bool expand = false) {
        std::string result = "untouched";
        if (registry.GetValue(root, key, name, "default", expand, result)) return result;
        EXPECT_EQ(result, "default") << key << " " << name;
        return std::nullopt;
    }

    TempFolder temp;
    std::string path;
};

TEST_F(KXRegistryTest, SetValueConvertsTextToStoredBytes) {
    using R = CKXRegistry;
    struct Case {
        int type;
        std::string text;
        Bytes stored;
        std::string readBack;
    };
    const Case cases[] = {
        {R::REG_SZ, "C:\\Menu\\start.exe", BytesOf("C:\\Menu\\start.exe"), "C:\\Menu\\start.exe"},
        {R::REG_SZ, "", {}, ""},
        {R::REG_EXPAND_SZ, "%windir%\\x", BytesOf("%windir%\\x"), "%windir%\\x"},
        {R::REG_DWORD, "255", {0xFF, 0, 0, 0}, "255"},
        {R::REG_DWORD, "305419896", {0x78, 0x56, 0x34, 0x12}, "305419896"},
        {R::REG_DWORD, " \t-1", {0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
        {R::REG_DWORD, "+42 apples", {42, 0, 0, 0}, "42"},
        {R::REG_DWORD, "apples", {0, 0, 0, 0}, "0"},
        {R::REG_DWORD, "4294967297", {1, 0, 0, 0}, "1"},
        {R::REG_DWORD, "99999999999999999999999", {0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
        {R::REG_BINARY, "1 2 ff", {1, 2, 0xFF}, "01 02 FF"},
        {R::REG_BINARY, "0A ff", {0x0A, 0xFF}, "0A FF"},
        {R::REG_BINARY, "  0x1f\t100 -1 zz 03", {0x1F, 0x00, 0xFF}, "1F 00 FF"},
        {R::REG_BINARY, "0xg", {0}, "00"},
        {R::REG_BINARY, "", {}, ""},
        {R::REG_MULTI_SZ, "a|b", BytesOf(std::string("a\0b\0\0", 5)), "a|b"},
        {R::REG_MULTI_SZ, "|one||two words|", BytesOf(std::string("one\0two words\0\0", 15)), "one|two words"},
        {R::REG_MULTI_SZ, "", {0}, ""},
    };
    CKXRegistry registry(path);
    ASSERT_TRUE(registry.IsOpen());
    for (const Case& c : cases) {
        ASSERT_TRUE(registry.SetValue(kHkcu, "Software\\Test", "value", c.text, c.type)) << c.text;
        int type = 0;
        Bytes stored;
        ASSERT_TRUE(registry.ReadRaw(kHkcu, "Software\\Test", "value", type, stored));
        EXPECT_EQ(type, c.type) << c.text;
        EXPECT_EQ(stored, c.stored) << c.text;
        EXPECT_EQ(Read(registry, kHkcu, "Software\\Test", "value"), c.readBack) << c.text;
    }
}

TEST_F(KXRegistryTest, StoredBytesReadAsText) {
    using R = CKXRegistry;
    struct Case {
        int type;
        Bytes stored;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {R::REG_BINARY, {1, 2, 255}, "01 02 FF"},
        {R::REG_BINARY, {}, ""},
        {R::REG_DWORD, {0xFF, 0, 0, 0}, "255"},
        {R::REG_DWORD, {0xFF, 0}, std::nullopt},
        {R::REG_DWORD, {1, 0, 0, 0, 0, 0, 0, 0}, std::nullopt},
        {R::REG_SZ, BytesOf(std::string("text\0", 5)), "text"},
        {R::REG_SZ, BytesOf(std::string("te\0xt", 5)), "te"},
        {R::REG_MULTI_SZ, BytesOf(std::string("a\0b\0\0", 5)), "a|b"},
        {R::REG_MULTI_SZ, BytesOf(std::string("a\0b", 3)), "a|b"},
        {R::REG_MULTI_SZ, BytesOf(std::string("a\0\0b\0\0", 6)), "a"},
        {R::REG_MULTI_SZ, {0}, ""},
        {0, BytesOf("none"), std::nullopt},
        {11, {1, 0, 0, 0, 0, 0, 0, 0}, std::nullopt},
        {-5, {1}, std::nullopt},
    };
    CKXRegistry registry(path);
    for (const Case& c : cases) {
        ASSERT_TRUE(registry.WriteRaw(kHklm, "Software\\Raw", "v", c.type, c.stored));
        int type = 0;
        Bytes stored;
        ASSERT_TRUE(registry.ReadRaw(kHklm, "Software\\Raw", "v", type, stored));
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(stored, c.stored);
        EXPECT_EQ(Read(registry, kHklm, "Software\\Raw", "v"), c.text) << c.type;
    }
}

TEST_F(KXRegistryTest, ExpandableStringsExpandEnvironmentReferences) {
    const std::string user = WindowsPathLayer::UserName();
    // The host's own TMP must not leak into the Windows world.
    const char* hostTmp = std::getenv("TMP");
    const std::optional<std::string> savedTmp = hostTmp ? std::optional<std::string>(hostTmp) : std::nullopt;
    ASSERT_EQ(setenv("VX_REGISTRY_TEST_VALUE", "from the host", 1), 0);
    ASSERT_EQ(setenv("TMP", "/host/tmp", 1), 0);
    struct Case {
        std::string stored;
        std::string expanded;
    };
    const Case cases[] = {
        {"%SystemRoot%\\Fonts", "C:\\Windows\\Fonts"},
        {"%WINDIR%;%windir%", "C:\\Windows;C:\\Windows"},
        {"%ProgramFiles%\\App", "C:\\Program Files\\App"},
        {"%USERPROFILE%", "C:\\Documents and Settings\\" + user},
        {"%appdata%\\App", "C:\\Documents and Settings\\" + user + "\\Application Data\\App"},
        {"%TEMP%|%tmp%", SpecialFolders::TempFolder() + "|" + SpecialFolders::TempFolder()},
        {"[%vx_registry_test_value%]", "[from the host]"},
        {"%NO_SUCH_VARIABLE_VX%\\a", "%NO_SUCH_VARIABLE_VX%\\a"},
        {"100% sure", "100% sure"},
        {"%%windir%", "%%windir%"},
        {"%nope%%windir%", "%nope%C:\\Windows"},
    };
    CKXRegistry registry(path);
    for (const Case& c : cases) {
        ASSERT_TRUE(registry.SetValue(kHkcu, "Env", "path", c.stored, CKXRegistry::REG_EXPAND_SZ));
        EXPECT_EQ(Read(registry, kHkcu, "Env", "path", true), c.expanded) << c.stored;
        EXPECT_EQ(Read(registry, kHkcu, "Env", "path", false), c.stored);
        // Only expandable strings expand.
        ASSERT_TRUE(registry.SetValue(kHkcu, "Env", "plain", c.stored, CKXRegistry::REG_SZ));
        EXPECT_EQ(Read(registry, kHkcu, "Env", "plain", true), c.stored);
    }
    unsetenv("VX_REGISTRY_TEST_VALUE");
    if (savedTmp) {
        setenv("TMP", savedTmp->c_str(), 1);
    } else {
        unsetenv("TMP");
    }
}

TEST_F(KXRegistryTest, KeysAndNamesIgnoreCaseAndOuterBackslashes) {
    CKXRegistry registry(path);
    ASSERT_TRUE(registry.SetValue(kHkcu, "Software\\Vendor\\App", "Volume", "7", CKXRegistry::REG_DWORD));
    const char* keys[] = {"Software\\Vendor\\App", "SOFTWARE\\vendor\\aPP", "\\Software\\Vendor\\App\\",
                          "\\\\software\\vendor\\app\\\\"};
    for (const char* key : keys) {
        EXPECT_EQ(Read(registry, kHkcu, key, "Volume"), "7") << key;
        EXPECT_EQ(Read(registry, kHkcu, key, "VOLUME"), "7") << key;
    }
    EXPECT_EQ(Read(registry, kHkcu, "Software\\Vendor\\App2", "Volume"), std::nullopt);
    EXPECT_EQ(Read(registry, kHkcu, "Software\\Vendor", "Volume"), std::nullopt);

    // A write through another spelling replaces the value instead of adding one.
    ASSERT_TRUE(registry.SetValue(kHkcu, "software\\VENDOR\\app", "volume", "8", CKXRegistry::REG_SZ));
    int type = 0;
    Bytes stored;
    ASSERT_TRUE(registry.ReadRaw(kHkcu, "Software\\Vendor\\App", "Volume", type, stored));
    EXPECT_EQ(type, CKXRegistry::REG_SZ);
    EXPECT_EQ(stored, BytesOf("8"));

    // The default value has the empty name and is a value of its own.
    ASSERT_TRUE(registry.SetValue(kHkcu, "Software\\Vendor\\App", "", "default text", CKXRegistry::REG_SZ));
    EXPECT_EQ(Read(registry, kHkcu, "software\\vendor\\app", ""), "default text");
    EXPECT_EQ(Read(registry, kHkcu, "software\\vendor\\app", "volume"), "8");

    // Writing a key creates its parents.
    struct KeyCase {
        const char* key;
        bool exists;
    };
    const KeyCase keyCases[] = {
        {"software", true},
        {"SOFTWARE\\VENDOR", true},
        {"Software\\Vendor\\App", true},
        {"\\software\\vendor\\", true},
        {"Software\\Vend", false},
        {"Software\\Vendor\\App\\Sub", false},
        {"", true},
    };
    for (const KeyCase& c : keyCases) EXPECT_EQ(registry.KeyExists(kHkcu, c.key), c.exists) << c.key;
    EXPECT_FALSE(registry.KeyExists(kHklm, "Software\\Vendor"));
}

TEST_F(KXRegistryTest, RootNumbersOutsideTheFiveMeanCurrentUser) {
    struct Case {
        int writeRoot;
        int readRoot;
        bool found;
    };
    const Case cases[] = {
        {kHkcr, kHkcr, true},  {kHkcc, kHkcc, true},  {kHku, kHku, true}, {kHklm, kHklm, true},
        {7, kHkcu, true},      {-1, kHkcu, true},     {5, 99, true},      {kHkcu, 1000, true},
        {kHklm, kHkcu, false}, {kHkcr, kHkcc, false}, {9, kHklm, false},  {kHku, kHkcu, false},
    };
    for (const Case& c : cases) {
        CKXRegistry registry(temp / ("roots-" + std::to_string(&c - cases) + ".sqlite"));
        ASSERT_TRUE(registry.SetValue(c.writeRoot, "Roots\\Test", "v", "x", CKXRegistry::REG_SZ));
        EXPECT_EQ(Read(registry, c.readRoot, "Roots\\Test", "v").has_value(), c.found)
            << c.writeRoot << " read as " << c.readRoot;
        EXPECT_EQ(registry.KeyExists(c.readRoot, "Roots\\Test"), c.found);
    }
}

TEST_F(KXRegistryTest, FailedReadMarkersFailAgain) {
    using R = CKXRegistry;
    struct Case {
        int type;
        std::string text;
        bool readable;
    };
    const Case cases[] = {
        {R::REG_SZ, "***!!!***@@", false}, {R::REG_EXPAND_SZ, "***!!!***@@", false}, {R::REG_DWORD, "99999999", false},
        {R::REG_SZ, "***!!!***@", true},   {R::REG_SZ, "***!!!***@@ ", true},        {R::REG_DWORD, "99999998", true},
        {R::REG_SZ, "99999999", true},     {R::REG_MULTI_SZ, "***!!!***@@|x", true},
    };
    CKXRegistry registry(path);
    for (const Case& c : cases) {
        ASSERT_TRUE(registry.SetValue(kHkcu, "Markers", "v", c.text, c.type));
        EXPECT_EQ(Read(registry, kHkcu, "Markers", "v", false).has_value(), c.readable) << c.text;
        EXPECT_EQ(Read(registry, kHkcu, "Markers", "v", true).has_value(), c.readable) << c.text;
    }
}

TEST_F(KXRegistryTest, MissingValuesAndUnknownTypesFail) {
    CKXRegistry registry(path);
    EXPECT_EQ(Read(registry, kHkcu, "Software\\Nowhere\\Deep", "v"), std::nullopt);
    EXPECT_FALSE(registry.KeyExists(kHkcu, "Software\\Nowhere")) << "reading created a key";

    for (int type : {0, 5, 6, 8, 11, -1}) {
        EXPECT_FALSE(registry.SetValue(kHkcu, "Software\\Typed", "v", "1", type)) << type;
        int stored = 0;
        Bytes data;
        EXPECT_FALSE(registry.ReadRaw(kHkcu, "Software\\Typed", "v", stored, data)) << type;
    }
    EXPECT_FALSE(registry.KeyExists(kHkcu, "Software\\Typed"));

    // A value changes type with the next write.
    ASSERT_TRUE(registry.SetValue(kHkcu, "Software\\Typed", "v", "text", CKXRegistry::REG_SZ));
    ASSERT_TRUE(registry.SetValue(kHkcu, "Software\\Typed", "v", "5", CKXRegistry::REG_DWORD));
    EXPECT_EQ(Read(registry, kHkcu, "Software\\Typed", "v"), "5");
}

TEST_F(KXRegistryTest, AFreshStoreHoldsWhatWindowsProgramsExpect) {
    const std::string profile = "C:\\Documents and Settings\\" + WindowsPathLayer::UserName();
    const std::string allUsers = "C:\\Documents and Settings\\All Users";
    const std::string version = "Software\\Microsoft\\Windows\\CurrentVersion";
    const std::string userShell = version + "\\Explorer\\Shell Folders";
    const std::string commonShell = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const std::string nt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    struct Case {
        int root;
        std::string key;
        const char* name;
        std::string value;
    };
    const Case cases[] = {
        {kHklm, version, "ProgramFilesDir", "C:\\Program Files"},
        {kHklm, version, "CommonFilesDir", "C:\\Program Files\\Common Files"},
        {kHkcu, userShell, "Programs", profile + "\\Start Menu\\Programs"},
        {kHkcu, userShell, "Personal", SpecialFolders::SpecialFolder(5)},
        {kHkcu, userShell, "Startup", profile + "\\Start Menu\\Programs\\Startup"},
        {kHkcu, userShell, "Start Menu", profile + "\\Start Menu"},
        {kHkcu, userShell, "Desktop", SpecialFolders::SpecialFolder(16)},
        {kHkcu, userShell, "Fonts", "C:\\Windows\\Fonts"},
        {kHkcu, userShell, "AppData", profile + "\\Application Data"},
        {kHklm, commonShell, "Common Start Menu", allUsers + "\\Start Menu"},
        {kHklm, commonShell, "Common Programs", allUsers + "\\Start Menu\\Programs"},
        {kHklm, commonShell, "Common Startup", allUsers + "\\Start Menu\\Programs\\Startup"},
        {kHklm, commonShell, "Common Desktop", allUsers + "\\Desktop"},
        {kHklm, commonShell, "Common AppData", allUsers + "\\Application Data"},
        {kHklm, nt, "ProductName", "Microsoft Windows XP"},
        {kHklm, nt, "CurrentVersion", "5.1"},
        {kHklm, nt, "CurrentBuildNumber", "2600"},
    };
    EXPECT_FALSE(std::filesystem::exists(temp / "registry"));
    CKXRegistry registry(path);
    ASSERT_TRUE(registry.IsOpen());
    EXPECT_TRUE(std::filesystem::exists(path));
    for (const Case& c : cases) {
        EXPECT_EQ(Read(registry, c.root, c.key, c.name), c.value) << c.key << " " << c.name;
        int type = 0;
        Bytes data;
        ASSERT_TRUE(registry.ReadRaw(c.root, c.key, c.name, type, data));
        EXPECT_EQ(type, CKXRegistry::REG_SZ);
    }
    EXPECT_EQ(CKXRegistry::DefaultPath(), temp / "data/vantorix/registry.sqlite");
}

TEST_F(KXRegistryTest, ValuesPersistAndSeedingKeepsTheUsersChanges) {
    const std::string version = "Software\\Microsoft\\Windows\\CurrentVersion";
    {
        CKXRegistry registry(path);
        ASSERT_TRUE(registry.SetValue(kHklm, version, "ProgramFilesDir", "D:\\Apps", CKXRegistry::REG_SZ));
        ASSERT_TRUE(registry.SetValue(kHklm, version, "CommonFilesDir", "1", CKXRegistry::REG_DWORD));
        ASSERT_TRUE(registry.SetValue(kHkcu, "Software\\Vendor", "Own", "a|b", CKXRegistry::REG_MULTI_SZ));
    }
    CKXRegistry reopened(path);
    EXPECT_EQ(Read(reopened, kHklm, version, "ProgramFilesDir"), "D:\\Apps");
    EXPECT_EQ(Read(reopened, kHklm, version, "CommonFilesDir"), "1");
    EXPECT_EQ(Read(reopened, kHkcu, "software\\vendor", "own"), "a|b");
    EXPECT_EQ(Read(reopened, kHklm, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion"), "5.1");
}

TEST_F(KXRegistryTest, AStoreThatCannotBeOpenedFailsEveryOperation) {
    const std::string file = temp.Write("plain-file", "not a folder");
    const std::string garbage = temp.Write("garbage.sqlite", std::string(4096, 'x'));
    std::filesystem::create_directories(temp / "folder.sqlite");
    const std::string paths[] = {file + "/registry.sqlite", garbage, temp / "folder.sqlite", ""};
    for (const std::string& unusable : paths) {
        CKXRegistry registry(unusable);
        EXPECT_FALSE(registry.IsOpen()) << unusable;
        EXPECT_FALSE(registry.SetValue(kHkcu, "Software\\App", "v", "x", CKXRegistry::REG_SZ));
        EXPECT_FALSE(registry.WriteRaw(kHkcu, "Software\\App", "v", CKXRegistry::REG_BINARY, {1}));
        EXPECT_EQ(Read(registry, kHklm, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir"),
                  std::nullopt);
        int type = 0;
        Bytes data;
        EXPECT_FALSE(registry.ReadRaw(kHkcu, "Software\\App", "v", type, data));
        EXPECT_FALSE(registry.KeyExists(kHkcu, ""));
    }
}

TEST_F(KXRegistryTest, AWriteSurvivesACrashOfTheWriter) {
    pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        // The store is never closed: the process dies the hard way after its writes.
        CKXRegistry registry(path);
        bool ok = registry.SetValue(kHkcu, "Software\\Crash", "first", "1", CKXRegistry::REG_DWORD) &&
                  registry.SetValue(kHkcu, "Software\\Crash", "second", "a|b", CKXRegistry::REG_MULTI_SZ);
        if (!ok) _exit(1);
        raise(SIGKILL);
        _exit(2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "child exited with " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGKILL);

    CKXRegistry registry(path);
    ASSERT_TRUE(registry.IsOpen());
    EXPECT_EQ(Read(registry, kHkcu, "Software\\Crash", "first"), "1");
    EXPECT_EQ(Read(registry, kHkcu, "Software\\Crash", "second"), "a|b");
    EXPECT_EQ(Read(registry, kHklm, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir"),
              "C:\\Program Files");
}

}  // namespace
