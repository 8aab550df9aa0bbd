#include "platform/shell_open.h"

#include "platform/ascii_case.h"
#include "platform/process_runner.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <sys/stat.h>

namespace {

constexpr int kShellSuccess = 42;

// How long the opener may take to report a failure. xdg-open, xdg-email and lp find out within a
// fraction of a second whether they can hand the document on; the exit status then says why not
// (2 missing file, 3 no tool for the type, 1 and 4 other failures), and scripts get the matching
// code. An opener still running after this has started the viewer in the foreground (some
// desktops' xdg-open wait for it): it keeps running, is reaped when it ends, and the open counts
// as a success. The player is blocked at most this long, as ShellExecute blocks its caller
// until the program has started.
constexpr std::chrono::milliseconds kOpenerGrace(800);

bool StartsWithIgnoringCase(const std::string& text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringAsciiCase(std::string_view(text).substr(0, prefix.size()), prefix);
}

// xdg-open and xdg-email exit with 2 for a missing file; lp has no such status.
int ResultOfOpener(const std::string& tool, int exitCode) {
    if (exitCode == 0) return kShellSuccess;
    if (exitCode == 2 && tool != "lp") return kRunFileNotFound;
    return kRunNoAssociation;
}

int RunOpener(const std::string& tool, const std::string& target, const std::string& workingFolder) {
    std::string path = FindProgramOnPath(tool);
    if (path.empty()) return kRunNoAssociation;
    ChildProcess opener;
    int error = opener.Start(path, {tool, target}, workingFolder);
    if (error != 0) return error == kRunOutOfMemory ? error : kRunNoAssociation;
    if (!opener.WaitFor(kOpenerGrace, {})) return kShellSuccess;
    return ResultOfOpener(tool, opener.ExitCode());
}

enum class Kind { Missing, MissingFolder, File, Folder };

Kind KindOf(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0) return S_ISDIR(info.st_mode) ? Kind::Folder : Kind::File;
    std::string parent = std::filesystem::path(path).parent_path().string();
    return stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? Kind::Missing : Kind::MissingFolder;
}

}  // namespace

int ShellExecuteVerb(const std::string& verb, const std::string& target, const std::string& workingFolder,
                     int showMode) {
    // The viewer's window is the desktop's business; there is no portable way to ask for a
    // minimized or hidden one.
    (void)showMode;

    enum class Verb { Open, Explore, Print } action;
    if (verb.empty() || EqualsIgnoringAsciiCase(verb, "open")) {
        action = Verb::Open;
    } else if (EqualsIgnoringAsciiCase(verb, "explore")) {
        action = Verb::Explore;
    } else if (EqualsIgnoringAsciiCase(verb, "print")) {
        action = Verb::Print;
    } else {
        return kRunNoAssociation;
    }

    if (!workingFolder.empty()) {
        struct stat info;
        if (stat(workingFolder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            return kRunPathNotFound;
        }
    }
    if (target.empty()) return kRunFileNotFound;

    bool mail = StartsWithIgnoringCase(target, "mailto:");
    if (mail || target.find("://") != std::string::npos) {
        if (action == Verb::Print) return kRunNoAssociation;
        if (mail && !FindProgramOnPath("xdg-email").empty()) {
            return RunOpener("xdg-email", target, workingFolder);
        }
        return RunOpener("xdg-open", target, workingFolder);
    }

    // The tools get an absolute path: it cannot be taken for an option, and it does not depend
    // on the folder they run in.
    std::filesystem::path path(target);
    if (path.is_relative() && !workingFolder.empty()) path = workingFolder / path;
    std::error_code error;
    path = std::filesystem::absolute(path, error);
    if (error) return kRunPathNotFound;
    std::string hostPath = path.string();

    Kind kind = KindOf(hostPath);
    switch (action) {
        case Verb::Open:
            if (kind == Kind::Missing) return kRunFileNotFound;
            if (kind == Kind::MissingFolder) return kRunPathNotFound;
            return RunOpener("xdg-open", hostPath, workingFolder);
        case Verb::Explore:
            if (kind != Kind::Folder) return kRunPathNotFound;
            return RunOpener("xdg-open", hostPath, workingFolder);
        case Verb::Print:
            if (kind == Kind::Missing) return kRunFileNotFound;
            if (kind == Kind::MissingFolder) return kRunPathNotFound;
            if (kind == Kind::Folder) return kRunNoAssociation;
            return RunOpener("lp", hostPath, workingFolder);
    }
    return kRunNoAssociation;
}
