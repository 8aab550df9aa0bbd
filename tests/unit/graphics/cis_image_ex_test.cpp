#include "graphics/image/cis_image_ex.h"
#include "graphics/image/image_codecs.h"

#include "temp_folder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace {

using image_codec::PaletteEntry;

struct Rgba {
    int r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgba& c) {
    return out << "(" << c.r << "," << c.g << "," << c.b << "," << c.a << ")";
}

// The colour a pixel shows, whatever the depth.
Rgba PixelAt(const CISImageEx& image, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* row = image.Pixels() + image.RowBytes() * y;
    switch (image.Depth()) {
        case 1: {
            const PaletteEntry& e = image.Palette()[(row[x / 8] >> (7 - x % 8)) & 1];
            return {e.red, e.green, e.blue, 255};
        }
        case 8: {
            const PaletteEntry& e = image.Palette()[row[x]];
            return {e.red, e.green, e.blue, 255};
        }
        case 24:
            return {row[3 * x], row[3 * x + 1], row[3 * x + 2], 255};
        default:
            return {row[4 * x], row[4 * x + 1], row[4 * x + 2], row[4 * x + 3]};
    }
}

bool Near(const Rgba& a, const Rgba& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance &&
           std::abs(a.a - b.a) <= tolerance;
}

// The test pictures: 13 x 6 (an odd width, so that row padding matters), four quadrants split
// at column 7 and row 3, so that a flipped or mirrored decode shows.
constexpr std::uint32_t kWidth = 13;
constexpr std::uint32_t kHeight = 6;
enum class Source { Colour, Alpha, Grey, Bilevel };

Rgba SourcePixel(Source source, std::uint32_t x, std::uint32_t y) {
    const int quadrant = (x >= 7 ? 1 : 0) + (y >= 3 ? 2 : 0);
    static const Rgba colours[] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
    static const int alphas[] = {255, 128, 64, 0};
    static const int greys[] = {0, 85, 170, 255};
    static const int bilevel[] = {0, 255, 255, 0};
    switch (source) {
        case Source::Colour:
            return colours[quadrant];
        case Source::Alpha: {
            Rgba c = colours[quadrant];
            c.a = alphas[quadrant];
            return c;
        }
        case Source::Grey:
            return {greys[quadrant], greys[quadrant], greys[quadrant], 255};
        default:
            return {bilevel[quadrant], bilevel[quadrant], bilevel[quadrant], 255};
    }
}

// The source as a netpbm file ImageMagick reads exactly.
std::string SourceFile(Source source) {
    std::string data;
    const bool alpha = source == Source::Alpha;
    for (std::uint32_t y = 0; y < kHeight; ++y) {
        for (std::uint32_t x = 0; x < kWidth; ++x) {
            const Rgba c = SourcePixel(source, x, y);
            data += static_cast<char>(c.r);
            data += static_cast<char>(c.g);
            data += static_cast<char>(c.b);
            if (alpha) data += static_cast<char>(c.a);
        }
    }
    const std::string size = std::to_string(kWidth) + " " + std::to_string(kHeight);
    if (alpha) {
        return "P7\nWIDTH " + std::to_string(kWidth) + "\nHEIGHT " + std::to_string(kHeight) +
               "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" + data;
    }
    return "P6\n" + size + "\n255\n" + data;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::uint8_t* BytesOf(const std::string& data) {
    return reinterpret_cast<const std::uint8_t*>(data.data());
}

void PutBe32(std::string& data, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) data[at + i] = static_cast<char>(value >> (24 - 8 * i));
}
void PutLe16(std::string& data, std::size_t at, std::uint32_t value) {
    data[at] = static_cast<char>(value);
    data[at + 1] = static_cast<char>(value >> 8);
}
void PutLe32(std::string& data, std::size_t at, std::uint32_t value) {
    PutLe16(data, at, value);
    PutLe16(data, at + 2, value >> 16);
}

// A little-endian TIFF of 8-bit grey, one strip holding pixels; nextPage is the offset written
// as the following directory's (0 for none; 8 points the page at itself).
std::string HandMadeTiff(std::uint32_t width, std::uint32_t height, const std::string& pixels, std::uint32_t nextPage) {
    const std::uint16_t tags[][2] = {{256, 0}, {257, 0}, {258, 8}, {259, 1}, {262, 1}, {273, 0}, {278, 0}, {279, 0}};
    const std::uint32_t entries = std::size(tags);
    const std::uint32_t dataOffset = 8 + 2 + 12 * entries + 4;
    std::string tiff("II*\0\x08\0\0\0", 8);
    tiff.resize(dataOffset);
    PutLe16(tiff, 8, entries);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t at = 10 + 12 * i;
        std::uint32_t value = tags[i][1];
        if (tags[i][0] == 256) value = width;
        if (tags[i][0] == 257 || tags[i][0] == 278) value = height;
        if (tags[i][0] == 273) value = dataOffset;
        if (tags[i][0] == 279) value = width * height;
        PutLe16(tiff, at, tags[i][0]);
        PutLe16(tiff, at + 2, 4);  // LONG
        PutLe32(tiff, at + 4, 1);
        PutLe32(tiff, at + 8, value);
    }
    PutLe32(tiff, 10 + 12 * entries, nextPage);
    return tiff + pixels;
}

class CISImageExTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(temp.path.empty());
        if (std::system("command -v convert >/dev/null 2>&1") != 0) {
            haveConvert = false;
        }
    }

    // Runs ImageMagick: convert INPUT OPTIONS FORMAT:OUTPUT. input may be empty (the options
    // then create the picture). Returns the output path.
    std::string Convert(const std::string& input, const std::string& options, const std::string& format,
                        const std::string& name) {
        const std::string output = temp / name;
        const std::string command = "convert " + (input.empty() ? "" : "'" + input + "' ") + options + " '" + format +
                                    ":" + output + "' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return output;
    }
    std::string Convert(Source source, const std::string& options, const std::string& format, const std::string& name) {
        const std::string input = temp.Write(source == Source::Alpha ? "source.pam" : "source.ppm", SourceFile(source));
        return Convert(input, options, format, name);
    }

    TempFolder temp;
    bool haveConvert = true;
};

#define REQUIRE_CONVERT() \
    if (!haveConvert) GTEST_SKIP() << "ImageMagick's convert is not installed"

TEST_F(CISImageExTest, DetectsEachFormatByContentAndDecodesItsLayout) {
    REQUIRE_CONVERT();
    struct Case {
        const char* name;
        Source source;
        const char* options;
        const char* format;
        int code;
        std::uint32_t depth;
        int paletteCount;
        int tolerance;  // lossy formats
    };
    const Case cases[] = {
        {"png_rgb", Source::Colour, "", "PNG24", CISImageEx::kPng, 24, 0, 0},
        {"png_alpha", Source::Alpha, "", "PNG32", CISImageEx::kPngAlpha, 32, 0, 0},
        {"png_palette", Source::Colour, "", "PNG8", CISImageEx::kPngPalette, 8, 4, 0},
        {"png_grey_1bit", Source::Bilevel, "-type Bilevel", "PNG", CISImageEx::kPng1Bit, 1, 2, 0},
        {"png_palette_1bit", Source::Bilevel, "-define png:bit-depth=1 -define png:color-type=3", "PNG",
         CISImageEx::kPng1Bit, 1, 2, 0},
        {"jpeg_colour", Source::Colour, "-quality 95", "JPEG", CISImageEx::kJpeg, 24, 0, 40},
        {"jpeg_grey", Source::Grey, "-colorspace Gray", "JPEG", CISImageEx::kJpegGrey, 8, 256, 8},
        {"jpeg_cmyk", Source::Colour, "-colorspace CMYK", "JPEG", CISImageEx::kJpeg, 24, 0, 40},
        {"bmp_24", Source::Colour, "-type TrueColor", "BMP3", CISImageEx::kBmp, 24, 0, 0},
        {"bmp_4bit", Source::Colour, "-type Palette", "BMP3", CISImageEx::kBmpIndexed, 8, 16, 0},
        {"bmp_rle8", Source::Colour, "-type Palette -compress RLE", "BMP3", CISImageEx::kBmpIndexed, 8, 256, 0},
        {"bmp_1bit", Source::Bilevel, "-type Bilevel", "BMP3", CISImageEx::kBmp1Bit, 1, 2, 0},
        {"tiff_24", Source::Colour, "-compress LZW", "TIFF", CISImageEx::kTiff, 24, 0, 0},
        {"tiff_palette", Source::Colour, "-type Palette", "TIFF", CISImageEx::kTiffIndexed, 8, 256, 0},
        {"tiff_tiled", Source::Colour, "-define tiff:tile-geometry=16x16", "TIFF", CISImageEx::kTiff, 24, 0, 0},
        // (ImageMagick writes tiled palette files of 2 bits wrongly, so the index tiles are grey.)
        {"tiff_tiled_grey", Source::Grey, "-type Grayscale -define tiff:tile-geometry=16x16", "TIFF",
         CISImageEx::kTiffIndexed, 8, 256, 0},
        {"tiff_grey", Source::Grey, "-type Grayscale", "TIFF", CISImageEx::kTiffIndexed, 8, 256, 0},
        {"tiff_1bit", Source::Bilevel, "-type Bilevel -depth 1", "TIFF", CISImageEx::kTiff1Bit, 1, 2, 0},
        {"tiff_1bit_fax", Source::Bilevel, "-type Bilevel -compress Group4", "TIFF", CISImageEx::kTiff1Bit, 1, 2, 0},
        // libtiff hands out premultiplied colour; undoing it may be one step off.
        {"tiff_alpha", Source::Alpha, "-type TrueColorAlpha", "TIFF", CISImageEx::kTiff32, 32, 0, 2},
        // ImageMagick keeps TGA row order as metadata: -flip makes a true bottom-up file.
        {"tga_bottom_up", Source::Colour, "-flip", "TGA", CISImageEx::kTga, 24, 0, 0},
        {"tga_top_down_rle", Source::Colour, "-orient TopLeft -compress RLE", "TGA", CISImageEx::kTga, 24, 0, 0},
        {"tga_colour_mapped", Source::Colour, "-flip -type Palette", "TGA", CISImageEx::kTgaIndexed, 8, 4, 0},
        {"tga_grey", Source::Grey, "-flip -type Grayscale", "TGA", CISImageEx::kTgaIndexed, 8, 256, 0},
        {"pcx_24", Source::Colour, "", "PCX", CISImageEx::kPcx, 24, 0, 0},
        {"pcx_8", Source::Colour, "-type Palette", "PCX", CISImageEx::kPcxIndexed, 8, 256, 0},
        {"psd_rgb", Source::Colour, "", "PSD", CISImageEx::kPsd, 24, 0, 0},
        {"psd_rgb_uncompressed", Source::Colour, "-compress None", "PSD", CISImageEx::kPsd, 24, 0, 0},
        {"psd_rgb_alpha", Source::Alpha, "", "PSD", CISImageEx::kPsd, 24, 0, 0},
        {"psd_grey", Source::Grey, "-type Grayscale", "PSD", CISImageEx::kPsdIndexed, 8, 256, 0},
        {"psd_indexed", Source::Colour, "-type Palette", "PSD", CISImageEx::kPsdIndexed, 8, 256, 0},
        {"wbmp", Source::Bilevel, "", "WBMP", CISImageEx::kWbmp, 8, 2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // No extension the detection knows: the content alone must tell.
        const std::string path = Convert(c.source, c.options, c.format, std::string(c.name) + ".img");
        CISImageEx image;
        ASSERT_EQ(image.LoadFile(path), 0);
        EXPECT_EQ(image.FormatCode(), c.code);
        EXPECT_EQ(image.Depth(), c.depth);
        EXPECT_EQ(image.PaletteCount(), c.paletteCount);
        EXPECT_EQ(image.SourceName(), path);
        EXPECT_TRUE(image.PixelsOwnedByCodec());
        ASSERT_EQ(image.Width(), kWidth);
        ASSERT_EQ(image.Height(), kHeight);
        for (std::uint32_t y = 0; y < kHeight; ++y) {
            for (std::uint32_t x = 0; x < kWidth; ++x) {
                // Lossy pictures are judged away from the quadrant edges.
                if (c.tolerance > 2 && (x % 7 < 2 || x % 7 > 4 || y % 3 != 1)) continue;
                Rgba want = SourcePixel(c.source, x, y);
                if (want.a == 0) continue;  // colour under full transparency is not kept
                if (c.depth != 32) want.a = 255;
                EXPECT_PRED3(Near, PixelAt(image, x, y), want, c.tolerance) << "at " << x << "," << y;
            }
        }

        // The same bytes from memory decode alike.
        const std::string bytes = ReadFile(path);
        CISImageEx fromMemory;
        ASSERT_EQ(fromMemory.LoadMemory(BytesOf(bytes), bytes.size()), 0);
        EXPECT_EQ(fromMemory.FormatCode(), c.code);
        EXPECT_EQ(fromMemory.SourceName(), "memory");
        ASSERT_EQ(fromMemory.ByteSize(), image.ByteSize());
        EXPECT_EQ(std::memcmp(fromMemory.Pixels(), image.Pixels(), image.ByteSize()), 0);
    }
}

TEST_F(CISImageExTest, TiledTiffsDecodeLikeStrippedOnes) {
    REQUIRE_CONVERT();
    // 40 x 20 spans three tiles across and two down, the last ones only partly used.
    const char* pictures[] = {"-size 20x40 gradient:black-white -rotate 90 -depth 8 -type Grayscale",
                              "-size 20x40 gradient:red-blue -rotate 90 -depth 8 -type TrueColor"};
    for (const char* picture : pictures) {
        SCOPED_TRACE(picture);
        CISImageEx stripped, tiled;
        ASSERT_EQ(stripped.LoadFile(Convert("", picture, "TIFF", "strips.tif")), 0);
        ASSERT_EQ(tiled.LoadFile(
                      Convert("", std::string(picture) + " -define tiff:tile-geometry=16x16", "TIFF", "tiles.tif")),
                  0);
        ASSERT_EQ(tiled.Width(), 40u);
        ASSERT_EQ(tiled.Depth(), stripped.Depth());
        EXPECT_EQ(std::memcmp(tiled.Pixels(), stripped.Pixels(), stripped.ByteSize()), 0);
    }
}

TEST_F(CISImageExTest, OneBitPalettesFollowTheirFormat) {
    REQUIRE_CONVERT();
    // TIFF: always 0 white, 1 black, whichever way the file stores its bits. The others: the
    // file's own two colours.
    const std::string tiff = Convert(Source::Bilevel, "-type Bilevel -depth 1", "TIFF", "bits.tif");
    const std::string fax = Convert(Source::Bilevel, "-type Bilevel -compress Group4", "TIFF", "fax.tif");
    for (const std::string& path : {tiff, fax}) {
        CISImageEx image;
        ASSERT_EQ(image.LoadFile(path), 0) << path;
        EXPECT_EQ(image.Palette()[0], image_codec::MakeEntry(255, 255, 255)) << path;
        EXPECT_EQ(image.Palette()[1], image_codec::MakeEntry(0, 0, 0)) << path;
        EXPECT_EQ(image.Pixels()[0] >> 7, 1) << path;  // the top-left pixel is black
    }
    const std::string png = Convert(Source::Bilevel, "-type Bilevel", "PNG", "bits.png");
    CISImageEx image;
    ASSERT_EQ(image.LoadFile(png), 0);
    EXPECT_EQ(image.Palette()[0], image_codec::MakeEntry(0, 0, 0));
    EXPECT_EQ(image.Palette()[1], image_codec::MakeEntry(255, 255, 255));
}

TEST_F(CISImageExTest, KeepAlphaFalseOnlyDropsThePngAlpha) {
    REQUIRE_CONVERT();
    struct Case {
        const char* format;
        const char* options;
        int code;
        std::uint32_t depth;
    };
    const Case cases[] = {
        {"PNG32", "", CISImageEx::kPng, 24},
        // Only PNG is asked to drop its alpha; a TIFF with alpha stays 32 bits.
        {"TIFF", "-type TrueColorAlpha", CISImageEx::kTiff32, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        const std::string path = Convert(Source::Alpha, c.options, c.format, "alpha.img");
        CISImageEx image;
        ASSERT_EQ(image.LoadFile(path, false), 0);
        EXPECT_EQ(image.FormatCode(), c.code);
        EXPECT_EQ(image.Depth(), c.depth);
        if (c.depth == 24) {
            // Dropped, not blended: the half-transparent green stays full green.
            EXPECT_EQ(PixelAt(image, 10, 0), (Rgba{0, 255, 0, 255}));
        }
    }
}

TEST_F(CISImageExTest, UndetectableContentFallsBackToTheExtension) {
    REQUIRE_CONVERT();
    // A JPEG with a stray byte after its start marker: the content guesser does not know it,
    // the JPEG decoder reads it.
    std::string jpeg = ReadFile(Convert(Source::Colour, "", "JPEG", "plain.jpg"));
    jpeg.insert(2, 1, '\0');
    const std::string garbage = "this is no picture at all, just words";
    const std::string placeableWmf = std::string("\xD7\xCD\xC6\x9A", 4) + std::string(40, '\0');
    std::string emf(88, '\0');
    emf[0] = 1;
    emf.replace(40, 4, " EMF");

    struct Case {
        const char* name;
        std::string contents;
        int result;  // -1: the decoder's own error
    };
    const Case cases[] = {
        {"photo.JPG", jpeg, 0},
        {"photo.jpeg", jpeg, 0},
        {"photo", jpeg, CISImageEx::kInvalid},
        {"photo.jpg.bak", jpeg, CISImageEx::kInvalid},
        {"garbage", garbage, CISImageEx::kInvalid},
        {"garbage.txt", garbage, CISImageEx::kInvalid},
        {"garbage.PNG", garbage, -1},
        {"garbage.Tiff", garbage, -1},
        {"garbage.wbm", garbage, -1},
        // Metafiles are recognised by content before any extension, but not decoded.
        {"clip.png", placeableWmf, CISImageEx::kInvalid},
        {"clip.bmp", emf, CISImageEx::kInvalid},
        {"clip.wmf", garbage, CISImageEx::kInvalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CISImageEx image;
        const int result = image.LoadFile(temp.Write(c.name, c.contents));
        if (c.result == -1) {
            EXPECT_NE(result, 0);
            EXPECT_NE(result, CISImageEx::kInvalid);
        } else {
            EXPECT_EQ(result, c.result);
        }
        if (result == 0) {
            EXPECT_EQ(image.FormatCode(), CISImageEx::kJpeg);
            EXPECT_EQ(image.Width(), kWidth);
        } else {
            EXPECT_TRUE(image.IsEmpty());
        }
    }

    // A memory block has no name to fall back on.
    for (const std::string& contents : {jpeg, garbage, placeableWmf, std::string()}) {
        CISImageEx image;
        EXPECT_EQ(image.LoadMemory(BytesOf(contents), contents.size()), CISImageEx::kInvalid);
        EXPECT_TRUE(image.IsEmpty());
    }
    CISImageEx image;
    EXPECT_EQ(image.LoadMemory(nullptr, 10), CISImageEx::kInvalid);
}

TEST_F(CISImageExTest, RequestedFormatCodesDecideTheDecoder) {
    REQUIRE_CONVERT();
    const std::string png = Convert(Source::Colour, "", "PNG24", "colour.png");
    const std::string bmp = Convert(Source::Colour, "-type Palette", "BMP3", "indexed.bmp");
    struct Case {
        const char* name;
        std::string path;
        int code;
        int page;
        int result;  // -1: the decoder's own error
        std::uint32_t depth;
    };
    const Case cases[] = {
        {"indexed BMP asked for as 24 bits", bmp, CISImageEx::kBmp, 0, 0, 24},
        {"RGB PNG asked for as a palette PNG", png, CISImageEx::kPngPalette, 0, 0, 8},
        {"RGB PNG asked for with alpha", png, CISImageEx::kPngAlpha, 0, 0, 32},
        {"PNG asked for as JPEG", png, CISImageEx::kJpeg, 0, -1, 0},
        {"RGB PNG asked for as 1 bit", png, CISImageEx::kPng1Bit, 0, -1, 0},
        {"metafile code", png, CISImageEx::kWmf, 0, CISImageEx::kInvalid, 0},
        {"Photo CD code", png, CISImageEx::kPcd, 0, CISImageEx::kInvalid, 0},
        {"code out of range", png, 24, 0, CISImageEx::kInvalid, 0},
        {"negative code", png, -1, 0, CISImageEx::kInvalid, 0},
        {"negative page", png, CISImageEx::kUnknown, -1, CISImageEx::kInvalid, 0},
        {"missing file with a code", temp / "missing.png", CISImageEx::kPng, 0, -1, 0},
        {"missing file detected", temp / "missing.png", CISImageEx::kUnknown, 0, CISImageEx::kInvalid, 0},
        {"empty path", "", CISImageEx::kPng, 0, CISImageEx::kEmptyFileName, 0},
        {"folder", temp.path, CISImageEx::kPng, 0, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CISImageEx image;
        const int result = image.LoadFile(c.path, true, c.code, c.page);
        if (c.result == -1) {
            EXPECT_NE(result, 0);
            EXPECT_NE(result, CISImageEx::kInvalid);
            EXPECT_NE(result, CISImageEx::kEmptyFileName);
            continue;
        }
        ASSERT_EQ(result, c.result);
        if (result != 0) continue;
        EXPECT_EQ(image.FormatCode(), c.code);
        EXPECT_EQ(image.Depth(), c.depth);
        for (std::uint32_t y = 0; y < kHeight; ++y) {
            for (std::uint32_t x = 0; x < kWidth; ++x) {
                ASSERT_EQ(PixelAt(image, x, y), SourcePixel(Source::Colour, x, y)) << x << "," << y;
            }
        }
    }
}

TEST_F(CISImageExTest, ResolutionFollowsTheFormatsRules) {
    REQUIRE_CONVERT();
    struct Case {
        const char* name;
        Source source;
        const char* options;
        const char* format;
        int x, y, unit;
    };
    const Case cases[] = {
        // PNG and BMP store dots per metre (72 dpi is 2835): whole dots per centimetre.
        {"png", Source::Colour, "-units PixelsPerInch -density 72", "PNG24", 28, 28, 3},
        {"png aspect only", Source::Colour, "-units Undefined -density 2x3", "PNG24", 2, 3, 1},
        {"png without pHYs", Source::Colour, "", "PNG24", 300, 300, 1},
        {"png with alpha ignores it", Source::Alpha, "-units PixelsPerInch -density 72", "PNG32", 300, 300, 1},
        {"bmp", Source::Colour, "-units PixelsPerInch -density 72", "BMP3", 28, 28, 3},
        {"bmp 1 bit ignores it", Source::Bilevel, "-type Bilevel -units PixelsPerInch -density 72", "BMP3", 300, 300,
         1},
        {"jpeg per inch", Source::Colour, "-units PixelsPerInch -density 72x96", "JPEG", 72, 96, 2},
        {"jpeg per centimetre", Source::Colour, "-units PixelsPerCentimeter -density 40", "JPEG", 40, 40, 3},
        {"tiff per inch", Source::Colour, "-units PixelsPerInch -density 150", "TIFF", 150, 150, 2},
        {"tiff per centimetre", Source::Colour, "-units PixelsPerCentimeter -density 60", "TIFF", 60, 60, 3},
        {"tga has none", Source::Colour, "-units PixelsPerInch -density 72", "TGA", 300, 300, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CISImageEx image;
        ASSERT_EQ(image.LoadFile(Convert(c.source, c.options, c.format, "res.img")), 0);
        EXPECT_EQ(image.ResolutionX(), c.x);
        EXPECT_EQ(image.ResolutionY(), c.y);
        EXPECT_EQ(image.ResolutionUnit(), c.unit);
    }
}

TEST_F(CISImageExTest, TiffWithUnequalResolutionIsStretchedToItsAspect) {
    REQUIRE_CONVERT();
    struct Case {
        const char* density;
        Source source;
        const char* options;
        int code;
        std::uint32_t height;
    };
    const Case cases[] = {
        {"200x100", Source::Colour, "", CISImageEx::kTiff, 2 * kHeight},
        {"200x170", Source::Colour, "", CISImageEx::kTiff, kHeight},  // ratio 0.85: close enough
        {"200x100", Source::Colour, "-type Palette", CISImageEx::kTiffIndexed, 2 * kHeight},
        {"100x200", Source::Colour, "", CISImageEx::kTiff, kHeight / 2},
        {"200x100", Source::Bilevel, "-type Bilevel -depth 1", CISImageEx::kTiff1Bit, kHeight},
        {"200x100", Source::Alpha, "-type TrueColorAlpha", CISImageEx::kTiff32, kHeight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.density) + " " + c.options);
        const std::string options = std::string("-units PixelsPerInch -density ") + c.density + " " + c.options;
        CISImageEx image;
        ASSERT_EQ(image.LoadFile(Convert(c.source, options, "TIFF", "fax.tif")), 0);
        EXPECT_EQ(image.FormatCode(), c.code);
        EXPECT_EQ(image.Width(), kWidth);
        EXPECT_EQ(image.Height(), c.height);
        EXPECT_EQ(image.ResolutionUnit(), CISImageEx::kUnitInch);
        // The picture is stretched, not cropped: the bottom row shows the bottom quadrants.
        EXPECT_EQ(PixelAt(image, 0, image.Height() - 1).b, SourcePixel(c.source, 0, kHeight - 1).b);
    }
}

TEST_F(CISImageExTest, TiffPagesAreChosenByIndex) {
    REQUIRE_CONVERT();
    const std::string pages = Convert("", "-size 3x2 xc:red -size 5x4 xc:lime -size 7x6 xc:blue", "TIFF", "pages.tif");
    const std::string thousand =
        Convert("", "-size 1x1 xc:red -duplicate 998 -size 2x1 xc:blue", "TIFF", "thousand.tif");
    // A page whose next-page link points back at itself.
    const std::string loop = temp.Write("loop.tif", HandMadeTiff(2, 1, "\x10\x20", 8));
    struct Case {
        std::string path;
        int page;
        bool loads;
        std::uint32_t width;
    };
    const Case cases[] = {
        {pages, 0, true, 3},    {pages, 1, true, 5},      {pages, 2, true, 7},        {pages, 3, false, 0},
        {thousand, 0, true, 1}, {thousand, 999, true, 2}, {thousand, 1000, false, 0}, {thousand, 1 << 30, false, 0},
        {loop, 0, true, 2},     {loop, 1, false, 0},      {loop, 5, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " page " + std::to_string(c.page));
        CISImageEx image;
        const int result = image.LoadFile(c.path, true, CISImageEx::kUnknown, c.page);
        if (!c.loads) {
            EXPECT_NE(result, 0);
            EXPECT_TRUE(image.IsEmpty());
            continue;
        }
        ASSERT_EQ(result, 0);
        EXPECT_EQ(image.Width(), c.width);
        EXPECT_EQ(image.Page(), c.page);
    }
}

TEST_F(CISImageExTest, BadInputFailsCleanly) {
    REQUIRE_CONVERT();
    // A 64 x 64 noise picture, so that every format has data worth cutting.
    std::string noise = "P6\n64 64\n255\n";
    std::uint32_t seed = 12345;
    for (int i = 0; i < 64 * 64 * 3; ++i) {
        seed = seed * 1103515245 + 12345;
        noise += static_cast<char>(seed >> 24);
    }
    const std::string input = temp.Write("noise.ppm", noise);
    auto make = [&](const char* options, const char* format) {
        return ReadFile(Convert(input, options, format, "made.img"));
    };
    auto cut = [](std::string data) { return data.substr(0, data.size() / 2); };

    std::string pngLying = make("", "PNG24");
    PutBe32(pngLying, 16, 16000);
    PutBe32(pngLying, 20, 16000);
    PutBe32(pngLying, 29, static_cast<std::uint32_t>(crc32(0, BytesOf(pngLying) + 12, 17)));

    // The frame header's height and width follow the FF C0 marker, its length and precision.
    std::string jpegLying = make("", "JPEG");
    const std::size_t frame = jpegLying.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    jpegLying[frame + 5] = jpegLying[frame + 7] = '\x27';  // 10000 x 10000
    jpegLying[frame + 6] = jpegLying[frame + 8] = '\x10';

    std::string bmpHuge = make("-type TrueColor", "BMP3");
    PutLe32(bmpHuge, 18, 30000);
    PutLe32(bmpHuge, 22, 30000);
    std::string bmpLying = make("-type TrueColor", "BMP3");
    PutLe32(bmpLying, 18, 16000);
    PutLe32(bmpLying, 22, 16000);
    std::string bmpIndexedLying = make("-colors 16", "BMP3");
    PutLe32(bmpIndexedLying, 22, 16000);
    std::string tgaLying = make("", "TGA");
    PutLe16(tgaLying, 12, 16000);
    PutLe16(tgaLying, 14, 16000);
    std::string tgaRunsLying = make("-compress RLE", "TGA");
    PutLe16(tgaRunsLying, 12, 16000);
    PutLe16(tgaRunsLying, 14, 16000);
    std::string pcxLying = make("", "PCX");
    PutLe16(pcxLying, 8, 15999);
    PutLe16(pcxLying, 10, 15999);
    PutLe16(pcxLying, 66, 16000);  // bytes per plane line
    std::string psdLying = make("", "PSD");
    PutBe32(psdLying, 14, 16000);
    PutBe32(psdLying, 18, 16000);
    const std::string wbmpLying = std::string("\0\0\xFD\x00\xFD\x00", 6) + std::string(64, '\xFF');

    struct Case {
        const char* name;
        const char* extension;  // lets the decoder try formats whose content no longer convinces
        std::string contents;
    };
    const Case cases[] = {
        {"truncated PNG", ".png", cut(make("", "PNG24"))},
        {"PNG claiming 16000 x 16000", ".png", pngLying},
        {"truncated JPEG", ".jpg", cut(make("", "JPEG"))},
        {"truncated progressive JPEG", ".jpg", cut(make("-interlace Plane", "JPEG"))},
        {"JPEG claiming 10000 x 10000", ".jpg", jpegLying},
        {"BMP claiming 30000 x 30000", ".bmp", bmpHuge},
        {"BMP claiming 16000 x 16000", ".bmp", bmpLying},
        {"indexed BMP claiming 16000 rows", ".bmp", bmpIndexedLying},
        {"truncated BMP", ".bmp", cut(make("-type TrueColor", "BMP3"))},
        {"truncated TIFF", ".tif", cut(make("", "TIFF"))},
        {"TIFF claiming 16000 x 16000", ".tif", HandMadeTiff(16000, 16000, "\x01\x02", 0)},
        {"TGA claiming 16000 x 16000", ".tga", tgaLying},
        {"run-length TGA claiming 16000 x 16000", ".tga", tgaRunsLying},
        {"truncated PCX", ".pcx", cut(make("", "PCX"))},
        {"PCX claiming 16000 x 16000", ".pcx", pcxLying},
        {"truncated PSD", ".psd", cut(make("", "PSD"))},
        {"PSD claiming 16000 x 16000", ".psd", psdLying},
        {"WBMP claiming 16000 x 16000", ".wbmp", wbmpLying},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CISImageEx image;
        const int result = image.LoadFile(temp.Write(std::string("bad") + c.extension, c.contents));
        EXPECT_NE(result, 0);
        EXPECT_NE(result, CISImageEx::kInvalid);  // the decoder refused it, not the detection
        EXPECT_TRUE(image.IsEmpty());
        EXPECT_NE(image.LoadMemory(BytesOf(c.contents), c.contents.size()), 0);
        EXPECT_TRUE(image.IsEmpty());
    }
}

// An image of the given depth filled with the colours, row by row; 1 and 8 bits get a palette
// of the distinct colours.
CISImageEx MakeImage(std::uint32_t width, std::uint32_t height, std::uint32_t depth, const std::vector<Rgba>& colours) {
    CISImageEx image;
    EXPECT_EQ(image.Allocate(width, height, depth), 0);
    std::vector<PaletteEntry> palette;
    std::memset(image.Pixels(), 0, image.ByteSize());
    for (std::uint32_t i = 0; i < width * height; ++i) {
        const Rgba& c = colours[i];
        std::uint8_t* row = image.Pixels() + image.RowBytes() * (i / width);
        const std::uint32_t x = i % width;
        if (depth >= 24) {
            std::uint8_t* p = row + depth / 8 * x;
            p[0] = static_cast<std::uint8_t>(c.r);
            p[1] = static_cast<std::uint8_t>(c.g);
            p[2] = static_cast<std::uint8_t>(c.b);
            if (depth == 32) p[3] = static_cast<std::uint8_t>(c.a);
            continue;
        }
        const PaletteEntry entry = image_codec::MakeEntry(
            static_cast<std::uint8_t>(c.r), static_cast<std::uint8_t>(c.g), static_cast<std::uint8_t>(c.b));
        std::size_t index = std::find(palette.begin(), palette.end(), entry) - palette.begin();
        if (index == palette.size()) palette.push_back(entry);
        if (depth == 8) {
            row[x] = static_cast<std::uint8_t>(index);
        } else if (index) {
            row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
    if (depth <= 8) image.SetPalette(palette.data(), static_cast<int>(palette.size()));
    return image;
}

void ExpectColours(const CISImageEx& image, const std::vector<Rgba>& colours, int tolerance = 0) {
    for (std::uint32_t i = 0; i < image.Width() * image.Height(); ++i) {
        EXPECT_PRED3(Near, PixelAt(image, i % image.Width(), i / image.Width()), colours[i], tolerance)
            << "pixel " << i;
    }
}

TEST(CISImageExConversion, ConversionsBetweenDepthsKeepTheColours) {
    const std::vector<Rgba> six = {{255, 0, 0, 255},     {0, 255, 0, 255}, {0, 0, 255, 255},
                                   {255, 255, 255, 255}, {0, 0, 0, 255},   {10, 20, 30, 255}};
    const std::vector<Rgba> two = {{200, 10, 10, 255}, {10, 10, 200, 255}, {10, 10, 200, 255},
                                   {200, 10, 10, 255}, {200, 10, 10, 255}, {10, 10, 200, 255}};
    struct Case {
        const char* name;
        std::uint32_t from;
        const std::vector<Rgba>* colours;
        int (*convert)(CISImageEx&);
        std::uint32_t depth;
        int paletteCount;
    };
    const Case cases[] = {
        {"24 to 8", 24, &six, [](CISImageEx& i) { return i.ConvertTo8(); }, 8, 256},
        {"24 to 32", 24, &six, [](CISImageEx& i) { return i.ConvertTo32(); }, 32, 0},
        {"24 to 24", 24, &six, [](CISImageEx& i) { return i.ConvertTo24(); }, 24, 0},
        {"8 to 24", 8, &six, [](CISImageEx& i) { return i.ConvertTo24(); }, 24, 0},
        {"8 to 32", 8, &six, [](CISImageEx& i) { return i.ConvertTo32(); }, 32, 0},
        {"8 to 8", 8, &six, [](CISImageEx& i) { return i.ConvertTo8(); }, 8, 6},
        {"1 to 8", 1, &two, [](CISImageEx& i) { return i.ConvertTo8(); }, 8, 256},
        {"1 to 24", 1, &two, [](CISImageEx& i) { return i.ConvertTo24(); }, 24, 0},
        {"1 to 32", 1, &two, [](CISImageEx& i) { return i.ConvertTo32(); }, 32, 0},
        {"32 to 24", 32, &six, [](CISImageEx& i) { return i.ConvertTo24(); }, 24, 0},
        {"32 to 32", 32, &six, [](CISImageEx& i) { return i.ConvertTo32(); }, 32, 0},
        {"24 to 8 to 24", 24, &six, [](CISImageEx& i) { return i.ConvertTo8() ? 1 : i.ConvertTo24(); }, 24, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CISImageEx image = MakeImage(3, 2, c.from, *c.colours);
        ASSERT_EQ(c.convert(image), 0);
        EXPECT_EQ(image.Depth(), c.depth);
        EXPECT_EQ(image.PaletteCount(), c.paletteCount);
        ExpectColours(image, *c.colours);
    }
}

TEST(CISImageExConversion, ConvertTo8MapsOntoAGivenOrComputedPalette) {
    // Onto a given palette: exact colours take their entry, others the nearest.
    std::vector<PaletteEntry> palette(300);
    palette[0] = image_codec::MakeEntry(0, 0, 0);
    palette[1] = image_codec::MakeEntry(255, 0, 0);
    palette[2] = image_codec::MakeEntry(0, 0, 255);
    palette[3] = image_codec::MakeEntry(255, 0, 0);  // a duplicate: the first one wins
    for (int i = 4; i < 300; ++i) palette[i] = image_codec::MakeEntry(0, 0, 250);
    CISImageEx image = MakeImage(4, 1, 24, {{255, 0, 0, 255}, {0, 0, 255, 255}, {240, 20, 10, 255}, {5, 5, 5, 255}});
    ASSERT_EQ(image.ConvertTo8(palette.data(), 300), 0);
    EXPECT_EQ(image.PaletteCount(), 256);
    const std::vector<int> indices(image.Pixels(), image.Pixels() + 4);
    EXPECT_EQ(indices, (std::vector<int>{1, 2, 1, 0}));

    // Computed: a picture of more than 256 colours lands on the colour cube, within half a step.
    std::vector<Rgba> ramp;
    for (int i = 0; i < 32 * 32; ++i) ramp.push_back({(i % 32) * 8, (i / 32) * 8, 255 - (i % 32) * 8, 255});
    CISImageEx many = MakeImage(32, 32, 24, ramp);
    ASSERT_EQ(many.ConvertTo8(), 0);
    EXPECT_EQ(many.Depth(), 8u);
    ExpectColours(many, ramp, 26);
}

TEST(CISImageExConversion, FailedOrEmptyConversionsChangeNothing) {
    CISImageEx empty;
    EXPECT_EQ(empty.ConvertTo8(), CISImageEx::kInvalid);
    EXPECT_EQ(empty.ConvertTo24(), CISImageEx::kInvalid);
    EXPECT_EQ(empty.ConvertTo32(), CISImageEx::kInvalid);
    EXPECT_EQ(empty.Resize(2, 2), CISImageEx::kInvalid);
    EXPECT_TRUE(empty.IsEmpty());

    const std::vector<Rgba> colours = {{1, 2, 3, 4}, {5, 6, 7, 8}};
    CISImageEx image = MakeImage(2, 1, 32, colours);
    EXPECT_EQ(image.ConvertTo8(), CISImageEx::kInvalid);  // 32 bits do not go to 8 directly
    EXPECT_NE(image.Resize(20000, 20000), 0);
    EXPECT_EQ(image.Resize(0, 1), CISImageEx::kInvalid);
    EXPECT_EQ(image.Depth(), 32u);
    EXPECT_EQ(image.Width(), 2u);
    ExpectColours(image, colours);
}

TEST_F(CISImageExTest, ConversionsKeepWhereThePictureCameFrom) {
    REQUIRE_CONVERT();
    const std::string path = Convert(Source::Colour, "-units PixelsPerInch -density 150", "TIFF", "kept.tif");
    CISImageEx image;
    ASSERT_EQ(image.LoadFile(path), 0);
    ASSERT_EQ(image.ConvertTo32(), 0);
    ASSERT_EQ(image.Resize(4, 4), 0);
    EXPECT_EQ(image.FormatCode(), CISImageEx::kTiff);
    EXPECT_EQ(image.SourceName(), path);
    EXPECT_EQ(image.ResolutionX(), 150);
    EXPECT_EQ(image.ResolutionUnit(), CISImageEx::kUnitInch);
}

TEST(CISImageExResize, SameSizeChangesNothing) {
    // Two entries of one colour: resampling would pick the first, a plain copy keeps index 1.
    CISImageEx image;
    ASSERT_EQ(image.Allocate(3, 1, 8), 0);
    const PaletteEntry twins[] = {image_codec::MakeEntry(9, 9, 9), image_codec::MakeEntry(9, 9, 9)};
    image.SetPalette(twins, 2);
    std::memset(image.Pixels(), 1, 3);
    ASSERT_EQ(image.Resize(3, 1), 0);
    EXPECT_EQ(std::vector<int>(image.Pixels(), image.Pixels() + 3), (std::vector<int>{1, 1, 1}));
}

TEST(CISImageExResize, BilinearSamplesBetweenPixelCentres) {
    // 2 x 2 of red 0, 100, 200, 40: to 3 x 3 the corners stay, the middle of each edge is the
    // mean of its two corners and the centre the mean of all four.
    const std::vector<Rgba> square = {{0, 0, 0, 255}, {100, 0, 0, 255}, {200, 0, 0, 255}, {40, 0, 0, 255}};
    struct Case {
        std::uint32_t width, height;
        std::vector<int> reds;
    };
    const Case cases[] = {
        {3, 3, {0, 50, 100, 100, 85, 70, 200, 120, 40}},
        // To 4 x 1: a quarter and three quarters of the way across, rows averaged.
        {4, 1, {100, 93, 78, 70}},
        {1, 1, {85}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        CISImageEx image = MakeImage(2, 2, 24, square);
        ASSERT_EQ(image.Resize(c.width, c.height), 0);
        ASSERT_EQ(image.Depth(), 24u);
        std::vector<int> reds;
        for (std::uint32_t i = 0; i < c.width * c.height; ++i) reds.push_back(image.Pixels()[3 * i]);
        EXPECT_EQ(reds, c.reds);
    }
}

TEST(CISImageExResize, EachDepthResamplesInItsOwnTerms) {
    // 32 bits: a transparent neighbour lends alpha but no colour.
    CISImageEx alpha = MakeImage(2, 1, 32, {{255, 0, 0, 255}, {0, 0, 255, 0}});
    ASSERT_EQ(alpha.Resize(3, 1), 0);
    EXPECT_EQ(PixelAt(alpha, 1, 0), (Rgba{255, 0, 0, 128}));

    // 8 bits: the mean colour mapped back onto the palette.
    std::vector<Rgba> greys;
    CISImageEx grey;
    ASSERT_EQ(grey.Allocate(2, 1, 8), 0);
    std::vector<PaletteEntry> ramp;
    for (int i = 0; i < 256; ++i) ramp.push_back(image_codec::MakeEntry(i, i, i));
    grey.SetPalette(ramp.data(), 256);
    grey.Pixels()[0] = 0;
    grey.Pixels()[1] = 254;
    ASSERT_EQ(grey.Resize(3, 1), 0);
    EXPECT_EQ(grey.Depth(), 8u);
    EXPECT_EQ(grey.Pixels()[1], 127);

    // 1 bit stays 1 bit with its two colours.
    CISImageEx bits = MakeImage(2, 2, 1, {{0, 0, 0, 255}, {255, 255, 255, 255}, {255, 255, 255, 255}, {0, 0, 0, 255}});
    ASSERT_EQ(bits.Resize(9, 5), 0);
    EXPECT_EQ(bits.Depth(), 1u);
    EXPECT_EQ(bits.PaletteCount(), 2);
    EXPECT_EQ(bits.RowBytes(), 2u);
    EXPECT_EQ(PixelAt(bits, 0, 0), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(PixelAt(bits, 8, 0), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(PixelAt(bits, 0, 4), (Rgba{255, 255, 255, 255}));
}

// A surface of 4 x 3 pixels with two bytes of padding after each row, filled with one colour.
struct TestSurface {
    explicit TestSurface(std::uint8_t b, std::uint8_t g, std::uint8_t r) : bytes(kStride * 3, 0xEE) {
        const std::uint8_t pixel[4] = {b, g, r, 255};
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) std::memcpy(&bytes[y * kStride + 4 * x], pixel, 4);
        }
    }
    RasterSurface Surface() { return {bytes.data(), 4, 3, kStride}; }
    // Blue, green, red, alpha as stored.
    std::vector<int> At(int x, int y) const {
        return {bytes[y * kStride + 4 * x], bytes[y * kStride + 4 * x + 1], bytes[y * kStride + 4 * x + 2],
                bytes[y * kStride + 4 * x + 3]};
    }
    static constexpr int kStride = 18;
    std::vector<std::uint8_t> bytes;
};

TEST(CISImageExDraw, OpaqueDepthsCopyAndAlphaBlends) {
    struct Case {
        const char* name;
        std::uint32_t depth;
        Rgba colour;
        std::vector<int> drawn;  // B, G, R, A on a surface of red 50, green 100, blue 255
    };
    const Case cases[] = {
        {"24 bits copy", 24, {10, 20, 30, 255}, {30, 20, 10, 255}},
        {"8 bits through the palette", 8, {10, 20, 30, 255}, {30, 20, 10, 255}},
        {"1 bit through the palette", 1, {10, 20, 30, 255}, {30, 20, 10, 255}},
        {"32 bits opaque", 32, {10, 20, 30, 255}, {30, 20, 10, 255}},
        // 255 * 128/255 + 50 * 127/255 = 153.4, 100 * 127/255 = 49.8, 255 * 127/255 = 127
        {"32 bits half transparent red", 32, {255, 0, 0, 128}, {127, 50, 153, 255}},
        {"32 bits transparent", 32, {255, 0, 0, 0}, {255, 100, 50, 255}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CISImageEx image = MakeImage(1, 1, c.depth, {c.colour});
        TestSurface surface(255, 100, 50);
        ASSERT_EQ(image.Draw(surface.Surface(), 1, 1), 0);
        EXPECT_EQ(surface.At(1, 1), c.drawn);
        EXPECT_EQ(surface.At(0, 0), (std::vector<int>{255, 100, 50, 255}));
        EXPECT_EQ(surface.At(2, 1), (std::vector<int>{255, 100, 50, 255}));
    }
}

TEST(CISImageExDraw, ClipsToTheSurface) {
    std::vector<Rgba> colours;
    for (int i = 0; i < 9; ++i) colours.push_back({i, 0, 0, 255});
    struct Case {
        int x, y;
        std::vector<std::vector<int>> reds;  // per surface row; -1 untouched
    };
    const Case cases[] = {
        {-1, -1, {{4, 5, -1, -1}, {7, 8, -1, -1}, {-1, -1, -1, -1}}},
        {3, 2, {{-1, -1, -1, -1}, {-1, -1, -1, -1}, {-1, -1, -1, 0}}},
        {2, -2, {{-1, -1, 6, 7}, {-1, -1, -1, -1}, {-1, -1, -1, -1}}},
        {4, 0, {{-1, -1, -1, -1}, {-1, -1, -1, -1}, {-1, -1, -1, -1}}},
        {-3, 0, {{-1, -1, -1, -1}, {-1, -1, -1, -1}, {-1, -1, -1, -1}}},
        {-2147483647, 2147483647, {{-1, -1, -1, -1}, {-1, -1, -1, -1}, {-1, -1, -1, -1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        CISImageEx image = MakeImage(3, 3, 24, colours);
        TestSurface surface(0, 0, 200);
        ASSERT_EQ(image.Draw(surface.Surface(), c.x, c.y), 0);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                const int want = c.reds[y][x] < 0 ? 200 : c.reds[y][x];
                EXPECT_EQ(surface.At(x, y)[2], want) << x << "," << y;
            }
            // The padding after each row is never written.
            EXPECT_EQ(surface.bytes[y * TestSurface::kStride + 16], 0xEE);
            EXPECT_EQ(surface.bytes[y * TestSurface::kStride + 17], 0xEE);
        }
    }
    CISImageEx empty;
    TestSurface surface(0, 0, 0);
    EXPECT_EQ(empty.Draw(surface.Surface(), 0, 0), CISImageEx::kInvalid);
}

TEST(CISImageExLifecycle, AllocateChecksSizeAndDepth) {
    struct Case {
        std::uint32_t width, height, depth;
        int result;
        std::size_t rowBytes;
    };
    const Case cases[] = {
        {13, 2, 1, 0, 2},
        {13, 2, 8, 0, 13},
        {13, 2, 24, 0, 39},
        {13, 2, 32, 0, 52},
        {13, 2, 16, CISImageEx::kInvalid, 0},
        {0, 2, 24, CISImageEx::kInvalid, 0},
        {20000, 20000, 32, CISImageEx::kOutOfMemory, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "x" + std::to_string(c.depth));
        CISImageEx image = MakeImage(1, 1, 24, {{1, 2, 3, 255}});
        EXPECT_EQ(image.Allocate(c.width, c.height, c.depth), c.result);
        EXPECT_EQ(image.RowBytes(), c.rowBytes);
        EXPECT_EQ(image.IsEmpty(), c.result != 0);
        if (c.result == 0) {
            EXPECT_EQ(image.ByteSize(), c.rowBytes * c.height);
            EXPECT_FALSE(image.PixelsOwnedByCodec());
        }
    }
}

TEST_F(CISImageExTest, CopyFromAndTakeFromHandOverTheRaster) {
    REQUIRE_CONVERT();
    const std::string path = Convert(Source::Colour, "", "PNG8", "copy.png");
    CISImageEx original;
    ASSERT_EQ(original.LoadFile(path), 0);

    CISImageEx copy;
    ASSERT_EQ(copy.CopyFrom(original), 0);
    EXPECT_EQ(copy.SourceName(), path);
    EXPECT_EQ(copy.FormatCode(), CISImageEx::kPngPalette);
    EXPECT_EQ(copy.PaletteCount(), original.PaletteCount());
    EXPECT_EQ(copy.Palette(), original.Palette());
    EXPECT_FALSE(copy.PixelsOwnedByCodec());
    copy.Pixels()[0] ^= 1;  // a deep copy: the original keeps its pixels
    EXPECT_EQ(PixelAt(original, 0, 0), SourcePixel(Source::Colour, 0, 0));

    CISImageEx taker = MakeImage(1, 1, 24, {{1, 2, 3, 255}});
    const std::uint8_t* pixels = original.Pixels();
    ASSERT_EQ(taker.TakeFrom(original), 0);
    EXPECT_EQ(taker.Pixels(), pixels);  // moved, not copied
    EXPECT_EQ(taker.Width(), kWidth);
    EXPECT_EQ(taker.Depth(), 8u);
    EXPECT_EQ(taker.FormatCode(), CISImageEx::kPngPalette);
    EXPECT_TRUE(taker.PixelsOwnedByCodec());
    EXPECT_EQ(taker.SourceName(), "");  // the name stays with the image, not the pixels
    EXPECT_TRUE(original.IsEmpty());
    EXPECT_EQ(original.Width(), 0u);
    EXPECT_EQ(original.PaletteCount(), 0);

    // Nothing to take or copy: 5, and the image keeps what it had.
    EXPECT_EQ(taker.TakeFrom(original), CISImageEx::kInvalid);
    EXPECT_EQ(taker.CopyFrom(original), CISImageEx::kInvalid);
    EXPECT_EQ(taker.Pixels(), pixels);
}

TEST_F(CISImageExTest, LoadFileFreesFirstAndQueryImageSizeLeavesFailuresAlone) {
    REQUIRE_CONVERT();
    const std::string path = Convert(Source::Colour, "", "PNG24", "size.png");
    CISImageEx image;
    ASSERT_EQ(image.LoadFile(path), 0);
    EXPECT_EQ(image.LoadFile(temp / "missing.png"), CISImageEx::kInvalid);
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.Depth(), 0u);

    std::uint32_t width = 77, height = 88;
    EXPECT_NE(QueryImageSize(temp / "missing.png", width, height), 0);
    EXPECT_NE(QueryImageSize(temp.Write("words.txt", "no picture"), width, height), 0);
    EXPECT_EQ(width, 77u);
    EXPECT_EQ(height, 88u);
    EXPECT_EQ(QueryImageSize(path, width, height), 0);
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
}

TEST_F(CISImageExTest, AJpegWithADrawnSizeDecodesInEighthsNoSmallerThanIt) {
    REQUIRE_CONVERT();
    const std::string jpeg = Convert("", "-size 2000x1000 gradient:white-black", "JPEG", "wide.jpg");
    const std::string png = Convert("", "-size 200x100 xc:red", "PNG24", "wide.png");
    struct Case {
        const std::string* path;
        image_codec::DrawSize drawn;
        std::uint32_t width, height;
    };
    const Case cases[] = {
        {&jpeg, {0, 0}, 2000, 1000},        // no size: as stored
        {&jpeg, {100, 100}, 250, 125},      // an eighth is enough
        {&jpeg, {300, 100}, 500, 250},      // the wider side needs two eighths
        {&jpeg, {1001, 10}, 1250, 625},     // just past half: five eighths
        {&jpeg, {4000, 4000}, 2000, 1000},  // never larger than stored
        {&png, {10, 10}, 200, 100},         // only JPEG decodes smaller
    };
    for (const Case& c : cases) {
        CISImageEx image;
        ASSERT_EQ(image.LoadFile(*c.path, true, CISImageEx::kUnknown, 0, c.drawn), 0);
        EXPECT_EQ(image.Width(), c.width) << c.drawn.width << " x " << c.drawn.height;
        EXPECT_EQ(image.Height(), c.height) << c.drawn.width << " x " << c.drawn.height;
    }
}

}  // namespace

namespace {

// A TIFF of one pixel whose stored bits per sample and samples per pixel are given.
std::vector<std::uint8_t> TiffWithSamples(std::uint16_t bits, std::uint16_t samples) {
    std::vector<std::uint8_t> out = {'I', 'I', 42, 0, 8, 0, 0, 0};
    auto u16 = [&](unsigned v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    auto u32 = [&](unsigned v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    struct Entry {
        unsigned tag, type, value;
    };
    const Entry entries[] = {{256, 4, 1},   {257, 4, 1},       {258, 3, bits}, {259, 3, 1}, {262, 3, 1},
                             {273, 4, 200}, {277, 3, samples}, {278, 4, 1},    {279, 4, 1}};
    u16(std::size(entries));
    for (const Entry& e : entries) {
        u16(e.tag);
        u16(e.type);
        u32(1);
        if (e.type == 3) {
            u16(e.value);
            u16(0);
        } else {
            u32(e.value);
        }
    }
    u32(0);
    out.resize(220, 0);
    return out;
}

TEST(ImageCodecs, TiffHeadersWithHugeSampleValuesDoNotOverflow) {
    image_codec::HeaderInfo info;
    std::vector<std::uint8_t> tiff = TiffWithSamples(39170, 62977);
    ASSERT_EQ(image_codec::ReadHeader(image_codec::Family::Tiff, tiff, 0, info), 0);
    EXPECT_EQ(info.bitsPerPixel, 0x7FFFFFFF) << "the product is past any int: it is clamped, not overflowed";
    std::vector<std::uint8_t> plain = TiffWithSamples(8, 3);
    ASSERT_EQ(image_codec::ReadHeader(image_codec::Family::Tiff, plain, 0, info), 0);
    EXPECT_EQ(info.bitsPerPixel, 24);
}

}  // namespace

namespace {

TEST(DecodedPixelBudget, PicturesPastTheRunsBudgetDoNotDecodeUntilOthersGo) {
    using namespace image_codec;
    const std::uint64_t before = DecodedBytesInUse();
    // Three quarters of the budget in one raster (allocated, never touched: it costs no memory).
    const std::uint32_t side = 16384;
    Raster big;
    ASSERT_EQ(AllocateRaster(big, side, side * 3 / 4, 8), 0);
    EXPECT_EQ(DecodedBytesInUse() - before, kDecodedByteBudget * 3 / 4);
    Raster second;
    EXPECT_EQ(AllocateRaster(second, side, side * 3 / 4, 8), kErrorTooLarge) << "past the budget";
    EXPECT_EQ(AllocateRaster(second, 64, 64, 32), 0) << "a small one still fits";
    big = Raster();
    EXPECT_EQ(AllocateRaster(second, side, side * 3 / 4, 8), 0) << "the first gave its bytes back";
    second = Raster();
    EXPECT_EQ(DecodedBytesInUse(), before);
}

}  // namespace
