#include "view/objects/paragraph_view.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <optional>

#include "graphics/drawing/dibs_mem_dc.h"
#include "graphics/drawing/paint_helpers.h"
#include "graphics/image/cis_image_ex.h"
#include "platform/code_page.h"
#include "project/event_names.h"
#include "project/vantorix_paragraph_object.h"
#include "view/objects/object_host.h"
#include "view/objects/object_services.h"
#include "view/objects/scroll_geometry.h"
#include "view/objects/text_layout.h"

namespace {

constexpr int unitPixels = 10;
constexpr int maxSkinHeight = 48;
constexpr int defaultBarWidth = 16;
// More text than a paragraph can ever show is not laid out: a damaged project may hold megabytes.
constexpr int maxShownCharacters = 1000000;

bool Contains(const VxRect& r, QPoint p) {
    return p.x() >= r.left && p.x() < r.right && p.y() >= r.top && p.y() < r.bottom;
}

// The part numbers of the vertical bar (0 thumb, 1 up, 2 down, 3 track above, 4 track below);
// the horizontal bar's are 5 higher.
enum Part { thumbPart = 0, lowPart = 1, highPart = 2, beforePart = 3, afterPart = 4 };
constexpr int horizontalParts = 5;

int Along(QPoint p, bool vertical) {
    return vertical ? p.y() : p.x();
}
int Start(const VxRect& r, bool vertical) {
    return vertical ? r.top : r.left;
}
int End(const VxRect& r, bool vertical) {
    return vertical ? r.bottom : r.right;
}

}  // namespace

CParagraphView::CParagraphView(CVantorixParagraphObject& paragraph) : CTextBlockView(paragraph), paragraph(paragraph) {}

const ObjectSounds* CParagraphView::Sounds() const {
    return &paragraph.sounds;
}

const char* CParagraphView::EnterContext() const {
    return VxEvent::onOver;
}

void CParagraphView::PrepareText(const CObjectServices& services) {
    if (!fontMade) {
        font = MakeFont(paragraph.font, services.TextCodePage());
        lineHeight = ParagraphLineHeight(font);
        fontMade = true;
    }
    if (textMade && sourceText == paragraph.text) return;
    sourceText = paragraph.text;
    text = QString::fromStdString(services.TextCodePage().ToUtf8(paragraph.text.substr(0, maxShownCharacters)));
    // Lines break at CR LF or LF; a lone CR shows nothing.
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.remove(QChar('\r'));
    textMade = true;
}

void CParagraphView::LoadSkin(const CObjectServices& services) {
    // A missing or unusable skin is not looked for again at every draw.
    std::string wanted = paragraph.useBarSkin ? paragraph.barSkinName : std::string();
    if (skinTriedFor == wanted) return;
    skinTriedFor = wanted;
    bars.SetSkin({});
    // A skin name never leaves the plugins folder.
    std::string path = wanted.empty() ? std::string() : services.PluginFileHostPath("sb_" + wanted + ".png");
    if (path.empty()) return;
    CISImageEx picture;
    if (picture.LoadFile(path) != 0) return;
    if (picture.Depth() < 24 && picture.ConvertTo24() != 0) return;
    int height = static_cast<int>(picture.Height());
    if (height > maxSkinHeight || height <= 0) {
        barWidth = defaultBarWidth;
        return;
    }
    barWidth = height;
    if (static_cast<int>(picture.Width()) != CScrollBarPainter::tileCount * height) return;
    QImage strip = ToQImage(picture);
    std::vector<QImage> tiles;
    for (int i = 0; i < CScrollBarPainter::tileCount; ++i) tiles.push_back(strip.copy(i * height, 0, height, height));
    bars.SetSkin(std::move(tiles));
}

void CParagraphView::Paint(CDIBSMemDC& dc, const CObjectServices& services) {
    if (!paragraph.visible) return;
    const VxRect& r = paragraph.rect;
    if (r.right <= r.left || r.bottom <= r.top) {
        vertical.shown = horizontal.shown = false;
        return;
    }
    std::int32_t color =
        StateColor(paragraph.normalColor, paragraph.highlightColor, paragraph.pressedColor, paragraph.disabledColor);
    PrepareText(services);
    BarMode verticalMode = paragraph.VerticalBar(), horizontalMode = paragraph.HorizontalBar();
    bool wrap = horizontalMode == BarMode::never;
    int inset = paragraph.border ? 10 : 8;
    int fullWidth = r.right - inset - r.left;
    // Which bars show. The content at full width decides the automatic ones; a text with more
    // line breaks than the box can hold needs the vertical bar whatever the wrapping, so its
    // long layout is made only once, at the width it is drawn at.
    std::optional<bool> showVertical, showHorizontal;
    if (verticalMode == BarMode::always) showVertical = true;
    if (verticalMode == BarMode::never || (verticalMode == BarMode::whenNeeded && text.isEmpty())) showVertical = false;
    if (!showVertical && r.bottom - r.top < (text.count(QChar('\n')) + 1) * (lineHeight - 1) + 8) showVertical = true;
    if (horizontalMode == BarMode::always) showHorizontal = true;
    if (horizontalMode == BarMode::never || (horizontalMode == BarMode::whenNeeded && text.isEmpty()))
        showHorizontal = false;
    if (!showVertical || !showHorizontal || (!*showVertical && !*showHorizontal)) {
        fullLayout.Prepare(text, font, wrap, fullWidth);
        QSize full = fullLayout.Size();
        if (!showVertical) showVertical = r.bottom - r.top < full.height() + 8;
        if (!showHorizontal) showHorizontal = r.right - r.left < full.width() + 8;
    }
    vertical.shown = *showVertical;
    horizontal.shown = *showHorizontal;
    if ((vertical.shown || horizontal.shown) && !bars.Skinned()) LoadSkin(services);
    int bw = barWidth;

    QPainter& painter = dc.Painter();
    painter.save();
    QRect whole = ToQRect(r);
    if (!paragraph.transparent) painter.fillRect(whole, ColorOf(paragraph.backgroundColor));
    VxRect area = r;
    if (paragraph.border) {
        VxRect frame{r.left, r.top, vertical.shown ? r.right - bw : r.right,
                     horizontal.shown ? r.bottom - bw : r.bottom};
        painter.setPen(ColorOf(paragraph.borderColor));
        painter.setBrush(Qt::NoBrush);
        if (frame.right > frame.left && frame.bottom > frame.top)
            painter.drawRect(ToQRect(frame).adjusted(0, 0, -1, -1));
        area = {area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
    }
    area = {area.left + 4, area.top + 4, area.right - 4, area.bottom - 4};
    painter.setFont(font);
    painter.setPen(ColorOf(color));
    if (!vertical.shown && !horizontal.shown) {
        QRect textArea = ToQRect(area);
        painter.setClipRect(textArea, Qt::IntersectClip);
        fullLayout.Draw(painter, textArea.topLeft(), textArea.width(), paragraph.alignment, textArea & dc.Box());
        painter.restore();
        return;
    }

    if (vertical.shown) area.right -= bw;
    if (horizontal.shown) area.bottom -= bw;
    int areaWidth = std::max(0, area.right - area.left), areaHeight = std::max(0, area.bottom - area.top);
    areaLayout.Prepare(text, font, wrap, areaWidth);
    int layoutWidth = areaLayout.Size().width(), layoutHeight = areaLayout.Size().height();
    if (!horizontal.shown && layoutWidth > areaWidth) layoutWidth = areaWidth;

    if (vertical.shown) {
        int vb = horizontal.shown ? r.bottom - bw : r.bottom;
        vertical.bar = {r.right - bw, r.top, r.right, vb};
        vertical.low = {r.right - bw, r.top, r.right, r.top + bw};
        vertical.high = {r.right - bw, vb - bw, r.right, vb};
        PlaceThumb(vertical, true, layoutHeight, areaHeight, lineHeight);
        DrawBar(painter, vertical, true);
    }
    if (horizontal.shown) {
        int hr = vertical.shown ? r.right - bw : r.right;
        horizontal.bar = {r.left, r.bottom - bw, hr, r.bottom};
        horizontal.low = {r.left, r.bottom - bw, r.left + bw, r.bottom};
        horizontal.high = {hr - bw, r.bottom - bw, hr, r.bottom};
        PlaceThumb(horizontal, false, layoutWidth, areaWidth, unitPixels);
        DrawBar(painter, horizontal, false);
    }
    if (vertical.shown && horizontal.shown)
        bars.Corner(painter, ToQRect(VxRect{r.right - bw, r.bottom - bw, r.right, r.bottom}));

    // The text, moved by the scroll positions and clipped to the text area.
    QRect textArea = ToQRect(area);
    QPoint origin = textArea.topLeft();
    if (vertical.shown && layoutHeight > areaHeight && vertical.count > 0) {
        origin.ry() -= static_cast<int>(static_cast<std::int64_t>(layoutHeight) * vertical.position / vertical.count);
        if (origin.y() + layoutHeight < area.bottom) origin.setY(area.bottom - layoutHeight);
    }
    if (horizontal.shown && layoutWidth > areaWidth && horizontal.count > 0) {
        origin.rx() -=
            static_cast<int>(static_cast<std::int64_t>(layoutWidth) * horizontal.position / horizontal.count);
    }
    if (!textArea.isEmpty()) {
        painter.setPen(ColorOf(color));
        painter.setClipRect(textArea, Qt::IntersectClip);
        areaLayout.Draw(painter, origin, layoutWidth, paragraph.alignment, textArea & dc.Box());
    }
    painter.restore();
}

void CParagraphView::PlaceThumb(Bar& bar, bool isVertical, int content, int area, int unit) {
    bar.count = content / unit;
    bar.visible = area / unit;
    bar.position = ClampScrollPosition(bar.position, bar.count, bar.visible);
    int trackStart = End(bar.low, isVertical), trackEnd = Start(bar.high, isVertical);
    int length = ThumbLength(bar.visible, bar.count, trackEnd - trackStart, barWidth);
    int start = ThumbStart(trackStart, trackEnd, bar.position, bar.count, length);
    bar.thumb = bar.bar;
    (isVertical ? bar.thumb.top : bar.thumb.left) = start;
    (isVertical ? bar.thumb.bottom : bar.thumb.right) = start + length;
    bar.thumbPresent = content > area;
}

void CParagraphView::DrawBar(QPainter& painter, const Bar& bar, bool isVertical) const {
    using Arrow = CScrollBarPainter::Arrow;
    bars.Track(painter, ToQRect(bar.bar), isVertical, barWidth);
    bars.ArrowBox(painter, ToQRect(bar.low), isVertical ? Arrow::Up : Arrow::Left, bar.lowPressed);
    bars.ArrowBox(painter, ToQRect(bar.high), isVertical ? Arrow::Down : Arrow::Right, bar.highPressed);
    if (bar.thumbPresent) bars.Thumb(painter, ToQRect(bar.thumb), isVertical, barWidth);
}

bool CParagraphView::HitTest(QPoint point) {
    if (!paragraph.visible || !paragraph.enabled) return false;
    VxRect inside = paragraph.rect;
    if (vertical.shown) inside.right -= barWidth;
    if (horizontal.shown) inside.bottom -= barWidth;
    return Contains(inside, point);
}

bool CParagraphView::BarsContain(QPoint point) const {
    return paragraph.visible && paragraph.enabled &&
           ((vertical.shown && Contains(vertical.bar, point)) || (horizontal.shown && Contains(horizontal.bar, point)));
}

bool CParagraphView::VerticalBarContains(QPoint point) const {
    return paragraph.visible && paragraph.enabled && vertical.shown && Contains(vertical.bar, point);
}

void CParagraphView::ClearPressed() {
    vertical.lowPressed = vertical.highPressed = false;
    horizontal.lowPressed = horizontal.highPressed = false;
}

void CParagraphView::CaptureEnded() {
    ClearPressed();
    part = -1;
}

void CParagraphView::PressBar(CObjectHost& host, Bar& bar, bool isVertical, QPoint point, int firstPart) {
    auto capture = [&](int which) {
        ClearPressed();
        part = firstPart + which;
        host.BeginCapture(*this, part, which != thumbPart);
    };
    int along = Along(point, isVertical);
    if (bar.thumbPresent && Contains(bar.thumb, point)) {
        dragStart = point;
        thumbAtDrag = bar.thumb;
        capture(thumbPart);
    } else if (Contains(bar.low, point)) {
        if (bar.thumbPresent) {
            capture(lowPart);
            bar.lowPressed = true;
            bar.position -= 1;
        }
    } else if (!Contains(bar.high, point)) {
        if (bar.thumbPresent) {
            bool before = along < Start(bar.thumb, isVertical);
            capture(before ? beforePart : afterPart);
            bar.position += before ? -(bar.visible - 1) : bar.visible - 1;
        }
    } else if (bar.thumbPresent) {
        capture(highPart);
        bar.highPressed = true;
        bar.position += 1;
    }
    bar.position = std::clamp(bar.position, 0, std::max(0, bar.count));
}

void CParagraphView::ScrollbarPress(CObjectHost& host, QPoint point) {
    if (vertical.shown && Contains(vertical.bar, point)) {
        PressBar(host, vertical, true, point, 0);
    } else if (horizontal.shown && Contains(horizontal.bar, point)) {
        PressBar(host, horizontal, false, point, horizontalParts);
    }
    host.InvalidateRect(paragraph.rect);
}

void CParagraphView::ScrollbarRelease(CObjectHost& host) {
    host.EndCapture();
    ClearPressed();
    host.InvalidateRect(paragraph.rect);
}

void CParagraphView::CaptureMove(CObjectHost& host, QPoint point) {
    if (part == thumbPart || part == horizontalParts + thumbPart) {
        bool isVertical = part == thumbPart;
        Bar& bar = isVertical ? vertical : horizontal;
        int trackTop = End(bar.low, isVertical), trackBottom = Start(bar.high, isVertical);
        if (trackBottom > trackTop) {
            double moved =
                Start(thumbAtDrag, isVertical) + Along(point, isVertical) - Along(dragStart, isVertical) - trackTop;
            bar.position = static_cast<int>(moved / (trackBottom - trackTop) * bar.count);
        }
    }
    vertical.position = std::clamp(vertical.position, 0, std::max(0, vertical.count));
    horizontal.position = std::clamp(horizontal.position, 0, std::max(0, horizontal.count));
    host.InvalidateRect(paragraph.rect);
}

void CParagraphView::TickBar(Bar& bar, bool isVertical, QPoint point, int which, CObjectHost& host) {
    int along = Along(point, isVertical);
    switch (which) {
        case lowPart:
            if (Contains(bar.low, point)) {
                bar.lowPressed = true;
                bar.position -= 1;
            }
            break;
        case highPart:
            if (Contains(bar.high, point)) {
                bar.highPressed = true;
                bar.position += 1;
            }
            break;
        case beforePart:
            if (Contains(bar.bar, point)) {
                if (along < Start(bar.thumb, isVertical)) {
                    bar.position -= bar.visible - 1;
                } else {
                    host.EndCapture();
                }
            }
            break;
        case afterPart:
            if (along >= End(bar.thumb, isVertical)) {
                bar.position += bar.visible - 1;
            } else {
                host.EndCapture();
            }
            break;
        default:
            break;
    }
}

void CParagraphView::RepeatTick(CObjectHost& host, QPoint point) {
    ClearPressed();
    if (part >= horizontalParts) {
        TickBar(horizontal, false, point, part - horizontalParts, host);
    } else if (part >= 0) {
        TickBar(vertical, true, point, part, host);
    }
    vertical.position = std::clamp(vertical.position, 0, std::max(0, vertical.count));
    horizontal.position = std::clamp(horizontal.position, 0, std::max(0, horizontal.count));
    host.InvalidateRect(paragraph.rect);
}

bool CParagraphView::Wheel(CObjectHost& host, QPoint point, int delta) {
    if (!paragraph.visible || !paragraph.enabled || !Contains(paragraph.rect, point)) return false;
    // A turn towards the user shows later lines; the next draw fits the position to the text.
    vertical.position += delta < 0 ? 1 : -1;
    host.InvalidateRect(paragraph.rect);
    return true;
}
