#pragma once

#include <string>
#include <vector>

#include "player_run.h"

// What one run showed, from its exit, its standard error and its event log.
struct RunVerdict {
    std::vector<std::string> faults;  // empty: the run was sound
    int events = 0;                   // lines of its log
    int pageChanges = 0;              // pages shown after the first
    bool audioPlayed = false, videoOpened = false, flashMade = false;
};

// A run is at fault when it crashed, reported a sanitizer error, outlived its timeout by more
// than graceMs, ended with a status other than 0 or 3, showed a script error, or peaked above
// memoryLimitKb.
RunVerdict JudgeRun(const PlayerRun& run, const std::string& logFile, const std::string& stderrFile,
                    long long timeoutMs, long long graceMs, long long memoryLimitKb);
