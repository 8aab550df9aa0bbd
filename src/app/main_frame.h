#pragma once

#include <QRegion>
#include <QSize>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/project_settings.h"
#include "platform/qt/kx_wnd.h"

class CDebugWndDlg;
class CPXRuntimeDoc;
class CPXRuntimeView;
class QSystemTrayIcon;

// The main window: its size and style from the project, the view inside it, "On Key", and the
// closing sequence with its deferred close.
class CMainFrame : public CKXWnd {
    Q_OBJECT
public:
    static constexpr int closeTimerId = 1;

    CMainFrame(const RuntimeAppSettings& settings, CPXRuntimeDoc& document, QSize screen, QRect workArea,
               const std::vector<std::string>& arguments, const std::string& executablePath = {});
    ~CMainFrame() override;

    CPXRuntimeView& View() { return *view; }
    // A key press with its Windows virtual-key code and the modifiers held, as a replay gives
    // it; system keys raise nothing.
    void HandleKey(int virtualKey, bool ctrl, bool alt, bool shift);
    // True once the deferred close has been carried out.
    bool Closed() const { return closed; }
    // For window style 4: cuts the window to the black pixels of the project's mask picture.
    void ApplyWindowShape();
    // Minimize and Restore: in tray mode the window hides to the tray and comes back from it.
    void MinimizeWindow();
    void RestoreWindow();
    // The debug window, created hidden with the frame.
    CDebugWndDlg& DebugWindow() { return *debugWindow; }
    // Asks whether to stop a script that runs while the close box is used (true: stop it and
    // close); none: such a close is dropped.
    std::function<bool()> askToStopScript;

protected:
    void changeEvent(QEvent* event) override;
    void OnTimer(int id) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The closing scripts of the page and the project, then the embedded fonts taken away.
    void RunCloseSequence();
    void SetIconFromFile(const RuntimeAppSettings& settings, const std::string& executablePath);

    CPXRuntimeDoc& document;
    CPXRuntimeView* view = nullptr;
    QSystemTrayIcon* tray = nullptr;
    CDebugWndDlg* debugWindow = nullptr;  // taskbar mode 1 on desktops that have a tray
    bool windowShown = true;
    bool closed = false;
    bool closeAfterScript = false;  // a script was stopped for the close box
};

// The region of a mask picture's pure black pixels, row by row.
class CISImageEx;
QRegion ShapeOfMask(CISImageEx& mask);

// The window position given on the command line with "/x:N" and "/y:N" (the first argument
// holding "/x" or "/y", compared ignoring case; the number after its last colon).
void ApplyPositionSwitches(const std::vector<std::string>& arguments, int& x, int& y);
