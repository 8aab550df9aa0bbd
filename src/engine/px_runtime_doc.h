#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/unique_window_id_mgr.h"
#include "media/fmod_sound_manager.h"
#include "project/vantorix_project.h"
#include "script/script_document.h"

class CLUAEngine;
class CKXRegistry;
class CVantorixMenuPage;

// What the page view and the main frame do for the document's page changes.
class CPXViewServices {
public:
    virtual ~CPXViewServices() = default;
    virtual void SetCaption(const std::string&) {}
    virtual void EnableMainWindow() {}
    virtual void FocusMainWindow() {}
    // Invalidates the whole view with erase (the old page's area during a change).
    virtual void InvalidateView() {}
    // Repaints the whole view at once, or one rectangle of it.
    virtual void RedrawViewNow() {}
    virtual void RedrawRectNow(const VxRect&) {}
    virtual bool HasPainted() const { return true; }
    // Posts the page-shown notification that runs the page's "On Show".
    virtual void PostPageShown(int) {}
    // Posts (or sends) the page-change request of a script.
    virtual void PostJumpPage(int, bool) {}
    virtual void SendJumpPage(int, bool) {}
    virtual void PostClose() {}
    virtual int PageOriginX() const { return 0; }
    virtual int PageOriginY() const { return 0; }
    virtual void RebuildTooltips() {}
    virtual void RefreshHover() {}
    virtual void UpdateView() {}
    // Releases what an object holds for its page (pictures, windows).
    virtual void LeavePage(CVantorixBaseObject&) {}
    virtual bool ReloadImage(CVantorixBaseObject&) { return false; }
    virtual void MeasureLabel(CVantorixBaseObject&) {}
    virtual bool Exists() const { return false; }
};

// The one document of a run: the project, the script engine and the state of navigation.
class CPXRuntimeDoc : public CKXScriptDocument {
public:
    static constexpr int pageTableSize = 250;

    CPXRuntimeDoc(CKXDialogs& dialogs, CKXFrameServices& frame, const CodePage& codePage);
    ~CPXRuntimeDoc() override;

    // The start of the run: reads the project, builds the script environment and runs the startup
    // and global scripts. False when the project could not be read (its message was shown).
    bool OnNewDocument(const std::string& executablePath, const std::string& projectEntrySource,
                       const std::string& password, CKXRegistry* registry);
    bool OnOpenDocument(const std::string& path, const std::string& password);

    void ShowPage(int index, bool force);
    int GetStartPageIndex() const { return 0; }
    void SetNavigationGlobals(int index);
    bool DataFileReachable() const;
    bool QueryAllowProjectClose();
    void ApplyPageOffset();
    // Runs the page's event (prelude first when asked) with the page's context and prefix.
    void RunPageEvent(const CVantorixMenuPage& page, const std::string& eventName, const std::string& prefix,
                      bool withPrelude);

    // Script-visible services.
    int PageCount() const override { return pageCount; }
    int CurrentPageIndex() const override { return currentPage ? currentPageIndex : -1; }
    std::string PageName(int index) const override;
    int FindPageIndex(const std::string& name) const override;
    bool RequestPageChange(int index, bool immediately) override;
    // Page changes made from "On Preload" scripts nest; a page that keeps jumping from there
    // ends in a script error instead of exhausting the stack.
    static constexpr int maxPageChangeNesting = 16;
    int pageChangeNesting = 0;
    CVantorixBaseObject* FindObject(const std::string& name, int kind) const override;
    void RepaintObjectRect(const CVantorixBaseObject& object) override;
    void RedrawPage() override;
    bool HasMainWindow() const override { return view && view->Exists(); }
    bool ReloadImage(CVantorixBaseObject& object) override { return view && view->ReloadImage(object); }
    void MeasureLabel(CVantorixBaseObject& object) override {
        if (view) view->MeasureLabel(object);
    }

    CVantorixMenuPage* Page(int index) const;

    CPXViewServices* view = nullptr;
    // Told when a page becomes current (for the event log).
    std::function<void(int)> onPageEntered;
    std::unique_ptr<CVantorixProject> project;
    std::array<CVantorixMenuPage*, pageTableSize> pages{};
    int pageCount = 0;
    CVantorixMenuPage* currentPage = nullptr;
    int currentPageIndex = 0;
    bool switchingPage = false;
    bool closing = false;
    bool previewMode = false;
    bool debugOnStart = false;
    std::string startupScript;
    std::string openedPath;
    std::string projectEntrySource;
    int screenBitsPerPixel = 8;
    std::vector<CUniqueWindowIDMgr> windowIdRanges;
    CFMODSoundManager audioManager;
    std::unique_ptr<CLUAEngine> scriptEngine;

private:
    std::vector<std::pair<CVantorixBaseObject*, VxRect>> storedRects;
    bool offsetApplied = false;
};

// Text made safe inside a double-quoted Lua string literal.
std::string EscapeForScript(const std::string& text);
