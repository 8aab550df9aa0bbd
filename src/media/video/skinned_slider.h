#pragma once

#include <QImage>
#include <QWidget>

#include <array>
#include <functional>

// The player's position slider: a horizontal track with a thumb that paints itself, plainly
// in the system colours or with the six pictures of a skin. Its range is 0 .. the movie's
// length in milliseconds; dragging the thumb reports every position it passes, and a click on
// the track beside the thumb reports the clicked point.
class CSkinnedSlider : public QWidget {
public:
    explicit CSkinnedSlider(QWidget* parent);

    void SetRange(int maximum);
    void SetPosition(int position);  // ignored while the thumb is dragged
    int Position() const { return position; }
    void SetThumbLength(int length);
    // Left end, middle and right end of the track, and the normal, hot and pressed thumb.
    void SetSkin(const std::array<QImage, 6>& pictures);
    void ClearSkin();
    bool IsSkinned() const { return skinned; }
    void SetBackground(QColor colour);

    QRect ChannelRect() const;
    QRect ThumbRect() const;

    // The position the thumb was dragged to, and the point of a click beside the thumb as a
    // fraction (0 to 1) of the track.
    std::function<void(int position)> onTrack;
    std::function<void(double fraction)> onPageClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent*) override;

private:
    int PositionAt(int x) const;

    int maximum = 0;
    int position = 0;
    int thumbLength = 16;
    std::array<QImage, 6> pictures;
    bool skinned = false;
    QColor background{0xC0, 0xC0, 0xC0};
    bool pressed = false;
    int dragOffset = 0;
};
