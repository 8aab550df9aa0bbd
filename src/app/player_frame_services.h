#pragma once

#include <QSize>

#include "script/script_document.h"

class CLUAEngine;
class CMainFrame;
class CodePage;
class EventLog;

// What the frame and view do for scripts, once they exist: the close request, minimizing,
// waits that serve events, repaints and the debug window (whose text the log also gets).
class PlayerFrameServices : public CKXFrameServices {
public:
    PlayerFrameServices(const CodePage& codePage, EventLog& log, QSize screen);
    void PostCloseRequest() override;
    void Minimize() override;
    void Restore() override;
    void PumpMessagesFiltered(int milliseconds) override;
    void RepaintNow() override;
    void DebugWindowAppend(const std::string& text) override;
    void DebugWindowClear() override;
    void ShowDebugWindow(bool show) override;

    CMainFrame* frame = nullptr;
    CLUAEngine* engine = nullptr;  // a stopped script's wait ends early

private:
    const CodePage& codePage;
    EventLog& log;
};
