#include "platform/special_folders.h"

#include "platform/windows_paths.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool IsFolder(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

// Folders on C: are only meaningful once the drive's layout exists.
std::string OnDriveC(const std::string& windowsPath) {
    WindowsPathLayer::Instance().DriveCFolder();
    return windowsPath;
}

// One entry of the user's XDG folder list ($XDG_CONFIG_HOME/user-dirs.dirs), as a host path, or
// "" when the list does not name it. Entries read KEY="$HOME/sub" or KEY="/absolute"; the file
// is shell syntax, so the last assignment wins.
std::string XdgUserDir(const std::string& key) {
    std::string home = WindowsPathLayer::HomeFolder();
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty() || config[0] != '/') {
        if (home.empty()) return "";
        config = home + "/.config";
    }
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    std::string result;
    while (std::getline(file, line)) {
        std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0) continue;
        std::size_t pos = start + key.size();
        if (line.compare(pos, 2, "=\"") != 0) continue;
        pos += 2;
        std::string value;
        bool closed = false;
        for (; pos < line.size(); ++pos) {
            char c = line[pos];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c == '\\' && pos + 1 < line.size()) c = line[++pos];
            value += c;
        }
        if (!closed) continue;
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/')) {
            if (home.empty()) continue;
            result = home + value.substr(5);
        } else if (!value.empty() && value[0] == '/') {
            result = value;
        }
    }
    return result;
}

// The Windows form of the first existing host folder among the candidates, or "".
std::string FirstExistingFolder(std::initializer_list<std::string> candidates) {
    for (const std::string& candidate : candidates) {
        if (!IsFolder(candidate)) continue;
        std::string windows = WindowsPathLayer::Instance().ToWindowsPath(candidate);
        if (!windows.empty()) return windows;
    }
    return "";
}

std::string DesktopFolder() {
    std::string home = WindowsPathLayer::HomeFolder();
    std::string xdg = XdgUserDir("XDG_DESKTOP_DIR");
    std::string found = FirstExistingFolder({xdg.empty() && !home.empty() ? home + "/Desktop" : xdg});
    return found.empty() ? OnDriveC(SpecialFolders::UserProfileFolder() + "\\Desktop") : found;
}

std::string DocumentsFolder() {
    std::string home = WindowsPathLayer::HomeFolder();
    std::string xdg = XdgUserDir("XDG_DOCUMENTS_DIR");
    std::string documents = xdg.empty() && !home.empty() ? home + "/Documents" : xdg;
    std::string found = FirstExistingFolder({documents, home});
    return found.empty() ? OnDriveC(SpecialFolders::UserProfileFolder() + "\\My Documents") : found;
}

}  // namespace

std::string SpecialFolders::WindowsFolder() {
    return OnDriveC("C:\\Windows");
}

std::string SpecialFolders::SystemFolder() {
    return OnDriveC("C:\\Windows\\System32");
}

std::string SpecialFolders::TempFolder() {
    std::string temp = Environment("TMPDIR");
    if (temp.empty() || temp[0] != '/') temp = "/tmp";
    return WindowsPathLayer::Instance().ToWindowsPath(temp);
}

std::string SpecialFolders::UserProfileFolder() {
    return "C:\\Documents and Settings\\" + WindowsPathLayer::UserName();
}

std::string SpecialFolders::AllUsersProfileFolder() {
    return "C:\\Documents and Settings\\All Users";
}

std::string SpecialFolders::SpecialFolder(int csidl) {
    switch (csidl) {
        case CSIDL_DESKTOP:
        case CSIDL_DESKTOPDIRECTORY:
            return DesktopFolder();
        case CSIDL_PERSONAL:
            return DocumentsFolder();
        case CSIDL_PROGRAMS:
            return OnDriveC(UserProfileFolder() + "\\Start Menu\\Programs");
        case CSIDL_STARTUP:
            return OnDriveC(UserProfileFolder() + "\\Start Menu\\Programs\\Startup");
        case CSIDL_STARTMENU:
            return OnDriveC(UserProfileFolder() + "\\Start Menu");
        case CSIDL_APPDATA:
            return OnDriveC(UserProfileFolder() + "\\Application Data");
        case CSIDL_FONTS:
            return OnDriveC("C:\\Windows\\Fonts");
        case CSIDL_COMMON_STARTMENU:
            return OnDriveC(AllUsersProfileFolder() + "\\Start Menu");
        case CSIDL_COMMON_PROGRAMS:
            return OnDriveC(AllUsersProfileFolder() + "\\Start Menu\\Programs");
        case CSIDL_COMMON_STARTUP:
            return OnDriveC(AllUsersProfileFolder() + "\\Start Menu\\Programs\\Startup");
        case CSIDL_COMMON_DESKTOPDIRECTORY:
            return OnDriveC(AllUsersProfileFolder() + "\\Desktop");
        case CSIDL_COMMON_APPDATA:
            return OnDriveC(AllUsersProfileFolder() + "\\Application Data");
        case CSIDL_PROGRAM_FILES:
            return OnDriveC("C:\\Program Files");
        case CSIDL_PROGRAM_FILES_COMMON:
            return OnDriveC("C:\\Program Files\\Common Files");
        default:
            return "";
    }
}
