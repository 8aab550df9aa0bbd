#pragma once

#include <string>

#include "project/serializable.h"

// What an intro tells the event log: "start" with its kind, file, window and media rectangles
// (screen and client coordinates, right and bottom outside), "end" with why it ended
// ("finished", "skipped", "failed", "quit", "closed").
struct IntroLogEntry {
    std::string action;
    int kind = 0;
    std::string file;
    VxRect window, media;
    std::string reason;
};
