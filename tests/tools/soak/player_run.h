#pragma once

#include <string>
#include <vector>

// One run of the player as a child process: its standard error kept in a file, its wall time and
// its peak resident memory measured, and killed if it outlives killAfterMs.
struct PlayerRun {
    bool started = false;
    bool exited = false;  // else ended by a signal
    int status = 0;       // the exit status, or the signal
    bool killed = false;  // by us, for living too long
    long long wallMs = 0;
    long long peakKb = 0;
};

PlayerRun RunPlayer(const std::string& program, const std::vector<std::string>& arguments,
                    const std::string& stderrFile, long long killAfterMs);

// Runs a helper program to its end, quietly; true when it exited with 0.
bool RunQuietly(const std::string& program, const std::vector<std::string>& arguments);
