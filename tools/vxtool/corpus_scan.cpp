#include "corpus_scan.h"

#include <chrono>
#include <filesystem>
#include <iomanip>
#include <map>
#include <ostream>

#include <unistd.h>

#include "data_file_report.h"
#include "platform/ascii_case.h"
#include "platform/host_path.h"

namespace fs = std::filesystem;

namespace {

using Json = nlohmann::ordered_json;

std::string JsonLine(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// The figures of the whole corpus.
class CorpusSummary {
public:
    void Add(const Json& report) {
        ++dataFiles;
        if (!report["reads"].get<bool>()) {
            ++unreadable;
            return;
        }
        pages += report["pages"].get<long long>();
        for (const auto& [kind, count] : report["objects"].items()) objects[kind] += count.get<long long>();
        for (const Json& media : report["media"]) {
            ++mediaNamed;
            if (media.contains("exists") && !media["exists"].get<bool>()) ++mediaMissing;
        }
        if (report["missingMedia"].get<long long>() > 0) ++withMissingMedia;
        long long errors = static_cast<long long>(report["scriptErrors"].size());
        scriptErrors += errors;
        if (errors > 0) ++withScriptErrors;
        if (report["flash"].get<long long>() > 0 || report.value("intro", "") == "flash") ++withFlash;
        if (report["video"].get<long long>() > 0 || report.value("intro", "") == "video") ++withVideo;
        fonts += static_cast<long long>(report["fonts"].size());
        for (const Json& transition : report["transitions"]) ++transitions[transition["name"].get<std::string>()];
        for (const Json& need : report["needs"]) ++needs[need.get<std::string>()];
    }

    void Print(std::ostream& out, long long unreadableFolders) const {
        auto row = [&](const std::string& what, long long count) {
            out << std::left << std::setw(44) << what << std::right << std::setw(10) << count << "\n";
        };
        row("data files", dataFiles);
        row("  that do not read", unreadable);
        row("pages", pages);
        for (const auto& [kind, count] : objects) row("objects: " + kind, count);
        row("media files named", mediaNamed);
        row("  missing", mediaMissing);
        row("data files with missing media", withMissingMedia);
        row("scripts that do not compile", scriptErrors);
        row("data files with such scripts", withScriptErrors);
        row("data files with Flash", withFlash);
        row("data files with video", withVideo);
        row("embedded fonts", fonts);
        for (const auto& [name, count] : transitions) row("transition: " + name, count);
        for (const auto& [name, count] : needs) row("needs " + name, count);
        row("folders that could not be read", unreadableFolders);
    }

private:
    long long dataFiles = 0, unreadable = 0, pages = 0, mediaNamed = 0, mediaMissing = 0, withMissingMedia = 0;
    long long scriptErrors = 0, withScriptErrors = 0, withFlash = 0, withVideo = 0, fonts = 0;
    std::map<std::string, long long> objects, transitions, needs;
};

// A count and the current folder, on one line rewritten in place, at most five times a second.
class Progress {
public:
    Progress(bool shown, std::ostream& out) : shown(shown), out(out) {}
    ~Progress() {
        if (shown && drawn) out << "\r\033[K" << std::flush;
    }
    void Update(long long dataFiles, const fs::path& folder) {
        if (!shown) return;
        auto now = std::chrono::steady_clock::now();
        if (drawn && now - last < std::chrono::milliseconds(200)) return;
        last = now;
        drawn = true;
        out << "\r\033[K" << dataFiles << " data files, in " << folder.string().substr(0, 100) << std::flush;
    }

private:
    bool shown;
    std::ostream& out;
    bool drawn = false;
    std::chrono::steady_clock::time_point last;
};

bool IsDataFileName(const fs::path& path) {
    return EqualsIgnoringAsciiCase(path.extension().string(), ".cdd");
}

}  // namespace

int ScanCorpus(const CorpusScanOptions& options, const CodePage& codePage, std::ostream& out, std::ostream& errors) {
    CorpusSummary summary;
    Progress progress(options.progress, errors);
    long long dataFiles = 0, unreadableFolders = 0;
    int status = 0;
    auto report = [&](const std::string& file) {
        Json line = ReportDataFile(file, options.report, codePage);
        ++dataFiles;
        if (options.summary) {
            summary.Add(line);
        } else {
            out << JsonLine(line) << "\n";
        }
    };
    for (const std::string& root : options.roots) {
        std::error_code error;
        fs::file_status kind = fs::status(root, error);
        if (error || !fs::exists(kind)) {
            errors << "vxtool: " << root << ": no such file or folder\n";
            status = 1;
            continue;
        }
        if (!fs::is_directory(kind)) {
            // A FIFO or a device would block or never end.
            if (IsRegularFile(root)) {
                report(root);
            } else {
                errors << "vxtool: " << root << ": neither a folder nor a regular file\n";
                status = 1;
            }
            continue;
        }
        fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
        if (error) {
            ++unreadableFolders;
            continue;
        }
        while (it != end) {
            const fs::directory_entry& entry = *it;
            std::error_code entryError;
            if (entry.is_directory(entryError) && !entry.is_symlink(entryError)) {
                progress.Update(dataFiles, entry.path());
                // A folder that lists but cannot be entered is skipped, and counted.
                if (access(entry.path().c_str(), R_OK | X_OK) != 0) {
                    ++unreadableFolders;
                    it.disable_recursion_pending();
                }
            } else if (IsDataFileName(entry.path()) && IsRegularFile(entry.path().string())) {
                report(entry.path().string());
            }
            it.increment(entryError);
            if (entryError) {
                ++unreadableFolders;
                // The iterator cannot go on inside a folder it failed in; it goes on after it.
                if (it != end) it.pop(entryError);
                if (entryError) break;
            }
        }
    }
    if (options.summary) summary.Print(out, unreadableFolders);
    return status;
}
