#include "platform/windows_paths.h"

#include "platform/code_page.h"

#include "platform/ascii_case.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string CurrentDirectory() {
    std::vector<char> buffer(4096);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) return "";
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// An absolute host path with ".", ".." and repeated slashes resolved lexically, like the
// Windows side does, and no trailing slash except for the root. "" when a relative path
// cannot be made absolute.
std::string NormaliseHostPath(const std::string& path) {
    std::string absolute = path;
    if (absolute.empty() || absolute[0] != '/') {
        std::string cwd = CurrentDirectory();
        if (cwd.empty()) return "";
        absolute = cwd + "/" + absolute;
    }
    std::vector<std::string_view> parts;
    std::string_view rest = absolute;
    while (!rest.empty()) {
        std::size_t end = rest.find('/');
        std::string_view part = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    std::string result;
    for (std::string_view part : parts) {
        result += '/';
        result += part;
    }
    return result.empty() ? "/" : result;
}

bool Exists(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// The entry of folder that Windows would open for name: the exact name if it exists, else the
// first case variant in byte order.
std::optional<std::string> MatchInFolder(const std::string& folder, const std::string& name) {
    std::string exact = Join(folder, name);
    if (Exists(exact)) return exact;
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
    if (!dir) return std::nullopt;
    std::optional<std::string> best;
    while (dirent* entry = readdir(dir.get())) {
        if (EqualsIgnoringAsciiCase(entry->d_name, name) && (!best || entry->d_name < *best)) {
            best = entry->d_name;
        }
    }
    if (!best) return std::nullopt;
    return Join(folder, *best);
}

// Adds the components of a Windows path to those of its starting folder, resolving "." and ".."
// without ever leaving the drive's root. As on Windows, trailing dots and blanks of the last
// component of a path that a program gave are dropped ("readme." names "readme").
void AppendComponents(std::vector<std::string>& components, std::string_view path, bool trimLast = true) {
    bool endsWithSeparator = !path.empty() && IsSeparator(path.back());
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        std::string part(path.substr(start, end - start));
        bool last = end >= path.size();
        start = end + 1;
        if (trimLast && last && !endsWithSeparator && part != "." && part != "..") {
            while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
        }
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!components.empty()) components.pop_back();
            continue;
        }
        components.push_back(std::move(part));
    }
}

struct PasswordEntry {
    std::string name;
    std::string home;
};

std::optional<PasswordEntry> CurrentPasswordEntry() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry;
    passwd* found = nullptr;
    while (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE) {
        buffer.resize(buffer.size() * 2);
    }
    if (!found) return std::nullopt;
    return PasswordEntry{found->pw_name ? found->pw_name : "", found->pw_dir ? found->pw_dir : ""};
}

}  // namespace

WindowsPathLayer& WindowsPathLayer::Instance() {
    static WindowsPathLayer instance;
    return instance;
}

WindowsPathLayer::WindowsPathLayer() {
    drives['Z'] = "/";
}

void WindowsPathLayer::SetDataHome(const std::string& folder) {
    std::string normalised = folder.empty() ? "" : NormaliseHostPath(folder);
    std::lock_guard lock(mutex);
    dataHomeOverride = normalised;
}

std::string WindowsPathLayer::DataHome() const {
    std::lock_guard lock(mutex);
    return DataHomeLocked();
}

std::string WindowsPathLayer::DataHomeLocked() const {
    if (!dataHomeOverride.empty()) return dataHomeOverride;
    std::string own = Environment("VANTORIX_DATA_HOME");
    if (!own.empty()) {
        std::string normalised = NormaliseHostPath(own);
        if (!normalised.empty()) return normalised;
    }
    // The XDG rules ignore a relative XDG_DATA_HOME.
    std::string xdg = Environment("XDG_DATA_HOME");
    if (!xdg.empty() && xdg[0] == '/') return NormaliseHostPath(xdg);
    std::string home = HomeFolder();
    if (!home.empty() && home[0] == '/') return NormaliseHostPath(home + "/.local/share");
    std::string temp = Environment("TMPDIR");
    return NormaliseHostPath(!temp.empty() && temp[0] == '/' ? temp : "/tmp");
}

bool WindowsPathLayer::MapDrive(char letter, const std::string& hostFolder) {
    if (!IsAsciiLetter(letter) || hostFolder.empty()) return false;
    std::string folder = NormaliseHostPath(hostFolder);
    if (folder.empty()) return false;
    std::lock_guard lock(mutex);
    char upper = UpperAscii(letter);
    drives[upper] = folder;
    if (upper == 'C') defaultDriveC = false;
    return true;
}

void WindowsPathLayer::UnmapDrive(char letter) {
    std::lock_guard lock(mutex);
    char upper = UpperAscii(letter);
    drives.erase(upper);
    if (upper == 'C') defaultDriveC = false;
}

void WindowsPathLayer::ResetDrives() {
    std::lock_guard lock(mutex);
    drives.clear();
    drives['Z'] = "/";
    defaultDriveC = true;
}

std::string WindowsPathLayer::DriveFolder(char letter) const {
    std::lock_guard lock(mutex);
    return DriveFolderLocked(letter);
}

std::string WindowsPathLayer::DriveFolderLocked(char letter) const {
    char upper = UpperAscii(letter);
    if (upper == 'C' && defaultDriveC) return Join(DataHomeLocked(), "vantorix/drive_c");
    auto found = drives.find(upper);
    return found == drives.end() ? "" : found->second;
}

void WindowsPathLayer::SetTextCodePage(const CodePage* codePage) {
    std::lock_guard lock(mutex);
    textCodePage = codePage;
}

std::string WindowsPathLayer::ToHostPath(const std::string& windowsPath) {
    // Names on disk are UTF-8; the project's are in its code page.
    const CodePage* codePage = nullptr;
    {
        std::lock_guard lock(mutex);
        codePage = textCodePage;
    }
    const std::string path = codePage ? codePage->ToUtf8(windowsPath) : windowsPath;
    if (path.empty() || path.find('\0') != std::string::npos) return "";
    // Network shares and device paths (\\server\share, \\?\, \\.\) have no host counterpart.
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return "";

    std::unique_lock lock(mutex);
    bool hasDrive = path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
    std::string_view rest = path;
    if (hasDrive) rest.remove_prefix(2);
    bool rooted = !rest.empty() && IsSeparator(rest[0]);

    char drive = hasDrive ? UpperAscii(path[0]) : 0;
    std::vector<std::string> components;
    if (!hasDrive || !rooted) {
        // Paths without a drive or without a root start from the current directory, seen as a
        // Windows path. "X:name" does so only when the current directory is on X:; each other
        // drive's current directory is its root, as in a fresh Windows process.
        std::string current = ToWindowsPathLocked(CurrentDirectory());
        bool currentKnown = current.size() >= 3;
        if (!hasDrive) {
            if (!currentKnown) return "";
            drive = current[0];
        }
        if (!rooted && currentKnown && current[0] == drive) {
            // The current directory's names are real ones: they keep their trailing dots.
            AppendComponents(components, std::string_view(current).substr(3), false);
        }
    }
    AppendComponents(components, rest);

    std::string host = DriveFolderLocked(drive);
    if (host.empty()) return "";
    if (drive == 'C' && defaultDriveC) EnsureDriveCLocked(host);
    lock.unlock();

    bool exists = true;
    for (const std::string& component : components) {
        if (exists) {
            if (std::optional<std::string> match = MatchInFolder(host, component)) {
                host = *match;
                continue;
            }
            exists = false;
        }
        host = Join(host, component);
    }
    return host;
}

std::string WindowsPathLayer::ToWindowsPath(const std::string& hostPath) const {
    std::lock_guard lock(mutex);
    std::string path = ToWindowsPathLocked(hostPath);
    return textCodePage ? textCodePage->FromUtf8Lossy(path) : path;
}

std::string WindowsPathLayer::ToWindowsPathLocked(const std::string& hostPath) const {
    if (hostPath.empty()) return "";
    std::string path = NormaliseHostPath(hostPath);
    if (path.empty()) return "";
    char bestLetter = 0;
    std::string bestFolder;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        std::string folder = DriveFolderLocked(letter);
        if (folder.empty()) continue;
        bool contains = folder == "/" || path == folder || (path.starts_with(folder) && path[folder.size()] == '/');
        if (contains && (bestLetter == 0 || folder.size() > bestFolder.size())) {
            bestLetter = letter;
            bestFolder = folder;
        }
    }
    if (bestLetter == 0) return "";
    std::string tail = path.substr(std::min(path.size(), bestFolder == "/" ? 1 : bestFolder.size() + 1));
    std::replace(tail.begin(), tail.end(), '/', '\\');
    return std::string(1, bestLetter) + ":\\" + tail;
}

std::string WindowsPathLayer::DriveCFolder() {
    std::lock_guard lock(mutex);
    std::string folder = DriveFolderLocked('C');
    if (!folder.empty() && defaultDriveC) EnsureDriveCLocked(folder);
    return folder;
}

void WindowsPathLayer::EnsureDriveCLocked(const std::string& folder) {
    if (folder == createdDriveC) return;
    const std::string profiles = "Documents and Settings/";
    const std::string user = profiles + UserName() + "/";
    const std::string allUsers = profiles + "All Users/";
    const std::vector<std::string> layout = {
        "Windows/System32",
        "Windows/Fonts",
        "Program Files/Common Files",
        user + "Desktop",
        user + "My Documents",
        user + "Start Menu/Programs/Startup",
        user + "Application Data",
        allUsers + "Desktop",
        allUsers + "Start Menu/Programs/Startup",
        allUsers + "Application Data",
    };
    bool complete = true;
    for (const std::string& sub : layout) {
        std::error_code error;
        std::filesystem::create_directories(Join(folder, sub), error);
        if (error) complete = false;
    }
    // An unwritable data home is tried again on the next use rather than remembered as done.
    if (complete) createdDriveC = folder;
}

std::string WindowsPathLayer::UserName() {
    std::string name;
    if (std::optional<PasswordEntry> entry = CurrentPasswordEntry()) name = entry->name;
    if (name.empty()) name = Environment("USER");
    // The name becomes a folder name on both sides; one that cannot be is replaced.
    bool usable = !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
    return usable ? name : "User";
}

std::string WindowsPathLayer::HomeFolder() {
    std::string home = Environment("HOME");
    if (!home.empty()) return home;
    if (std::optional<PasswordEntry> entry = CurrentPasswordEntry()) return entry->home;
    return "";
}
