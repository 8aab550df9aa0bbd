#include <gtest/gtest.h>
#include <filesystem>

#include "app/main_frame.h"
#include "graphics/image/cis_image_ex.h"

namespace {

TEST(WindowShape, BlackPixelsMakeTheShape) {
    // A 4 x 2 mask: black runs at x 1-2 on row 0 and at x 0 and 3 on row 1; grey is not black.
    CISImageEx mask;
    ASSERT_EQ(mask.Allocate(4, 2, 24), 0);
    const std::uint8_t rows[2][12] = {{255, 255, 255, 0, 0, 0, 0, 0, 0, 1, 1, 1},
                                      {0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 0, 0}};
    for (int y = 0; y < 2; ++y) std::copy(rows[y], rows[y] + 12, mask.Pixels() + y * mask.RowBytes());
    QRegion shape = ShapeOfMask(mask);
    struct Case {
        int x, y;
        bool inside;
    };
    for (Case c : {Case{0, 0, false}, Case{1, 0, true}, Case{2, 0, true}, Case{3, 0, false}, Case{0, 1, true},
                   Case{1, 1, false}, Case{2, 1, false}, Case{3, 1, true}}) {
        EXPECT_EQ(shape.contains(QPoint(c.x, c.y)), c.inside) << c.x << "," << c.y;
    }
    CISImageEx empty;
    EXPECT_TRUE(ShapeOfMask(empty).isEmpty());
}

}  // namespace

#include <QApplication>
#include <QKeyEvent>
#include <QThread>

#include <algorithm>

#include "actions/action_tables.h"
#include "app/project_settings.h"
#include "engine/px_runtime_doc.h"
#include "offscreen_application.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/windows_paths.h"
#include "project/archive_password.h"
#include "project/vantorix_image_object.h"
#include "project/vantorix_project.h"
#include "project/zip_writer.h"
#include "shown_project.h"
#include "temp_folder.h"
#include "view/objects/text_layout.h"
#include "view/px_runtime_view.h"

namespace {

TEST(PageView, CaptureAndRenderPages) {
    CVantorixProject project;
    for (std::int32_t color : {0x0000FF, 0x00FF00}) {
        auto page = std::make_unique<CVantorixMenuPage>();
        page->backgroundColor = color;
        project.pages.push_back(std::move(page));
    }
    ShownProject shown(project, 40, 30);
    CMainFrame& frame = *shown.frame;
    CPXRuntimeDoc& document = shown.document;

    CISImageEx onScreen, rendered;
    ASSERT_TRUE(frame.View().CaptureScreen(&onScreen));
    frame.View().RenderPageImage(&rendered, 1);
    ASSERT_EQ(onScreen.Width(), 40u);
    ASSERT_EQ(rendered.Height(), 30u);
    ASSERT_EQ(onScreen.Depth(), 24u);
    // Page 0 on screen is red; page 1 rendered off-screen is green; the screen is unchanged.
    EXPECT_EQ(std::vector<std::uint8_t>(onScreen.Pixels(), onScreen.Pixels() + 3),
              (std::vector<std::uint8_t>{255, 0, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(rendered.Pixels(), rendered.Pixels() + 3),
              (std::vector<std::uint8_t>{0, 255, 0}));
    EXPECT_EQ(document.CurrentPageIndex(), 0);
    EXPECT_FALSE(frame.View().CaptureScreen(nullptr));
}

TEST(PageView, LeavingAPageReleasesPicturesByLeaveMode) {
    // A picture that is gone from the disc still shows on coming back when its page kept it.
    for (int mode : {1, 2}) {
        TempFolder pictures;
        std::string file = pictures / "red.png";
        QImage red(10, 10, QImage::Format_RGB32);
        red.fill(QColor(255, 0, 0));
        ASSERT_TRUE(red.save(QString::fromStdString(file), "PNG"));
        CVantorixProject project;
        project.info.pageLeaveMode = mode;
        auto image = std::make_shared<CVantorixImageObject>();
        image->imageFile = WindowsPathLayer::Instance().ToWindowsPath(file);
        image->rect = {0, 0, 10, 10};
        project.pages.push_back(std::make_unique<CVantorixMenuPage>());
        project.pages[0]->pageObjects = {image};
        project.pages.push_back(std::make_unique<CVantorixMenuPage>());
        ShownProject shown(project, 40, 30);
        std::filesystem::remove(file);
        shown.document.ShowPage(1, true);
        shown.document.ShowPage(0, true);
        CISImageEx screen;
        ASSERT_TRUE(shown.frame->View().CaptureScreen(&screen));
        const std::uint8_t* middle = screen.Pixels() + 5 * screen.RowBytes() + 5 * 3;
        bool kept = middle[0] == 255 && middle[1] == 0 && middle[2] == 0;
        EXPECT_EQ(kept, mode == 1) << "mode " << mode << ": the picture kept, or the placeholder";
    }
}

}  // namespace

#include "app/debug_wnd_dlg.h"
#include "project/vantorix_event.h"
#include "project/vantorix_text_object.h"

namespace {

TEST(DebugWindow, AppendsWithoutAddingBreaksAndClears) {
    OffscreenApplication();
    CDebugWndDlg window(nullptr);
    window.Append("a");
    window.Append("b");
    window.Append("\r\nTRACE: 1: x\r\n");
    EXPECT_EQ(window.Text(), "ab\nTRACE: 1: x\n");
    window.Clear();
    EXPECT_EQ(window.Text(), "");
    window.resize(100, 100);
    EXPECT_GE(window.width(), 150) << "the window keeps its minimum size";
    EXPECT_GE(window.height(), 250);
}

TEST(MainFrame, KeyDownsRaiseOnKeyWithAutoRepeat) {
    CVantorixProject project;
    auto page = std::make_unique<CVantorixMenuPage>();
    auto onKey = std::make_shared<CVantorixEvent>("On Key");
    onKey->script = "Keys = (Keys or '') .. e_Key .. (e_Modifiers.ctrl and 'c' or '') .. ' '";
    page->pageEvents.push_back(onKey);
    project.pages.push_back(std::move(page));
    ShownProject shown(project, 40, 30);
    auto press = [&](int key, Qt::KeyboardModifiers modifiers, bool repeat) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, QString(), repeat);
        QApplication::sendEvent(shown.frame.get(), &event);
    };
    press(Qt::Key_A, Qt::NoModifier, false);
    press(Qt::Key_A, Qt::NoModifier, true);
    press(Qt::Key_X, Qt::AltModifier, false);
    press(Qt::Key_F10, Qt::NoModifier, false);
    press(Qt::Key_Control, Qt::NoModifier, false);
    shown.frame->HandleKey(88, false, true, false);  // a replayed Alt+X is a system key too
    lua_State* L = shown.document.ScriptEngine().luaState;
    lua_getglobal(L, "Keys");
    EXPECT_STREQ(lua_tostring(L, -1), "65 65 17c ");
    lua_pop(L, 1);
}

TEST(PageView, TooltipsForVisibleObjectsWithText) {
    CVantorixProject project;
    auto page = std::make_unique<CVantorixMenuPage>();
    struct Spec {
        const char* name;
        const char* tip;
        int visible;
    };
    for (Spec spec :
         {Spec{"first", "one", 1}, Spec{"plain", "", 1}, Spec{"hidden", "two", 0}, Spec{"second", "three", 1}}) {
        auto label = std::make_shared<CVantorixTextObject>();
        label->objectName = spec.name;
        label->tooltipText = spec.tip;
        label->visible = spec.visible;
        page->pageObjects.push_back(label);
    }
    project.pages.push_back(std::move(page));
    ShownProject shown(project, 200, 100);
    CPXRuntimeDoc& document = shown.document;
    std::vector<int> ids;
    for (const auto& object : document.CurrentPage()->Objects()) ids.push_back(object->tooltipId);
    // Invisible objects are passed over; objects without text get none.
    EXPECT_EQ(ids, (std::vector<int>{1, -1, -1, 2}));
}

}  // namespace

void PrintTo(const VxRect& r, std::ostream* out) {
    *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

TEST(LabelView, RotatedLabelsArePlacedByTheirAngleAtTheFirstDrawAndAfterSetText) {
    // A label 40 high at y 200, drawn first with one text, then given the other by SetText.
    // The first draw fits the rectangle from its top, except at 270, where a line longer than
    // the rectangle is high first moves the top up (bottom kept). SetText keeps the top-left,
    // except at 90, where the label keeps its left and bottom and so grows upwards.
    const std::string shortText = "ab", longText = "A much longer text than that";
    struct Case {
        int angle;
        std::string first, then;
    };
    for (Case c : {Case{0, shortText, longText}, Case{0, longText, shortText}, Case{90, shortText, longText},
                   Case{90, longText, shortText}, Case{180, shortText, longText}, Case{180, longText, shortText},
                   Case{270, shortText, longText}, Case{270, longText, shortText}}) {
        CVantorixProject project;
        auto page = std::make_unique<CVantorixMenuPage>();
        auto label = std::make_shared<CVantorixTextObject>();
        label->objectName = "L";
        label->text = c.first;
        label->angle = c.angle;
        label->autoSize = 1;
        label->font = CKXFont(-20);
        label->rect = {20, 200, 60, 240};
        page->pageObjects.push_back(label);
        project.pages.push_back(std::move(page));
        ShownProject shown(project, 400, 400);
        shown.frame->View().repaint();
        QApplication::processEvents();
        const VxRect& r = shown.document.CurrentPage()->Objects()[0]->rect;
        QFont font = MakeFont(label->font, CodePage::Default());
        auto size = [&](const std::string& text) { return MeasureText(text, font, CodePage::Default(), {}).size(); };
        std::string what = std::to_string(c.angle) + " from '" + c.first + "' to '" + c.then + "'";

        QSize first = size(c.first);
        bool upright = c.angle == 0 || c.angle == 180;
        int top = 200;
        if (c.angle == 270 && first.width() - 6 > 40) top = 240 - (first.width() - 6);
        VxRect drawn = upright ? VxRect{20, top, 20 + first.width(), top + first.height()}
                               : VxRect{20, top, 20 + first.height(), top + first.width()};
        EXPECT_EQ(r, drawn) << what << ", first draw";

        shown.document.RunEventScript("Label.SetText('L', '" + c.then + "')", "Test", "");
        QApplication::processEvents();
        QSize then = size(c.then);
        VxRect expected = upright         ? VxRect{20, drawn.top, 20 + then.width(), drawn.top + then.height()}
                          : c.angle == 90 ? VxRect{20, drawn.bottom - then.width(), 20 + then.height(), drawn.bottom}
                                          : VxRect{20, drawn.top, 20 + then.height(), drawn.top + then.width()};
        EXPECT_EQ(r, expected) << what << ", after SetText";
    }
}

}  // namespace

#include <QLineEdit>

#include "platform/qt/kx_input_box.h"

namespace {

TEST(InputBox, LongPromptsGrowTheBox) {
    OffscreenApplication();
    CKXInputBox shortBox(nullptr, "Title", "Name?", "Ann", false, 0);
    CKXInputBox longBox(nullptr, "Title", QString(200, 'w'), "", true, 32);
    EXPECT_EQ(shortBox.Answer(), "Ann");
    EXPECT_GT(longBox.height(), shortBox.height());
    EXPECT_EQ(longBox.findChild<QLineEdit*>()->echoMode(), QLineEdit::Password);
    QFont font;
    EXPECT_EQ(CKXInputBox::PromptLines("", font, 100), 1);
    EXPECT_EQ(CKXInputBox::PromptLines(QString(10, 'w'), font, 1),
              QFontMetrics(font).horizontalAdvance(QString(10, 'w')));
}

}  // namespace

namespace {

// Where the stack stood at each call of the scripts' probe().
std::vector<std::uintptr_t> probedStack;

int ProbeStack(lua_State*) {
    int marker = 0;
    probedStack.push_back(reinterpret_cast<std::uintptr_t>(&marker));
    return 0;
}

TEST(PageView, NotificationsThatComeWhileTheScreenSettlesWaitForTheTopOfTheLoop) {
    // The worst order: every settle before a script finds another notification, handed to the
    // view there and then. However many come, each script runs at the same depth.
    struct Case {
        const char* name;
        int message;
        std::intptr_t wParam, lParam;
    };
    for (Case c : {Case{"page shown", CPXRuntimeView::UM_PAGE_SHOWN, 0, 0},
                   Case{"audio", CPXRuntimeView::UM_AUDIO_EVENT, 0, 1}}) {
        CVantorixProject project;
        project.pages.push_back(std::make_unique<CVantorixMenuPage>());
        project.pages[0]->FindEvent("On Show")->script = "probe()";
        project.pages[0]->FindEvent("On Audio")->script = "probe()";
        ShownProject shown(project, 40, 30);
        CPXRuntimeView& view = shown.frame->View();
        lua_register(shown.document.ScriptEngine().luaState, "probe", ProbeStack);
        for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
        probedStack.clear();
        const std::size_t count = 400;
        std::size_t sent = 1;
        view.settlePump = [&] {
            if (sent < count) {
                ++sent;
                view.SendMessage(c.message, c.wParam, c.lParam);
            }
        };
        view.SendMessage(c.message, c.wParam, c.lParam);
        for (int i = 0; i < 10000 && probedStack.size() < count; ++i) QCoreApplication::processEvents();
        ASSERT_EQ(probedStack.size(), count) << c.name;
        auto [deepest, shallowest] = std::minmax_element(probedStack.begin(), probedStack.end());
        EXPECT_LT(*shallowest - *deepest, 16u * 1024) << c.name << ": the stack grew by " << (*shallowest - *deepest);
    }
}

TEST(PageView, AJumpCycleThroughOnCloseDoesNotGrowTheStack) {
    // Page A's "On Show" jumps to B; every page's "On Close" jumps on; the cycle never ends by
    // itself. Page changes run from the top of the event loop, so the stack stays where it is.
    CVantorixProject project;
    for (const char* name : {"A", "B", "C"}) {
        auto page = std::make_unique<CVantorixMenuPage>();
        page->pageName = name;
        project.pages.push_back(std::move(page));
    }
    project.pages[0]->FindEvent("On Show")->script = "Page.Jump('B')";
    project.pages[0]->FindEvent("On Close")->script = "Page.Jump('C')";
    project.pages[1]->FindEvent("On Close")->script = "Page.Jump('A')";
    project.pages[2]->FindEvent("On Close")->script = "Page.Jump('B')";
    ShownProject shown(project, 40, 30);
    struct StackWatch : CRunObserver {
        void PageEntered(int, const std::string&) override {
            int marker = 0;
            auto here = reinterpret_cast<std::uintptr_t>(&marker);
            deepest = std::min(deepest, here);
            shallowest = std::max(shallowest, here);
            ++changes;
        }
        int changes = 0;
        std::uintptr_t deepest = UINTPTR_MAX, shallowest = 0;
    } watch;
    shown.document.SetObserver(&watch);
    while (watch.changes < 3000) QCoreApplication::processEvents();
    shown.document.SetObserver(nullptr);
    EXPECT_LT(watch.shallowest - watch.deepest, 64u * 1024)
        << "the stack grew by " << (watch.shallowest - watch.deepest) << " bytes";
    // The window still closes.
    shown.frame->close();
    for (int i = 0; i < 50 && !shown.frame->Closed(); ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    EXPECT_TRUE(shown.frame->Closed());
}

}  // namespace

#include <QImage>

#include <fstream>

namespace {

TEST(MainFrame, IconsComeFromTheProjectsFileOrTheProgramsAndTheIntroTakesOnlyTheProgramsOwn) {
    // The program's icon is 16 pixels and the project's 32, so each can be told from the other;
    // "none" is the built-in icon.
    struct Case {
        bool programIcon, customIcon, useCustomIcon, garbage;
        int frameSize, introSize;
    };
    const Case cases[] = {
        {false, false, false, false, 0, 0}, {true, false, false, false, 16, 16}, {true, true, true, false, 32, 16},
        {true, false, true, false, 0, 16},  {false, true, true, false, 32, 0},   {true, true, false, false, 16, 16},
        {true, false, false, true, 0, 0},
    };
    for (const Case& c : cases) {
        CVantorixProject project;
        project.pages.push_back(std::make_unique<CVantorixMenuPage>());
        auto writeIcon = [&c](const std::string& path, int size) {
            if (c.garbage) {
                std::ofstream(path) << "not an icon";
                return;
            }
            QImage image(size, size, QImage::Format_ARGB32);
            image.fill(Qt::red);
            ASSERT_TRUE(image.save(QString::fromStdString(path), "ICO"));
        };
        std::string program;
        auto putIcons = [&](const std::string& folder) {
            program = folder + "/menu.exe";
            if (c.programIcon) writeIcon(folder + "/menu.ico", 16);
            if (c.customIcon) writeIcon(folder + "/custom.ico", 32);
        };
        ShownProject shown(project, 40, 30, putIcons, [&](RuntimeAppSettings& settings, std::string& executablePath) {
            executablePath = program;
            settings.useCustomIcon = c.useCustomIcon;
            settings.iconFileName = "C:\\Art\\custom.ico";
        });
        auto sizeOf = [](const QIcon& icon) {
            return icon.availableSizes().isEmpty() ? 0 : icon.availableSizes().front().width();
        };
        SCOPED_TRACE(&c - cases);
        EXPECT_EQ(sizeOf(shown.frame->windowIcon()), c.frameSize);
        EXPECT_EQ(sizeOf(shown.frame->View().introIcon), c.introSize);
    }
}

}  // namespace
