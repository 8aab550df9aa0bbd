#include "project/archive_reader.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "project/archive_writer.h"
#include "project/vantorix_event.h"
#include "stream_bytes.h"

namespace {

CKXArchiveReader ReaderOf(const StreamBytes& s) {
    return CKXArchiveReader(s.bytes.data(), s.bytes.size(), CodePage::Default());
}

ArchiveErrorKind ErrorOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const CKXArchiveError& e) {
        return e.Kind();
    }
    ADD_FAILURE() << "no error raised";
    return ArchiveErrorKind::NestingTooDeep;
}

std::vector<std::uint8_t> Written(const std::function<void(CKXArchiveWriter&)>& write) {
    CKXArchiveWriter writer;
    write(writer);
    return writer.TakeBytes();
}

TEST(ArchiveStrings, LengthFormsAtTheirBorders) {
    struct Case {
        std::size_t length;
        std::vector<std::uint8_t> prefix;
    };
    const Case cases[] = {
        {0, {0x00}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {0x10000, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
    };
    for (const Case& c : cases) {
        std::string text(c.length, 'a');
        auto bytes = Written([&](CKXArchiveWriter& w) { w.WriteString(text); });
        ASSERT_EQ(bytes.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_TRUE(std::equal(c.prefix.begin(), c.prefix.end(), bytes.begin())) << c.length;
        CKXArchiveReader reader(bytes.data(), bytes.size(), CodePage::Default());
        EXPECT_EQ(reader.ReadString(), text) << c.length;
        EXPECT_EQ(reader.Remaining(), 0u);
    }
}

TEST(ArchiveStrings, WideStringReadsAsCodePageText) {
    // 0xFF, 0xFFFE marks a wide string; its own length follows in the same forms.
    StreamBytes s;
    s.Byte(0xFF).Word(0xFFFE).Byte(4).Word(u'A').Word(0x00E9).Word(0x20AC).Word(0x4E2D);
    auto reader = ReaderOf(s);
    EXPECT_EQ(reader.ReadString(), "A\xE9\x80?");  // a Chinese character has no windows-1252 form

    StreamBytes longForm;
    longForm.Byte(0xFF).Word(0xFFFE).Byte(0xFF).Word(0x0002).Word(u'h').Word(u'i');
    auto longReader = ReaderOf(longForm);
    EXPECT_EQ(longReader.ReadString(), "hi");
}

TEST(ArchiveCounts, LongCountAtTheBorder) {
    auto small = Written([](CKXArchiveWriter& w) { w.WriteCount(65534); });
    EXPECT_EQ(small, (std::vector<std::uint8_t>{0xFE, 0xFF}));
    auto big = Written([](CKXArchiveWriter& w) { w.WriteCount(65535); });
    EXPECT_EQ(big, (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
    CKXArchiveReader reader(big.data(), big.size(), CodePage::Default());
    EXPECT_EQ(reader.ReadCount(), 65535u);
}

TEST(ArchiveObjects, NullBackReferenceAndClassReuse) {
    StreamBytes s;
    s.Word(4);                                    // list of four
    s.NewClass("CVantorixEvent").EventBody("A");  // class 1, object 2
    s.Word(0x0000);                               // null
    s.Word(0x0002);                               // object 2 again
    s.Word(0x8001).EventBody("B");                // class 1, object 3
    auto reader = ReaderOf(s);
    ObjectList list;
    reader.ReadObjectList(list);
    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[1], nullptr);
    EXPECT_EQ(list[2].get(), list[0].get()) << "a back-reference yields the very same record";
    EXPECT_EQ(dynamic_cast<CVantorixEvent&>(*list[3]).eventName, "B");
    EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(ArchiveObjects, WriterNumbersLikeTheReader) {
    auto shared = std::make_shared<CVantorixEvent>("A");
    ObjectList list = {shared, nullptr, shared, std::make_shared<CVantorixEvent>("B")};
    auto bytes = Written([&](CKXArchiveWriter& w) { w.WriteObjectList(list); });
    StreamBytes expected;
    expected.Word(4).NewClass("CVantorixEvent").EventBody("A").Word(0).Word(2).Word(0x8001).EventBody("B");
    EXPECT_EQ(bytes, expected.bytes);
}

TEST(ArchiveObjects, BigTagsPastTheWordRange) {
    // More than 0x7FFE records push indices into the long tag form.
    ObjectList list;
    for (int i = 0; i < 0x8001; ++i) list.push_back(std::make_shared<CVantorixEvent>());
    list.push_back(list.back());
    auto bytes = Written([&](CKXArchiveWriter& w) { w.WriteObjectList(list); });
    CKXArchiveReader reader(bytes.data(), bytes.size(), CodePage::Default());
    ObjectList read;
    reader.ReadObjectList(read);
    ASSERT_EQ(read.size(), list.size());
    EXPECT_EQ(read[read.size() - 1].get(), read[read.size() - 2].get());
    EXPECT_EQ(reader.Remaining(), 0u);
    // The last back-reference is a long object tag: 0x7FFF then the dword index 0x8002.
    StreamBytes tail;
    tail.Word(0x7FFF).Dword(0x8002);
    EXPECT_TRUE(std::equal(tail.bytes.begin(), tail.bytes.end(), bytes.end() - 6));
}

TEST(ArchiveObjects, ClassNameLengthLimit) {
    // A 63-byte name reaches the registry lookup (unknown class); a 64-byte one is refused as too
    // long before its bytes are read.
    for (std::size_t length : {63u, 64u}) {
        StreamBytes s;
        s.NewClass(std::string(length, 'C'));
        auto reader = ReaderOf(s);
        try {
            reader.ReadObject();
            FAIL();
        } catch (const CKXArchiveError& e) {
            EXPECT_EQ(e.Kind(), ArchiveErrorKind::BadClass);
            EXPECT_NE(std::string(e.what()).find(length == 63 ? "unknown" : "too long"), std::string::npos) << e.what();
        }
    }
}

TEST(ArchiveObjects, EveryErrorKind) {
    enum class Read { Dword, String, Object, List, Strings };
    struct Case {
        const char* what;
        Read read;
        StreamBytes stream;
        ArchiveErrorKind kind;
    };
    const Case cases[] = {
        {"truncated dword", Read::Dword, StreamBytes().Byte(1).Byte(2), ArchiveErrorKind::EndOfData},
        {"string past the end", Read::String, StreamBytes().Byte(10).Raw("abc"), ArchiveErrorKind::EndOfData},
        {"dword string length past the end", Read::String,
         StreamBytes().Byte(0xFF).Word(0xFFFF).Dword(0xFFFFFFF0).Raw("abc"), ArchiveErrorKind::EndOfData},
        {"wide length past the end", Read::String,
         StreamBytes().Byte(0xFF).Word(0xFFFE).Byte(0xFF).Word(0xFFFF).Dword(0x7FFFFFFF), ArchiveErrorKind::EndOfData},
        {"object index past the counter", Read::Object, StreamBytes().Word(0x0005), ArchiveErrorKind::BadIndex},
        {"class index never defined", Read::Object, StreamBytes().Word(0x8001), ArchiveErrorKind::BadIndex},
        {"class index zero", Read::Object, StreamBytes().Word(0x8000), ArchiveErrorKind::BadIndex},
        {"long class index past the counter", Read::Object, StreamBytes().Word(0x7FFF).Dword(0x80000009),
         ArchiveErrorKind::BadIndex},
        {"long object index past the counter", Read::Object, StreamBytes().Word(0x7FFF).Dword(0x1234),
         ArchiveErrorKind::BadIndex},
        {"object index used as a class", Read::List,
         StreamBytes().Word(2).NewClass("CVantorixEvent").EventBody("A").Word(0x8002), ArchiveErrorKind::BadIndex},
        {"class index used as an object", Read::List,
         StreamBytes().Word(2).NewClass("CVantorixEvent").EventBody("A").Word(0x0001), ArchiveErrorKind::BadIndex},
        {"unknown class", Read::List, StreamBytes().Word(1).NewClass("CNoSuchThing"), ArchiveErrorKind::BadClass},
        {"class names compare exactly", Read::List, StreamBytes().Word(1).NewClass("cvantorixevent"),
         ArchiveErrorKind::BadClass},
        {"non-versionable class with schema 1", Read::List, StreamBytes().Word(1).NewClass("CVantorixMessage", 1),
         ArchiveErrorKind::BadSchema},
        {"count of four billion in a short stream", Read::List, StreamBytes().Word(0xFFFF).Dword(0xFFFFFFFF).Word(0),
         ArchiveErrorKind::EndOfData},
        {"string count beyond the bytes", Read::Strings, StreamBytes().Word(0xFFFF).Dword(50000000).Byte(0),
         ArchiveErrorKind::EndOfData},
    };
    for (const Case& c : cases) {
        auto reader = ReaderOf(c.stream);
        ArchiveErrorKind kind = ErrorOf([&] {
            ObjectList list;
            switch (c.read) {
                case Read::Dword:
                    reader.ReadDword();
                    break;
                case Read::String:
                    reader.ReadString();
                    break;
                case Read::Object:
                    reader.ReadObject();
                    break;
                case Read::List:
                    reader.ReadObjectList(list);
                    break;
                case Read::Strings: {
                    CKXStringList strings;
                    reader.ReadStringList(strings);
                    break;
                }
            }
        });
        EXPECT_EQ(kind, c.kind) << c.what;
    }
}

TEST(ArchiveObjects, NonVersionableClassWithItsOwnSchemaIsAccepted) {
    StreamBytes s;
    s.Word(2).NewClass("CVantorixLanguage", 0xFFFF).Word(0x8001);
    auto reader = ReaderOf(s);
    ObjectList list;
    reader.ReadObjectList(list);
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(ArchiveObjects, ErrorCarriesTheOffset) {
    StreamBytes s;
    s.Word(1).NewClass("CVantorixEvent").Dword(1).Byte(200).Raw("short");
    auto reader = ReaderOf(s);
    ObjectList list;
    try {
        reader.ReadObjectList(list);
        FAIL();
    } catch (const CKXArchiveError& e) {
        EXPECT_EQ(e.Kind(), ArchiveErrorKind::EndOfData);
        EXPECT_EQ(e.Offset(), 2u + 6u + 14u + 4u + 1u);
    }
}

TEST(ArchiveObjects, ReferenceToAnUnfinishedRecordIsRefused) {
    // An object's own event list naming the object itself would make it contain itself.
    StreamBytes s;
    s.NewClass("CVantorixBaseObject");  // class 1, object 2
    s.Dword(1).Int(0).Str("o").Int(0).Int(0).Int(0).Int(0).Str("").Int(0).Int(1).Int(1).Int(0).Int(1);
    s.Int(0).Int(0).Int(0).Int(-1);
    s.Word(1).Word(0x0002);
    auto reader = ReaderOf(s);
    EXPECT_EQ(ErrorOf([&] { reader.ReadObject(); }), ArchiveErrorKind::BadIndex);
}

TEST(ArchiveObjects, DeepNestingIsRefusedWithoutExhaustingTheStack) {
    // Objects whose event lists each hold one more object, thousands deep.
    StreamBytes s;
    auto commonPart = [](StreamBytes& b) {
        b.Dword(1).Int(0).Str("o").Int(0).Int(0).Int(0).Int(0).Str("").Int(0).Int(1).Int(1).Int(0).Int(1);
        b.Int(0).Int(0).Int(0).Int(-1);
    };
    s.NewClass("CVantorixBaseObject");
    for (int depth = 0; depth < 5000; ++depth) {
        commonPart(s);
        s.Word(1).Word(0x8001);
    }
    auto reader = ReaderOf(s);
    EXPECT_EQ(ErrorOf([&] { reader.ReadObject(); }), ArchiveErrorKind::NestingTooDeep);
}

TEST(ArchiveObjects, EveryPrefixOfAValidStreamFailsCleanly) {
    StreamBytes s;
    s.Word(3).NewClass("CVantorixEvent").EventBody("On Click", "x = 1").Word(0).Word(0x8001).EventBody("On Show");
    for (std::size_t length = 0; length < s.bytes.size(); ++length) {
        CKXArchiveReader reader(s.bytes.data(), length, CodePage::Default());
        ObjectList list;
        EXPECT_EQ(ErrorOf([&] { reader.ReadObjectList(list); }), ArchiveErrorKind::EndOfData) << length;
    }
}

}  // namespace
