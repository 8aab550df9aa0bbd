#include "app/runtime_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace {

bool IsPrivateFolder(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
           (info.st_mode & 0777) == 0700;
}

}  // namespace

std::string EnsurePrivateRuntimeFolder() {
    const char* given = std::getenv("XDG_RUNTIME_DIR");
    if (given && *given) return given;
    const char* temp = std::getenv("TMPDIR");
    std::string base = temp && *temp ? temp : "/tmp";
    std::string folder = base + "/vantorix-runtime-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), 0700) != 0 && !IsPrivateFolder(folder)) {
        // Someone else's name, or a folder with other rights: a fresh one of our own.
        std::string pattern = base + "/vantorix-runtime-XXXXXX";
        if (!mkdtemp(pattern.data())) return {};
        folder = pattern;
    }
    // mkdir's mode passes through the umask.
    chmod(folder.c_str(), 0700);
    if (!IsPrivateFolder(folder)) return {};
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    return folder;
}
