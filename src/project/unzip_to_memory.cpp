#include "project/unzip_to_memory.h"

#include "platform/host_path.h"

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/ascii_case.h"
#include "project/zip_crypto.h"
#include "project/zip_dir.h"
#include "project/zip_handles.h"

namespace {

// Deflate cannot expand data by more than about 1032:1, so a declared size beyond this
// bound is a lie that would only make us allocate memory the entry can never fill.
constexpr std::uint64_t maxDeflateRatio = 1032;
constexpr std::uint64_t ratioSlack = 1024;

// Picks the entry the directory listing would pick: same skipped entries, last match wins.
bool LocateEntry(zip_t* archive, std::string_view wanted, zip_uint64_t* index, zip_uint64_t* size,
                 zip_uint16_t* encryption) {
    bool found = false;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &st) != 0) {
            continue;
        }
        constexpr zip_uint64_t needed = ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE;
        if ((st.valid & needed) != needed || st.name == nullptr) continue;
        constexpr zip_uint64_t maxSize = std::numeric_limits<std::uint32_t>::max();
        if (st.size > maxSize || st.comp_size > maxSize) continue;
        if (!EqualsIgnoringAsciiCase(st.name, wanted)) continue;
        *index = static_cast<zip_uint64_t>(i);
        *size = st.size;
        *encryption = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 ? st.encryption_method : ZIP_EM_UNKNOWN;
        found = true;
    }
    return found;
}

// Reads the encrypted bytes of a stored or deflated entry through the engine and decrypts,
// inflates and checks them here. Returns -1 for compression methods this path does not take.
int ExtractTraditionalEncrypted(zip_t* archive, zip_uint64_t index, std::string_view password, std::uint8_t* buffer,
                                std::size_t bufferSize) {
    zip_stat_t st;
    zip_stat_init(&st);
    constexpr zip_uint64_t needed = ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
    if (zip_stat_index(archive, index, 0, &st) != 0 || (st.valid & needed) != needed) return 12;
    if (st.comp_method != ZIP_CM_STORE && st.comp_method != ZIP_CM_DEFLATE) return -1;
    if (st.comp_size < zipCryptoHeaderSize) return 13;

    std::vector<std::uint8_t> stored(static_cast<std::size_t>(st.comp_size));
    ZipFileHandle file(zip_fopen_index(archive, index, ZIP_FL_ENCRYPTED));
    if (!file) return 5;
    if (zip_fread(file.get(), stored.data(), stored.size()) != static_cast<zip_int64_t>(stored.size())) {
        return 6;
    }
    ZipCryptoDecoder(password).Decrypt(stored.data(), stored.size());
    const std::uint8_t* data = stored.data() + zipCryptoHeaderSize;
    const std::size_t dataSize = stored.size() - zipCryptoHeaderSize;

    if (st.comp_method == ZIP_CM_STORE) {
        if (dataSize != bufferSize) return 7;
        std::copy(data, data + dataSize, buffer);
    } else {
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return 14;
        std::uint8_t none = 0;  // zlib refuses a null output even when nothing is to be written
        stream.next_in = const_cast<Bytef*>(data);
        stream.avail_in = static_cast<uInt>(dataSize);
        stream.next_out = bufferSize > 0 ? buffer : &none;
        stream.avail_out = static_cast<uInt>(bufferSize);
        int status = inflate(&stream, Z_FINISH);
        std::size_t produced = bufferSize - stream.avail_out;
        inflateEnd(&stream);
        // The stream must end exactly where the buffer does.
        if (status != Z_STREAM_END || produced != bufferSize) return 7;
    }
    // The check that rejects a wrong password, whatever the header byte said.
    if (crc32_z(0, buffer, bufferSize) != st.crc) return 8;
    return 0;
}

}  // namespace

int CKXUnzipToMemory::ExtractEntry(const std::string& archivePath, const std::string& entryName, std::uint8_t* buffer,
                                   std::size_t bufferSize, const char* password) {
    try {
        if (buffer == nullptr && bufferSize != 0) return 1;
        // A pipe in the place of the archive would block the opening.
        if (!IsRegularFile(archivePath)) return 2;

        int openError = 0;
        ZipHandle archive(zip_open(archivePath.c_str(), ZIP_RDONLY, &openError));
        if (!archive) return 2;

        zip_uint64_t index = 0;
        zip_uint64_t declaredSize = 0;
        zip_uint16_t encryption = ZIP_EM_UNKNOWN;
        if (!LocateEntry(archive.get(), StripQuotes(entryName), &index, &declaredSize, &encryption)) {
            return 3;
        }
        if (declaredSize != bufferSize) return 4;
        // Data files only ever use traditional PKWARE encryption. Anything else is refused
        // up front, also because libzip leaks the entry it was opening when it meets an
        // encryption method it cannot decode.
        if (encryption != ZIP_EM_NONE && encryption != ZIP_EM_TRAD_PKWARE) return 11;

        if (password != nullptr && encryption == ZIP_EM_TRAD_PKWARE && bufferSize <= std::numeric_limits<uInt>::max()) {
            int status = ExtractTraditionalEncrypted(archive.get(), index, password, buffer, bufferSize);
            if (status >= 0) return status;
        }

        ZipFileHandle file(password != nullptr ? zip_fopen_index_encrypted(archive.get(), index, 0, password)
                                               : zip_fopen_index(archive.get(), index, 0));
        if (!file) return 5;

        std::size_t done = 0;
        while (done < bufferSize) {
            const zip_uint64_t chunk = std::min<std::size_t>(bufferSize - done, 1u << 30);
            const zip_int64_t got = zip_fread(file.get(), buffer + done, chunk);
            if (got < 0) return 6;
            if (got == 0) return 7;  // the entry ended early
            done += static_cast<std::size_t>(got);
        }

        // Read on to the end: only there does the engine compare the CRC, which is what
        // rejects a wrong password that happened to pass the one-byte header check.
        std::uint8_t probe = 0;
        if (zip_fread(file.get(), &probe, 1) != 0) return 8;
        if (zip_fclose(file.release()) != 0) return 9;
        return 0;
    } catch (...) {
        return 10;
    }
}

bool EntrySizesPossible(const std::string& archivePath, const CKXZipEntryInfo& entry) {
    std::error_code ec;
    const std::uintmax_t archiveSize = std::filesystem::file_size(archivePath, ec);
    return !ec && entry.compressedSize <= archiveSize &&
           entry.uncompressedSize <= std::uint64_t{entry.compressedSize} * maxDeflateRatio + ratioSlack;
}

const char* ProjectEntryFailureMessage(ArchiveEntryStatus status) {
    switch (status) {
        case ArchiveEntryStatus::NoDirectory:
            return "Failed to get archive directory listing.";
        case ArchiveEntryStatus::NoEntry:
            return "Failed to find project file in archive.";
        case ArchiveEntryStatus::ExtractFailed:
            return "Failed to extract project file to memory.";
        case ArchiveEntryStatus::TooLarge:
            return "The project file is too large to open (more than 256 MB).";
        case ArchiveEntryStatus::Ok:
            break;
    }
    return nullptr;
}

ArchiveEntryResult ReadArchiveEntry(const std::string& archivePath, const std::string& entryName,
                                    const char* password) {
    ArchiveEntryResult result;
    CKXZipDir directory;
    if (directory.ReadDirectory(archivePath, entryName, 0) != 0) {
        result.status = ArchiveEntryStatus::NoDirectory;
        return result;
    }
    const CKXZipEntryInfo* entry = directory.FindEntry(entryName);
    if (entry == nullptr) {
        result.status = ArchiveEntryStatus::NoEntry;
        return result;
    }

    // Check the declared size against the stored bytes before allocating anything. The entry is
    // then inflated into a buffer of that size and no further, so a header that lies cannot
    // take more.
    const std::uint64_t uncompressed = entry->uncompressedSize;
    if (uncompressed > maxArchiveEntryBytes) {
        result.status = ArchiveEntryStatus::TooLarge;
        return result;
    }
    if (!EntrySizesPossible(archivePath, *entry)) {
        result.status = ArchiveEntryStatus::ExtractFailed;
        return result;
    }

    try {
        result.bytes.resize(static_cast<std::size_t>(uncompressed));
    } catch (const std::bad_alloc&) {
        result.status = ArchiveEntryStatus::ExtractFailed;
        return result;
    }
    if (CKXUnzipToMemory::ExtractEntry(archivePath, entry->name, result.bytes.data(), result.bytes.size(), password) !=
        0) {
        result.status = ArchiveEntryStatus::ExtractFailed;
        result.bytes = {};
    }
    return result;
}
