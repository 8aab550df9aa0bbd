#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string* error) {
    std::string temporary = path + ".tmpXXXXXX";
    int fd = mkstemp(temporary.data());
    if (fd < 0) {
        if (error) *error = SystemError("cannot create a file beside", path);
        return false;
    }
    const char* data = contents.data();
    std::size_t left = contents.size();
    bool ok = true;
    while (left > 0 && ok) {
        ssize_t written = write(fd, data, left);
        if (written < 0 && errno == EINTR) continue;
        ok = written > 0;
        if (ok) {
            data += written;
            left -= static_cast<std::size_t>(written);
        }
    }
    if (!ok && error) *error = SystemError("cannot write", temporary);
    // New files get the usual permissions rather than mkstemp's owner-only ones.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    if (ok && fsync(fd) != 0) {
        ok = false;
        if (error) *error = SystemError("cannot write", temporary);
    }
    if (close(fd) != 0 && ok) {
        ok = false;
        if (error) *error = SystemError("cannot write", temporary);
    }
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        if (error) *error = SystemError("cannot replace", path);
    }
    if (!ok) unlink(temporary.c_str());
    return ok;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& contents, std::string* error) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        if (error) *error = SystemError("cannot open", path);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        if (error) *error = "cannot read " + path + ": it is a folder";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = SystemError("cannot open", path);
        return false;
    }
    contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        if (error) *error = SystemError("cannot read", path);
        return false;
    }
    return true;
}
