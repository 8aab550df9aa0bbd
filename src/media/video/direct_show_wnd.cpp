#include "media/video/direct_show_wnd.h"

#include <QMouseEvent>
#include <QPainter>

CDirectShowWnd::CDirectShowWnd(QWidget* parent, CMpvPlayback::Settings settings)
    : QWidget(parent), playback(settings, this) {
    setObjectName("DSVideoWindow");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    playback.onFrame = [this] { update(); };
}

void CDirectShowWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (playback.RenderFrame(size())) {
        painter.drawImage(0, 0, playback.Frame());
    } else {
        painter.fillRect(rect(), Qt::black);
    }
}

void CDirectShowWnd::mousePressEvent(QMouseEvent* event) {
    if (onMouse) onMouse(event);
}

void CDirectShowWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (onMouse) onMouse(event);
}

void CDirectShowWnd::mouseMoveEvent(QMouseEvent* event) {
    if (onMouse) onMouse(event);
}
