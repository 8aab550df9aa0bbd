// Peak memory against the size of the project entry, for a data file whose string list holds
// many tiny entries: the player (headless, until its first page) and `vxtool inspect`, each run
// as a child process and measured by its peak resident set. The goal is at most 4x the entry's
// size plus a constant.
//
//   vx_bench_memory [ENTRIES [BIN_FOLDER]]   (default 50000000 entries, this build's programs)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "project/archive_password.h"
#include "project/vantorix_project.h"
#include "project/zip_writer.h"

namespace {

constexpr char marker[] = "VXMARKER";

// The project entry with the marker list replaced by count empty strings.
std::vector<std::uint8_t> HostileEntry(std::uint32_t count) {
    CVantorixProject project;
    project.pages.push_back(std::make_unique<CVantorixMenuPage>());
    project.info.unusedStringList = {marker};
    std::vector<std::uint8_t> entry = WriteProjectEntry(project);
    // The list as written: a word count of 1, then the marker's length byte and text.
    std::vector<std::uint8_t> written = {1, 0, static_cast<std::uint8_t>(sizeof marker - 1)};
    written.insert(written.end(), marker, marker + sizeof marker - 1);
    auto at = std::search(entry.begin(), entry.end(), written.begin(), written.end());
    if (at == entry.end()) {
        std::fprintf(stderr, "vx_bench_memory: the marker list is not in the entry\n");
        std::exit(1);
    }
    std::vector<std::uint8_t> list = {0xFF,
                                      0xFF,
                                      static_cast<std::uint8_t>(count),
                                      static_cast<std::uint8_t>(count >> 8),
                                      static_cast<std::uint8_t>(count >> 16),
                                      static_cast<std::uint8_t>(count >> 24)};
    list.resize(list.size() + count, 0);  // every entry an empty string: one length byte
    std::size_t position = static_cast<std::size_t>(at - entry.begin());
    entry.erase(entry.begin() + static_cast<std::ptrdiff_t>(position),
                entry.begin() + static_cast<std::ptrdiff_t>(position + written.size()));
    entry.insert(entry.begin() + static_cast<std::ptrdiff_t>(position), list.begin(), list.end());
    return entry;
}

// Runs a program and returns its peak resident set in kilobytes (-1 when it could not run).
long PeakKilobytes(const std::vector<std::string>& command) {
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        std::vector<char*> argv;
        for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return -1;
    return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint32_t count = argc > 1 ? static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 50000000;
    std::string bin = argc > 2 ? argv[2] : std::filesystem::path(argv[0]).parent_path().string();
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vx_bench_memory_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::string file = (folder / "hostile.cdd").string();
    std::vector<std::uint8_t> entry = HostileEntry(count);
    std::string error;
    if (!WriteZipArchive(file, {{"_proj.dat", entry, true}}, archivePassword, &error)) {
        std::fprintf(stderr, "vx_bench_memory: %s\n", error.c_str());
        return 1;
    }
    double entryMb = entry.size() / 1048576.0;
    std::printf("entry: %u empty strings, %.1f MB (data file %.1f MB)\n", count, entryMb,
                std::filesystem::file_size(file) / 1048576.0);
    struct Run {
        const char* name;
        std::vector<std::string> command;
    };
    const Run runs[] = {
        {"vxtool inspect", {bin + "/vxtool", "inspect", file}},
        {"player", {bin + "/vantorix", "--headless", "--timeout", "1", file}},
    };
    for (const Run& run : runs) {
        long kilobytes = PeakKilobytes(run.command);
        double mb = kilobytes / 1024.0;
        std::printf("%-15s peak %8.1f MB = %5.2f x the entry\n", run.name, mb, mb / entryMb);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
