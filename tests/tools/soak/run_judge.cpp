#include "run_judge.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace {

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

RunVerdict JudgeRun(const PlayerRun& run, const std::string& logFile, const std::string& stderrFile,
                    long long timeoutMs, long long graceMs, long long memoryLimitKb) {
    RunVerdict verdict;
    auto fault = [&](const std::string& what) { verdict.faults.push_back(what); };
    if (!run.started) fault("the player did not start");
    if (run.killed) fault("still running " + std::to_string(run.wallMs) + " ms after its start: killed");
    if (run.started && !run.exited && !run.killed) fault("ended by signal " + std::to_string(run.status));
    if (run.exited && run.status != 0 && run.status != 3) fault("exit status " + std::to_string(run.status));
    if (run.wallMs > timeoutMs + graceMs) {
        fault("outlived its timeout of " + std::to_string(timeoutMs) + " ms: " + std::to_string(run.wallMs) + " ms");
    }
    if (run.peakKb > memoryLimitKb) fault("peak resident memory " + std::to_string(run.peakKb / 1024) + " MiB");
    std::string errors = Contents(stderrFile);
    for (const char* mark : {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer",
                             "runtime error:", "UndefinedBehaviorSanitizer", "AddressSanitizer:DEADLYSIGNAL"}) {
        if (errors.find(mark) != std::string::npos) {
            fault(std::string("sanitizer: ") + mark);
            break;
        }
    }
    std::ifstream log(logFile);
    std::string line;
    int pages = 0;
    while (std::getline(log, line)) {
        auto event = nlohmann::json::parse(line, nullptr, false);
        if (event.is_discarded()) {
            fault("a log line that is no JSON: " + line.substr(0, 200));
            continue;
        }
        ++verdict.events;
        std::string kind = event.value("ev", ""), action = event.value("action", "");
        if (kind == "page") ++pages;
        if (kind == "audio" && action == "play") verdict.audioPlayed = true;
        if (kind == "video" && action == "open") verdict.videoOpened = true;
        if (kind == "flash" && action == "created") verdict.flashMade = true;
        // The generated menus and the demos never ask for a script error; the one that stops a
        // script at the timeout is the timeout's.
        std::string text = event.value("text", "");
        bool stoppedByTimeout = run.exited && run.status == 3 && text.find("did not respond") != std::string::npos;
        if (kind == "dialog" && event.value("title", "") == "Error" && !stoppedByTimeout) {
            fault("script error: " + text);
        }
    }
    verdict.pageChanges = pages > 0 ? pages - 1 : 0;
    return verdict;
}
