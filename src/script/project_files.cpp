#include "script/project_files.h"

#include "script/lua50_dialect.h"
#include "script/script_document.h"

bool WindowsPathExists(const std::string& path) {
    return HostPathExists(ScriptHostPath(path));
}

std::string ResolveSourcePath(const CKXScriptDocument& document, const std::string& path) {
    if (path.empty()) return path;
    std::size_t start = path.find_first_not_of('\\');
    std::string relative = start == std::string::npos ? "" : path.substr(start);
    std::string candidate = document.PathBesideExe(relative);
    if (WindowsPathExists(candidate)) return candidate;
    std::size_t lastSlash = path.rfind('\\');
    if (path.find_first_of("*?") != std::string::npos && lastSlash != std::string::npos) {
        std::string folder = path.substr(0, lastSlash);
        std::size_t folderStart = folder.find_first_not_of('\\');
        folder = document.PathBesideExe(folderStart == std::string::npos ? "" : folder.substr(folderStart));
        if (WindowsPathExists(folder)) return folder + path.substr(lastSlash);
    }
    return path;
}

std::string BesideExeHostPath(const CKXScriptDocument& document, const std::string& name) {
    return ScriptHostPath(document.PathBesideExe(name));
}

std::string ImageFileHostPath(const CKXScriptDocument& document, const std::string& name) {
    std::string direct = ScriptHostPath(name);
    if (HostPathExists(direct)) return direct;
    return BesideExeHostPath(document, name);
}

namespace {

// The plugins folder beside the program: in the data folder, when the project has one.
std::string PluginsFolderName(const CKXScriptDocument& document) {
    return document.DataFolderName().empty() ? "Plugins" : document.DataFolderName() + "\\Plugins";
}

}  // namespace

std::string PluginFileHostPath(const CKXScriptDocument& document, const std::string& fileName) {
    if (fileName.empty() || fileName.find_first_of("\\/:") != std::string::npos ||
        fileName.find("..") != std::string::npos) {
        return {};
    }
    return BesideExeHostPath(document, PluginsFolderName(document) + "\\" + fileName);
}

std::string PluginsFolderHostPath(const CKXScriptDocument& document) {
    return BesideExeHostPath(document, PluginsFolderName(document));
}
