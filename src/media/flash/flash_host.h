#pragma once

#include <memory>
#include <string>

#include "media/flash/flash_window.h"

class CKXSharedLibrary;

// Finds the Flash player module and the web player's files, and loads the module the first time
// a movie needs it: a run without Flash never loads the web engine.
class CKXFlashHost {
public:
    // The module and the web player's folder, from the player program's own location.
    static CKXFlashHost& Instance();
    void Configure(std::string modulePath, std::string rufflePath);

    // Whether both are there (nothing is loaded to tell).
    bool Installed() const;
    const std::string& ModulePath() const { return modulePath; }

    // A new player window, or null with the reason (the same reason every time once the module
    // failed to load), which the setup's log also hears.
    std::unique_ptr<CKXFlashWindow> CreateWindow(const FlashWindowSetup& setup, std::string& error);

private:
    bool Load(std::string& error);

    std::string modulePath, rufflePath;
    // Never closed: the web engine cannot be unloaded from a running process.
    CKXSharedLibrary* library = nullptr;
    CreateFlashWindowFunction create = nullptr;
    std::string loadError;
    bool tried = false;
};
