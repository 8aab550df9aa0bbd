#pragma once

#include <QFont>
#include <QString>

#include <optional>
#include <string>

#include "project/serializable.h"
#include "view/objects/object_view.h"
#include "view/objects/paragraph_text.h"
#include "view/objects/scroll_bar_painter.h"

class CVantorixParagraphObject;
class QPainter;

// A paragraph: wrapped or unwrapped text in a box with optional background and border, and its
// own scroll bars (vertical by lines, horizontal by steps of 10 pixels), each shown when needed,
// always or never, in the system look or from a skin picture. Otherwise it reacts like a label;
// its "On Enter" runs under the name "On Over".
class CParagraphView : public CTextBlockView {
public:
    // One scroll bar: its rectangles as the last draw placed them, and its position, which lasts
    // as long as the paragraph (the draws clamp it).
    struct Bar {
        bool shown = false;
        VxRect bar, low, high, thumb;  // low: the up or left box, high: the down or right box
        bool thumbPresent = true;      // the content overflows along this bar
        int position = 0;
        int count = 100;
        int visible = 0;
        bool lowPressed = false;
        bool highPressed = false;
    };

    explicit CParagraphView(CVantorixParagraphObject& paragraph);

    void Paint(CDIBSMemDC& dc, const CObjectServices& services) override;
    // The rectangle less the bars that show.
    bool HitTest(QPoint point) override;

    bool BarsContain(QPoint point) const override;
    bool VerticalBarContains(QPoint point) const override;
    void ScrollbarPress(CObjectHost& host, QPoint point) override;
    void ScrollbarRelease(CObjectHost& host) override;
    void CaptureMove(CObjectHost& host, QPoint point) override;
    void RepeatTick(CObjectHost& host, QPoint point) override;
    bool Wheel(CObjectHost& host, QPoint point, int delta) override;
    void CaptureEnded() override;

    const Bar& Vertical() const { return vertical; }
    const Bar& Horizontal() const { return horizontal; }
    int BarWidth() const { return barWidth; }

protected:
    const ObjectSounds* Sounds() const override;
    const char* EnterContext() const override;

private:
    void PrepareText(const CObjectServices& services);
    void LoadSkin(const CObjectServices& services);
    // The count, visible part, clamped position and thumb of a bar whose rectangles are placed,
    // for content and area lengths along it counted in units of unit pixels.
    void PlaceThumb(Bar& bar, bool vertical, int content, int area, int unit);
    void DrawBar(QPainter& painter, const Bar& bar, bool vertical) const;
    void PressBar(CObjectHost& host, Bar& bar, bool vertical, QPoint point, int firstPart);
    void TickBar(Bar& bar, bool vertical, QPoint point, int firstPart, CObjectHost& host);
    void ClearPressed();

    CVantorixParagraphObject& paragraph;
    Bar vertical, horizontal;
    int barWidth = 16;
    CScrollBarPainter bars;
    std::optional<std::string> skinTriedFor;  // the skin name last looked for
    QFont font;
    bool fontMade = false;
    int lineHeight = 1;
    std::string sourceText;
    QString text;
    bool textMade = false;
    CParagraphText fullLayout, areaLayout;
    int part = -1;
    QPoint dragStart;
    VxRect thumbAtDrag;
};
