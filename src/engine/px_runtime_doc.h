#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/navigation_history.h"
#include "engine/px_view_services.h"
#include "engine/run_observer.h"
#include "engine/unique_window_id_mgr.h"
#include "media/flash_control.h"
#include "media/fmod_sound_manager.h"
#include "media/video_player.h"
#include "plugins/dll_plugin_manager.h"
#include "plugins/transition_dll_manager.h"
#include "project/vantorix_project.h"
#include "resources/kx_ttf_manager.h"
#include "script/lua_engine.h"
#include "script/script_document.h"

class CKXFontRegistration;
class CKXRegistry;
class CKXSoundEngine;
class CVantorixMenuPage;
struct ObjectSounds;

// The one document of a run: the project, the script engine and the state of navigation. Every
// event script of a page, of the project and of an object runs from here; the view and the frame
// turn what the user does into these calls.
class CPXRuntimeDoc : public CKXScriptDocument, private CKXAudioHost {
public:
    // tables are the script-visible action tables; the sound engine plays the channels (none
    // means the sound system did not start: silence).
    CPXRuntimeDoc(CKXDialogs& dialogs, CKXFrameServices& frame, const CodePage& codePage,
                  const std::vector<ActionTable>& tables, CKXSoundEngine* soundEngine = nullptr);
    ~CPXRuntimeDoc() override;

    // The start of the run: reads the project, builds the script environment, runs the startup
    // and global scripts, the Flash check when they leave it asked for, and installs the
    // embedded fonts. False when the project could not be read (its message was shown).
    bool OnNewDocument(const std::string& executablePath, const std::string& projectEntrySource,
                       const std::string& password, CKXRegistry* registry);
    bool OnOpenDocument(const std::string& path, const std::string& password);

    // The view the document draws through; none gives the null view.
    void SetView(CPXViewServices* services);
    CPXViewServices& View() const { return *view; }

    // The page change: the old page's "On Close" and release, the check that the data file is
    // still there, then the new page's "On Preload", its first draw and its posted "On Show".
    void ShowPage(int index, bool force);
    // A posted page change arriving; ignored in a page preview.
    void RunPostedPageChange(int index, bool force);
    int GetStartPageIndex() const { return 0; }
    void ApplyPageOffset();

    // The events. Each builds its context and prefix and runs the stored script.
    // "On Startup" of the project, after _PageStart and the debug start; false when a script
    // asked to exit, so no page is shown.
    bool RunStartupEvents();
    void RunKeyEvent(int virtualKey, bool ctrl, bool alt, bool shift);
    void RunShowEvent(int pageIndex);
    // "On Audio" of the current page for a channel's new state (0 finish, 1 pause, 2 play, 3 stop).
    void RunAudioEvent(int state, int channel);
    // An object's event; contextName names the event in the context when it differs.
    void RunObjectEvent(const CVantorixBaseObject& object, const char* eventName, const char* contextName = nullptr);
    // The closing scripts: the current page's "On Close", then the project's "On Shutdown".
    void RunCloseEvents();
    // Asks the script global QueryAllowProjectClose; a missing or failing function allows it.
    bool QueryAllowProjectClose();
    bool Closing() const { return closing; }
    // The closing scripts have run: the page is left for good, and nothing of it (objects' media,
    // sounds, events, scripts, page changes) runs any more.
    bool Closed() const { return closed; }

    // An object's hover or click sound on the effects channel.
    void PlayObjectSound(const ObjectSounds& sounds, bool hover);

    // Script-visible services.
    int PageCount() const override { return pageCount; }
    int CurrentPageIndex() const override { return currentPage ? currentPageIndex : -1; }
    std::string PageName(int index) const override;
    int FindPageIndex(const std::string& name) const override;
    bool RequestPageChange(int index, bool immediately) override;
    std::string RecordNavigation(NavigationStep step) override;
    // Page changes made from "On Preload" scripts nest; a page that keeps jumping from there
    // ends in a script error instead of exhausting the stack.
    static constexpr int maxPageChangeNesting = 16;
    CVantorixBaseObject* FindObject(const std::string& name, int kind) const override;
    void RepaintObjectRect(const CVantorixBaseObject& object) override;
    void RepaintRect(const VxRect& rect) override { view->RedrawRectNow(rect); }
    void RedrawPage() override;
    bool HasMainWindow() const override { return view->Exists(); }
    bool ReloadObject(CVantorixBaseObject& object) override { return view->ReloadObject(object); }
    void MeasureObject(CVantorixBaseObject& object) override { view->MeasureObject(object); }

    CVantorixMenuPage* Page(int index) const;
    CVantorixMenuPage* CurrentPage() const { return currentPage; }
    CVantorixProject* Project() const { return project.get(); }
    CLUAEngine& ScriptEngine() const { return *scriptEngine; }
    CFMODSoundManager& Audio() { return audio; }
    const CPXNavigationHistory& History() const { return history; }
    bool SwitchingPage() const { return switchingPage; }
    bool PreviewMode() const { return previewMode; }

    // Who is told what happens in the run (the event log); none: nobody.
    void SetObserver(CRunObserver* watcher) { observer = watcher ? watcher : &nobody; }
    CRunObserver& Observer() const { return *observer; }
    // The identifier range of an object kind's child windows (Flash 3000 to 3199, video 3400 to
    // 3599); the other three ranges belong to kinds that pages discard.
    CUniqueWindowIDMgr& WindowIds(bool video) { return windowIdRanges[video ? 2 : 0]; }
    // Videos: whether their sound plays (headless runs: no), and where their log entries go.
    bool videoSound = true;
    // Where the video and Flash players made for this run report: the observer.
    std::function<void(const VideoLogEntry&)> VideoLog() const;
    std::function<void(const FlashLogEntry&)> FlashLog() const;
    // The transition plugins found at the start: the project's, then those of this folder (the
    // player's own effects; none when empty).
    std::string ownTransitionsFolder;
    const CKXTransitionDLLManager& Transitions() const { return transitions; }
    CKXDLLPluginManager& ObjectPlugins() { return objectPlugins; }

    // The system's fonts, which embedded fonts go into and which stand in for the Windows faces
    // a project names (none: neither happens).
    void SetFontRegistration(CKXFontRegistration* registration) { fontRegistration = registration; }
    CKXTTFManager& Fonts() { return fonts; }
    // Takes the embedded fonts away again at the close; nothing in a preview, nothing twice.
    void RemoveFonts();
    // How the Flash check opens the download address: the desktop's browser unless replaced.
    std::function<void(const std::string& address)> openAddress;

private:
    bool HasCurrentPage() override { return currentPage != nullptr; }
    void ScriptRan(const std::string& context, int status) override { observer->ScriptRan(context, status); }
    void SendAudioEvent(int state, int channel) override { RunAudioEvent(state, channel); }
    void PostAudioEvent(int state, int channel) override { view->PostAudioEvent(state, channel); }
    std::string ResolveTrackPath(const std::string& name) override;

    // Runs the page's event (prelude first when asked) with the page's context and prefix.
    void RunPageEvent(const CVantorixMenuPage& page, const char* eventName, const std::string& prefix,
                      bool withPrelude);
    // Leaves the current page for page nextIndex; the transition to play, if any.
    const CKXTransitionDLLInfo* LeaveCurrentPage(int nextIndex);
    // Whether the page about to show can be reached: the data file, or the disc put back in.
    bool MediaPresent();
    void EnterPage(CVantorixMenuPage& page, int index);
    void SetNavigationGlobals(int index);
    bool DataFileReachable() const;
    void RunFlashCheck();
    void InstallFonts(const std::string& password);

    CRunObserver nobody;
    CRunObserver* observer = &nobody;
    CPXNullViewServices nullView;
    CPXViewServices* view = &nullView;
    CFMODSoundManager audio;
    std::unique_ptr<CVantorixProject> project;
    int pageCount = 0;
    CVantorixMenuPage* currentPage = nullptr;
    int currentPageIndex = 0;
    int pageChangeNesting = 0;
    bool switchingPage = false;
    bool closing = false;
    bool closed = false;
    bool previewMode = false;
    bool debugOnStart = false;
    std::string startupScript;
    std::string projectEntrySource;
    CPXNavigationHistory history;
    std::vector<CUniqueWindowIDMgr> windowIdRanges;
    std::unique_ptr<CLUAEngine> scriptEngine;
    std::vector<std::pair<CVantorixBaseObject*, VxRect>> storedRects;
    bool offsetApplied = false;
    CKXTransitionDLLManager transitions;
    CKXDLLPluginManager objectPlugins;
    CKXTTFManager fonts;
    CKXFontRegistration* fontRegistration = nullptr;
};
