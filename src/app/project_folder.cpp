#include "app/project_folder.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <vector>

#include "app/autorun_inf.h"
#include "app/data_file_search.h"
#include "platform/ascii_case.h"
#include "platform/host_path.h"

namespace fs = std::filesystem;

namespace {

bool HasExtension(const fs::path& path, const char* extension) {
    return EqualsIgnoringAsciiCase(path.extension().string(), extension);
}

std::vector<fs::path> FilesWithExtension(const fs::path& folder, const char* extension) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (HasExtension(it->path(), extension) && IsRegularFile(it->path().string())) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The program an autorun.inf names, as a host path inside the folder; empty for a program
// outside it (an absolute path, a drive, or a way up).
std::string AutorunProgram(const fs::path& folder) {
    std::optional<std::string> inf = FindHostPathIgnoringCase((folder / "autorun.inf").string());
    if (!inf) return {};
    std::optional<std::string> program = ReadAutorunOpenProgram(*inf);
    if (!program) return {};
    std::string relative = *program;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    if (relative.front() == '/' || (relative.size() > 1 && relative[1] == ':')) return {};
    for (const auto& part : fs::path(relative)) {
        if (part == "..") return {};
    }
    return (folder / relative).lexically_normal().string();
}

ProjectChoice ChooseInFolder(const fs::path& folder) {
    std::string program = AutorunProgram(folder);
    if (!program.empty() && !FindDataFile(program).dataFilePath.empty()) return {program, ""};
    // Each menu once: the data file, and the executable it is published with when there is one.
    std::set<std::string> menus;
    std::string chosen;
    for (const fs::path& executable : FilesWithExtension(folder, ".exe")) {
        std::string data = FindDataFile(executable.string()).dataFilePath;
        if (data.empty()) continue;
        if (menus.insert(fs::path(data).lexically_normal().string()).second && chosen.empty()) {
            chosen = executable.string();
        }
    }
    std::vector<fs::path> dataFiles = FilesWithExtension(folder, ".cdd");
    if (std::optional<std::string> own = FindHostPathIgnoringCase((folder / "Vantorix").string())) {
        for (const fs::path& file : FilesWithExtension(*own, ".cdd")) dataFiles.push_back(file);
    }
    for (const fs::path& data : dataFiles) {
        if (menus.insert(data.lexically_normal().string()).second && chosen.empty()) chosen = data.string();
    }
    if (menus.size() == 1) return {chosen, ""};
    if (menus.empty()) return {"", "No menu in " + folder.string() + ": it holds no .cdd data file."};
    std::string names;
    for (const std::string& menu : menus) {
        names += (names.empty() ? "" : ", ") + fs::path(menu).lexically_relative(folder).string();
    }
    return {"", folder.string() + " holds several menus (" + names + "): give the one to play."};
}

}  // namespace

ProjectChoice ChooseProjectExecutable(const std::string& project) {
    fs::path path = fs::absolute(project).lexically_normal();
    std::error_code error;
    if (fs::is_directory(path, error)) return ChooseInFolder(path);
    if (HasExtension(path, ".cdd")) {
        for (const fs::path& executable : FilesWithExtension(path.parent_path(), ".exe")) {
            if (EqualsIgnoringAsciiCase(executable.stem().string(), path.stem().string()))
                return {executable.string(), ""};
        }
    }
    return {path.string(), ""};
}
