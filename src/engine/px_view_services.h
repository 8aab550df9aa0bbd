#pragma once

#include <string>

#include "project/serializable.h"

struct CKXTransitionDLLInfo;
class CVantorixBaseObject;
class CVantorixMenuPage;

// What the page view and the main frame do for the document. The document drives the run and
// calls these at the steps of a page change; the view does the drawing and the objects' own work.
class CPXViewServices {
public:
    virtual ~CPXViewServices() = default;
    virtual bool Exists() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void EnableMainWindow() = 0;
    virtual void FocusMainWindow() = 0;
    // Invalidates the whole view with erase (the old page's area during a change).
    virtual void InvalidateView() = 0;
    // Repaints the whole view at once, or one rectangle of it.
    virtual void RedrawViewNow() = 0;
    virtual void RedrawRectNow(const VxRect& rect) = 0;
    // Whether the first paint has happened (before it, the paint posts the page-shown message).
    virtual bool HasPainted() const = 0;
    // Posts the page-shown notification that runs the page's "On Show".
    virtual void PostPageShown(int index) = 0;
    // Posts a page change to run after the current script.
    virtual void PostJumpPage(int index, bool force) = 0;
    // Posts a channel's new state that runs the page's "On Audio" (a stream's end).
    virtual void PostAudioEvent(int state, int channel) = 0;
    virtual void PostClose() = 0;
    virtual int PageOriginX() const = 0;
    virtual int PageOriginY() const = 0;
    // After a page change: tooltips, hover states and a repaint of what is left.
    virtual void FinishPageChange() = 0;

    // The page's objects, through their kinds' own behaviour: the initial display state of a
    // page being shown, and the release of what the objects of a page being left hold (every
    // object, or only those that hold windows).
    virtual void ResetDisplayStates(CVantorixMenuPage& page) = 0;
    virtual void LeavePage(CVantorixMenuPage& page, bool everyObject) = 0;
    // Loads an object's file again (image objects); false when it does not load.
    virtual bool ReloadObject(CVantorixBaseObject& object) = 0;
    // Sizes an object to its content after a change (labels that size themselves).
    virtual void MeasureObject(CVantorixBaseObject& object) = 0;

    // A transition: the pictures of the screen inside the page and of page newPageIndex drawn
    // off-screen, taken before the old page is left; false unless both hold pixels. Then the
    // plugin's effect between them, which draws straight onto the window.
    virtual bool CaptureTransitionPictures(int newPageIndex) = 0;
    virtual void RunTransition(const CKXTransitionDLLInfo& plugin, const std::string& settings) = 0;
};

// A document without a window: tools and tests. Pages change, nothing is drawn.
class CPXNullViewServices : public CPXViewServices {
public:
    bool Exists() const override { return false; }
    void SetCaption(const std::string&) override {}
    void EnableMainWindow() override {}
    void FocusMainWindow() override {}
    void InvalidateView() override {}
    void RedrawViewNow() override {}
    void RedrawRectNow(const VxRect&) override {}
    bool HasPainted() const override { return true; }
    void PostPageShown(int) override {}
    void PostJumpPage(int, bool) override {}
    void PostAudioEvent(int, int) override {}
    void PostClose() override {}
    int PageOriginX() const override { return 0; }
    int PageOriginY() const override { return 0; }
    void FinishPageChange() override {}
    void ResetDisplayStates(CVantorixMenuPage&) override {}
    void LeavePage(CVantorixMenuPage&, bool) override {}
    bool ReloadObject(CVantorixBaseObject&) override { return false; }
    void MeasureObject(CVantorixBaseObject&) override {}
    bool CaptureTransitionPictures(int) override { return false; }
    void RunTransition(const CKXTransitionDLLInfo&, const std::string&) override {}
};
