#include "platform/disc/disc_image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "temp_folder.h"

namespace {

// A disc's files: a menu's folders with mixed-case long names, a file of several sectors whose
// bytes tell their own offset, and an empty file.
class DiscImageTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v xorriso >/dev/null") != 0) GTEST_SKIP() << "xorriso is missing";
        folder.Write("disc/autorun.inf", "[autorun]\r\nopen=Menu.exe\r\n");
        folder.Write("disc/Setup/Video Clips/Blue Movie.mpg", Counting(5000));
        folder.Write("disc/Setup/empty.txt", "");
    }
    static std::string Counting(std::size_t size) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i % 251);
        return bytes;
    }
    std::string MakeImage(const std::string& name, const std::string& options) {
        std::string image = folder / name;
        std::string command =
            "xorriso -as mkisofs -quiet " + options + " -o '" + image + "' '" + (folder / "disc") + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return image;
    }
    TempFolder folder;
};

TEST_F(DiscImageTest, NamesAsTheDiscSpellsThemFoundIgnoringCase) {
    struct Case {
        const char* what;
        const char* options;
        const char* movie;  // how the disc spells the movie's path
    };
    for (Case c : {Case{"Joliet and Rock Ridge", "-J -R", "Setup/Video Clips/Blue Movie.mpg"},
                   Case{"Joliet", "-J --norock", "Setup/Video Clips/Blue Movie.mpg"},
                   Case{"Rock Ridge", "-R", "Setup/Video Clips/Blue Movie.mpg"},
                   Case{"level 1, 8.3 names", "-iso-level 1 --norock", "SETUP/VIDEO_CL/BLUE_MOV.MPG"}}) {
        std::string error;
        auto image = CDiscImage::Open(MakeImage(std::string(c.what) + ".iso", c.options), error);
        ASSERT_TRUE(image) << c.what << ": " << error;
        std::optional<CDiscImage::Entry> movie = image->Stat(c.movie);
        ASSERT_TRUE(movie) << c.what;
        EXPECT_EQ(movie->size, 5000u) << c.what;
        EXPECT_FALSE(movie->folder) << c.what;
        // Letter case and separators do not matter, as on the discs' own system.
        std::string shouted = c.movie;
        for (char& ch : shouted) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        EXPECT_TRUE(image->Stat("\\" + shouted)) << c.what;
        std::set<std::string> root;
        for (const CDiscImage::Entry& entry : image->List("/")) root.insert(entry.name + (entry.folder ? "/" : ""));
        EXPECT_EQ(root.size(), 2u) << c.what;
        EXPECT_TRUE(image->Stat("")->folder) << c.what;
        EXPECT_FALSE(image->Stat("Setup/missing.txt")) << c.what;
        EXPECT_FALSE(image->Stat(std::string(c.movie) + "/below")) << c.what << ": a file has no children";
        EXPECT_TRUE(image->List(c.movie).empty()) << c.what;
    }
}

TEST_F(DiscImageTest, FilesReadAtAnyOffset) {
    std::string error;
    auto image = CDiscImage::Open(MakeImage("menu.iso", "-J -R"), error);
    ASSERT_TRUE(image) << error;
    std::optional<CDiscImage::File> movie = image->OpenFile("setup/video clips/blue movie.mpg");
    ASSERT_TRUE(movie);
    const std::string expected = Counting(5000);
    struct Case {
        std::uint64_t offset;
        std::size_t size;
        long long read;
    };
    // Within a sector, across sectors, whole sectors from a boundary, up to and past the end.
    for (Case c : {Case{0, 10, 10}, Case{2040, 20, 20}, Case{2048, 4096, 2952}, Case{100, 5000, 4900},
                   Case{4999, 10, 1}, Case{5000, 10, 0}, Case{9000, 10, 0}}) {
        std::string buffer(c.size, '\xFF');
        long long read = image->Read(*movie, c.offset, buffer.data(), buffer.size());
        ASSERT_EQ(read, c.read) << c.offset << "+" << c.size;
        if (read > 0) {
            EXPECT_EQ(buffer.substr(0, static_cast<std::size_t>(read)),
                      expected.substr(static_cast<std::size_t>(c.offset), static_cast<std::size_t>(read)))
                << c.offset << "+" << c.size;
        }
    }
    std::optional<CDiscImage::File> empty = image->OpenFile("SETUP/EMPTY.TXT");
    ASSERT_TRUE(empty);
    char byte = 0;
    EXPECT_EQ(image->Read(*empty, 0, &byte, 1), 0);
    EXPECT_FALSE(image->OpenFile("Setup")) << "a folder is no file";
}

// The sectors of an ISO 9660 file as a raw CD track: 2,352 bytes each, the sync pattern, the
// sector's address and mode 1, its 2,048 bytes of data, and room for the error codes (left
// zero: readers of images do not check them).
std::string RawMode1Track(const std::string& iso) {
    std::string raw;
    for (std::size_t lba = 0; lba * 2048 < iso.size(); ++lba) {
        std::string sector(2352, '\0');
        std::fill(sector.begin() + 1, sector.begin() + 11, '\xFF');
        std::size_t address = lba + 150;  // two seconds of lead-in
        auto bcd = [](std::size_t value) { return static_cast<char>(((value / 10) << 4) | (value % 10)); };
        sector[12] = bcd(address / (75 * 60));
        sector[13] = bcd(address / 75 % 60);
        sector[14] = bcd(address % 75);
        sector[15] = 1;
        std::copy_n(iso.begin() + static_cast<std::ptrdiff_t>(lba * 2048), 2048, sector.begin() + 16);
        raw += sector;
    }
    return raw;
}

TEST_F(DiscImageTest, BinCueImagesInBothSectorLayouts) {
    std::string iso = FileContents(MakeImage("menu.iso", "-J -R"));
    struct Case {
        const char* mode;
        std::string track;
        const char* opened;  // the file opened: the .cue, or the .bin beside it
    };
    for (Case c : {Case{"MODE1/2048", iso, "cue"}, Case{"MODE1/2352", RawMode1Track(iso), "cue"},
                   Case{"MODE1/2352", RawMode1Track(iso), "bin"}}) {
        std::string base = std::string("disc ") + (c.mode[6] == '2' && c.mode[7] == '0' ? "2048" : "2352");
        folder.Write(base + ".bin", c.track);
        folder.Write(base + ".cue",
                     "FILE \"" + base + ".bin\" BINARY\r\n  TRACK 01 " + c.mode + "\r\n    INDEX 01 00:00:00\r\n");
        std::string error;
        auto image = CDiscImage::Open(folder / (base + "." + c.opened), error);
        ASSERT_TRUE(image) << c.mode << " " << c.opened << ": " << error;
        std::optional<CDiscImage::File> movie = image->OpenFile("SETUP/Video Clips/blue movie.MPG");
        ASSERT_TRUE(movie) << c.mode;
        std::string buffer(5000, '\0');
        ASSERT_EQ(image->Read(*movie, 0, buffer.data(), buffer.size()), 5000) << c.mode;
        EXPECT_EQ(buffer, Counting(5000)) << c.mode;
        EXPECT_EQ(image->List("/").size(), 2u) << c.mode;
    }
    std::string error;
    folder.Write("lost.cue", "FILE \"nowhere.bin\" BINARY\r\n  TRACK 01 MODE1/2048\r\n    INDEX 01 00:00:00\r\n");
    EXPECT_FALSE(CDiscImage::Open(folder / "lost.cue", error)) << "a .cue whose .bin is missing";
}

TEST_F(DiscImageTest, WhatIsNoImageOrIsCutShortIsRefusedOrReadAsFarAsItGoes) {
    std::string error;
    EXPECT_FALSE(CDiscImage::Open(folder / "missing.iso", error));
    EXPECT_NE(error.find("missing.iso"), std::string::npos);
    EXPECT_FALSE(CDiscImage::Open(folder.Write("text.iso", std::string(100000, 'x')), error));
    EXPECT_FALSE(CDiscImage::Open(folder.path, error)) << "a folder";

    // The image cut in the middle of the movie: what is there reads, the rest is an error.
    std::string whole = MakeImage("whole.iso", "-J -R");
    auto full = CDiscImage::Open(whole, error);
    ASSERT_TRUE(full) << error;
    std::optional<CDiscImage::File> movie = full->OpenFile("Setup/Video Clips/Blue Movie.mpg");
    ASSERT_TRUE(movie);
    std::filesystem::resize_file(whole, (movie->firstSector + 1) * 2048ull);
    auto cut = CDiscImage::Open(whole, error);
    ASSERT_TRUE(cut) << error;
    std::string buffer(5000, '\0');
    EXPECT_EQ(cut->Read(*movie, 0, buffer.data(), buffer.size()), 2048);
    EXPECT_EQ(cut->Read(*movie, 3000, buffer.data(), 10), -1);

    // A root folder whose record claims 2 GB: no listing, and nothing set aside for it.
    std::string damaged = MakeImage("damaged.iso", "--norock");
    std::string bytes = FileContents(damaged);
    const std::size_t rootSize = 16 * 2048 + 156 + 10;  // the volume descriptor's root record
    const char huge[8] = {'\xFF', '\xFF', '\xFF', '\x7F', '\x7F', '\xFF', '\xFF', '\xFF'};
    bytes.replace(rootSize, 8, huge, 8);
    std::ofstream(damaged, std::ios::binary | std::ios::trunc) << bytes;
    auto opened = CDiscImage::Open(damaged, error);
    if (opened) {
        EXPECT_TRUE(opened->List("/").empty());
        EXPECT_FALSE(opened->Stat("SETUP/EMPTY.TXT"));
    }
}

}  // namespace
