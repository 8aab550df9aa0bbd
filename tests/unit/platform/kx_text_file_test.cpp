#include "platform/kx_text_file.h"

#include "platform/atomic_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

class KXTextFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(temp.path.empty()); }

    TempFolder temp;
};

TEST_F(KXTextFileTest, LoadEndsEachBlockAtItsFirstZero) {
    const std::string a1023(1023, 'a');
    const std::string a1024(1024, 'a');
    struct Case {
        const char* name;
        std::string contents;
        std::string text;
    };
    const Case cases[] = {
        {"plain text with line breaks", "one\r\ntwo\nthree", "one\r\ntwo\nthree"},
        {"empty file", "", ""},
        {"high bytes pass unchanged", "\xE4\xF6\xFC\x80\xFF", "\xE4\xF6\xFC\x80\xFF"},
        {"zero ends the block", "ab\0cd\0ef"s, "ab"},
        {"zero first", "\0abc"s, ""},
        {"next block continues", "a\0"s + std::string(1022, 'b') + "next", "anext"},
        {"zero last in its block", a1023 + "\0"s + "next", a1023 + "next"},
        {"zero first in the second block", a1024 + "\0"s + "skipped", a1024},
        {"zero in each block", "x\0"s + std::string(1022, 'b') + "y\0"s + std::string(1022, 'c') + "z", "xyz"},
        {"a block of zeros", a1024 + std::string(1024, '\0') + "end", a1024 + "end"},
    };
    for (const Case& c : cases) {
        const std::string path = temp.Write("text.txt", c.contents);
        CKXTextFile file;
        ASSERT_EQ(file.Load(path), TextFileStatus::Ok) << c.name;
        EXPECT_EQ(file.Text(), c.text) << c.name;
    }
}

TEST_F(KXTextFileTest, LoadAcceptsUpToTwoMillionBytes) {
    CKXTextFile file;
    const std::string largest(CKXTextFile::maxSize, 'x');
    ASSERT_EQ(file.Load(temp.Write("largest.txt", largest)), TextFileStatus::Ok);
    EXPECT_EQ(file.Text(), largest);

    EXPECT_EQ(file.Load(temp.Write("too_large.txt", largest + "x")), TextFileStatus::TooLarge);
    EXPECT_EQ(file.Text(), "");
    // The size counts, not the text that would be kept.
    EXPECT_EQ(file.Load(temp.Write("zeros.txt", std::string(CKXTextFile::maxSize + 1, '\0'))),
              TextFileStatus::TooLarge);
}

TEST_F(KXTextFileTest, LoadReportsWhatIsInTheWay) {
    std::filesystem::create_directory(temp / "folder.txt");
    ASSERT_EQ(mkfifo((temp / "pipe.txt").c_str(), 0644), 0);
    ASSERT_EQ(symlink((temp / "missing.txt").c_str(), (temp / "dangling.txt").c_str()), 0);
    struct Case {
        std::string path;
        TextFileStatus status;
    };
    const Case cases[] = {
        {temp / "missing.txt", TextFileStatus::Missing},
        {temp / "no/such/folder.txt", TextFileStatus::Missing},
        {temp / "dangling.txt", TextFileStatus::Missing},
        {"", TextFileStatus::Missing},
        {temp / "folder.txt", TextFileStatus::CannotOpen},
        // A pipe would block the script until someone writes to it.
        {temp / "pipe.txt", TextFileStatus::CannotOpen},
    };
    for (const Case& c : cases) {
        CKXTextFile file;
        ASSERT_EQ(file.Load(temp.Write("earlier.txt", "earlier")), TextFileStatus::Ok);
        EXPECT_EQ(file.Load(c.path), c.status) << c.path;
        EXPECT_EQ(file.Text(), "") << c.path;
    }
}

TEST_F(KXTextFileTest, LoadOfAnUnreadableFileCannotOpen) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads whatever the permissions say";
    const std::string path = temp.Write("secret.txt", "secret");
    chmod(path.c_str(), 0);
    CKXTextFile file;
    EXPECT_EQ(file.Load(path), TextFileStatus::CannotOpen);
}

TEST_F(KXTextFileTest, SaveReplacesTheWholeFile) {
    const std::string bytes = "line\r\n\0\xFF"s + std::string(5000, 'z');
    const std::string path = temp / "new.txt";
    ASSERT_EQ(CKXTextFile::Save(path, bytes), TextFileStatus::Ok);
    EXPECT_EQ(FileContents(path), bytes);

    const std::string existing = temp.Write("existing.txt", std::string(10000, 'o'));
    chmod(existing.c_str(), 0600);
    ASSERT_EQ(CKXTextFile::Save(existing, "short"), TextFileStatus::Ok);
    EXPECT_EQ(FileContents(existing), "short");
    EXPECT_EQ(ModeOf(existing), 0600u);
    ASSERT_EQ(CKXTextFile::Save(existing, ""), TextFileStatus::Ok);
    EXPECT_EQ(FileContents(existing), "");

    EXPECT_EQ(FolderEntries(temp.path).size(), 2u) << "a temporary file was left behind";
}

TEST_F(KXTextFileTest, SaveThroughALinkKeepsTheLink) {
    const std::string target = temp.Write("data/target.txt", "old");
    const std::string link = temp / "link.txt";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_EQ(CKXTextFile::Save(link, "new"), TextFileStatus::Ok);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(FileContents(target), "new");

    // A link to a file not yet there creates that file.
    const std::string dangling = temp / "dangling.txt";
    ASSERT_EQ(symlink((temp / "data/created.txt").c_str(), dangling.c_str()), 0);
    ASSERT_EQ(CKXTextFile::Save(dangling, "created"), TextFileStatus::Ok);
    EXPECT_TRUE(std::filesystem::is_symlink(dangling));
    EXPECT_EQ(FileContents(temp / "data/created.txt"), "created");
}

TEST_F(KXTextFileTest, SaveFailsWithoutTouchingWhatIsThere) {
    std::filesystem::create_directory(temp / "folder.txt");
    ASSERT_EQ(mkfifo((temp / "pipe.txt").c_str(), 0644), 0);
    const std::string paths[] = {temp / "no/such/folder.txt", temp / "folder.txt", temp / "pipe.txt", ""};
    for (const std::string& path : paths) {
        EXPECT_EQ(CKXTextFile::Save(path, "text"), TextFileStatus::CannotWrite) << path;
    }
    EXPECT_TRUE(std::filesystem::is_directory(temp / "folder.txt"));
    EXPECT_TRUE(std::filesystem::is_fifo(temp / "pipe.txt"));
    EXPECT_EQ(FolderEntries(temp.path).size(), 2u);
}

TEST_F(KXTextFileTest, SaveRespectsReadOnlyFilesAndFolders) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes whatever the permissions say";
    const std::string readOnlyFile = temp.Write("ro.txt", "old");
    const std::string inReadOnlyFolder = temp.Write("ro/in.txt", "old");
    chmod(readOnlyFile.c_str(), 0444);
    chmod((temp / "ro").c_str(), 0555);
    EXPECT_EQ(CKXTextFile::Save(readOnlyFile, "new"), TextFileStatus::CannotWrite);
    EXPECT_EQ(CKXTextFile::Save(inReadOnlyFolder, "new"), TextFileStatus::CannotWrite);
    EXPECT_EQ(CKXTextFile::Save(temp / "ro/created.txt", "new"), TextFileStatus::CannotWrite);
    chmod((temp / "ro").c_str(), 0755);
    EXPECT_EQ(FileContents(readOnlyFile), "old");
    EXPECT_EQ(FileContents(inReadOnlyFolder), "old");
    EXPECT_EQ(FolderEntries(temp / "ro"), std::vector<std::string>{"in.txt"});
}

}  // namespace
