#pragma once

#include <functional>
#include <string>

#include <vector>

#include "project/serializable.h"

class CKXDialogs;
class CKXRegistry;
class CLUAEngine;
class CodePage;
class CVantorixBaseObject;

// What the main frame and the page view do for scripts. The windowed player implements these;
// headless tools use the quiet defaults.
class CKXFrameServices {
public:
    virtual ~CKXFrameServices() = default;
    // Posts the close request that runs the frame's closing sequence after the current script.
    virtual void PostCloseRequest() {}
    virtual void Minimize() {}
    virtual void Restore() {}
    // Serves waiting events for up to the given time, dropping pointer moves and left clicks, so
    // timers, painting and keys go on while a script waits.
    virtual void PumpMessagesFiltered(int milliseconds);
    virtual void RepaintNow() {}
    // The screen: its size and the colour depth of the page view. Without a display this is the
    // configured screen. False when it cannot be told.
    virtual bool GetDisplayInfo(int& width, int& height, int& colorDepth) {
        width = screenWidth;
        height = screenHeight;
        colorDepth = screenColorDepth;
        return true;
    }
    int screenWidth = 1024;
    int screenHeight = 768;
    int screenColorDepth = 32;
    // The debug window.
    virtual void ShowDebugWindow(bool) {}
    virtual void DebugWindowAppend(const std::string&) {}
    virtual void DebugWindowClear() {}
};

// A page change by Page.Jump or Page.Navigate, as the navigation history sees it.
enum class NavigationStep { Backward, Forward, Other };

// The part of the runtime document that scripts reach: the run's context, the player's folder,
// the dialogs and the frame. The runtime document fills it in; tools make one of their own.
class CKXScriptDocument {
public:
    // File names of scripts are in the project's code page from here on.
    CKXScriptDocument(CKXDialogs& dialogs, CKXFrameServices& frame, const CodePage& codePage);
    virtual ~CKXScriptDocument();

    // Runs a script of the project: the prefix line, then the script. Empty scripts run nothing.
    // preload marks a page's "On Preload" script, inside which page jumps happen at once.
    int RunEventScript(const std::string& script, const std::string& context, const std::string& prefix,
                       bool preload = false);
    // Whether the script that started last is a page's "On Preload".
    bool InsidePreload() const { return insidePreload; }

    // Told after every script run, with its context and status (for the event log).
    virtual void ScriptRan(const std::string& /*context*/, int /*status*/) {}

    // The document's services, bound for its life.
    CKXDialogs& dialogs;
    CKXFrameServices& frame;
    const CodePage& codePage;

    // The engine that runs this document's scripts, while it exists.
    CLUAEngine* Engine() const { return engine; }
    // The context of the script that started last ("Page -> Object -> Event").
    const std::string& EventContext() const { return eventContext; }
    // How many scripts are running, nested ones counted.
    int ScriptDepth() const { return scriptDepth; }

    // The emulated registry; none means every access fails.
    CKXRegistry* Registry() const { return registry; }
    void SetRegistry(CKXRegistry* store) { registry = store; }
    // The player's folder in Windows form (a drive's root keeps its backslash), and the
    // project's data folder below it.
    const std::string& ExeFolder() const { return exeFolder; }
    void SetExeFolder(const std::string& folder) { exeFolder = folder; }
    const std::string& DataFolderName() const { return dataFolderName; }
    void SetDataFolderName(const std::string& name) { dataFolderName = name; }
    // A name below the player's folder, in Windows form, with exactly one backslash between.
    std::string PathBesideExe(const std::string& relative) const;

    // Application.Exit asked for the end of the run.
    bool ExitRequested() const { return exitRequested; }
    void RequestExit() { exitRequested = true; }
    // Application.SetRedraw: whether changes repaint at once.
    bool RedrawEnabled() const { return redrawEnabled; }
    void SetRedrawEnabled(bool enabled) { redrawEnabled = enabled; }
    bool SoundAvailable() const { return soundAvailable; }
    void SetSoundAvailable(bool available) { soundAvailable = available; }
    bool DoFlashCheck() const { return doFlashCheck; }
    void SetDoFlashCheck(bool check) { doFlashCheck = check; }
    // A page preview: page changes and project events are off.
    bool SuppressProjectEvents() const { return suppressProjectEvents; }
    void SetSuppressProjectEvents(bool suppress) { suppressProjectEvents = suppress; }

    // Pages and objects, for the page and object actions. Without a project there are none.
    virtual int PageCount() const { return 0; }
    virtual int CurrentPageIndex() const { return -1; }
    virtual std::string PageName(int) const { return {}; }
    virtual int FindPageIndex(const std::string&) const { return -1; }
    // A page change requested by a script: sent (immediate) or posted (after the script). False
    // when an immediate change is refused because changes are nested too deeply.
    virtual bool RequestPageChange(int, bool /*immediately*/) { return true; }
    // The first object of the current page of that kind and exact name, or none.
    virtual CVantorixBaseObject* FindObject(const std::string&, int) const { return nullptr; }
    // Repaints a rectangle of the page (or the whole view) at once.
    virtual void RepaintObjectRect(const CVantorixBaseObject&) {}
    virtual void RepaintRect(const VxRect&) {}
    virtual void RedrawPage() {}
    virtual bool HasMainWindow() const { return false; }
    // Loads an object's file again (an image's picture); false when it does not load.
    virtual bool ReloadObject(CVantorixBaseObject&) { return false; }
    // Sizes an object to its content after a change (a label to its text after SetText).
    virtual void MeasureObject(CVantorixBaseObject&) {}
    // Records a page change of a script in the navigation history, before the change. Backward
    // and Forward give the page they lead to (empty when there is none). Without a current page
    // nothing is recorded.
    virtual std::string RecordNavigation(NavigationStep) { return {}; }

    // The Windows version the player reports, so that scripts take their usual path: platform 2
    // (the NT family) 5.1 is Windows XP.
    struct ReportedWindows {
        int platform = 2;
        int majorVersion = 5;
        int minorVersion = 1;
    };
    const ReportedWindows& Windows() const { return windows; }

private:
    friend class CLUAEngine;  // counts the running scripts and registers itself

    CLUAEngine* engine = nullptr;
    CKXRegistry* registry = nullptr;
    std::string eventContext;
    int scriptDepth = 0;
    std::string exeFolder;
    std::string dataFolderName;
    bool exitRequested = false;
    bool redrawEnabled = true;
    bool soundAvailable = true;
    bool doFlashCheck = false;
    bool suppressProjectEvents = false;
    ReportedWindows windows;
    bool insidePreload = false;
};

// The event name in a context such as "Page -> Object -> On Click": what follows the last "> ",
// the whole context when it has no ">", "Unknown" when it is empty.
std::string EventNameOfContext(const std::string& eventContext);
