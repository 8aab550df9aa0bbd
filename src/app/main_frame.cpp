#include "app/main_frame.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>

#include <cstdlib>
#include <filesystem>

#include "app/debug_wnd_dlg.h"
#include "engine/px_runtime_doc.h"
#include "graphics/image/cis_image_ex.h"
#include "platform/ascii_case.h"
#include "platform/code_page.h"
#include "platform/qt/virtual_keys.h"
#include "script/project_files.h"
#include "view/px_runtime_view.h"

namespace {

// The number after the last colon of an argument: optional sign and digits, 0 without digits.
int NumberAfterColon(const std::string& argument) {
    return std::atoi(argument.substr(argument.rfind(':') + 1).c_str());
}

bool ContainsIgnoringCase(const std::string& text, const std::string& part) {
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i) {
        if (EqualsIgnoringAsciiCase(std::string_view(text).substr(i, part.size()), part)) return true;
    }
    return false;
}

// The icon in a file, or none when the file cannot be read or holds no icon.
QIcon ReadableIcon(const std::string& path) {
    if (path.empty() || access(path.c_str(), R_OK) != 0) return {};
    QIcon icon(QString::fromStdString(path));
    return icon.availableSizes().isEmpty() ? QIcon() : icon;
}

// The player's own name with "ico" for its last three characters.
std::string ProgramIconPath(const std::string& executablePath) {
    return executablePath.size() >= 3 ? executablePath.substr(0, executablePath.size() - 3) + "ico" : std::string();
}

}  // namespace

void ApplyPositionSwitches(const std::vector<std::string>& arguments, int& x, int& y) {
    for (auto [name, value] : {std::pair<const char*, int*>{"/x", &x}, {"/y", &y}}) {
        for (const std::string& argument : arguments) {
            if (!ContainsIgnoringCase(argument, name)) continue;
            if (argument.find(':') != std::string::npos) *value = NumberAfterColon(argument);
            break;
        }
    }
}

CMainFrame::CMainFrame(const RuntimeAppSettings& settings, CPXRuntimeDoc& document, QSize screen, QRect workArea,
                       const std::vector<std::string>& arguments, const std::string& executablePath)
    : document(document) {
    SetIconFromFile(settings, executablePath);
    Qt::WindowFlags flags = Qt::Window;
    if (settings.hasTitleBar) {
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    } else if (settings.hasBorder) {
        // No caption, but the thin frame the desktop draws.
        flags |= Qt::CustomizeWindowHint;
    } else {
        flags |= Qt::FramelessWindowHint;
    }
    if (settings.alwaysOnTop) flags |= Qt::WindowStaysOnTopHint;
    // Taskbar modes 1 and 2 keep the window off the taskbar.
    if (settings.taskbarMode == 1 || settings.taskbarMode == 2) flags |= Qt::Tool;
    setWindowFlags(flags);

    int width = settings.windowWidth, height = settings.windowHeight, x = 0, y = 0;
    if (settings.fullScreen) {
        width = screen.width();
        height = screen.height();
    } else {
        width = std::min(width, workArea.width());
        height = std::min(height, workArea.height());
        x = std::max(0, (workArea.width() - width) / 2);
        y = std::max(0, (workArea.height() - height) / 2);
    }
    ApplyPositionSwitches(arguments, x, y);
    setFixedSize(std::max(1, width), std::max(1, height));
    move(x, y);

    debugWindow = new CDebugWndDlg(this);
    view = new CPXRuntimeView(document, this);
    view->setGeometry(0, 0, width, height);
    view->setCaption = [this](const std::string& caption) {
        setWindowTitle(QString::fromStdString(this->document.codePage.ToUtf8(caption)));
    };
    view->postClose = [this] { QMetaObject::invokeMethod(this, "close", Qt::QueuedConnection); };
    view->screenSize = [screen] { return screen; };
    // The intro's window never takes the project's own icon, only the program's.
    view->introIcon = ReadableIcon(ProgramIconPath(executablePath));
    if (settings.taskbarMode == 1 && QSystemTrayIcon::isSystemTrayAvailable()) {
        // The tray icon stands for the window, with the project title and three commands. A
        // desktop without a tray keeps the window without a taskbar entry only.
        tray = new QSystemTrayIcon(windowIcon().isNull() ? QApplication::windowIcon() : windowIcon(), this);
        tray->setToolTip(QString::fromStdString(document.codePage.ToUtf8(settings.projectTitle)));
        auto* menu = new QMenu(this);
        QAction* restore = menu->addAction("Restore", this, [this] { RestoreWindow(); });
        QAction* minimize = menu->addAction("Minimize", this, [this] { MinimizeWindow(); });
        menu->addAction("Exit", this, [this] { QMetaObject::invokeMethod(this, "close", Qt::QueuedConnection); });
        menu->setDefaultAction(restore);
        connect(menu, &QMenu::aboutToShow, this, [this, restore, minimize] {
            restore->setEnabled(!windowShown);
            minimize->setEnabled(windowShown);
        });
        connect(tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::DoubleClick || reason == QSystemTrayIcon::Trigger) RestoreWindow();
        });
        tray->setContextMenu(menu);
        tray->show();
    }
    setWindowTitle(QString::fromStdString(document.codePage.ToUtf8(settings.projectTitle)));
}

CMainFrame::~CMainFrame() {
    document.SetView(nullptr);
}

void CMainFrame::SetIconFromFile(const RuntimeAppSettings& settings, const std::string& executablePath) {
    // The project's icon file beside the player, or the program's icon; the built-in icon when
    // neither can be read.
    std::string path = ProgramIconPath(executablePath);
    if (settings.useCustomIcon) {
        std::string name = settings.iconFileName.substr(settings.iconFileName.find_last_of('\\') + 1);
        path = std::filesystem::path(executablePath).parent_path().string() + "/" + document.codePage.ToUtf8(name);
    }
    QIcon icon = ReadableIcon(path);
    if (!icon.isNull()) setWindowIcon(icon);
}

QRegion ShapeOfMask(CISImageEx& mask) {
    QRegion shape;
    if (mask.IsEmpty() || (mask.Depth() != 24 && mask.ConvertTo24() != 0)) return shape;
    const std::uint8_t* pixels = mask.Pixels();
    int width = static_cast<int>(mask.Width()), height = static_cast<int>(mask.Height());
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * mask.RowBytes();
        int x = 0;
        while (x < width) {
            while (x < width && (row[x * 3] | row[x * 3 + 1] | row[x * 3 + 2]) != 0) ++x;
            int start = x;
            while (x < width && (row[x * 3] | row[x * 3 + 1] | row[x * 3 + 2]) == 0) ++x;
            if (x > start) shape += QRect(start, y, x - start, 1);
        }
    }
    return shape;
}

void CMainFrame::ApplyWindowShape() {
    const CVantorixProjectInfo& info = document.Project()->info;
    if (info.windowStyle != 4) return;
    CISImageEx mask;
    if (mask.LoadFile(BesideExeHostPath(document, info.maskFileName)) != 0) return;
    if (mask.Depth() != 24 && mask.ConvertTo24() != 0) return;
    auto width = static_cast<std::uint32_t>(info.windowWidth), height = static_cast<std::uint32_t>(info.windowHeight);
    if (info.stretchMask && (mask.Width() != width || mask.Height() != height) && mask.Resize(width, height) != 0)
        return;
    setMask(ShapeOfMask(mask));
}

void CMainFrame::RunCloseSequence() {
    document.RunCloseEvents();
    view->EndMedia();
    document.RemoveFonts();
}

void CMainFrame::MinimizeWindow() {
    if (!tray) {
        showMinimized();
    } else if (windowShown) {
        hide();
        windowShown = false;
    }
}

void CMainFrame::RestoreWindow() {
    if (tray && !windowShown) {
        windowShown = true;
        showNormal();
    }
    showNormal();
    raise();
    activateWindow();
}

void CMainFrame::changeEvent(QEvent* event) {
    // In tray mode minimizing in any way hides the window to the tray.
    if (event->type() == QEvent::WindowStateChange && tray && (windowState() & Qt::WindowMinimized)) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        MinimizeWindow();
    }
    CKXWnd::changeEvent(event);
}

void CMainFrame::resizeEvent(QResizeEvent*) {
    if (view) view->setGeometry(rect());
}

void CMainFrame::HandleKey(int virtualKey, bool ctrl, bool alt, bool shift) {
    if (std::optional<WindowsKeyDown> down = WindowKeyDown(virtualKey, ctrl, alt, shift)) {
        document.RunKeyEvent(down->virtualKey, down->ctrl, down->alt, down->shift);
    }
}

void CMainFrame::keyPressEvent(QKeyEvent* event) {
    if (std::optional<WindowsKeyDown> down = KeyDownOfQtKey(event->key(), event->modifiers())) {
        document.RunKeyEvent(down->virtualKey, down->ctrl, down->alt, down->shift);
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (closed) {
        event->accept();
        return;
    }
    // The window closes only through the deferred close, after the closing scripts.
    event->ignore();
    if (document.ScriptDepth() != 0 && askToStopScript) {
        // A script is running (one that waits and serves events): the person chooses.
        if (askToStopScript()) {
            document.ScriptEngine().StopRunningScript();
            closeAfterScript = true;
            SetTimer(closeTimerId, 100);
        }
        return;
    }
    // A second request while the close is under way would run the closing scripts twice.
    if (document.Closing() && IsTimerSet(closeTimerId)) return;
    if (!document.QueryAllowProjectClose()) return;
    RunCloseSequence();
    SetTimer(closeTimerId, 100);
}

void CMainFrame::OnTimer(int id) {
    if (id != closeTimerId) return;
    if (document.ScriptDepth() != 0) {
        // A close that comes while a script runs (one that pumps events) is dropped, unless that
        // script was stopped for it: then the close waits for the script to end.
        if (!closeAfterScript) KillTimer(closeTimerId);
        return;
    }
    KillTimer(closeTimerId);
    if (closeAfterScript) {
        closeAfterScript = false;
        RunCloseSequence();
        SetTimer(closeTimerId, 100);
        return;
    }
    view->LeaveCurrentPage();
    closed = true;
    close();
}
