#include "view/buttons/kx_button.h"

#include "project/zip_writer.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutBigEndian(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(Bytes& out, const char* type, const Bytes& data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBigEndian(out, static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size()))));
}

// A width x height RGBA PNG filled with one colour.
Bytes MakePng(std::uint32_t width, std::uint32_t height, std::uint8_t r, std::uint8_t g, std::uint8_t b,
              std::uint8_t a = 255) {
    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, no interlace
    PutChunk(png, "IHDR", header);
    Bytes raw;
    for (std::uint32_t y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (std::uint32_t x = 0; x < width; ++x) raw.insert(raw.end(), {r, g, b, a});
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    Bytes packed(packedSize);
    compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()));
    packed.resize(packedSize);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", {});
    return png;
}

Bytes AsBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// One state's element; an empty image name leaves Image out.
std::string StateXml(const std::string& tag, const std::string& image, const std::string& extra = "") {
    std::string xml = "<" + tag + ">";
    if (!image.empty()) xml += "<Image>" + image + "</Image>";
    return xml + extra + "</" + tag + ">";
}

std::string GroupXml(const std::string& tag, const std::string& image) {
    return "<" + tag + ">" + StateXml("Normal", image) + StateXml("Highlight", image) + StateXml("Disabled", image) +
           "</" + tag + ">";
}

// A minimal valid manifest: every state shows a.png.
std::string Manifest(const std::string& extra = "") {
    return "<KX_Button>" + extra + GroupXml("Up", "a.png") + GroupXml("Down", "a.png") + "</KX_Button>";
}

class KXButtonTest : public ::testing::Test {
protected:
    // Writes a button file with the manifest and the pictures; returns its path.
    std::string WriteButton(const std::string& manifest,
                            const std::map<std::string, Bytes>& pictures = {{"a.png", MakePng(4, 2, 255, 0, 0)}}) {
        std::vector<ZipEntryToWrite> entries;
        entries.push_back({"_manifest.xml", AsBytes(manifest), false});
        for (const auto& [name, bytes] : pictures) entries.push_back({name, bytes, false});
        std::string path = folder / ("button" + std::to_string(++count) + ".btn");
        std::string error;
        EXPECT_TRUE(WriteZipArchive(path, entries, "", &error)) << error;
        return path;
    }

    TempFolder folder;
    int count = 0;
    CKXButton button;
};

TEST_F(KXButtonTest, ReadsEveryManifestValue) {
    std::string manifest =
        "<?xml version=\"1.0\"?>\n<KX_Button><Version>1</Version><Type>2</Type>"
        "<Info><Name>Blue &amp; round</Name><Desc>d</Desc><Author>au</Author>"
        "<Copyright>c</Copyright><URL>u</URL><Email>e</Email><Other>o</Other></Info>"
        "<HitThreshold> -1</HitThreshold><Unknown>9</Unknown>"
        "<Caption><CenterY>40</CenterY><Text>Go</Text><CenterX>+30px</CenterX>"
        "<Font><Face>Tahoma</Face><CharSet>1</CharSet><Size>9</Size><Bold>1</Bold>"
        "<Italic>1</Italic><Underline>1</Underline><Strikeout>1</Strikeout></Font></Caption>"
        // Children in any order, groups included.
        "<Down>" +
        StateXml("Disabled", "a.png", "<DeltaY>3</DeltaY>") +
        StateXml("Normal", "a.png", "<DeltaX>-2</DeltaX><FontColor>0x00FF00</FontColor>") +
        StateXml("Highlight", "a.png") + "</Down>" + "<Up>" +
        StateXml("Normal", "a.png", "<FontColor>FF0000</FontColor><DeltaX>5</DeltaX>") +
        StateXml("Highlight", "a.png", "<FontColor>0000ff</FontColor>") +
        StateXml("Disabled", "a.png", "<DeltaY>abc</DeltaY>") + "</Up></KX_Button>";
    ASSERT_TRUE(button.LoadButtonFile(WriteButton(manifest)));
    EXPECT_TRUE(button.Loaded());

    EXPECT_EQ(button.Type(), 2);
    EXPECT_EQ(button.GetInfo().name, "Blue & round");
    EXPECT_EQ(button.GetInfo().description, "d");
    EXPECT_EQ(button.GetInfo().author, "au");
    EXPECT_EQ(button.GetInfo().copyright, "c");
    EXPECT_EQ(button.GetInfo().url, "u");
    EXPECT_EQ(button.GetInfo().email, "e");
    EXPECT_EQ(button.GetInfo().other, "o");
    EXPECT_EQ(button.HitThreshold(), -1);
    EXPECT_EQ(button.CaptionText(), "Go");
    EXPECT_EQ(button.CenterX(), 30);
    EXPECT_EQ(button.CenterY(), 40);
    const CKXButton::Font& font = button.CaptionFont();
    EXPECT_EQ(font.face, "Tahoma");
    EXPECT_EQ(font.charSet, 1);
    EXPECT_EQ(font.size, 9);
    EXPECT_EQ(font.bold + font.italic + font.underline + font.strikeout, 4);

    // Red in the low byte, whatever the letter case or prefix of the hex digits.
    EXPECT_EQ(button.FontColor(CKXButton::kUpNormal), 0x0000FFu);
    EXPECT_EQ(button.FontColor(CKXButton::kUpHighlight), 0xFF0000u);
    EXPECT_EQ(button.FontColor(CKXButton::kDownNormal), 0x00FF00u);
    EXPECT_EQ(button.FontColor(CKXButton::kUpDisabled), CKXButton::kWhite);
    EXPECT_EQ(button.DeltaX(CKXButton::kUpNormal), 5);
    EXPECT_EQ(button.DeltaX(CKXButton::kDownNormal), -2);
    EXPECT_EQ(button.DeltaY(CKXButton::kDownDisabled), 3);
    EXPECT_EQ(button.DeltaY(CKXButton::kUpDisabled), 0);
    EXPECT_EQ(button.DeltaX(CKXButton::kDownHighlight), 0);
    for (int state = 0; state < CKXButton::kStateCount; ++state) {
        EXPECT_NE(button.StatePicture(state), nullptr) << state;
    }
}

TEST_F(KXButtonTest, DefaultsWhenOptionalElementsAreMissing) {
    ASSERT_TRUE(button.LoadButtonFile(WriteButton(Manifest())));
    EXPECT_EQ(button.HitThreshold(), 200);
    EXPECT_EQ(button.Type(), 0);
    EXPECT_EQ(button.CenterX(), 50);
    EXPECT_EQ(button.CenterY(), 50);
    EXPECT_EQ(button.CaptionFont().face, "Arial");
    EXPECT_EQ(button.CaptionFont().size, 12);
    EXPECT_EQ(button.FontColor(CKXButton::kDownDisabled), 0x00FFFFFFu);
}

TEST_F(KXButtonTest, IntegersStopAtTheFirstNonDigit) {
    struct Case {
        const char* text;
        std::int32_t value;
    };
    const Case cases[] = {{"42", 42}, {"  \t7", 7}, {"-15%", -15}, {"+3", 3},   {"12x4", 12},
                          {"", 0},    {"x1", 0},    {"- 5", 0},    {"0x10", 0}, {"99999999999", 2147483647}};
    for (const Case& c : cases) {
        std::string manifest = Manifest(std::string("<HitThreshold>") + c.text + "</HitThreshold>");
        ASSERT_TRUE(button.LoadButtonFile(WriteButton(manifest))) << c.text;
        EXPECT_EQ(button.HitThreshold(), c.value) << '"' << c.text << '"';
    }
}

TEST_F(KXButtonTest, InfoIsFoundOnlyAfterType) {
    const std::string info = "<Info><Name>N</Name></Info>";
    struct Case {
        std::string children;
        std::string name;
    };
    const Case cases[] = {
        {"<Type>1</Type>" + info, "N"},
        {info + "<Type>1</Type>", ""},
        {info, "N"},  // without Type the search starts at the first child
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(button.LoadButtonFile(WriteButton(Manifest(c.children)))) << c.children;
        EXPECT_EQ(button.GetInfo().name, c.name) << c.children;
    }
}

TEST_F(KXButtonTest, MissingRequiredElementsFailTheLoad) {
    const std::string up = GroupXml("Up", "a.png");
    const std::string down = GroupXml("Down", "a.png");
    const std::string manifests[] = {
        "<KX_Button>" + up + "</KX_Button>",    // no Down
        "<KX_Button>" + down + "</KX_Button>",  // no Up
        "<KX_Button><Up>" + StateXml("Normal", "a.png") + StateXml("Disabled", "a.png") + "</Up>" + down +
            "</KX_Button>",  // no Up/Highlight
        "<KX_Button>" + up + "<Down>" + StateXml("Normal", "a.png") + StateXml("Highlight", "") +
            StateXml("Disabled", "a.png") + "</Down></KX_Button>",  // no Image
        "<Button>" + up + down + "</Button>",                       // wrong root
        "<KX_Button><up>" + up.substr(4) + down + "</KX_Button>",   // names are case-sensitive
    };
    for (const std::string& manifest : manifests) {
        EXPECT_FALSE(button.LoadButtonFile(WriteButton(manifest))) << manifest;
        EXPECT_FALSE(button.Loaded());
        EXPECT_EQ(button.GetStatePicture(0, -1, -1), nullptr);
    }
}

TEST_F(KXButtonTest, ReadingGoesOnAfterAMissingStateButNotIntoDown) {
    std::string manifest = "<KX_Button><Up>" + StateXml("Normal", "") +
                           StateXml("Disabled", "a.png", "<DeltaX>7</DeltaX>") + "</Up>" + "<Down>" +
                           StateXml("Normal", "a.png", "<DeltaX>9</DeltaX>") + StateXml("Highlight", "a.png") +
                           StateXml("Disabled", "a.png") + "</Down></KX_Button>";
    EXPECT_FALSE(button.LoadButtonFile(WriteButton(manifest)));
    EXPECT_EQ(button.DeltaX(CKXButton::kUpDisabled), 7);
    EXPECT_EQ(button.DeltaX(CKXButton::kDownNormal), 0);
}

TEST_F(KXButtonTest, UnreadableFilesFail) {
    const std::string nested = "<KX_Button>" + std::string(1000000, '<') + "</KX_Button>";
    std::string deep;
    deep.reserve(12000000);
    deep += "<KX_Button>";
    for (int i = 0; i < 1000000; ++i) deep += "<a>";
    for (int i = 0; i < 1000000; ++i) deep += "</a>";
    deep += "</KX_Button>";
    const std::string paths[] = {
        "",
        folder / "missing.btn",
        folder.path,
        folder.Write("text.btn", "not a zip archive"),
        folder.Write("empty.btn", ""),
        WriteButton(""),                     // zero-byte manifest
        WriteButton("\x01\xff garbage <<"),  // not XML
        WriteButton(nested),
        WriteButton(deep),                               // parses, but has no Up or Down
        WriteButton(std::string("\0", 1) + Manifest()),  // the text ends at the NUL
    };
    for (const std::string& path : paths) {
        EXPECT_FALSE(button.LoadButtonFile(path)) << path;
        EXPECT_FALSE(button.Loaded());
    }

    // A manifest entry whose name differs only in letter case, followed by junk after a NUL.
    std::vector<ZipEntryToWrite> entries = {
        {"_MANIFEST.XML", AsBytes(Manifest() + std::string("\0<<garbage", 10)), false},
        {"A.PNG", MakePng(2, 2, 0, 0, 255), false}};
    std::string error;
    ASSERT_TRUE(WriteZipArchive(folder / "upper.btn", entries, "", &error)) << error;
    EXPECT_TRUE(button.LoadButtonFile(folder / "upper.btn"));
    EXPECT_NE(button.StatePicture(0), nullptr);
}

TEST_F(KXButtonTest, LoadingClearsThePreviousButton) {
    ASSERT_TRUE(button.LoadButtonFile(
        WriteButton(Manifest("<HitThreshold>10</HitThreshold><Caption><Text>T</Text></Caption>"))));
    ASSERT_NE(button.GetStatePicture(0, 8, 8), nullptr);
    EXPECT_FALSE(button.LoadButtonFile(""));
    EXPECT_EQ(button.HitThreshold(), 200);
    EXPECT_EQ(button.CaptionText(), "");
    EXPECT_EQ(button.FilePath(), "");
    EXPECT_EQ(button.StatePicture(0), nullptr);
    EXPECT_EQ(button.CachedPictureCount(), 0u);
}

TEST_F(KXButtonTest, StatesNamingOnePictureShareIt) {
    std::string manifest = "<KX_Button><Up>" + StateXml("Normal", "Pic.PNG") + StateXml("Highlight", "pic.png") +
                           StateXml("Disabled", "b.png") + "</Up><Down>" + StateXml("Normal", "PIC.png") +
                           StateXml("Highlight", "gone.png") + StateXml("Disabled", "bad.png") + "</Down></KX_Button>";
    const std::string path = WriteButton(manifest, {{"pic.png", MakePng(3, 3, 0, 255, 0)},
                                                    {"b.png", MakePng(5, 1, 0, 0, 255)},
                                                    {"bad.png", AsBytes("not a picture")}});
    // Missing and undecodable pictures leave their states empty without failing the load.
    ASSERT_TRUE(button.LoadButtonFile(path));
    const CISImageEx* shared = button.StatePicture(CKXButton::kUpNormal);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->Width(), 3u);
    EXPECT_EQ(button.StatePicture(CKXButton::kUpHighlight), shared);
    EXPECT_EQ(button.StatePicture(CKXButton::kDownNormal), shared);
    ASSERT_NE(button.StatePicture(CKXButton::kUpDisabled), nullptr);
    EXPECT_EQ(button.StatePicture(CKXButton::kUpDisabled)->Width(), 5u);
    EXPECT_EQ(button.StatePicture(CKXButton::kDownHighlight), nullptr);
    EXPECT_EQ(button.StatePicture(CKXButton::kDownDisabled), nullptr);
    EXPECT_EQ(button.GetStatePicture(CKXButton::kDownHighlight, 10, 10), nullptr);
    EXPECT_EQ(button.CachedPictureCount(), 2u);
}

TEST_F(KXButtonTest, KeepsAlphaOfStatePictures) {
    ASSERT_TRUE(button.LoadButtonFile(WriteButton(Manifest(), {{"a.png", MakePng(2, 2, 9, 9, 9, 100)}})));
    const CISImageEx* picture = button.StatePicture(0);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->Depth(), 32u);
    EXPECT_EQ(picture->Pixels()[3], 100);
}

TEST_F(KXButtonTest, ScaledPicturesAreCachedPerStateAndSize) {
    ASSERT_TRUE(button.LoadButtonFile(WriteButton(Manifest(), {{"a.png", MakePng(4, 2, 255, 0, 0)}})));
    const CISImageEx* original = button.StatePicture(0);
    ASSERT_NE(original, nullptr);

    EXPECT_EQ(button.GetStatePicture(0, -1, 10), original);
    EXPECT_EQ(button.GetStatePicture(0, 10, -1), original);
    EXPECT_EQ(button.GetStatePicture(0, 4, 2), original);

    const CISImageEx* scaled = button.GetStatePicture(0, 8, 6);
    ASSERT_NE(scaled, nullptr);
    EXPECT_NE(scaled, original);
    EXPECT_EQ(scaled->Width(), 8u);
    EXPECT_EQ(scaled->Height(), 6u);
    EXPECT_EQ(button.GetStatePicture(0, 8, 6), scaled);

    // Another state of the same picture has its own copy; the first one stays valid.
    const CISImageEx* other = button.GetStatePicture(3, 8, 6);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other, scaled);
    EXPECT_EQ(scaled->Width(), 8u);

    // A new size replaces the copy; a size that cannot be had falls back to the original.
    EXPECT_EQ(button.GetStatePicture(0, 16, 4)->Width(), 16u);
    EXPECT_EQ(button.GetStatePicture(0, 0, 4), original);
    EXPECT_EQ(button.GetStatePicture(0, -5, 4), original);
    // The original is untouched by scaling.
    EXPECT_EQ(original->Width(), 4u);

    EXPECT_EQ(button.GetStatePicture(-1, 8, 6), nullptr);
    EXPECT_EQ(button.GetStatePicture(6, 8, 6), nullptr);
}

TEST_F(KXButtonTest, ToolWritesAButtonFileTheLoaderReads) {
    const std::string tool = std::string(VX_BIN_DIR) + "/vxtool";
    const std::string manifest = folder.Write("m.xml", Manifest("<HitThreshold>7</HitThreshold>"));
    const Bytes png = MakePng(6, 3, 1, 2, 3);
    const std::string picture = folder.Write("pics/a.png", std::string(png.begin(), png.end()));
    const std::string output = folder / "made.btn";

    ASSERT_EQ(std::system((tool + " btn " + manifest + " -o " + output + " " + picture).c_str()), 0);
    ASSERT_TRUE(button.LoadButtonFile(output));
    EXPECT_EQ(button.HitThreshold(), 7);
    ASSERT_NE(button.StatePicture(CKXButton::kDownDisabled), nullptr);
    EXPECT_EQ(button.StatePicture(CKXButton::kDownDisabled)->Width(), 6u);

    // A missing picture writes nothing.
    const std::string failed = folder / "failed.btn";
    const std::string command =
        tool + " btn " + manifest + " -o " + failed + " " + (folder / "none.png") + " 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_FALSE(std::ifstream(failed).good());
}

}  // namespace
