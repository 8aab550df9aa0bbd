#include "platform/file_association.h"

#include "platform/ascii_case.h"
#include "platform/process_runner.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The database files are outside data: a huge or endless file (a link to a device, say) is read
// only up to this size.
constexpr std::size_t kMaxFileSize = 8 * 1024 * 1024;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// An XDG folder variable: its value when absolute (relative values are invalid and ignored),
// else the fallback below the home folder.
std::string XdgHome(const char* variable, const char* belowHome) {
    std::string value = Environment(variable);
    if (!value.empty() && value[0] == '/') return value;
    std::string home = Environment("HOME");
    return home.empty() ? "" : home + belowHome;
}

std::vector<std::string> SplitList(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

std::vector<std::string> XdgFolders(const char* variable, const char* fallback) {
    std::vector<std::string> folders;
    for (const std::string& folder : SplitList(Environment(variable), ':')) {
        if (!folder.empty() && folder[0] == '/') folders.push_back(folder);
    }
    if (folders.empty()) folders = SplitList(fallback, ':');
    return folders;
}

// $XDG_DATA_HOME, then each folder of $XDG_DATA_DIRS.
std::vector<std::string> DataFolders() {
    std::vector<std::string> folders;
    std::string home = XdgHome("XDG_DATA_HOME", "/.local/share");
    if (!home.empty()) folders.push_back(home);
    for (std::string& folder : XdgFolders("XDG_DATA_DIRS", "/usr/local/share:/usr/share")) {
        folders.push_back(std::move(folder));
    }
    return folders;
}

std::vector<std::string> ConfigFolders() {
    std::vector<std::string> folders;
    std::string home = XdgHome("XDG_CONFIG_HOME", "/.config");
    if (!home.empty()) folders.push_back(home);
    for (std::string& folder : XdgFolders("XDG_CONFIG_DIRS", "/etc/xdg")) {
        folders.push_back(std::move(folder));
    }
    return folders;
}

bool IsFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool IsFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    if (!IsFile(path)) return lines;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    std::size_t total = 0;
    while (total < kMaxFileSize && std::getline(file, line)) {
        total += line.size() + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string Trim(const std::string& text) {
    std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return "";
    std::size_t end = text.find_last_not_of(" \t");
    return text.substr(start, end - start + 1);
}

// Key-file groups ("[Group]" lines, then "key=value" lines; blanks around '=' do not count).
// For each group and key the first value is kept, as desktop tools do.
class KeyFile {
public:
    explicit KeyFile(const std::string& path) {
        std::string group;
        for (const std::string& line : ReadLines(path)) {
            if (line.empty() || line[0] == '#') continue;
            if (line[0] == '[') {
                std::size_t close = line.find(']');
                group = close == std::string::npos ? std::string() : line.substr(1, close - 1);
                continue;
            }
            std::size_t equals = line.find('=');
            if (group.empty() || equals == std::string::npos) continue;
            entries.emplace(std::make_pair(group, Trim(line.substr(0, equals))), Trim(line.substr(equals + 1)));
        }
    }

    const std::string* Find(const std::string& group, const std::string& key) const {
        auto found = entries.find(std::make_pair(group, key));
        return found == entries.end() ? nullptr : &found->second;
    }

    // A ';'-separated value without its empty items.
    std::vector<std::string> List(const std::string& group, const std::string& key) const {
        std::vector<std::string> items;
        if (const std::string* value = Find(group, key)) {
            for (const std::string& item : SplitList(*value, ';')) {
                std::string trimmed = Trim(item);
                if (!trimmed.empty()) items.push_back(trimmed);
            }
        }
        return items;
    }

private:
    std::map<std::pair<std::string, std::string>, std::string> entries;
};

const char kDesktopEntry[] = "Desktop Entry";

std::vector<std::string> ApplicationFolders() {
    std::vector<std::string> folders;
    for (const std::string& folder : DataFolders()) folders.push_back(folder + "/applications");
    return folders;
}

// A desktop file ID names a file below an applications folder with '/' written as '-':
// "kde-okular.desktop" is kde-okular.desktop or kde/okular.desktop.
std::string FindIdBelow(const std::string& folder, const std::string& id) {
    if (IsFile(folder + "/" + id)) return folder + "/" + id;
    for (std::size_t dash = id.find('-'); dash != std::string::npos; dash = id.find('-', dash + 1)) {
        std::string sub = folder + "/" + id.substr(0, dash);
        if (dash == 0 || !IsFolder(sub)) continue;
        std::string found = FindIdBelow(sub, id.substr(dash + 1));
        if (!found.empty()) return found;
    }
    return "";
}

bool IsHidden(const KeyFile& entry) {
    const std::string* hidden = entry.Find(kDesktopEntry, "Hidden");
    return hidden && *hidden == "true";
}

// The installed desktop file of an ID, or "" when there is none. The first applications folder
// that has the ID decides; a hidden entry there removes the application altogether.
std::string FindDesktopFile(const std::string& id) {
    if (id.size() <= 8 || id.find('/') != std::string::npos || id.compare(id.size() - 8, 8, ".desktop") != 0) {
        return "";
    }
    for (const std::string& folder : ApplicationFolders()) {
        std::string path = FindIdBelow(folder, id);
        if (path.empty()) continue;
        return IsHidden(KeyFile(path)) ? "" : path;
    }
    return "";
}

// The mimeapps.list files, most important first: the desktop-specific ones before the general
// one in each folder, the configuration folders before the data folders.
std::vector<std::string> MimeAppsLists() {
    std::vector<std::string> desktops;
    for (const std::string& name : SplitList(Environment("XDG_CURRENT_DESKTOP"), ':')) {
        if (name.empty()) continue;
        std::string lower;
        for (char c : name) lower += FoldAscii(c);
        desktops.push_back(lower);
    }
    std::vector<std::string> folders = ConfigFolders();
    for (const std::string& folder : DataFolders()) folders.push_back(folder + "/applications");
    std::vector<std::string> lists;
    for (const std::string& folder : folders) {
        for (const std::string& desktop : desktops) {
            lists.push_back(folder + "/" + desktop + "-mimeapps.list");
        }
        lists.push_back(folder + "/mimeapps.list");
    }
    return lists;
}

std::string FirstInstalled(const std::vector<std::string>& ids, const std::set<std::string>& removed) {
    for (const std::string& id : ids) {
        if (removed.count(id)) continue;
        std::string path = FindDesktopFile(id);
        if (!path.empty()) return path;
    }
    return "";
}

// Every desktop file of the applications folders by ID; an ID of an earlier folder hides the
// same ID further on. IDs come sorted so that the choice among several applications is stable.
std::vector<std::pair<std::string, std::string>> InstalledApplications() {
    std::vector<std::pair<std::string, std::string>> applications;
    std::set<std::string> seen;
    for (const std::string& folder : ApplicationFolders()) {
        std::vector<std::pair<std::string, std::string>> found;
        std::error_code error;
        std::filesystem::recursive_directory_iterator it(
            folder, std::filesystem::directory_options::skip_permission_denied, error);
        for (; !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
            const std::filesystem::path& path = it->path();
            if (path.extension() != ".desktop") continue;
            std::string id = path.lexically_relative(folder).string();
            std::replace(id.begin(), id.end(), '/', '-');
            found.emplace_back(id, path.string());
        }
        std::sort(found.begin(), found.end());
        for (auto& application : found) {
            if (seen.insert(application.first).second) applications.push_back(std::move(application));
        }
    }
    return applications;
}

// The desktop file of the type's default application, or "" when there is none.
std::string DefaultApplication(const std::string& mimeType) {
    std::vector<KeyFile> lists;
    for (const std::string& path : MimeAppsLists()) lists.emplace_back(path);

    const std::set<std::string> none;
    for (const KeyFile& list : lists) {
        std::string path = FirstInstalled(list.List("Default Applications", mimeType), none);
        if (!path.empty()) return path;
    }
    for (const std::string& folder : DataFolders()) {
        KeyFile defaults(folder + "/applications/defaults.list");
        std::string path = FirstInstalled(defaults.List("Default Applications", mimeType), none);
        if (!path.empty()) return path;
    }
    // Added associations count unless a list of the same or a higher rank removed them.
    std::set<std::string> removed;
    for (const KeyFile& list : lists) {
        for (const std::string& id : list.List("Removed Associations", mimeType)) removed.insert(id);
        std::string path = FirstInstalled(list.List("Added Associations", mimeType), removed);
        if (!path.empty()) return path;
    }
    for (const auto& [id, path] : InstalledApplications()) {
        if (removed.count(id)) continue;
        KeyFile entry(path);
        if (IsHidden(entry)) continue;
        std::vector<std::string> types = entry.List(kDesktopEntry, "MimeType");
        if (std::find(types.begin(), types.end(), mimeType) != types.end()) return path;
    }
    return "";
}

// The escapes of a desktop entry's string values.
std::string UnescapeValue(const std::string& value) {
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            text += value[i];
            continue;
        }
        switch (value[i + 1]) {
            case 's':
                text += ' ';
                break;
            case 'n':
                text += '\n';
                break;
            case 't':
                text += '\t';
                break;
            case 'r':
                text += '\r';
                break;
            case '\\':
                text += '\\';
                break;
            default:
                // Not an escape: the backslash stays, the quoting rules may still want it.
                text += value[i];
                continue;
        }
        ++i;
    }
    return text;
}

}  // namespace

std::optional<std::string> DesktopExecProgram(const std::string& exec) {
    std::string line = UnescapeValue(exec);
    std::size_t pos = line.find_first_not_of(" \t");
    if (pos == std::string::npos) return std::nullopt;
    std::string program;
    while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') {
        char c = line[pos];
        if (c == '"') {
            bool closed = false;
            for (++pos; pos < line.size(); ++pos) {
                c = line[pos];
                if (c == '"') {
                    closed = true;
                    ++pos;
                    break;
                }
                if (c == '\\' && pos + 1 < line.size() &&
                    std::string_view("\"`$\\").find(line[pos + 1]) != std::string_view::npos) {
                    c = line[++pos];
                }
                program += c;
            }
            if (!closed) return std::nullopt;
        } else if (c == '%') {
            // %% is a percent sign; any other field code stands for arguments, not the program.
            if (pos + 1 < line.size() && line[pos + 1] == '%') program += '%';
            pos += 2;
        } else {
            program += c;
            ++pos;
        }
    }
    if (program.empty()) return std::nullopt;
    return program;
}

std::string MimeTypeForExtension(const std::string& extension) {
    std::size_t start = extension.find_first_not_of('.');
    if (start == std::string::npos) return "";
    const std::string wanted = "*." + extension.substr(start);

    std::string best;
    int bestWeight = -1;
    for (const std::string& folder : DataFolders()) {
        bool weighted = IsFile(folder + "/mime/globs2");
        for (const std::string& line : ReadLines(folder + (weighted ? "/mime/globs2" : "/mime/globs"))) {
            if (line.empty() || line[0] == '#') continue;
            std::vector<std::string> fields = SplitList(line, ':');
            int weight = 50;
            std::size_t first = 0;
            if (weighted) {
                const char* end = fields[0].data() + fields[0].size();
                auto parsed = std::from_chars(fields[0].data(), end, weight);
                if (parsed.ec != std::errc() || parsed.ptr != end) continue;
                first = 1;
            }
            if (fields.size() < first + 2) continue;
            const std::string& type = fields[first];
            const std::string& pattern = fields[first + 1];
            bool caseSensitive = false;
            if (weighted && fields.size() > 3) {
                for (const std::string& flag : SplitList(fields[3], ',')) {
                    if (flag == "cs") caseSensitive = true;
                }
            }
            bool match = caseSensitive ? pattern == wanted : EqualsIgnoringAsciiCase(pattern, wanted);
            if (match && !type.empty() && weight > bestWeight) {
                best = type;
                bestWeight = weight;
            }
        }
    }
    return best;
}

ViewerStatus FindDefaultViewer(const std::string& extension, std::string& programPath) {
    programPath.clear();
    std::string mimeType = MimeTypeForExtension(extension);
    if (mimeType.empty()) return ViewerStatus::NoType;

    std::string desktopFile = DefaultApplication(mimeType);
    if (desktopFile.empty()) return ViewerStatus::NoCommand;

    KeyFile entry(desktopFile);
    const std::string* exec = entry.Find(kDesktopEntry, "Exec");
    std::optional<std::string> program = exec ? DesktopExecProgram(*exec) : std::nullopt;
    if (!program) return ViewerStatus::NotExecutable;

    std::string path;
    if (program->find('/') == std::string::npos) {
        path = FindProgramOnPath(*program);
    } else {
        struct stat info;
        if (stat(program->c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(program->c_str(), X_OK) == 0) {
            std::error_code error;
            path = std::filesystem::absolute(*program, error).string();
        }
    }
    if (path.empty()) return ViewerStatus::Missing;
    programPath = path;
    return ViewerStatus::Ok;
}
