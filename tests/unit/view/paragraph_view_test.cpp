#include "view/objects/paragraph_view.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>
#include <QWheelEvent>

#include <filesystem>

#include "graphics/image/cis_image_ex.h"
#include "project/vantorix_event.h"
#include "project/vantorix_paragraph_object.h"
#include "shown_project.h"
#include "view/objects/object_factory.h"
#include "view/objects/paragraph_text.h"
#include "view/objects/text_layout.h"

namespace {

std::string Lines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += (i > 1 ? "\r\n" : "") + std::string("Line ") + std::to_string(i);
    return text;
}

std::shared_ptr<CVantorixParagraphObject> Paragraph(const std::string& text, VxRect rect) {
    auto paragraph = std::make_shared<CVantorixParagraphObject>();
    paragraph->objectName = "P";
    paragraph->text = text;
    paragraph->rect = rect;
    paragraph->transparent = 0;
    return paragraph;
}

// A project of one page holding the paragraph, shown.
struct ShownParagraph {
    explicit ShownParagraph(std::shared_ptr<CVantorixParagraphObject> record,
                            const std::function<void(const std::string&)>& beforeOpen = {})
        : paragraph(record), shown(Project(record), 300, 200, beforeOpen) {
        shown.frame->View().alwaysActive = true;
        Repaint();
    }
    static CVantorixProject& Project(std::shared_ptr<CVantorixParagraphObject> record) {
        static CVantorixProject project;
        project = CVantorixProject();
        project.pages.push_back(std::make_unique<CVantorixMenuPage>());
        project.pages[0]->pageName = "Home";
        project.pages[0]->pageObjects = {record};
        return project;
    }
    CVantorixParagraphObject& Record() {
        return static_cast<CVantorixParagraphObject&>(*shown.document.CurrentPage()->Objects()[0]);
    }
    CParagraphView& View() { return static_cast<CParagraphView&>(ObjectViewOf(Record())); }
    void Repaint() {
        shown.frame->View().repaint();
        QApplication::processEvents();
    }
    void Mouse(QEvent::Type type, QPoint at) {
        QMouseEvent event(type, at, shown.frame->View().mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&shown.frame->View(), &event);
    }
    void Wheel(QPoint at, int delta) {
        QWheelEvent event(at, shown.frame->View().mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&shown.frame->View(), &event);
    }
    std::shared_ptr<CVantorixParagraphObject> paragraph;
    ShownProject shown;
};

TEST(ParagraphView, BarsShowWhenTheTextDoesNotFit) {
    // Two lines fit a box 60 high at this font; many lines need the vertical bar.
    ShownParagraph fits(Paragraph("one\r\ntwo", {10, 10, 210, 70}));
    EXPECT_FALSE(fits.View().Vertical().shown);
    EXPECT_FALSE(fits.View().Horizontal().shown);
    EXPECT_TRUE(fits.View().HitTest(QPoint(205, 20))) << "without a bar the whole rectangle takes the pointer";

    ShownParagraph overflows(Paragraph(Lines(30), {10, 10, 210, 70}));
    const CParagraphView::Bar& bar = overflows.View().Vertical();
    ASSERT_TRUE(bar.shown);
    EXPECT_EQ(bar.bar, (VxRect{194, 10, 210, 70}));
    EXPECT_FALSE(overflows.View().HitTest(QPoint(200, 20))) << "the bar is not the paragraph's text area";
    EXPECT_TRUE(overflows.View().BarsContain(QPoint(200, 20)));
    EXPECT_FALSE(overflows.View().Horizontal().shown) << "wrapping paragraphs never show a horizontal bar";

    // An empty text shows no automatic bar; mode 1 always shows one.
    auto always = Paragraph("", {10, 10, 210, 70});
    always->verticalBarMode = 1;
    ShownParagraph forced(always);
    EXPECT_TRUE(forced.View().Vertical().shown);
}

TEST(ParagraphView, ALongTextHasAThumbOfOneBarWidth) {
    ShownParagraph shown(Paragraph(Lines(2000), {10, 10, 210, 190}));
    const CParagraphView::Bar& bar = shown.View().Vertical();
    ASSERT_TRUE(bar.shown);
    EXPECT_EQ(bar.thumb.bottom - bar.thumb.top, shown.View().BarWidth());
    EXPECT_EQ(bar.thumb.top, 10 + shown.View().BarWidth());
}

TEST(ParagraphView, BoxesWheelAndClamping) {
    ShownParagraph shown(Paragraph(Lines(40), {10, 10, 210, 190}));
    const CParagraphView::Bar& bar = shown.View().Vertical();
    ASSERT_TRUE(bar.shown);
    int last = bar.count - bar.visible;
    ASSERT_GT(last, 5);
    // The down box scrolls by one line; the up box back.
    shown.Mouse(QEvent::MouseButtonPress, QPoint(bar.high.left + 2, bar.high.top + 2));
    EXPECT_TRUE(bar.highPressed);
    shown.Mouse(QEvent::MouseButtonRelease, QPoint(bar.high.left + 2, bar.high.top + 2));
    EXPECT_EQ(bar.position, 1);
    EXPECT_FALSE(bar.highPressed);
    // The track below the thumb scrolls by a page less one line.
    shown.Repaint();
    shown.Mouse(QEvent::MouseButtonPress, QPoint(bar.thumb.left + 2, bar.thumb.bottom + 2));
    shown.Mouse(QEvent::MouseButtonRelease, QPoint(bar.thumb.left + 2, bar.thumb.bottom + 2));
    EXPECT_EQ(bar.position, 1 + bar.visible - 1);
    // Wheel turns towards the user go on past the end; the next draw clamps.
    for (int i = 0; i < 100; ++i) shown.Wheel(QPoint(50, 50), -120);
    shown.Repaint();
    EXPECT_EQ(bar.position, last);
    shown.Wheel(QPoint(50, 50), 120);
    shown.Repaint();
    EXPECT_EQ(bar.position, last - 1);
    // A shorter text: the repaint SetText makes fits the position to it; a wheel turn at the end
    // then changes nothing.
    shown.shown.document.RunEventScript(
        "Paragraph.SetText('P', string.rep('x\\r\\n', 20)) Code = Application.GetLastError()", "Test", "");
    EXPECT_EQ(shown.shown.Global("Code"), "0");
    EXPECT_EQ(shown.Record().text.substr(0, 3), "x\r\n") << "no backslash-n replacement is needed for real breaks";
    shown.Repaint();
    int shorterLast = bar.count - bar.visible;
    ASSERT_LT(shorterLast, last - 1);
    EXPECT_EQ(bar.position, shorterLast);
    shown.Wheel(QPoint(50, 50), -120);
    shown.Repaint();
    EXPECT_EQ(bar.position, shorterLast);
}

TEST(ParagraphView, LinesStackAtTheMeasuredHeightWhateverTheFontsLeading) {
    // Faces whose line spacing has leading, or whose layout rounds a line up: forty lines are
    // forty line heights, and the bar counts forty lines, so each step moves one whole line.
    struct Case {
        const char* face;
        int height;
    };
    OffscreenApplication();
    for (Case c : {Case{"Arial", -20}, Case{"Times New Roman", -24}, Case{"Liberation Mono", -16}, Case{"Arial", -13},
                   Case{"Courier New", -15}, Case{"Verdana", -31}}) {
        CKXFont described(c.height);
        described.faceName = c.face;
        QFont font = MakeFont(described, CodePage::Default());
        int line = ParagraphLineHeight(font);
        CParagraphText text;
        text.Prepare(QString::fromStdString(Lines(40)).replace("\r\n", "\n"), font, false, 0);
        EXPECT_EQ(text.Size().height(), 40 * line) << c.face << " " << c.height;

        auto record = Paragraph(Lines(40), {10, 10, 210, 190});
        record->font = described;
        ShownParagraph shown(record);
        const CParagraphView::Bar& bar = shown.View().Vertical();
        ASSERT_TRUE(bar.shown) << c.face << " " << c.height;
        EXPECT_EQ(bar.count, 40) << c.face << " " << c.height;
    }
}

TEST(ParagraphView, OnEnterRunsAsOnOver) {
    auto paragraph = Paragraph("text", {10, 10, 210, 70});
    auto enter = std::make_shared<CVantorixEvent>("On Enter");
    enter->script = "Seen = Debug.GetEventContext()";
    paragraph->objectEvents.push_back(enter);
    ShownParagraph shown(paragraph);
    shown.Mouse(QEvent::MouseMove, QPoint(50, 30));
    EXPECT_EQ(shown.shown.Global("Seen"), "Home -> P -> On Over");
    EXPECT_EQ(shown.Record().displayState, DisplayState::highlighted);
}

TEST(ParagraphView, SkinTilesDrawWhereTheGeometrySays) {
    // A 380 x 20 strip: tile i is filled with the colour (10 i, 255 - 10 i, 7).
    auto skinned = Paragraph(Lines(100), {10, 10, 210, 190});
    skinned->useBarSkin = 1;
    skinned->barSkinName = "tiles";
    ShownParagraph shown(skinned, [](const std::string& folder) {
        QImage strip(380, 20, QImage::Format_RGB32);
        for (int i = 0; i < 19; ++i) {
            for (int y = 0; y < 20; ++y) {
                for (int x = 0; x < 20; ++x) strip.setPixelColor(i * 20 + x, y, QColor(10 * i, 255 - 10 * i, 7));
            }
        }
        std::filesystem::create_directories(folder + "/Plugins");
        strip.save(QString::fromStdString(folder + "/Plugins/sb_tiles.png"), "PNG");
    });
    const CParagraphView::Bar& bar = shown.View().Vertical();
    ASSERT_EQ(shown.View().BarWidth(), 20);
    CISImageEx screen;
    ASSERT_TRUE(shown.shown.frame->View().CaptureScreen(&screen));
    auto tileAt = [&](int x, int y) {
        const std::uint8_t* p = screen.Pixels() + y * screen.RowBytes() + x * 3;
        return p[0] / 10;
    };
    EXPECT_EQ(tileAt(bar.low.left + 5, bar.low.top + 5), 0) << "the up arrow";
    EXPECT_EQ(tileAt(bar.high.left + 5, bar.high.top + 5), 2) << "the down arrow";
    EXPECT_EQ(tileAt(bar.thumb.left + 5, bar.thumb.top + 5), 11) << "the short thumb";
    EXPECT_EQ(tileAt(bar.bar.left + 5, bar.thumb.bottom + 30), 16) << "the track";

    // A name with a path in it is never looked for outside the plugins folder.
    auto escaping = Paragraph(Lines(100), {10, 10, 210, 190});
    escaping->useBarSkin = 1;
    escaping->barSkinName = "..\\Plugins\\sb_tiles";
    ShownParagraph outside(escaping);
    EXPECT_EQ(outside.View().BarWidth(), 16);
}

TEST(ParagraphView, SkinPicturesSetTheBarWidth) {
    struct Case {
        int width, height;
        int barWidth;
    };
    // 20 x 20 sets the width but keeps the system look; taller than 48 keeps 16; 1 x 48 sets 48.
    for (Case c : {Case{20, 20, 20}, Case{1, 48, 48}, Case{19000, 1000, 16}, Case{19 * 12, 12, 12}}) {
        auto skinned = Paragraph(Lines(100), {10, 10, 210, 190});
        skinned->useBarSkin = 1;
        skinned->barSkinName = "odd";
        ShownParagraph shown(skinned, [&](const std::string& folder) {
            QImage picture(c.width, c.height, QImage::Format_RGB32);
            picture.fill(Qt::red);
            std::filesystem::create_directories(folder + "/Plugins");
            picture.save(QString::fromStdString(folder + "/Plugins/sb_odd.png"), "PNG");
        });
        EXPECT_EQ(shown.View().BarWidth(), c.barWidth) << c.width << " x " << c.height;
        EXPECT_EQ(shown.View().Vertical().bar.left, 210 - c.barWidth);
    }
}

TEST(ParagraphView, HostileValuesDrawSomethingSensible) {
    struct Case {
        const char* what;
        std::string text;
        VxRect rect;
        int fontHeight;
    };
    const Case cases[] = {
        {"a text of ten megabytes", std::string(10 * 1024 * 1024, 'x'), {0, 0, 200, 100}, -13},
        {"NUL bytes and lone CRs", std::string("a\0b\rc\r\rd", 8), {0, 0, 200, 100}, -13},
        {"font height 0", Lines(50), {0, 0, 200, 100}, 0},
        {"font height -100000", Lines(5), {0, 0, 200, 100}, -100000},
        {"an empty rectangle", Lines(50), {50, 50, 50, 50}, -13},
        {"a negative rectangle", Lines(50), {100, 100, 20, 20}, -13},
        {"a rectangle thinner than its bar", Lines(50), {0, 0, 10, 5}, -13},
    };
    for (const Case& c : cases) {
        auto paragraph = Paragraph(c.text, c.rect);
        paragraph->font.height = c.fontHeight;
        paragraph->horizontalBarMode = 0;
        ShownParagraph shown(paragraph);
        shown.Wheel(QPoint(5, 5), -120);
        shown.Repaint();
        EXPECT_GE(shown.View().Vertical().position, 0) << c.what;
    }
}

}  // namespace
