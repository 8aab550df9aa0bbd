#include "view/object_cursors.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>

namespace {

constexpr int kCursorSize = 32;

// Every drawn cursor has a near-black outline around light fills so that it stays visible on
// dark and light pages alike. Coordinates sit on half pixels so that 1-pixel lines are crisp.
const QColor kInk(0x18, 0x18, 0x18);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kGrey(0xD4, 0xD4, 0xD4);
const QColor kLightGrey(0xEC, 0xEC, 0xEC);
const QColor kGlass(0xCC, 0xE6, 0xFF);

QPen InkPen(qreal width = 1.0, const QColor& color = kInk) {
    return QPen(color, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

void Fill(QPainter& p, const QPainterPath& path, const QColor& fill) {
    p.setPen(InkPen());
    p.setBrush(fill);
    p.drawPath(path);
}

void Fill(QPainter& p, const QPolygonF& polygon, const QColor& fill) {
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    Fill(p, path, fill);
}

void Fill(QPainter& p, const QRectF& rect, const QColor& fill) {
    QPainterPath path;
    path.addRect(rect);
    Fill(p, path, fill);
}

void FillEllipse(QPainter& p, QPointF centre, qreal rx, qreal ry, const QColor& fill) {
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    Fill(p, path, fill);
}

void Line(QPainter& p, QPointF from, QPointF to) {
    p.setPen(InkPen());
    p.drawLine(from, to);
}

QPainterPath RoundedBox(const QRectF& rect, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// A lens with its rim: the outer ring through `radius`, a light band, then the glass.
void Lens(QPainter& p, QPointF centre, qreal radius) {
    FillEllipse(p, centre, radius, radius, kLightGrey);
    FillEllipse(p, centre, radius - 2, radius - 2, kGlass);
    // A glint in the upper left of the glass.
    p.setPen(InkPen(1.0, kPaper));
    p.setBrush(Qt::NoBrush);
    QRectF glint(centre.x() - radius + 3.5, centre.y() - radius + 3.5, 2 * radius - 7, 2 * radius - 7);
    p.drawArc(glint, 100 * 16, 60 * 16);
}

// A lens handle leaving `centre` at 45 degrees down to the right, from `from` to `to` along it.
void Handle(QPainter& p, QPointF centre, qreal from, qreal to, qreal halfWidth, const QColor& fill) {
    QTransform along;
    along.translate(centre.x(), centre.y());
    along.rotate(45);
    QPainterPath handle = RoundedBox(QRectF(from, -halfWidth, to - from, 2 * halfWidth), 1.5);
    Fill(p, along.map(handle), fill);
}

// 1: a hand pointing up with its index finger; the fingertip is the hot spot.
void DrawHand(QPainter& p) {
    QPainterPath hand = RoundedBox(QRectF(5.5, 1.5, 4, 15), 2);
    hand = hand.united(RoundedBox(QRectF(9.5, 9.5, 3, 9), 1.5));
    hand = hand.united(RoundedBox(QRectF(12.5, 10.5, 3, 9), 1.5));
    hand = hand.united(RoundedBox(QRectF(15.5, 11.5, 3, 9), 1.5));
    hand = hand.united(RoundedBox(QRectF(5.5, 14.5, 13, 10), 3));
    QTransform thumb;
    thumb.translate(6.5, 21.5);
    thumb.rotate(-135);
    hand = hand.united(thumb.map(RoundedBox(QRectF(0, -2, 8, 4), 2)));
    Fill(p, hand, kPaper);
    // The folded fingers' edges.
    Line(p, {9.5, 12.0}, {9.5, 16.0});
    Line(p, {12.5, 13.0}, {12.5, 17.0});
    Line(p, {15.5, 14.0}, {15.5, 18.0});
    Fill(p, QRectF(7.5, 24.5, 10, 4), kGrey);
}

// 2: a solid black arrow with a white rim; the tip is the hot spot.
void DrawBlackArrow(QPainter& p) {
    const QPolygonF arrow{{1.5, 0.5}, {1.5, 17.5}, {5.5, 13.5}, {8.5, 20.5}, {11.0, 19.5}, {8.0, 12.5}, {13.5, 12.5}};
    p.setPen(InkPen(1.0, kPaper));
    p.setBrush(Qt::black);
    p.drawPolygon(arrow);
}

// 4: an open folder with a magnifying glass over its corner; the folder's tab is the hot spot.
void DrawFolderSearch(QPainter& p) {
    const QColor back(0xF2, 0xC9, 0x4C), front(0xFF, 0xE3, 0x8A);
    Fill(p, QPolygonF{{2.5, 3.5}, {9.5, 3.5}, {11.5, 5.5}, {22.5, 5.5}, {22.5, 21.5}, {2.5, 21.5}}, back);
    Fill(p, QPolygonF{{2.5, 21.5}, {5.5, 9.5}, {25.5, 9.5}, {22.5, 21.5}}, front);
    const QPointF centre(20.5, 20.5);
    Handle(p, centre, 5.0, 13.0, 2.0, QColor(0x8A, 0x5A, 0x2B));
    Lens(p, centre, 6.0);
}

// 6: a magnifying glass; the top left of its rim is the hot spot.
void DrawMagnifier(QPainter& p) {
    const QPointF centre(11.5, 9.5);
    Handle(p, centre, 7.5, 22.0, 2.5, QColor(0x8A, 0x5A, 0x2B));
    Lens(p, centre, 8.5);
}

// 7: a film reel with film running off behind it; the film's end is the hot spot.
void DrawFilmReel(QPainter& p) {
    // The film: a strip with sprocket holes along both edges and frames between.
    Fill(p, QRectF(3.5, 5.5, 20, 8), QColor(0x9A, 0x6A, 0x3A));
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    for (int x = 5; x < 23; x += 3) {
        p.drawRect(QRectF(x, 7, 1, 1));
        p.drawRect(QRectF(x, 11, 1, 1));
    }
    p.setBrush(QColor(0xFF, 0xE8, 0xB0));
    for (int x = 5; x < 20; x += 5) p.drawRect(QRectF(x, 9, 4, 1));
    const QPointF centre(20.5, 20.5);
    FillEllipse(p, centre, 9, 9, kGrey);
    p.setPen(InkPen());
    p.setBrush(QColor(0x50, 0x50, 0x50));
    for (int i = 0; i < 5; ++i) {
        QTransform turn;
        turn.translate(centre.x(), centre.y());
        turn.rotate(i * 72.0 - 90.0);
        p.drawEllipse(turn.map(QPointF(5.0, 0.0)), 2.0, 2.0);
    }
    p.drawEllipse(centre, 1.0, 1.0);
}

// 8: two banknotes with a stack of coins; the front note's corner is the hot spot.
void DrawMoney(QPainter& p) {
    const QColor note(0xB8, 0xE6, 0xA8), noteInk(0x3C, 0x8A, 0x3C), gold(0xFF, 0xD2, 0x4A);
    auto banknote = [&](qreal x, qreal y) {
        Fill(p, QRectF(x, y, 20, 11), note);
        p.setPen(InkPen(1.0, noteInk));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(x + 2, y + 2, 16, 7));
        p.drawEllipse(QPointF(x + 10, y + 5.5), 2.5, 2.5);
    };
    banknote(4.5, 6.5);
    banknote(0.5, 2.5);
    for (int i = 0; i < 4; ++i) FillEllipse(p, QPointF(23.5, 26.5 - 3 * i), 7, 3, gold);
    FillEllipse(p, QPointF(10.5, 24.5), 5.5, 5.5, gold);
    p.setPen(InkPen(1.0, QColor(0xB0, 0x80, 0x10)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10.5, 24.5), 3, 3);
}

// 9: a spiral-bound notepad with ruled lines; a ring of the binding is the hot spot.
void DrawNotepad(QPainter& p) {
    Fill(p, QRectF(3.5, 5.5, 19, 23), kPaper);
    p.setPen(InkPen(1.0, QColor(0x6A, 0x9A, 0xE0)));
    for (qreal y = 12.5; y < 27; y += 3) p.drawLine(QPointF(6.5, y), QPointF(19.5, y));
    p.setPen(InkPen(1.0, QColor(0xE0, 0x50, 0x50)));
    p.drawLine(QPointF(7.5, 9.5), QPointF(7.5, 26.5));
    for (qreal x = 5.5; x < 21; x += 4.5) Fill(p, QRectF(x, 3.5, 2, 5), kGrey);
}

// 10: a pencil writing down to the upper left; its point is the hot spot.
void DrawPencil(QPainter& p) {
    QTransform along;
    along.translate(0.5, 0.5);
    along.rotate(45);
    auto part = [&](const QPolygonF& shape, const QColor& fill) { Fill(p, along.map(shape), fill); };
    const qreal w = 3.5;
    part(QPolygonF{{0, 0}, {8, -w}, {8, w}}, QColor(0xF0, 0xD0, 0xA0));
    part(QPolygonF{{0, 0}, {3, -w * 3 / 8}, {3, w * 3 / 8}}, kInk);
    part(QPolygonF{{8, -w}, {25, -w}, {25, w}, {8, w}}, QColor(0xFF, 0xD0, 0x30));
    p.setPen(InkPen(1.0, QColor(0xC0, 0x90, 0x10)));
    p.drawLine(along.map(QLineF(8.5, 0, 24.5, 0)));
    part(QPolygonF{{25, -w}, {29, -w}, {29, w}, {25, w}}, QColor(0xB8, 0xB8, 0xC0));
    QPainterPath rubber = RoundedBox(QRectF(29, -w, 5, 2 * w), 1.5);
    Fill(p, along.map(rubber), QColor(0xF4, 0x9A, 0xB0));
    // The very point, so that the hot spot's pixel is drawn.
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(0, 0, 1.5, 1.5));
}

// 11: a printer with a sheet going in and one coming out; the body's corner is the hot spot.
void DrawPrinter(QPainter& p) {
    auto textLines = [&](qreal left, qreal right, qreal top, qreal bottom) {
        p.setPen(InkPen(1.0, QColor(0x90, 0x90, 0x90)));
        for (qreal y = top; y <= bottom; y += 2) p.drawLine(QPointF(left, y), QPointF(right, y));
    };
    Fill(p, QRectF(7.5, 2.5, 14, 11), kPaper);
    textLines(9.5, 19.5, 5.5, 11.5);
    Fill(p, QRectF(1.5, 13.5, 26, 10), kGrey);
    Fill(p, QRectF(4.5, 18.5, 20, 2), QColor(0x60, 0x60, 0x60));
    Fill(p, QRectF(7.5, 20.5, 14, 9), kPaper);
    textLines(9.5, 19.5, 23.5, 27.5);
    Fill(p, QRectF(22.5, 15.5, 2, 1), QColor(0x40, 0xD0, 0x40));
}

// 12: a loudspeaker sending out sound; the magnet's corner is the hot spot.
void DrawLoudspeaker(QPainter& p) {
    Fill(p, QRectF(8.5, 7.5, 5, 9), kGrey);
    Fill(p, QPolygonF{{13.5, 7.5}, {20.5, 1.5}, {20.5, 22.5}, {13.5, 16.5}}, kLightGrey);
    p.setBrush(Qt::NoBrush);
    for (qreal radius : {5.0, 9.0}) {
        const QRectF box(19.5 - radius, 12.0 - radius, 2 * radius, 2 * radius);
        p.setPen(QPen(kInk, 3.0, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(box, -40 * 16, 80 * 16);
        p.setPen(QPen(kPaper, 1.0, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(box, -40 * 16, 80 * 16);
    }
}

struct DrawnKind {
    int kind;
    QPoint hotSpot;
    void (*draw)(QPainter&);
};

constexpr int kDrawnCount = 10;

const std::array<DrawnKind, kDrawnCount> kDrawnKinds{{
    {1, {7, 1}, DrawHand},
    {2, {1, 0}, DrawBlackArrow},
    {4, {2, 3}, DrawFolderSearch},
    {6, {5, 3}, DrawMagnifier},
    {7, {3, 5}, DrawFilmReel},
    {8, {0, 2}, DrawMoney},
    {9, {10, 3}, DrawNotepad},
    {10, {0, 0}, DrawPencil},
    {11, {1, 13}, DrawPrinter},
    {12, {8, 7}, DrawLoudspeaker},
}};

QCursor MakeCursor(const DrawnKind& drawn) {
    QImage image(kCursorSize, kCursorSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        drawn.draw(painter);
    }
    return QCursor(QPixmap::fromImage(image), drawn.hotSpot.x(), drawn.hotSpot.y());
}

// The drawn cursor of a kind, or null. All are drawn on first use and kept for the whole run;
// never destroyed, since pixmaps must not outlive the application object.
const QCursor* DrawnCursor(int kind) {
    int index = 0;
    while (index < kDrawnCount && kDrawnKinds[index].kind != kind) ++index;
    if (index == kDrawnCount) return nullptr;
    static const auto* cursors = [] {
        auto* made = new std::array<QCursor, kDrawnCount>;
        for (int i = 0; i < kDrawnCount; ++i) (*made)[i] = MakeCursor(kDrawnKinds[i]);
        return made;
    }();
    return &(*cursors)[index];
}

}  // namespace

std::optional<QCursor> CursorForKind(int kind) {
    switch (kind) {
        case 0:
            return QCursor(Qt::ArrowCursor);
        case 3:
            return QCursor(Qt::CrossCursor);
        case 5:
            return QCursor(Qt::WhatsThisCursor);
        case 13:
            return QCursor(Qt::UpArrowCursor);
        default:
            if (const QCursor* drawn = DrawnCursor(kind)) return *drawn;
            return std::nullopt;
    }
}

QPixmap CursorPixmapForKind(int kind) {
    const QCursor* drawn = DrawnCursor(kind);
    return drawn ? drawn->pixmap() : QPixmap();
}
