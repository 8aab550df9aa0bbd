#pragma once

#include <QSize>

#include <string>
#include <utility>
#include <vector>

// How the player was started.
struct PlayerOptions {
    std::string project;  // a data file, the .exe it came with, a folder holding them, or empty
    std::string password;
    std::string codePage = "windows-1252";
    std::vector<std::pair<char, std::string>> drives;
    bool headless = false;
    std::string replayFile;
    std::string logFile;
    QSize screen{1024, 768};
    int timeoutMilliseconds = 0;
    std::string audioOut;                // a WAV file for the sound instead of the device
    std::string audioDriver;             // one SDL driver instead of the usual attempts
    std::vector<std::string> arguments;  // all of them, for the window position switches
    std::string playerPath;              // the player's own executable
    bool listFonts = false;              // list the project's fonts instead of playing it
};

// The folder of the player's own transition effects, found from its program's path; empty when
// there is none.
std::string OwnTransitionsFolder(const std::string& playerPath);

// The whole run: start-up, the message loop, and the exit. Returns the process exit status.
int RunPlayer(const PlayerOptions& options, int argc, char** argv);
