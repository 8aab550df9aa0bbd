#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "temp_folder.h"

namespace {

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

TEST(AtomicFile, TheNextWriteRemovesWhatAKilledWriteLeftAndNothingElse) {
    TempFolder folder;
    std::string target = folder / "settings.ini";
    // Left by a writer that was killed: nobody holds it.
    folder.Write(".settings.ini.vxtmp-Ab12Cd", "half");
    // Being written right now by another process: locked.
    std::string busy = folder.Write(".settings.ini.vxtmp-Zz99Yy", "busy");
    int busyFd = open(busy.c_str(), O_RDONLY);
    ASSERT_EQ(flock(busyFd, LOCK_EX), 0);
    // Another file's, and a file of the user's that only looks similar.
    folder.Write(".other.ini.vxtmp-Ab12Cd", "other");
    folder.Write(".settings.ini.vxtmp-notours", "user");

    std::string error;
    ASSERT_TRUE(WriteFileAtomically(target, "[a]\nb=1\n", &error)) << error;
    std::ifstream in(target);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "[a]\nb=1\n");
    EXPECT_EQ(Names(folder.path), (std::set<std::string>{"settings.ini", ".settings.ini.vxtmp-Zz99Yy",
                                                         ".other.ini.vxtmp-Ab12Cd", ".settings.ini.vxtmp-notours"}));
    close(busyFd);
}

TEST(AtomicFile, AFailedWriteLeavesNoTemporaryFile) {
    TempFolder folder;
    std::string error;
    std::filesystem::create_directory(folder / "target");
    EXPECT_FALSE(WriteFileAtomically(folder / "target", "x", &error)) << "a folder cannot be replaced by a file";
    EXPECT_EQ(Names(folder.path), (std::set<std::string>{"target"}));
}

}  // namespace
