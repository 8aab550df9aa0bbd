#include "media/video/skinned_slider.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "graphics/drawing/paint_helpers.h"
#include "platform/system_colors.h"

CSkinnedSlider::CSkinnedSlider(QWidget* parent) : QWidget(parent) {
    setObjectName("SkinnedSlider");
    setMouseTracking(true);
}

void CSkinnedSlider::SetRange(int newMaximum) {
    maximum = std::max(0, newMaximum);
    position = std::clamp(position, 0, maximum);
    update();
}

void CSkinnedSlider::SetPosition(int newPosition) {
    if (pressed) return;
    newPosition = std::clamp(newPosition, 0, maximum);
    if (newPosition == position) return;
    position = newPosition;
    update();
}

void CSkinnedSlider::SetThumbLength(int length) {
    thumbLength = std::max(4, length);
    update();
}

void CSkinnedSlider::SetSkin(const std::array<QImage, 6>& newPictures) {
    pictures = newPictures;
    skinned = true;
    update();
}

void CSkinnedSlider::ClearSkin() {
    pictures = {};
    skinned = false;
    update();
}

void CSkinnedSlider::SetBackground(QColor colour) {
    if (colour == background) return;
    background = colour;
    update();
}

// The track runs between half a thumb from each end, centred vertically, 4 pixels high.
QRect CSkinnedSlider::ChannelRect() const {
    int half = ThumbRect().width() / 2 + 2;
    return QRect(QPoint(half, height() / 2 - 2), QPoint(std::max(half, width() - half - 1), height() / 2 + 1));
}

QRect CSkinnedSlider::ThumbRect() const {
    int thumbWidth = skinned ? thumbLength : thumbLength / 2 + 2;
    int thumbHeight = std::min(thumbLength, height());
    int half = thumbWidth / 2 + 2;
    int span = std::max(0, width() - 2 * half);
    int x = half + (maximum > 0 ? static_cast<int>(static_cast<long long>(span) * position / maximum) : 0);
    return QRect(x - thumbWidth / 2, (height() - thumbHeight) / 2, thumbWidth, thumbHeight);
}

int CSkinnedSlider::PositionAt(int x) const {
    QRect channel = ChannelRect();
    if (channel.width() <= 1 || maximum <= 0) return 0;
    double fraction = std::clamp((x - channel.left()) / static_cast<double>(channel.width()), 0.0, 1.0);
    return static_cast<int>(fraction * maximum + 0.5);
}

void CSkinnedSlider::paintEvent(QPaintEvent*) {
    QImage surface(size(), QImage::Format_RGB32);
    surface.fill(background);
    QPainter painter(&surface);
    QRect channel = ChannelRect(), thumb = ThumbRect();
    QPoint pointer = mapFromGlobal(QCursor::pos());
    if (skinned) {
        int a = pictures[4].isNull() ? 16 : pictures[4].height();
        if (width() >= 3 * a) {
            int y = (height() - a) / 2;
            painter.save();
            painter.setClipRect(QRect(QPoint(channel.left() + a, 0), QPoint(channel.right() - a, height())));
            for (int x = channel.left() + a; x < channel.right() - a; x += a) painter.drawImage(x, y, pictures[1]);
            painter.restore();
            painter.drawImage(channel.left(), y, pictures[0]);
            painter.drawImage(channel.right() - a, y, pictures[2]);
        }
        const QImage* look = &pictures[3];
        if (pressed || (thumb.contains(pointer) && (QGuiApplication::mouseButtons() & Qt::LeftButton))) {
            look = &pictures[5];
        } else if (thumb.contains(pointer)) {
            look = &pictures[4];
        }
        painter.drawImage(thumb, *look);
    } else {
        const std::int32_t lines[] = {SystemColor::buttonShadow, SystemColor::darkShadow, SystemColor::buttonFace,
                                      SystemColor::buttonHighlight};
        for (int i = 0; i < 4; ++i) {
            painter.setPen(ColorOf(lines[i]));
            painter.drawLine(i == 3 ? 0 : channel.left(), channel.top() + i, channel.right(), channel.top() + i);
        }
        painter.fillRect(thumb, background);
        auto frame = [&painter](QRect r, std::int32_t topLeft, std::int32_t bottomRight) {
            painter.setPen(ColorOf(topLeft));
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
            painter.setPen(ColorOf(bottomRight));
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
        };
        frame(thumb, SystemColor::buttonFace, SystemColor::darkShadow);
        frame(thumb.adjusted(1, 1, -1, -1), SystemColor::buttonHighlight, SystemColor::buttonShadow);
    }
    painter.end();
    QPainter(this).drawImage(0, 0, surface);
}

void CSkinnedSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    QPoint at = event->position().toPoint();
    QRect thumb = ThumbRect();
    if (thumb.contains(at)) {
        pressed = true;
        dragOffset = at.x() - thumb.center().x();
    } else if (onPageClick) {
        QRect channel = ChannelRect();
        if (channel.width() > 0) {
            onPageClick(std::clamp((at.x() - channel.left()) / static_cast<double>(channel.width()), 0.0, 1.0));
        }
    }
    update();
}

void CSkinnedSlider::mouseMoveEvent(QMouseEvent* event) {
    if (pressed) {
        int dragged = PositionAt(event->position().toPoint().x() - dragOffset);
        if (dragged != position) {
            position = dragged;
            if (onTrack) onTrack(position);
        }
    }
    update();
}

void CSkinnedSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressed = false;
    update();
}

void CSkinnedSlider::leaveEvent(QEvent*) {
    update();
}
