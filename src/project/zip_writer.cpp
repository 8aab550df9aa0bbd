#include "project/zip_writer.h"

#include "project/zip_handles.h"

#include <unistd.h>
#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

std::string OpenErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

bool Fail(std::string* error, const std::string& message) {
    if (error != nullptr) *error = message;
    return false;
}

// A zip with no entries is just its end record; libzip would delete the file instead of
// writing one.
bool WriteEmptyArchive(const std::string& path, std::string* error) {
    static const unsigned char endRecord[22] = {'P', 'K', 5, 6};
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (file == nullptr) {
        return Fail(error, "Cannot create " + path + ": " + std::strerror(errno) + ".");
    }
    const bool written = std::fwrite(endRecord, 1, sizeof endRecord, file) == sizeof endRecord;
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        return Fail(error, "Cannot write " + path + ": " + std::strerror(errno) + ".");
    }
    return true;
}

bool WriteEntries(const std::string& path, const std::vector<ZipEntryToWrite>& entries, const std::string& password,
                  std::string* error) {
    int openError = 0;
    ZipHandle archive(zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &openError));
    if (!archive) {
        return Fail(error, "Cannot create " + path + ": " + OpenErrorText(openError) + ".");
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
        return Fail(error, "Cannot write " + path + ": " + zip_strerror(archive.get()) + ".");
    }
    archive.release();  // zip_close freed it
    return true;
}

}  // namespace

bool WriteZipArchive(const std::string& path, const std::vector<ZipEntryToWrite>& entries, const std::string& password,
                     std::string* error) {
    std::string tempPath;
    try {
        // Reserve a unique name beside the target so the final rename stays on one file system.
        tempPath = path + ".tmpXXXXXX";
        const int fd = mkstemp(tempPath.data());
        if (fd < 0) {
            const int mkstempErrno = errno;
            tempPath.clear();
            return Fail(error,
                        "Cannot create a temporary file beside " + path + ": " + std::strerror(mkstempErrno) + ".");
        }
        close(fd);
        // The writers below create the file again, exclusively and with the usual permissions
        // rather than the private ones mkstemp gives.
        std::remove(tempPath.c_str());

        const bool ok =
            entries.empty() ? WriteEmptyArchive(tempPath, error) : WriteEntries(tempPath, entries, password, error);
        if (!ok) {
            std::remove(tempPath.c_str());
            return false;
        }
        if (std::rename(tempPath.c_str(), path.c_str()) != 0) {
            const int renameErrno = errno;
            std::remove(tempPath.c_str());
            return Fail(error, "Cannot replace " + path + ": " + std::strerror(renameErrno) + ".");
        }
        return true;
    } catch (const std::exception& e) {
        if (!tempPath.empty()) std::remove(tempPath.c_str());
        return Fail(error, std::string("Cannot write the archive: ") + e.what() + ".");
    }
}
