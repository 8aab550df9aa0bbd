#pragma once

#include <QPoint>

#include <cstdint>

#include "project/display_state.h"
#include "project/serializable.h"

class CDIBSMemDC;
class CObjectHost;
class CObjectServices;
class CVantorixBaseObject;
struct ObjectSounds;

// What a page object does while its page is shown: how it draws, takes the pointer, highlights,
// presses and runs its "On Enter", "On Leave" and "On Click" scripts. One class per object kind
// derives from it; the factory (object_factory.h) makes the one a record needs, and the record
// keeps it in its runtime slot for the rest of the run.
//
// This base is the plain behaviour of an object that highlights and clicks without drawing
// anything itself. Event scripts may change the page or run nested events, so after running one
// a method touches only the record, which lives as long as the project.
class CObjectView : public CKXRuntimeState {
public:
    explicit CObjectView(CVantorixBaseObject& object) : object(object) {}

    virtual void Paint(CDIBSMemDC&, const CObjectServices&) {}
    // Objects that place their rectangle as they draw (labels) are painted whatever the box.
    virtual bool PaintsOutsideBox() const { return false; }
    // Whether the object takes the pointer at point: visible, enabled and in its rectangle.
    virtual bool HitTest(QPoint point);

    virtual void Enter(CObjectHost& host);
    virtual void Leave(CObjectHost& host);
    virtual void Press(CObjectHost& host);
    virtual void Release(CObjectHost& host);

    // Releases what the object holds for its page (pictures, windows).
    virtual void LeavePage() {}
    // Objects with windows of their own give them up whenever their page is left.
    virtual bool OwnsWindow() const { return false; }
    // After each paint of the page: such an object makes its window the first time and shows or
    // hides it with the object.
    virtual void ShowWindow(CObjectHost&) {}
    // Loads the object's file again; false when it does not load or the kind has none.
    virtual bool Reload(const CObjectServices&) { return false; }
    // Sizes the object to its content.
    virtual void Measure(const CObjectServices&) {}
    // The display state the object starts with when its page is shown.
    virtual DisplayState InitialDisplayState() const { return DisplayState::normal; }
    virtual bool ShowsTooltip() const { return true; }

    // Scroll bars (paragraphs). Whether a shown bar of a visible, enabled object holds the point,
    // and the calls of a press there, a release, the moves and ticks of a capture, and the wheel
    // (false when the object does not take it).
    virtual bool BarsContain(QPoint) const { return false; }
    virtual bool VerticalBarContains(QPoint) const { return false; }
    virtual void ScrollbarPress(CObjectHost&, QPoint) {}
    virtual void ScrollbarRelease(CObjectHost&) {}
    virtual void CaptureMove(CObjectHost&, QPoint) {}
    virtual void RepeatTick(CObjectHost&, QPoint) {}
    virtual bool Wheel(CObjectHost&, QPoint, int) { return false; }
    // The capture ended: no part shows pressed.
    virtual void CaptureEnded() {}

protected:
    // The hover and click sounds of kinds that have them.
    virtual const ObjectSounds* Sounds() const { return nullptr; }
    // The state of an object that is hidden.
    virtual DisplayState RestState() const { return DisplayState::normal; }
    // Whether a visible object reacts to the pointer.
    virtual bool Reacts() const;
    // Whether a new display state shows at once (kinds that draw their states).
    virtual bool DrawsStates() const { return false; }

    void PlaySound(CObjectHost& host, bool hover) const;
    void Repaint(CObjectHost& host) const;
    // The context "On Enter" runs under.
    virtual const char* EnterContext() const;
    // Runs one of the object's events (under another event's name in its context when given);
    // afterwards the pointer is looked at again when the script changed whether the object shows
    // or reacts.
    static void RunEvent(CObjectHost& host, CVantorixBaseObject& object, const char* eventName, bool refreshAfter,
                         const char* contextName = nullptr);

    CVantorixBaseObject& object;
};

// Labels and paragraphs: they draw every state, show a disabled look, and a disabled one neither
// highlights nor clicks.
class CTextBlockView : public CObjectView {
public:
    using CObjectView::CObjectView;
    void Release(CObjectHost& host) override;
    DisplayState InitialDisplayState() const override;

protected:
    DisplayState RestState() const override;
    bool Reacts() const override;
    bool DrawsStates() const override { return true; }
    // The text colour of the display state; pressed and highlighted is pressed.
    std::int32_t StateColor(std::int32_t normal, std::int32_t highlight, std::int32_t pressed,
                            std::int32_t disabled) const;
};
