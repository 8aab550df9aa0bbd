// vx_soak: drives the player with random replays over the demo menus and over random menus made
// with `vxtool pack`, for a given time, and fails on a crash, a sanitizer report, a run that
// outlives its timeout, a script error nobody asked for, or too much memory; and when an object
// kind, a media kind or a page change never came up, so that it cannot shrink into a toy.
//
//   vx_soak --seed N --seconds S [--player PATH] [--keep DIR] [--run I]
//
// Run I of seed N is the same menu and replay on any machine: a failure is replayed with
// --seed N --run I. Each failing run's menu, replay, log and standard error are kept in DIR.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "menu_generator.h"
#include "player_run.h"
#include "replay_generator.h"
#include "run_judge.h"

namespace fs = std::filesystem;

namespace {

constexpr long long timeoutMs = 20000;
constexpr long long graceMs = 5000;
constexpr long long memoryLimitKb = 1536LL * 1024;
constexpr int maxReplayWaitMs = 8000;

struct Options {
    unsigned long seed = 0;
    bool seedGiven = false;
    double seconds = 60;
    std::string player;
    std::string keep = "soak-failures";
    std::optional<long> onlyRun;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if (i + 1 >= argc) return false;
        std::string value = argv[++i];
        if (option == "--seed") {
            options.seed = std::stoul(value);
            options.seedGiven = true;
        } else if (option == "--seconds") {
            options.seconds = std::stod(value);
        } else if (option == "--player") {
            options.player = value;
        } else if (option == "--keep") {
            options.keep = value;
        } else if (option == "--run") {
            options.onlyRun = std::stol(value);
        } else {
            return false;
        }
    }
    return true;
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// What all runs together showed.
struct Tally {
    long runs = 0, failures = 0, pageChanges = 0, events = 0;
    long long peakKb = 0;
    std::set<int> kinds;
    bool audio = false, video = false, flash = false;
};

class Soak {
public:
    Soak(const Options& options) : options(options) {
        fs::path bin = fs::path(options.player).parent_path();
        vxtool = (bin / "vxtool").string();
        demoFolder = bin / ".." / "examples" / "demo";
        demos = {demoFolder / "demo.cdd", bin / ".." / "examples" / "flash-intro" / "flash-intro.cdd"};
        withFlash = fs::exists(bin / ".." / "lib" / "vantorix" / "vx_flash_ruffle.so") &&
                    fs::exists(bin / ".." / "share" / "vantorix" / "ruffle" / "ruffle.js");
        char pattern[] = "/tmp/vx_soak_XXXXXX";
        scratch = mkdtemp(pattern) ? fs::path(pattern) : fs::temp_directory_path();
    }
    ~Soak() {
        std::error_code ignored;
        fs::remove_all(scratch, ignored);
    }

    // One run: its own random source, so that it is the same whatever ran before it.
    void Run(long index) {
        std::mt19937 random(static_cast<std::mt19937::result_type>(options.seed * 1000003UL + index));
        fs::path folder = scratch / ("run-" + std::to_string(index));
        fs::create_directories(folder);
        // One run in four plays a demo menu as it was published; the others a menu made now.
        fs::path menu;
        std::set<int> kinds;
        if (std::uniform_int_distribution<int>(0, 3)(random) == 0) {
            menu = demos[std::uniform_int_distribution<std::size_t>(0, demos.size() - 1)(random)];
        } else {
            GeneratedMenu generated = GenerateMenu(random, withFlash);
            WriteFile(folder / "menu.json", generated.description.dump(1));
            for (const char* shared : {"assets", "buttons", "sounds", "Data"}) {
                fs::create_directory_symlink(fs::absolute(demoFolder / shared), folder / shared);
            }
            menu = folder / "menu.cdd";
            if (!RunQuietly(vxtool, {"pack", (folder / "menu.json").string(), "-o", menu.string()})) {
                Report(index, folder, {"vxtool pack refused the generated menu"});
                return;
            }
            kinds = generated.kinds;
        }
        WriteFile(folder / "replay.txt", GenerateReplay(random, 640, 480, maxReplayWaitMs));
        std::string log = (folder / "log.jsonl").string(), errors = (folder / "stderr.txt").string();
        PlayerRun run = RunPlayer(options.player,
                                  {"--headless", "--replay", (folder / "replay.txt").string(), "--log", log,
                                   "--timeout", std::to_string(timeoutMs), menu.string()},
                                  errors, timeoutMs + 4 * graceMs);
        RunVerdict verdict = JudgeRun(run, log, errors, timeoutMs, graceMs, memoryLimitKb);
        ++tally.runs;
        tally.events += verdict.events;
        tally.pageChanges += verdict.pageChanges;
        tally.peakKb = std::max(tally.peakKb, run.peakKb);
        tally.kinds.insert(kinds.begin(), kinds.end());
        tally.audio |= verdict.audioPlayed;
        tally.video |= verdict.videoOpened;
        tally.flash |= verdict.flashMade;
        if (!verdict.faults.empty()) {
            if (menu.parent_path() != folder) fs::copy_file(menu, folder / menu.filename());
            Report(index, folder, verdict.faults);
        }
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // What never came up in any run.
    std::vector<std::string> Missing() const {
        static const std::map<int, const char*> names = {{0, "button"}, {1, "label"}, {2, "paragraph"},
                                                         {3, "image"},  {4, "Flash"}, {5, "video"}};
        std::vector<std::string> missing;
        for (auto [kind, name] : names) {
            if ((kind != 4 || withFlash) && !tally.kinds.count(kind)) missing.push_back(std::string(name) + " objects");
        }
        if (!tally.audio) missing.push_back("a sound played");
        if (!tally.video) missing.push_back("a movie opened");
        if (withFlash && !tally.flash) missing.push_back("a Flash player made");
        if (tally.pageChanges == 0) missing.push_back("a page change");
        return missing;
    }

    const Tally& Totals() const { return tally; }

private:
    void Report(long index, const fs::path& folder, const std::vector<std::string>& faults) {
        ++tally.failures;
        fs::path kept =
            fs::path(options.keep) / ("seed-" + std::to_string(options.seed) + "-run-" + std::to_string(index));
        std::error_code ignored;
        fs::create_directories(kept.parent_path(), ignored);
        fs::remove_all(kept, ignored);
        fs::copy(folder, kept, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ignored);
        std::printf("FAIL run %ld (replay it: --seed %lu --run %ld; kept in %s):\n", index, options.seed, index,
                    kept.c_str());
        for (const std::string& fault : faults) std::printf("  %s\n", fault.c_str());
        std::fflush(stdout);
    }

    const Options& options;
    std::string vxtool;
    fs::path demoFolder, scratch;
    std::vector<fs::path> demos;
    bool withFlash = false;
    Tally tally;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: vx_soak --seed N --seconds S [--player PATH] [--keep DIR] [--run I]\n");
        return 2;
    }
    if (!options.seedGiven) options.seed = static_cast<unsigned long>(std::random_device{}() % 1000000);
    if (options.player.empty()) options.player = (fs::canonical("/proc/self/exe").parent_path() / "vantorix").string();
    std::printf("vx_soak: seed %lu, %g seconds, player %s\n", options.seed, options.seconds, options.player.c_str());
    std::fflush(stdout);

    Soak soak(options);
    auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(); };
    if (options.onlyRun) {
        soak.Run(*options.onlyRun);
    } else {
        for (long index = 0; elapsed() < options.seconds; ++index) soak.Run(index);
    }
    const Tally& tally = soak.Totals();
    std::printf("vx_soak: %ld runs in %.0f s, %ld page changes, %ld events, peak memory %lld MiB, %ld failed\n",
                tally.runs, elapsed(), tally.pageChanges, tally.events, tally.peakKb / 1024, tally.failures);
    std::vector<std::string> missing = options.onlyRun ? std::vector<std::string>{} : soak.Missing();
    for (const std::string& what : missing) std::printf("vx_soak: never came up: %s\n", what.c_str());
    return tally.failures > 0 || !missing.empty() ? 1 : 0;
}
