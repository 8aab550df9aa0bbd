#pragma once

#include <string>
#include <vector>

// What a transition plugin's call did.
struct TransitionOutcome {
    bool played = false;  // the plugin loaded and was called
    int frames = 0;       // rectangles it presented
    double milliseconds = 0;
    std::string error;  // why it was not called
};

// A transition plugin found by a scan: its file and the name it reports.
struct CKXTransitionDLLInfo {
    std::string path;
    std::string name;
};

// The transition plugins a run can play: the project's plugins folder and its sub-folders, then
// the player's own effects. A plugin is loaded only to be asked its name, and later for the
// call that plays it.
class CKXTransitionDLLManager {
public:
    // A .tns file the scan passed over, and why (a Windows library, an export missing, ...).
    struct Skipped {
        std::string path;
        std::string reason;
    };

    // Rebuilds the list from folder; a missing folder leaves it empty.
    void Scan(const std::string& folder);
    // Appends the plugins of another folder, after those found so far.
    void ScanAlso(const std::string& folder);
    // The first plugin whose name equals name, letter case included; null when none does.
    const CKXTransitionDLLInfo* FindByName(const std::string& name) const;

    const std::vector<CKXTransitionDLLInfo>& Plugins() const { return plugins; }
    const std::vector<Skipped>& SkippedFiles() const { return skipped; }

    // The three functions a transition plugin exports.
    static constexpr const char* nameExport = "kxPlg_GetPluginName";
    static constexpr const char* settingsExport = "kxPlg_Transition_GetSettings";
    static constexpr const char* transitionExport = "kxPlg_Transition_DoPageTransition";

private:
    std::vector<CKXTransitionDLLInfo> plugins;
    std::vector<Skipped> skipped;
};

// Every *.tns file (the extension in any letter case) in folder and its sub-folders, in sorted
// path order, so that which of two same-named plugins wins does not depend on the disc.
// Linked folders are not followed, so a link loop ends nothing.
std::vector<std::string> TransitionFilesIn(const std::string& folder);
