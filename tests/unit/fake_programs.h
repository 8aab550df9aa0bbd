#pragma once

// Shell scripts that stand in for programs the player starts, and ways to watch what they did.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <cerrno>

// Writes an executable /bin/sh script with the given body; returns its path.
inline std::string WriteScript(const std::string& path, const std::string& body) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << "#!/bin/sh\n" << body;
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
}

// The lines of a file; a file still being written by a child counts once it ends in a newline.
inline std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path, std::ios::binary);
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

// Children started without waiting write their files a little later; give them time.
inline bool WaitForFile(const std::string& path, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        std::ifstream file(path, std::ios::binary);
        std::string contents((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (!contents.empty() && contents.back() == '\n') return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Kills the process whose id a script wrote to pidFile and reports whether it then disappears
// from the process table, which it does only when its parent reaped it.
inline bool KillAndSeeReaped(const std::string& pidFile) {
    if (!WaitForFile(pidFile)) return false;
    std::vector<std::string> lines = ReadLines(pidFile);
    pid_t pid = lines.empty() ? 0 : static_cast<pid_t>(std::stol(lines[0]));
    if (pid <= 0) return false;
    kill(pid, SIGKILL);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        if (kill(pid, 0) != 0 && errno == ESRCH) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}
