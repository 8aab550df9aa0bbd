#include "platform/kx_text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/atomic_file.h"
#include "platform/host_path.h"

namespace {

constexpr std::size_t blockSize = 1024;
// As many links in a row as the system itself follows.
constexpr int maxLinkDepth = 40;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd(fd) {}
    ~FileDescriptor() {
        if (fd >= 0) close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd; }

private:
    int fd;
};

// Fills block from fd up to its size; fewer bytes only at the end of the file. -1 on an error.
ssize_t ReadBlock(int fd, char* block, std::size_t size) {
    std::size_t filled = 0;
    while (filled < size) {
        ssize_t got = read(fd, block + filled, size - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(filled);
}

}  // namespace

TextFileStatus CKXTextFile::Load(const std::string& hostPath) {
    text.clear();
    struct stat info;
    if (hostPath.empty() || stat(hostPath.c_str(), &info) != 0) return TextFileStatus::Missing;
    // Only regular files: a pipe would block the script and a device might never end.
    FileDescriptor file(OpenRegularFile(hostPath));
    if (file.Get() < 0 || fstat(file.Get(), &info) != 0) return TextFileStatus::CannotOpen;
    if (static_cast<std::uintmax_t>(info.st_size) > maxSize) return TextFileStatus::TooLarge;

    std::string loaded;
    std::size_t total = 0;
    char block[blockSize];
    for (;;) {
        ssize_t got = ReadBlock(file.Get(), block, blockSize);
        if (got < 0) return TextFileStatus::CannotOpen;
        if (got == 0) break;
        const std::size_t size = static_cast<std::size_t>(got);
        // The file may have grown since its size was checked.
        total += size;
        if (total > maxSize) return TextFileStatus::TooLarge;
        const void* zero = std::memchr(block, 0, size);
        loaded.append(block, zero ? static_cast<const char*>(zero) - block : size);
    }
    text = std::move(loaded);
    return TextFileStatus::Ok;
}

TextFileStatus CKXTextFile::Save(const std::string& hostPath, const std::string& contents) {
    if (hostPath.empty()) return TextFileStatus::CannotWrite;
    // The rename would replace a link by a plain file: write to the file it points at instead.
    // The link may point at a file not yet there, which is then created.
    std::filesystem::path linked = hostPath;
    std::error_code error;
    for (int depth = 0; std::filesystem::is_symlink(linked, error); ++depth) {
        if (depth == maxLinkDepth) return TextFileStatus::CannotWrite;
        const std::filesystem::path next = std::filesystem::read_symlink(linked, error);
        if (error) return TextFileStatus::CannotWrite;
        linked = next.is_absolute() ? next : linked.parent_path() / next;
    }
    const std::string target = linked.string();
    struct stat info;
    const bool existed = stat(target.c_str(), &info) == 0;
    // Writing a read-only file fails, even though the rename could replace it.
    if (existed && (!S_ISREG(info.st_mode) || access(target.c_str(), W_OK) != 0)) {
        return TextFileStatus::CannotWrite;
    }
    if (!WriteFileAtomically(target, contents, nullptr)) return TextFileStatus::CannotWrite;
    if (existed) chmod(target.c_str(), info.st_mode & 07777);
    return TextFileStatus::Ok;
}
