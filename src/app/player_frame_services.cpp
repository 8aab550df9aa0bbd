#include "app/player_frame_services.h"

#include <QMetaObject>

#include "app/debug_wnd_dlg.h"
#include "app/event_log.h"
#include "app/main_frame.h"
#include "platform/code_page.h"
#include "platform/qt/message_pump.h"
#include "script/lua_engine.h"
#include "view/px_runtime_view.h"

PlayerFrameServices::PlayerFrameServices(const CodePage& codePage, EventLog& log, QSize screen)
    : codePage(codePage), log(log) {
    screenWidth = screen.width();
    screenHeight = screen.height();
}

void PlayerFrameServices::PostCloseRequest() {
    if (frame) QMetaObject::invokeMethod(frame, "close", Qt::QueuedConnection);
}

void PlayerFrameServices::Minimize() {
    if (frame) frame->MinimizeWindow();
}

void PlayerFrameServices::Restore() {
    if (frame) frame->RestoreWindow();
}

void PlayerFrameServices::PumpMessagesFiltered(int milliseconds) {
    ::PumpMessagesFiltered(milliseconds, [this] { return engine && engine->StopRequested(); });
}

void PlayerFrameServices::RepaintNow() {
    if (frame) frame->View().repaint();
}

void PlayerFrameServices::DebugWindowAppend(const std::string& text) {
    log.Debug(codePage.ToUtf8(text));
    if (frame) frame->DebugWindow().Append(QString::fromStdString(codePage.ToUtf8(text)));
}

void PlayerFrameServices::DebugWindowClear() {
    if (frame) frame->DebugWindow().Clear();
}

void PlayerFrameServices::ShowDebugWindow(bool show) {
    if (frame) frame->DebugWindow().setVisible(show);
}
