#include "project/zip_writer.h"

#include "platform/atomic_file.h"
#include "project/zip_handles.h"

#include <zip.h>

#include <string>

namespace {

bool Fail(std::string* error, const std::string& message) {
    if (error != nullptr) *error = message;
    return false;
}

// The archive's bytes, built in memory: a zip with no entries is just its end record (libzip
// would write nothing at all for it).
bool BuildArchive(const std::vector<ZipEntryToWrite>& entries, const std::string& password, std::string& bytes,
                  std::string* error) {
    if (entries.empty()) {
        bytes.assign("PK\x05\x06", 4);
        bytes.resize(22, '\0');
        return true;
    }
    zip_error_t openError;
    zip_error_init(&openError);
    ZipSourceHandle buffer(zip_source_buffer_create(nullptr, 0, 0, &openError));
    zip_source_keep(buffer.get());  // the archive's close would free it; its bytes are read after
    ZipHandle archive(buffer ? zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &openError) : nullptr);
    if (!archive) {
        std::string text = zip_error_strerror(&openError);
        zip_error_fini(&openError);
        return Fail(error, "Cannot create the archive: " + text + ".");
    }

    for (const ZipEntryToWrite& entry : entries) {
        // The entry bytes belong to the caller and stay alive until zip_close has run.
        ZipSourceHandle source(zip_source_buffer(archive.get(), entry.bytes.data(), entry.bytes.size(), 0));
        if (!source) {
            return Fail(error, "Cannot stage entry " + entry.name + ": " + zip_strerror(archive.get()) + ".");
        }
        const zip_int64_t index = zip_file_add(archive.get(), entry.name.c_str(), source.get(), ZIP_FL_ENC_GUESS);
        if (index < 0) {
            return Fail(error, "Cannot add entry " + entry.name + ": " + zip_strerror(archive.get()) + ".");
        }
        source.release();  // the archive owns it now

        const auto at = static_cast<zip_uint64_t>(index);
        if (zip_set_file_compression(archive.get(), at, ZIP_CM_DEFLATE, 0) != 0) {
            return Fail(error, "Cannot compress entry " + entry.name + ": " + zip_strerror(archive.get()) + ".");
        }
        if (entry.encrypt) {
            if (password.empty()) {
                return Fail(error, "Entry " + entry.name + " is to be encrypted without a password.");
            }
            if (zip_file_set_encryption(archive.get(), at, ZIP_EM_TRAD_PKWARE, password.c_str()) != 0) {
                return Fail(error, "Cannot encrypt entry " + entry.name + ": " + zip_strerror(archive.get()) + ".");
            }
        }
    }

    if (zip_close(archive.get()) != 0) {
        return Fail(error, std::string("Cannot build the archive: ") + zip_strerror(archive.get()) + ".");
    }
    archive.release();  // zip_close freed it

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer.get(), &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) ||
        zip_source_open(buffer.get()) != 0) {
        return Fail(error, "Cannot read the archive built.");
    }
    bytes.resize(static_cast<std::size_t>(stat.size));
    const zip_int64_t read = zip_source_read(buffer.get(), bytes.data(), stat.size);
    zip_source_close(buffer.get());
    if (read != static_cast<zip_int64_t>(stat.size)) return Fail(error, "Cannot read the archive built.");
    return true;
}

}  // namespace

bool WriteZipArchive(const std::string& path, const std::vector<ZipEntryToWrite>& entries, const std::string& password,
                     std::string* error) {
    try {
        std::string bytes;
        return BuildArchive(entries, password, bytes, error) && WriteFileAtomically(path, bytes, error);
    } catch (const std::exception& e) {
        return Fail(error, std::string("Cannot write the archive: ") + e.what() + ".");
    }
}
