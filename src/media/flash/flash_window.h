#pragma once

#include <QRect>

#include <functional>
#include <string>

#include "media/flash_control.h"

class QWidget;

// What a Flash player window is made with: where it goes, and where it reports.
struct FlashWindowSetup {
    QWidget* parent = nullptr;
    QRect rect;
    bool visible = true;
    bool enabled = true;
    // The movie's FSCommand calls: the command and its arguments.
    std::function<void(const std::string& command, const std::string& arguments)> onFsCommand;
    // The player gave up on the movie for good (Ruffle's own error, or its process ended): the
    // object shows its placeholder instead. Called at most once.
    std::function<void()> onFailed;
    // The movie's host path, which every log entry names.
    std::string movieFile;
    // What the log hears: "ready" (the load state, as its number), "fscommand", "error" (the
    // player's message), and from the host "unavailable".
    std::function<void(const FlashLogEntry&)> log;
};

// A Flash movie's player in a child window: the control the object and the actions drive, and
// the widget that shows it.
class CKXFlashWindow : public CKXFlashControl {
public:
    virtual QWidget* Widget() = 0;
};

// The player module's one entry: a new window (owned by the caller), or null with the reason.
// rufflePath is the folder of the web player's files.
using CreateFlashWindowFunction = CKXFlashWindow* (*)(const FlashWindowSetup& setup, const char* rufflePath,
                                                      std::string* error);
inline constexpr const char* createFlashWindowExport = "vx_flash_create_window";
// The Flash Player version the module's player answers movies with, as "32.0.0.0".
inline constexpr const char* emulatedFlashVersion = "32.0.0.0";
