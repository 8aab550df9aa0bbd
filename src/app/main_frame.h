#pragma once

#include <QSize>

#include <memory>
#include <string>
#include <vector>

#include "app/project_settings.h"
#include "platform/qt/kx_wnd.h"

class CPXRuntimeDoc;
class CPXRuntimeView;

// The main window: its size and style from the project, the view inside it, "On Key", and the
// closing sequence with its deferred close.
class CMainFrame : public CKXWnd {
    Q_OBJECT
public:
    static constexpr int closeTimerId = 1;

    CMainFrame(const RuntimeAppSettings& settings, CPXRuntimeDoc& document, QSize screen, QRect workArea,
               const std::vector<std::string>& arguments);
    ~CMainFrame() override;

    CPXRuntimeView& View() { return *view; }
    // A key press with its Windows virtual-key code, as the keyboard or a replay gives it.
    void HandleKey(int virtualKey, bool ctrl, bool alt, bool shift);
    // True once the deferred close has been carried out.
    bool Closed() const { return closed; }

protected:
    void OnTimer(int id) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    CPXRuntimeDoc& document;
    CPXRuntimeView* view = nullptr;
    bool closed = false;
};

// The window position given on the command line with "/x:N" and "/y:N" (the first argument
// holding "/x" or "/y", compared ignoring case; the number after its last colon).
void ApplyPositionSwitches(const std::vector<std::string>& arguments, int& x, int& y);
