#include "platform/host_path.h"

#include "platform/ascii_case.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

std::optional<std::string> FindInFolder(const std::string& folder, const std::string& name) {
    std::string candidate = folder == "/" ? "/" + name : folder + "/" + name;
    if (Exists(candidate)) return candidate;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()), closedir);
    if (!dir) return std::nullopt;
    std::vector<std::string> matches;
    while (dirent* entry = readdir(dir.get())) {
        if (EqualsIgnoringAsciiCase(entry->d_name, name)) matches.push_back(entry->d_name);
    }
    if (matches.empty()) return std::nullopt;
    std::sort(matches.begin(), matches.end());
    return folder == "/" ? "/" + matches.front() : folder + "/" + matches.front();
}

}  // namespace

std::optional<std::string> FindHostPathIgnoringCase(const std::string& path) {
    if (path.empty()) return std::nullopt;
    if (Exists(path)) return path;
    std::string resolved = path[0] == '/' ? "/" : "";
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        std::string component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == ".") continue;
        if (component == "..") {
            resolved = resolved.empty() ? ".." : resolved + (resolved == "/" ? "" : "/") + "..";
            continue;
        }
        std::optional<std::string> next =
            resolved.empty() ? FindInFolder(".", component) : FindInFolder(resolved, component);
        if (!next) return std::nullopt;
        resolved = resolved.empty() ? next->substr(2) : *next;
    }
    return resolved;
}

bool HostPathExists(const std::string& path) {
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

int OpenRegularFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return -1;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool IsRegularFile(const std::string& path) {
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::optional<std::string> ReadRegularFileStart(const std::string& path, std::size_t limit) {
    int fd = OpenRegularFile(path);
    if (fd < 0) return std::nullopt;
    std::string bytes(limit, '\0');
    std::size_t have = 0;
    while (have < limit) {
        ssize_t got = read(fd, bytes.data() + have, limit - have);
        if (got < 0) {
            close(fd);
            return std::nullopt;
        }
        if (got == 0) break;
        have += static_cast<std::size_t>(got);
    }
    close(fd);
    bytes.resize(have);
    return bytes;
}

std::string FirstExistingBesideProgram(const std::string& programPath, std::initializer_list<const char*> relatives) {
    std::filesystem::path programs = std::filesystem::path(programPath).parent_path();
    for (const char* relative : relatives) {
        std::filesystem::path candidate = programs / relative;
        std::error_code error;
        if (std::filesystem::exists(candidate, error)) return candidate.lexically_normal().string();
    }
    return {};
}
