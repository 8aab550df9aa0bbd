#pragma once

#include <QImage>
#include <QRect>

#include <vector>

class QPainter;

// The look of a paragraph's scroll bars: the system look in the desktop's colours, or the 19
// tiles of a skin picture (up, down, left, right arrows and their pressed forms, the thumbs'
// caps, middles and short forms, the two tracks, the corner box).
class CScrollBarPainter {
public:
    enum Arrow { Up, Down, Left, Right };
    enum Tile {
        tileUp = 0,
        tileVerticalThumbTop = 8,
        tileVerticalThumbMiddle = 9,
        tileVerticalThumbBottom = 10,
        tileVerticalThumbShort = 11,
        tileHorizontalThumbLeft = 12,
        tileHorizontalThumbMiddle = 13,
        tileHorizontalThumbRight = 14,
        tileHorizontalThumbShort = 15,
        tileVerticalTrack = 16,
        tileHorizontalTrack = 17,
        tileCorner = 18,
        tileCount = 19,
    };

    // Takes the tiles of a skin strip (19 squares as wide as the picture is high); no tiles
    // gives the system look.
    void SetSkin(std::vector<QImage> tiles) { skin = std::move(tiles); }
    bool Skinned() const { return skin.size() == tileCount; }

    void Track(QPainter& painter, const QRect& bar, bool vertical, int barWidth) const;
    void ArrowBox(QPainter& painter, const QRect& box, Arrow arrow, bool pressed) const;
    void Thumb(QPainter& painter, const QRect& thumb, bool vertical, int barWidth) const;
    void Corner(QPainter& painter, const QRect& box) const;

private:
    std::vector<QImage> skin;
};
