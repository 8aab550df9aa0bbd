// Feeds arbitrary bytes to the readers of the desktop's files that the shell verbs and the special
// folders use, in a desktop of its own: HOME, the XDG folders and PATH all point into a scratch
// folder. The first byte picks the reader (and where some files go), the rest is its input:
//   0  an extension, then the MIME globs, a mimeapps.list, a defaults.list and two desktop entries
//      (viewer.desktop, and vx/sub.desktop known as vx-sub.desktop), split at NUL bytes. A type
//      found is one the globs name; a viewer found is an executable file; the statuses agree.
//   1  a user-dirs.dirs: the desktop and documents are Windows paths on C: or Z:, and an entry
//      added at the end wins over whatever came before.
//   2  an Exec value: a program found is not empty, and any program written in quotes (or, when
//      it has no blanks or quotes, without) with the entry's escapes reads back as written.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_inputs.h"
#include "fuzz_scratch_file.h"
#include "platform/file_association.h"
#include "platform/special_folders.h"
#include "platform/windows_paths.h"

namespace {

// The scratch desktop, set up once a process.
const std::string& Base() {
    static const bool ready = [] {
        const std::string& root = ScratchFolder("vx_fuzz_desktop_files");
        std::error_code ignored;
        for (const char* sub : {"home/Desktop", "home/Documents", "config", "etc", "data/mime", "data/applications/vx",
                                "share", "bin", "windows"}) {
            std::filesystem::create_directories(root + "/" + sub, ignored);
        }
        const std::string viewer = root + "/bin/viewer";
        WriteScratch(viewer, std::string_view("#!/bin/sh\nexit 0\n"));
        std::filesystem::permissions(viewer, std::filesystem::perms::owner_all, ignored);
        setenv("HOME", (root + "/home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
        setenv("XDG_CONFIG_DIRS", (root + "/etc").c_str(), 1);
        setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
        setenv("XDG_DATA_DIRS", (root + "/share").c_str(), 1);
        setenv("XDG_CURRENT_DESKTOP", "Fuzz:Other", 1);
        setenv("PATH", (root + "/bin").c_str(), 1);
        WindowsPathLayer::Instance().SetDataHome(root + "/windows");
        return true;
    }();
    (void)ready;
    return ScratchFolder("");
}

void Viewer(const std::string& base, unsigned options, std::string_view input) {
    const std::vector<std::string> pieces = Pieces(input, 6);
    const std::string& extension = pieces[0];
    const std::string& globs = pieces[1];

    const bool weighted = (options & 1) != 0;
    std::remove((base + (weighted ? "/data/mime/globs" : "/data/mime/globs2")).c_str());
    const char* const mimeAppsLists[] = {"/config/mimeapps.list", "/config/fuzz-mimeapps.list", "/etc/mimeapps.list",
                                         "/data/applications/mimeapps.list"};
    const std::size_t listIndex = (options >> 1) % 4;
    for (const char* list : mimeAppsLists) std::remove((base + list).c_str());
    if (!WriteScratch(base + (weighted ? "/data/mime/globs2" : "/data/mime/globs"), globs) ||
        !WriteScratch(base + mimeAppsLists[listIndex], pieces[2]) ||
        !WriteScratch(base + "/data/applications/defaults.list", pieces[3]) ||
        !WriteScratch(base + "/data/applications/viewer.desktop", pieces[4]) ||
        !WriteScratch(base + "/data/applications/vx/sub.desktop", pieces[5])) {
        return;
    }

    const std::string type = MimeTypeForExtension(extension);
    if (!type.empty() &&
        (type.find_first_of(":\n") != std::string::npos || globs.find(type + ":") == std::string::npos)) {
        std::abort();
    }
    std::string program = "stale";
    const ViewerStatus status = FindDefaultViewer(extension, program);
    if ((status == ViewerStatus::NoType) != type.empty() || (status == ViewerStatus::Ok) == program.empty()) {
        std::abort();
    }
    if (status == ViewerStatus::Ok && (program[0] != '/' || access(program.c_str(), X_OK) != 0)) std::abort();
}

bool IsWindowsPath(const std::string& path) {
    return path.size() >= 3 && (path.compare(0, 3, "C:\\") == 0 || path.compare(0, 3, "Z:\\") == 0);
}

void UserDirs(const std::string& base, std::string_view input) {
    const std::string list = base + "/config/user-dirs.dirs";
    if (!WriteScratch(list, input)) return;
    if (!IsWindowsPath(SpecialFolders::SpecialFolder(SpecialFolders::CSIDL_DESKTOPDIRECTORY)) ||
        !IsWindowsPath(SpecialFolders::SpecialFolder(SpecialFolders::CSIDL_PERSONAL))) {
        std::abort();
    }
    // The file is read as shell assignments: the last one wins.
    if (!WriteScratch(list, std::string(input) + "\nXDG_DESKTOP_DIR=\"$HOME/Documents\"\n")) return;
    static const std::string documents = WindowsPathLayer::Instance().ToWindowsPath(base + "/home/Documents");
    if (SpecialFolders::SpecialFolder(SpecialFolders::CSIDL_DESKTOPDIRECTORY) != documents) std::abort();
}

// The value of an Exec key as a desktop entry stores it: every backslash doubled.
std::string Stored(std::string_view exec) {
    std::string value;
    for (char c : exec) value += c == '\\' ? std::string("\\\\") : std::string(1, c);
    return value;
}

void ExecLine(const std::string& input) {
    const std::optional<std::string> program = DesktopExecProgram(input);
    if (program && program->empty()) std::abort();
    if (input.empty()) return;

    std::string quoted = "\"";
    for (char c : input) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    if (DesktopExecProgram(Stored(quoted + "\" %f")) != input) std::abort();

    if (input.find_first_of(" \t\"") != std::string::npos) return;
    std::string bare;
    for (char c : input) bare += c == '%' ? std::string("%%") : std::string(1, c);
    if (DesktopExecProgram(Stored(bare + " %U")) != input) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string& base = Base();
    const std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 3) {
        case 0:
            Viewer(base, data[0] / 3u, input);
            break;
        case 1:
            UserDirs(base, input);
            break;
        default:
            ExecLine(input);
            break;
    }
    return 0;
}
