#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "project/archive_password.h"
#include "project/unzip_mem_to_mem.h"
#include "project/unzip_to_memory.h"
#include "project/zip_dir.h"
#include "project/zip_writer.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

std::string Text(const std::vector<std::uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> FolderContents(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder)) {
        names.push_back(item.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ListedNames(const CKXZipDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : dir.Entries()) names.push_back(entry.name);
    return names;
}

// Text that compresses well but is not one repeated byte.
std::string SampleText(std::size_t length) {
    std::string text;
    for (std::size_t i = 0; text.size() < length; ++i) {
        text += "line " + std::to_string(i * 7919 % 1000) + " of the menu script\n";
    }
    text.resize(length);
    return text;
}

bool HaveZipCommand() {
    return access("/usr/bin/zip", X_OK) == 0;
}

class ZipLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vx_zip_layer_XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string WriteArchive(const std::string& name, const std::vector<ZipEntryToWrite>& entries) {
        const std::string path = (folder / name).string();
        std::string error;
        EXPECT_TRUE(WriteZipArchive(path, entries, archivePassword, &error)) << error;
        return path;
    }

    // Builds an archive with Info-ZIP, a second, independent writer of encrypted entries.
    std::string ZipCommandArchive(const std::string& name, const std::string& level,
                                  const std::vector<ZipEntryToWrite>& entries) {
        const fs::path staging = folder / ("staging-" + name);
        fs::create_directories(staging);
        std::string command = "cd '" + staging.string() + "' && /usr/bin/zip -q -X " + level + " -P '" +
                              archivePassword + "' '../" + name + "'";
        for (const auto& entry : entries) {
            WriteFile(staging / entry.name, entry.bytes);
            command += " '" + entry.name + "'";
        }
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return (folder / name).string();
    }

    fs::path folder;
};

TEST_F(ZipLayerTest, EntryLookupFoldsAsciiCaseOnly) {
    const std::string path = WriteArchive("project.cdd", {{"_PROJ.DAT", Bytes("top level")},
                                                          {"data/_proj.dat", Bytes("in a folder")},
                                                          {"caf\xC9.txt", Bytes("latin-1 name")}});
    const std::string nestedOnly = WriteArchive("nested.cdd", {{"data/_proj.dat", Bytes("in a folder")}});

    struct Case {
        std::string archive;
        std::string asked;
        ArchiveEntryStatus status;
        std::string content;
    };
    const Case cases[] = {
        {path, "_proj.dat", ArchiveEntryStatus::Ok, "top level"},
        {path, "\"_proj.dat\"", ArchiveEntryStatus::Ok, "top level"},
        {path, "DATA/_Proj.Dat", ArchiveEntryStatus::Ok, "in a folder"},
        {path, "proj.dat", ArchiveEntryStatus::NoEntry, ""},
        {path, "_proj.da", ArchiveEntryStatus::NoEntry, ""},
        {path, "CAF\xC9.TXT", ArchiveEntryStatus::Ok, "latin-1 name"},
        // 0xC9 and 0xE9 are one letter in Latin-1, but only ASCII folds.
        {path, "caf\xE9.txt", ArchiveEntryStatus::NoEntry, ""},
        {nestedOnly, "_proj.dat", ArchiveEntryStatus::NoEntry, ""},
        {nestedOnly, "\"data/_PROJ.DAT\"", ArchiveEntryStatus::Ok, "in a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked + " in " + c.archive);
        const ArchiveEntryResult result = ReadArchiveEntry(c.archive, c.asked, archivePassword);
        EXPECT_EQ(result.status, c.status);
        EXPECT_EQ(Text(result.bytes), c.content);

        if (c.status == ArchiveEntryStatus::Ok) {
            std::vector<std::uint8_t> buffer(c.content.size());
            EXPECT_EQ(CKXUnzipToMemory::ExtractEntry(c.archive, c.asked, buffer.data(), buffer.size(), nullptr), 0);
            EXPECT_EQ(Text(buffer), c.content);
        }
    }
}

TEST_F(ZipLayerTest, DirectoryListsMatchingEntriesInArchiveOrder) {
    const std::string path = WriteArchive("list.cdd", {{"b.txt", Bytes("bb")},
                                                       {"A.TXT", Bytes("a")},
                                                       {"noext", Bytes("none")},
                                                       {"data/x.txt", Bytes("xxx")},
                                                       {"ab.dat", Bytes("abab")}});
    using Names = std::vector<std::string>;
    const Names all = {"b.txt", "A.TXT", "noext", "data/x.txt", "ab.dat"};
    const struct {
        std::string spec;
        Names expected;
    } cases[] = {
        {"*.*", all},
        {"\"*.*\"", all},
        {"*", all},
        {"?.txt", {"b.txt", "A.TXT"}},
        {"*.txt", {"b.txt", "A.TXT", "data/x.txt"}},
        {"a*", {"A.TXT", "ab.dat"}},
        {"*.DAT", {"ab.dat"}},
        {"noext", {"noext"}},
        {"noext.*", {"noext"}},
        {"data/?.*", {"data/x.txt"}},
        {"x.txt", {}},
        {"", {}},
    };
    CKXZipDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.spec);
        ASSERT_EQ(dir.ReadDirectory(path, c.spec, 0), 0);
        EXPECT_EQ(ListedNames(dir), c.expected);
    }

    ASSERT_EQ(dir.ReadDirectory(path, "data/*", 1), 0);
    ASSERT_EQ(dir.Entries().size(), 1u);
    EXPECT_EQ(dir.Entries()[0].uncompressedSize, 3u);
    EXPECT_GT(dir.Entries()[0].compressedSize, 0u);
}

TEST_F(ZipLayerTest, UnreadableArchivesGiveNoDirectory) {
    const std::string good = WriteArchive("good.cdd", {{"_proj.dat", Bytes(SampleText(300))}});
    std::vector<std::uint8_t> truncated = ReadFile(good);
    truncated.resize(truncated.size() / 2);
    WriteFile(folder / "truncated.cdd", truncated);
    WriteFile(folder / "text.cdd", Bytes("this is not an archive at all, just some words\n"));
    WriteFile(folder / "empty.cdd", {});
    fs::create_directory(folder / "folder.cdd");

    for (const char* name : {"missing.cdd", "truncated.cdd", "text.cdd", "empty.cdd", "folder.cdd"}) {
        SCOPED_TRACE(name);
        const std::string path = (folder / name).string();
        CKXZipDir dir;
        ASSERT_EQ(dir.ReadDirectory(good, "*.*", 0), 0);
        EXPECT_NE(dir.ReadDirectory(path, "*.*", 0), 0);
        EXPECT_TRUE(dir.Entries().empty()) << "a failed listing must not keep the old one";

        EXPECT_EQ(ReadArchiveEntry(path, "_proj.dat", nullptr).status, ArchiveEntryStatus::NoDirectory);
        std::uint8_t buffer[300];
        EXPECT_NE(CKXUnzipToMemory::ExtractEntry(path, "_proj.dat", buffer, sizeof buffer, nullptr), 0);
    }
}

struct EncryptedFixture {
    const char* label;
    const char* zipLevel;  // nullptr: written by WriteZipArchive
};

void PrintTo(const EncryptedFixture& fixture, std::ostream* out) {
    *out << fixture.label;
}

class EncryptedArchiveTest : public ZipLayerTest, public ::testing::WithParamInterface<EncryptedFixture> {};

TEST_P(EncryptedArchiveTest, OnlyTheRightPasswordExtracts) {
    const std::string content = SampleText(700);
    const std::vector<ZipEntryToWrite> entries = {{"_PROJ.DAT", Bytes(content), true}, {"t", Bytes("1"), true}};
    std::string path;
    if (GetParam().zipLevel == nullptr) {
        path = WriteArchive("sealed.cdd", entries);
    } else {
        if (!HaveZipCommand()) GTEST_SKIP() << "/usr/bin/zip is not installed";
        path = ZipCommandArchive("sealed.zip", GetParam().zipLevel, entries);
    }

    CKXZipDir dir;
    ASSERT_EQ(dir.ReadDirectory(path, "*.*", 0), 0) << "listing needs no password";
    ASSERT_EQ(ListedNames(dir), (std::vector<std::string>{"_PROJ.DAT", "t"}));
    EXPECT_EQ(dir.Entries()[0].uncompressedSize, content.size());

    const ArchiveEntryResult right = ReadArchiveEntry(path, "_proj.dat", archivePassword);
    EXPECT_EQ(right.status, ArchiveEntryStatus::Ok);
    EXPECT_EQ(Text(right.bytes), content);
    EXPECT_EQ(Text(ReadArchiveEntry(path, "T", archivePassword).bytes), "1");

    EXPECT_EQ(ReadArchiveEntry(path, "t", nullptr).status, ArchiveEntryStatus::ExtractFailed);
    EXPECT_EQ(ReadArchiveEntry(path, "_proj.dat", nullptr).status, ArchiveEntryStatus::ExtractFailed);
    EXPECT_EQ(ReadArchiveEntry(path, "_proj.dat", "").status, ArchiveEntryStatus::ExtractFailed);

    // About one wrong password in 256 passes the one-byte check in the encryption header;
    // among this many some will, and only the CRC at the end of the entry rejects them.
    // (A one-byte entry would be no use here: such a password decrypts it correctly one
    // time in 256.)
    std::vector<std::uint8_t> buffer(content.size());
    int accepted = 0;
    for (int i = 0; i < 2000; ++i) {
        const std::string guess = "guess-" + std::to_string(i);
        if (CKXUnzipToMemory::ExtractEntry(path, "_proj.dat", buffer.data(), buffer.size(), guess.c_str()) == 0) {
            ++accepted;
        }
    }
    EXPECT_EQ(accepted, 0);
}

INSTANTIATE_TEST_SUITE_P(Writers, EncryptedArchiveTest,
                         ::testing::Values(EncryptedFixture{"WriteZipArchive", nullptr},
                                           EncryptedFixture{"ZipStored", "-0"}, EncryptedFixture{"ZipDeflated", "-6"}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(ZipLayerTest, LaterEntryWinsOverEarlierOneDifferingInCase) {
    const std::string path = WriteArchive("twice.cdd", {{"data.txt", Bytes("first")}, {"DATA.TXT", Bytes("second")}});

    CKXZipDir dir;
    ASSERT_EQ(dir.ReadDirectory(path, "*.*", 0), 0);
    EXPECT_EQ(dir.FindEntry("Data.Txt"), &dir.Entries()[1]);
    EXPECT_EQ(dir.FindEntry("\"data.txt\""), &dir.Entries()[1]);
    EXPECT_EQ(dir.FindEntry("data.tx"), nullptr);

    EXPECT_EQ(Text(ReadArchiveEntry(path, "data.txt", nullptr).bytes), "second");
    std::uint8_t buffer[6] = {};
    EXPECT_EQ(CKXUnzipToMemory::ExtractEntry(path, "data.txt", buffer, 6, nullptr), 0);
    EXPECT_EQ(std::string(buffer, buffer + 6), "second");
    EXPECT_NE(CKXUnzipToMemory::ExtractEntry(path, "data.txt", buffer, 5, nullptr), 0)
        << "the earlier entry must not be used";
}

TEST_F(ZipLayerTest, EmptyEntriesExtractToEmptyBuffers) {
    const std::string path = WriteArchive("empty.cdd", {{"plain", {}}, {"sealed", {}, true}, {"full", Bytes("x")}});

    for (const char* name : {"plain", "sealed"}) {
        SCOPED_TRACE(name);
        const ArchiveEntryResult result = ReadArchiveEntry(path, name, archivePassword);
        EXPECT_EQ(result.status, ArchiveEntryStatus::Ok);
        EXPECT_TRUE(result.bytes.empty());
    }
    EXPECT_EQ(CKXUnzipToMemory::ExtractEntry(path, "plain", nullptr, 0, nullptr), 0);
    EXPECT_NE(CKXUnzipToMemory::ExtractEntry(path, "missing", nullptr, 0, nullptr), 0);
    EXPECT_NE(CKXUnzipToMemory::ExtractEntry(path, "full", nullptr, 0, nullptr), 0);
}

TEST_F(ZipLayerTest, BufferSizeMustMatchTheEntry) {
    const std::string content = SampleText(100);
    const std::string path = WriteArchive("sized.cdd", {{"data", Bytes(content)}});

    constexpr std::uint8_t guard = 0xAA;
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{99}, std::size_t{101}, std::size_t{100}}) {
        SCOPED_TRACE(size);
        std::vector<std::uint8_t> buffer(size + 64, guard);
        const int rc = CKXUnzipToMemory::ExtractEntry(path, "data", buffer.data(), size, nullptr);
        EXPECT_EQ(rc == 0, size == content.size());
        for (std::size_t i = size; i < buffer.size(); ++i) ASSERT_EQ(buffer[i], guard) << i;
        if (rc == 0) {
            EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 100), content);
        }
    }
}

// Overwrites the 32-bit little-endian field at offset in the single-entry archive bytes.
void Patch32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t Read32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | bytes.at(offset + i);
    return value;
}

// Runs work in a child process and returns how far its peak resident size rose above ours,
// in KiB, or nullopt when the child did not exit with status 0.
std::optional<long> ChildPeakGrowthKiB(const std::function<bool()>& work) {
    long pages = 0;
    long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    const long residentKiB = resident * (sysconf(_SC_PAGESIZE) / 1024);

    const pid_t child = fork();
    if (child == 0) _exit(work() ? 0 : 1);
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return std::nullopt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return usage.ru_maxrss - residentKiB;
}

// Where the records of the first entry start in an archive without a comment.
struct EntryRecords {
    std::size_t central = 0;
    std::size_t local = 0;
};

EntryRecords FindFirstEntry(const std::vector<std::uint8_t>& archive) {
    EntryRecords records;
    const std::size_t endRecord = archive.size() - 22;
    EXPECT_EQ(Read32(archive, endRecord), 0x06054b50u);
    records.central = Read32(archive, endRecord + 16);
    EXPECT_EQ(Read32(archive, records.central), 0x02014b50u);
    records.local = Read32(archive, records.central + 42);
    EXPECT_EQ(Read32(archive, records.local), 0x04034b50u);
    return records;
}

TEST_F(ZipLayerTest, DeclaredSizesTheStoredBytesCannotBackAreRefused) {
    const std::string path = WriteArchive("lying.cdd", {{"movie.bin", Bytes(SampleText(100))}});
    const std::vector<std::uint8_t> original = ReadFile(path);
    const auto [central, local] = FindFirstEntry(original);

    constexpr std::uint32_t huge = 256u << 20;
    const struct {
        const char* label;
        std::uint32_t compressed;  // 0: keep the real value
    } cases[] = {
        {"more than deflate can expand to", 0},
        {"more stored bytes than the archive holds", 1u << 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::uint8_t> bytes = original;
        Patch32(bytes, central + 24, huge);
        Patch32(bytes, local + 22, huge);
        if (c.compressed != 0) {
            Patch32(bytes, central + 20, c.compressed);
            Patch32(bytes, local + 18, c.compressed);
        }
        const std::string patched = (folder / "patched.cdd").string();
        WriteFile(patched, bytes);

        // The refusal has to come before the buffer is allocated, so watch the child's peak
        // memory rather than only the status.
        const std::optional<long> growth = ChildPeakGrowthKiB([&] {
            return ReadArchiveEntry(patched, "movie.bin", nullptr).status == ArchiveEntryStatus::ExtractFailed;
        });
        ASSERT_TRUE(growth.has_value()) << "the entry was not refused";
        EXPECT_LT(*growth, 64 * 1024) << "a buffer for the declared size was allocated";
    }
}

TEST_F(ZipLayerTest, EntriesWithAnotherEncryptionAreRefused) {
    const std::string path = WriteArchive("strong.cdd", {{"_proj.dat", Bytes("secret"), true}});
    std::vector<std::uint8_t> bytes = ReadFile(path);
    const auto [central, local] = FindFirstEntry(bytes);
    // General purpose bit 6 marks strong encryption, which data files never use.
    bytes.at(central + 8) |= 0x40;
    bytes.at(local + 6) |= 0x40;
    WriteFile(path, bytes);

    for (const char* password : {static_cast<const char*>(archivePassword), "other"}) {
        EXPECT_EQ(ReadArchiveEntry(path, "_proj.dat", password).status, ArchiveEntryStatus::ExtractFailed);
    }
}

TEST(InflateBufferTest, InflatesZlibStreamsIntoBoundedBuffers) {
    const std::string text = SampleText(4000);
    std::vector<std::uint8_t> packed(compressBound(text.size()));
    uLongf packedSize = packed.size();
    ASSERT_EQ(compress(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(text.data()), text.size()), Z_OK);
    packed.resize(packedSize);

    auto damaged = [&](std::size_t at) {
        std::vector<std::uint8_t> copy = packed;
        copy[at] ^= 0xFF;
        return copy;
    };
    const std::vector<std::uint8_t> truncated(packed.begin(), packed.begin() + packed.size() / 2);
    const std::vector<std::uint8_t> raw(packed.begin() + 2, packed.end() - 4);

    const struct {
        const char* label;
        std::vector<std::uint8_t> input;
        std::size_t capacity;
        bool ok;
        std::size_t produced;
    } cases[] = {
        {"exact room", packed, text.size(), true, text.size()},
        {"more room than needed", packed, text.size() + 100, true, text.size()},
        {"only the first bytes wanted", packed, 10, true, 10},
        {"no room at all", packed, 0, true, 0},
        {"damaged header", damaged(0), text.size(), false, 0},
        {"damaged checksum", damaged(packed.size() - 1), text.size() + 100, false, text.size()},
        {"truncated stream", truncated, text.size(), false, 0},
        {"raw deflate without the zlib wrapper", raw, text.size(), false, 0},
        {"no input", {}, text.size(), false, 0},
    };
    constexpr std::uint8_t guard = 0xAA;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::vector<std::uint8_t> out(c.capacity + 32, guard);
        std::size_t produced = 12345;
        const int rc =
            CKXUnzipMemToMem::InflateBuffer(c.input.data(), c.input.size(), out.data(), c.capacity, &produced);
        EXPECT_EQ(rc == 0, c.ok) << rc;
        if (c.ok || c.produced != 0) {
            EXPECT_EQ(produced, c.produced);
        }
        EXPECT_LE(produced, c.capacity);
        for (std::size_t i = c.capacity; i < out.size(); ++i) ASSERT_EQ(out[i], guard) << i;
        if (c.ok) {
            EXPECT_EQ(std::string(out.begin(), out.begin() + produced), text.substr(0, produced));
        }
    }
}

TEST_F(ZipLayerTest, WritingReplacesAnExistingFileAtomically) {
    const fs::path path = folder / "out.cdd";
    WriteFile(path, Bytes("old content"));
    std::ifstream oldReader(path, std::ios::binary);

    const std::vector<ZipEntryToWrite> entries = {
        {"z-first", Bytes("1")}, {"a-second", Bytes("22"), true}, {"m-third", Bytes("333")}};
    std::string error;
    ASSERT_TRUE(WriteZipArchive(path.string(), entries, archivePassword, &error)) << error;

    // A reader that had the old file open still sees it whole: the new file took its name
    // instead of being written into it.
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(oldReader), {}), "old content");
    EXPECT_EQ(FolderContents(folder), std::vector<std::string>{"out.cdd"});

    CKXZipDir dir;
    ASSERT_EQ(dir.ReadDirectory(path.string(), "*.*", 0), 0);
    EXPECT_EQ(ListedNames(dir), (std::vector<std::string>{"z-first", "a-second", "m-third"}));
    EXPECT_EQ(Text(ReadArchiveEntry(path.string(), "a-second", archivePassword).bytes), "22");

    ASSERT_TRUE(WriteZipArchive(path.string(), {}, archivePassword, &error)) << error;
    ASSERT_EQ(dir.ReadDirectory(path.string(), "*.*", 0), 0);
    EXPECT_TRUE(dir.Entries().empty());
}

TEST_F(ZipLayerTest, FailedWritesLeaveTheFolderAsItWas) {
    WriteFile(folder / "out.cdd", Bytes("old content"));
    fs::create_directory(folder / "a-folder.cdd");

    const struct {
        const char* label;
        fs::path target;
        std::vector<ZipEntryToWrite> entries;
        std::string password;
    } cases[] = {
        {"folder does not exist", folder / "missing" / "out.cdd", {{"a", Bytes("a")}}, "pw"},
        {"duplicate entry names", folder / "out.cdd", {{"a", Bytes("1")}, {"a", Bytes("2")}}, "pw"},
        {"encryption without a password", folder / "out.cdd", {{"a", Bytes("1"), true}}, ""},
        {"target is a folder", folder / "a-folder.cdd", {{"a", Bytes("1")}}, "pw"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        std::string error;
        EXPECT_FALSE(WriteZipArchive(c.target.string(), c.entries, c.password, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(FolderContents(folder), (std::vector<std::string>{"a-folder.cdd", "out.cdd"}));
        EXPECT_EQ(Text(ReadFile(folder / "out.cdd")), "old content");
        EXPECT_TRUE(fs::is_empty(folder / "a-folder.cdd"));
    }
}

TEST_F(ZipLayerTest, AWriteLeavesOnlyTheArchiveAndClearsWhatAKilledWriteLeft) {
    // What a write killed half-way leaves beside its target.
    WriteFile(folder / ".out.cdd.vxtmp-AbC123", Bytes("half an archive"));
    std::string error;
    ASSERT_TRUE(WriteZipArchive((folder / "out.cdd").string(), {{"_proj.dat", Bytes("content")}}, "pw", &error))
        << error;
    EXPECT_EQ(FolderContents(folder), (std::vector<std::string>{"out.cdd"}));
    ASSERT_TRUE(WriteZipArchive((folder / "out.cdd").string(), {}, "pw", &error)) << error;
    EXPECT_EQ(FolderContents(folder), (std::vector<std::string>{"out.cdd"}));
    EXPECT_EQ(ReadFile(folder / "out.cdd").size(), 22u);
}

}  // namespace

TEST_F(ZipLayerTest, AnEntryClaimingMoreThanTheLimitIsRefusedBeforeAnythingIsInflated) {
    const std::string path = WriteArchive("bomb.cdd", {{"_proj.dat", Bytes("small")}});
    // The directory now says the entry inflates to just over the limit.
    std::string bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::size_t central = bytes.find("PK\x01\x02");
    ASSERT_NE(central, std::string::npos);
    const std::uint64_t claimed = maxArchiveEntryBytes + 1;
    for (int i = 0; i < 4; ++i) bytes[central + 24 + i] = static_cast<char>(claimed >> (8 * i));
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;

    const ArchiveEntryResult result = ReadArchiveEntry(path, "_proj.dat", archivePassword);
    EXPECT_EQ(result.status, ArchiveEntryStatus::TooLarge);
    EXPECT_TRUE(result.bytes.empty());
    EXPECT_STREQ(ProjectEntryFailureMessage(result.status),
                 "The project file is too large to open (more than 256 MB).");
}
