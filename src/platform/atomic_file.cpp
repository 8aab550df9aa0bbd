#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

// The temporary files of writes to path: ".NAME.vxtmp-XXXXXX" beside it, so that they are
// known as ours and as belonging to that file.
struct TemporaryNames {
    std::string folder;
    std::string prefix;  // the name up to the six characters mkstemp fills in
};

TemporaryNames TemporaryNamesOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {".", "." + path + ".vxtmp-"};
    return {path.substr(0, slash), "." + path.substr(slash + 1) + ".vxtmp-"};
}

// Removes what killed writes left behind. A writer holds a lock on its temporary file until it
// is renamed, so one that can be locked has no writer any more.
void RemoveStaleTemporaries(const TemporaryNames& names) {
    DIR* dir = opendir(names.folder.c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() != names.prefix.size() + 6 || name.compare(0, names.prefix.size(), names.prefix) != 0) {
            continue;
        }
        std::string stale = names.folder + "/" + name;
        int fd = open(stale.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info {};
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0) unlink(stale.c_str());
        close(fd);
    }
    closedir(dir);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string* error) {
    TemporaryNames names = TemporaryNamesOf(path);
    RemoveStaleTemporaries(names);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 3 && fd < 0; ++attempt) {
        temporary = names.folder + "/" + names.prefix + "XXXXXX";
        fd = mkstemp(temporary.data());
        if (fd < 0) break;
        // Held until the rename (or the writer's end): while it is, no cleaner takes the file.
        // One that took it in the instant before the lock leaves another name to try.
        struct stat mine {
        }, there{};
        if (flock(fd, LOCK_EX) != 0 || fstat(fd, &mine) != 0 || stat(temporary.c_str(), &there) != 0 ||
            mine.st_ino != there.st_ino) {
            close(fd);
            fd = -1;
        }
    }
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
