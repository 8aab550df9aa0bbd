#include "resources/kx_flash_file_info.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/kx_registry.h"
#include "resources/flash_check.h"
#include "swf_header_bytes.h"
#include "temp_folder.h"

namespace {

std::string WriteMovie(const TempFolder& folder, const std::string& name, const std::vector<std::uint8_t>& bytes) {
    return folder.Write(name, std::string(bytes.begin(), bytes.end()));
}

TEST(FlashFileInfo, HeadersAndValidity) {
    struct Case {
        const char* name;
        SwfHeaderSpec spec;
        bool valid;
        int width, height;
    };
    const Case cases[] = {
        {"uncompressed 550 x 400", {}, true, 550, 400},
        {"compressed 550 x 400", {.signature = "CWS"}, true, 550, 400},
        {"compressed format 5", {.signature = "CWS", .version = 5}, false, 550, 400},
        {"uncompressed format 3", {.version = 3}, true, 550, 400},
        {"format 0 uncompressed", {.version = 0}, true, 550, 400},
        {"a rectangle off the origin", {.bits = 15, .xMin = -200, .xMax = 1000, .yMin = 100, .yMax = 120}, true, 60, 1},
        {"widths cut toward zero", {.xMax = 39, .yMax = -39}, true, 1, -1},
        {"a declared length of 4 GB", {.signature = "CWS", .declaredLength = 0xFFFFFFFF}, true, 550, 400},
        {"another signature", {.signature = "GIF"}, false, 550, 400},
    };
    TempFolder folder;
    CKXRegistry registry(folder / "registry.sqlite");
    registry.SetValue(CKXRegistry::HKEY_CLASSES_ROOT, flashControlServerKey, "", WindowsForm(folder.Write("flash.ocx")),
                      CKXRegistry::REG_SZ);
    for (const Case& c : cases) {
        std::string path = WriteMovie(folder, "movie.swf", SwfFileBytes(c.spec));
        CKXFlashFileInfo info;
        EXPECT_EQ(info.Open(path), c.valid) << c.name;
        EXPECT_EQ(info.IsValid(), c.valid) << c.name;
        EXPECT_EQ(info.moviePath, path) << c.name;
        int height = -7, width = -7;
        EXPECT_TRUE(info.GetMovieSize(registry, height, width)) << c.name;
        EXPECT_EQ(width, c.width) << c.name;
        EXPECT_EQ(height, c.height) << c.name;
    }
}

TEST(FlashFileInfo, BadMoviesFailCleanly) {
    std::vector<std::uint8_t> compressed = SwfFileBytes({.signature = "CWS"});
    std::vector<std::uint8_t> brokenStream = compressed;
    for (std::size_t i = 10; i < brokenStream.size(); ++i) brokenStream[i] ^= 0x5A;
    std::vector<std::uint8_t> cutStream(compressed.begin(), compressed.begin() + 11);
    std::vector<std::uint8_t> shortLength = SwfFileBytes({.signature = "CWS", .declaredLength = 8});
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"seven bytes", std::vector<std::uint8_t>(compressed.begin(), compressed.begin() + 7)},
        {"a broken zlib stream", brokenStream},
        {"a zlib stream cut short", cutStream},
        {"a declared length without a body", shortLength},
    };
    for (const Case& c : cases) {
        CKXFlashFileInfo info;
        EXPECT_FALSE(info.OpenBytes(c.bytes.data(), c.bytes.size())) << c.name;
    }
    TempFolder folder;
    CKXFlashFileInfo info;
    EXPECT_FALSE(info.Open(""));
    EXPECT_FALSE(info.Open(folder.path));
    EXPECT_FALSE(info.Open(folder / "missing.swf"));
}

TEST(FlashFileInfo, RectanglesThatDoNotFitTheHeaderBytes) {
    TempFolder folder;
    CKXRegistry registry(folder / "registry.sqlite");
    registry.SetValue(CKXRegistry::HKEY_CLASSES_ROOT, flashControlServerKey, "", WindowsForm(folder.Write("flash.ocx")),
                      CKXRegistry::REG_SZ);
    // 5 + 4 x 24 bits fit the 13 bytes of an uncompressed header, 5 + 4 x 25 do not; a
    // compressed header keeps 16 bytes, which hold 30-bit fields but not 31-bit ones.
    struct Case {
        const char* signature;
        int bits;
        bool fits;
    };
    for (const Case& c :
         {Case{"FWS", 24, true}, Case{"FWS", 25, false}, Case{"CWS", 30, true}, Case{"CWS", 31, false}}) {
        std::vector<std::uint8_t> bytes = SwfFileBytes({.signature = c.signature, .bits = c.bits});
        CKXFlashFileInfo info;
        ASSERT_TRUE(info.OpenBytes(bytes.data(), bytes.size())) << c.signature << c.bits;
        int height = -7, width = -7;
        EXPECT_EQ(info.GetMovieSize(registry, height, width), c.fits) << c.signature << c.bits;
        if (c.fits) {
            EXPECT_EQ(width, 550);
        } else {
            EXPECT_EQ(width, 0);
            EXPECT_EQ(height, 0);
        }
    }
    // The whole rectangle, the frame rate and the count still read from the longer body kept.
    std::vector<std::uint8_t> wide =
        SwfFileBytes({.bits = 31, .xMax = 1 << 29, .rateTimes256 = 0x1880, .frameCount = 300});
    CKXFlashFileInfo info;
    ASSERT_TRUE(info.OpenBytes(wide.data(), wide.size()));
    CKXFlashFileInfo::FrameRect rect;
    int rate = 0, frames = 0;
    EXPECT_TRUE(info.ReadMovieFrames(rect, rate, frames));
    EXPECT_EQ(rect.xMax, 1 << 29);
    EXPECT_EQ(rate, 0x1880);
    EXPECT_EQ(frames, 300);
}

TEST(FlashFileInfo, NoSizeWithoutTheControl) {
    TempFolder folder;
    CKXRegistry registry(folder / "registry.sqlite");
    std::vector<std::uint8_t> bytes = SwfFileBytes({});
    CKXFlashFileInfo info;
    ASSERT_TRUE(info.OpenBytes(bytes.data(), bytes.size()));
    int height = -7, width = -7;
    EXPECT_FALSE(info.GetMovieSize(registry, height, width));
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
}

}  // namespace
