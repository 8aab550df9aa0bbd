#include "platform/qt/kx_wnd.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QTimerEvent>

namespace {

const QEvent::Type messageEventType = static_cast<QEvent::Type>(QEvent::registerEventType());

class MessageEvent : public QEvent {
public:
    MessageEvent(int message, std::intptr_t wParam, std::intptr_t lParam)
        : QEvent(messageEventType), message(message), wParam(wParam), lParam(lParam) {}
    int message;
    std::intptr_t wParam;
    std::intptr_t lParam;
};

}  // namespace

CKXWnd::CKXWnd(QWidget* parent) : QWidget(parent) {}

void CKXWnd::PostMessage(int message, std::intptr_t wParam, std::intptr_t lParam) {
    QCoreApplication::postEvent(this, new MessageEvent(message, wParam, lParam));
}

void CKXWnd::SetTimer(int id, int milliseconds) {
    KillTimer(id);
    timers[id] = startTimer(milliseconds);
}

void CKXWnd::KillTimer(int id) {
    auto it = timers.find(id);
    if (it == timers.end()) return;
    killTimer(it->second);
    timers.erase(it);
}

void CKXWnd::InvalidateRect(const QRect* rect) {
    if (rect) {
        update(*rect);
    } else {
        update();
    }
}

void CKXWnd::RedrawNow(const QRect* rect) {
    if (rect) {
        repaint(*rect);
    } else {
        repaint();
    }
}

std::intptr_t CKXWnd::OnMessage(int, std::intptr_t, std::intptr_t) {
    return 0;
}

void CKXWnd::OnTimer(int) {}

void CKXWnd::OnPaint(const QRect&) {}

bool CKXWnd::event(QEvent* event) {
    if (event->type() == messageEventType) {
        auto* message = static_cast<MessageEvent*>(event);
        OnMessage(message->message, message->wParam, message->lParam);
        return true;
    }
    return QWidget::event(event);
}

void CKXWnd::timerEvent(QTimerEvent* event) {
    for (const auto& [id, qtId] : timers) {
        if (qtId == event->timerId()) {
            OnTimer(id);
            return;
        }
    }
    QWidget::timerEvent(event);
}

void CKXWnd::paintEvent(QPaintEvent* event) {
    OnPaint(event->region().boundingRect());
}
