#include "engine/px_runtime_doc.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "actions/action_tables.h"
#include "actions/page_actions.h"
#include "fake_font_registration.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/windows_paths.h"
#include "project/archive_password.h"
#include "project/kx_ttf_info.h"
#include "project/vantorix_event.h"
#include "project/vantorix_image_object.h"
#include "project/vantorix_text_object.h"
#include "project/zip_writer.h"
#include "scoped_environment.h"
#include "script/lua_engine.h"
#include "temp_folder.h"

namespace {

// Records what the document asks of the view.
class RecordingView : public CPXNullViewServices {
public:
    void PostPageShown(int index) override { shown.push_back(index); }
    void PostJumpPage(int index, bool) override { posted.push_back(index); }
    void PostClose() override { ++closes; }
    bool Exists() const override { return true; }
    std::vector<int> shown, posted;
    int closes = 0;
};

std::shared_ptr<CVantorixEvent> Event(const std::string& name, const std::string& script) {
    auto event = std::make_shared<CVantorixEvent>(name);
    event->script = script;
    return event;
}

class RuntimeDocTest : public ::testing::Test {
protected:
    RuntimeDocTest() : document(dialogs, frame, CodePage::Default(), ActionTables()) {
        WindowsPathLayer::Instance().SetDataHome(data.path);
        document.SetView(&view);
    }
    ~RuntimeDocTest() override { std::filesystem::current_path(savedDirectory); }

    // A project of the given pages, each printing its events to the debug output.
    void Open(std::vector<std::unique_ptr<CVantorixMenuPage>> pages, int pageLeaveMode = 0) {
        CVantorixProject project;
        project.info.pageLeaveMode = pageLeaveMode;
        project.pages = std::move(pages);
        dataFile = folder / "menu.cdd";
        std::string error;
        ASSERT_TRUE(
            WriteZipArchive(dataFile, {{"_proj.dat", WriteProjectEntry(project), true}}, archivePassword, &error));
        ASSERT_TRUE(document.OnNewDocument(dataFile, dataFile, archivePassword, nullptr));
    }

    static std::unique_ptr<CVantorixMenuPage> Page(const std::string& name) {
        auto page = std::make_unique<CVantorixMenuPage>();
        page->pageName = name;
        page->pageEvents.clear();
        for (const char* event : {"On Preload", "On Show", "On Close"}) {
            page->pageEvents.push_back(
                Event(event, std::string("Trace = (Trace or '') .. '") + name + " " + event + ";'"));
        }
        return page;
    }

    std::string Eval(const std::string& expression) {
        document.RunEventScript("Result = tostring(" + expression + ")", "Test", "");
        lua_State* L = document.ScriptEngine().luaState;
        lua_getglobal(L, "Result");
        std::string value = lua_tostring(L, -1) ? lua_tostring(L, -1) : "";
        lua_pop(L, 1);
        return value;
    }

    std::filesystem::path savedDirectory = std::filesystem::current_path();
    TempFolder data, folder;
    ScriptedDialogs dialogs;
    CKXFrameServices frame;
    CPXRuntimeDoc document;
    RecordingView view;
    std::string dataFile;
};

TEST_F(RuntimeDocTest, PageEventsRunInTheirOrder) {
    std::vector<std::unique_ptr<CVantorixMenuPage>> pages;
    pages.push_back(Page("One"));
    pages.push_back(Page("Two"));
    pages.push_back(Page("three"));
    Open(std::move(pages));
    document.ShowPage(0, true);
    document.ShowPage(1, false);
    EXPECT_EQ(Eval("Trace"), "One On Preload;One On Close;Two On Preload;");
    EXPECT_EQ(view.shown, (std::vector<int>{0, 1})) << "On Show is posted after the repaint";
    EXPECT_EQ(Eval("_PagePrevious .. '|' .. _PageCurrent .. '|' .. _PageNext"), "One|Two|three");
    document.ShowPage(1, false);  // the current page again: nothing runs
    EXPECT_EQ(Eval("Trace"), "One On Preload;One On Close;Two On Preload;");
    document.ShowPage(2, false);
    EXPECT_EQ(Eval("_PagePrevious .. '|' .. _PageNext"), "Two|");
    EXPECT_EQ(document.FindPageIndex("THREE"), 2);
    EXPECT_EQ(document.FindPageIndex("four"), -1);
}

TEST_F(RuntimeDocTest, KeyAndAudioEventsSeeTheirValues) {
    std::vector<std::unique_ptr<CVantorixMenuPage>> pages;
    pages.push_back(Page("Home"));
    auto& events = pages[0]->pageEvents;
    events.push_back(Event("On Key",
                           "Seen = this .. ' ' .. e_Key .. ' ' .. tostring(e_Modifiers.ctrl) .. "
                           "tostring(e_Modifiers.alt) .. tostring(e_Modifiers.shift)"));
    events.push_back(Event("On Audio", "Seen = this .. ' ' .. e_Channel .. ' ' .. e_State"));
    Open(std::move(pages));
    document.ShowPage(0, true);
    document.RunKeyEvent(13, true, false, true);
    EXPECT_EQ(Eval("Seen"), "Home 13 truefalsetrue");
    struct Case {
        int state;
        const char* word;
    };
    for (Case c : {Case{0, "Finish"}, Case{1, "Pause"}, Case{2, "Play"}, Case{3, "Stop"}, Case{7, ""}, Case{-1, ""}}) {
        document.RunAudioEvent(c.state, 5);
        EXPECT_EQ(Eval("Seen"), std::string("Home 5 ") + c.word) << c.state;
    }
}

TEST_F(RuntimeDocTest, JumpsFromPreloadAreImmediate) {
    // A page whose name holds the words "On Preload" does not make its other events preloads.
    std::vector<std::unique_ptr<CVantorixMenuPage>> pages;
    for (const char* name : {"Start", "On Preload page", "End"}) pages.push_back(Page(name));
    pages[0]->FindEvent("On Preload")->script = "Page.Jump('End')";
    pages[1]->FindEvent("On Show")->script = "Page.Jump('End')";
    Open(std::move(pages));
    document.ShowPage(0, true);
    EXPECT_EQ(document.CurrentPageIndex(), 2) << "the jump ran inside On Preload";
    EXPECT_TRUE(view.posted.empty());
    document.ShowPage(1, true);
    document.RunShowEvent(1);
    EXPECT_EQ(view.posted, (std::vector<int>{2})) << "a jump from On Show is posted";
}

TEST_F(RuntimeDocTest, InsertMediaLoop) {
    std::vector<std::unique_ptr<CVantorixMenuPage>> pages;
    pages.push_back(Page("One"));
    pages.push_back(Page("Two"));
    Open(std::move(pages));
    document.ShowPage(0, true);
    std::filesystem::rename(dataFile, dataFile + ".away");
    // Retry with the disc still out, then Cancel: the player closes and stays on page One.
    dialogs.answers = {{false, IDRETRY, {}, {}}, {false, IDCANCEL, {}, {}}};
    document.ShowPage(1, true);
    EXPECT_EQ(view.closes, 1);
    EXPECT_EQ(document.CurrentPageIndex(), 0);
    ASSERT_GE(dialogs.records.size(), 2u);
    EXPECT_EQ(dialogs.records[0].title, "Insert Media");
    EXPECT_EQ(dialogs.records[0].text, "Please put the CD-ROM back in the drive.");
    EXPECT_EQ(dialogs.records[0].style, MB_RETRYCANCEL | MB_ICONEXCLAMATION);
    // Put back, Retry: the new page shows.
    std::filesystem::rename(dataFile + ".away", dataFile);
    document.ShowPage(1, true);
    EXPECT_EQ(document.CurrentPageIndex(), 1);
}

TEST_F(RuntimeDocTest, ObjectsAndCloseQuery) {
    std::vector<std::unique_ptr<CVantorixMenuPage>> pages;
    pages.push_back(Page("One"));
    auto label = std::make_shared<CVantorixTextObject>();
    label->objectName = "Title";
    label->text = "Hello";
    pages[0]->pageObjects = {label};
    Open(std::move(pages));
    EXPECT_EQ(document.FindObject("Title", kindLabel), nullptr) << "no page is current yet";
    document.ShowPage(0, true);
    auto* found = dynamic_cast<CVantorixTextObject*>(document.FindObject("Title", kindLabel));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(document.FindObject("title", kindLabel), nullptr);
    EXPECT_EQ(document.FindObject("Title", kindImage), nullptr);
    EXPECT_EQ(Eval("Label.GetText('Title') .. Application.GetLastError()"), "Hello0");
    EXPECT_EQ(Eval("Label.GetText('title') .. Application.GetLastError()"), "1100");
    document.RunEventScript("Label.SetText('Title', 'a\\\\nb\\\\Nc')", "Test", "");
    EXPECT_EQ(found->text, "a\r\nb\r\nc");

    struct CloseCase {
        const char* script;
        bool allowed;
    };
    const CloseCase closeCases[] = {
        {"QueryAllowProjectClose = nil", true},
        {"function QueryAllowProjectClose() return false end", false},
        {"function QueryAllowProjectClose() return 0 end", true},
        {"function QueryAllowProjectClose() error('x') end", true},
        // A failing lookup of the global itself allows the close too.
        {"QueryAllowProjectClose = nil; setmetatable(_G, {__index = function() error('x') end})", true},
    };
    for (const CloseCase& c : closeCases) {
        document.RunEventScript(c.script, "Test", "");
        EXPECT_EQ(document.QueryAllowProjectClose(), c.allowed) << c.script;
    }
}

TEST_F(RuntimeDocTest, PageActionsKeepTheHistory) {
    std::vector<std::unique_ptr<CVantorixMenuPage>> pages;
    for (const char* name : {"A", "B", "C"}) pages.push_back(Page(name));
    Open(std::move(pages));
    document.ShowPage(1, true);
    struct Case {
        const char* script;
        std::vector<int> posted;
        std::vector<std::string> back, forward;
        const char* code;
    };
    const Case cases[] = {
        {"Page.Jump('nowhere')", {}, {"B"}, {}, "1300"},
        {"Page.Jump('c')", {2}, {"B", "B"}, {}, "0"},
        {"Page.Navigate(PAGE_BACKWARD)", {1}, {"B"}, {"B"}, "0"},
        {"Page.Navigate(PAGE_FORWARD)", {1}, {"B", "B"}, {}, "0"},
        {"Page.Navigate(PAGE_NEXT)", {2}, {"B", "B", "B"}, {}, "0"},
        {"Page.Navigate(PAGE_FIRST)", {0}, {"B", "B", "B", "B"}, {}, "0"},
        {"Page.Navigate(99)", {}, {"B", "B", "B", "B", "B"}, {}, "0"},
    };
    for (const Case& c : cases) {
        view.posted.clear();
        document.RunEventScript(c.script, "Test", "");
        EXPECT_EQ(view.posted, c.posted) << c.script;
        EXPECT_EQ(document.History().Back(), c.back) << c.script;
        EXPECT_EQ(document.History().Forward(), c.forward) << c.script;
        EXPECT_EQ(Eval("Application.GetLastError()"), c.code) << c.script;
    }
    document.SetSuppressProjectEvents(true);
    document.RunEventScript("Page.Jump('A')", "Test", "");
    EXPECT_EQ(dialogs.records.back().text, "Page.Jump does not work during a Page Preview");
    EXPECT_EQ(dialogs.records.back().title, "Notice");
}

TEST_F(RuntimeDocTest, MessageBoxAction) {
    Open({});
    dialogs.answers = {{false, IDNO, {}, {}}};
    EXPECT_EQ(Eval("Dialog.Message('Title', 'Text', MB_YESNO, 100)"), "7");
    EXPECT_EQ(dialogs.records.back().style, static_cast<unsigned>(MB_YESNO));
    EXPECT_EQ(Eval("Dialog.Message('Title', 'Text')"), "1");
    EXPECT_EQ(dialogs.records.back().style, static_cast<unsigned>(MB_ICONINFORMATION));
}

TEST_F(RuntimeDocTest, InputAndFileDialogs) {
    Open({});
    dialogs.answers = {{false, 0, "Ann", {}}, {true, 0, {}, {}}, {false, 0, "secret", {}}};
    EXPECT_EQ(Eval("Dialog.Input('Name', 'Your name?', 'nobody')"), "Ann");
    EXPECT_EQ(Eval("Dialog.Input('Name', 'Your name?')"), "CANCEL");
    EXPECT_EQ(Eval("Dialog.PasswordInput('Key', 'Password?')"), "secret");
    EXPECT_EQ(dialogs.records.back().kind, "password");
    EXPECT_EQ(Eval("Dialog.Input('Name', 'Nobody types')"), "CANCEL") << "no queued answer cancels";
    dialogs.answers = {{false, 0, {}, {"/tmp/a.txt", "/tmp/b.txt"}}};
    EXPECT_EQ(Eval("table.concat(Dialog.FileBrowse(true, 'Pick', '', 'Text|*.txt|', '', '', true), ',')"),
              "Z:\\tmp\\a.txt,Z:\\tmp\\b.txt");
    EXPECT_EQ(Eval("Dialog.FileBrowse(false, 'Save', '')[1]"), "CANCEL");
    EXPECT_EQ(dialogs.records.back().kind, "save");
}

TEST_F(RuntimeDocTest, EmbeddedFontsForTheRunOnly) {
    ScopedEnvironment environment;
    environment.Set("TMPDIR", folder / "tmp");
    struct Case {
        const char* name;
        bool preview;
        std::vector<std::uint8_t> fontEntry;  // empty: a real one
        std::size_t installed;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"a run", false, {}, 1, {}},
        {"a preview", true, {}, 0, {}},
        {"a damaged entry", false, {0xFF, 0xFF, 0x01}, 0, {"Failed to read font data."}},
    };
    for (const Case& c : cases) {
        CVantorixProject project;
        project.header.previewMode = c.preview;
        auto page = std::make_unique<CVantorixMenuPage>();
        auto label = std::make_shared<CVantorixTextObject>();
        label->font.faceName = "Pixel Face";
        page->pageObjects.push_back(label);
        project.pages.push_back(std::move(page));
        auto font = std::make_shared<CKXTTFInfo>();
        font->faceName = "Pixel Face";
        font->fontData = {'F', 'O', 'N', 'T'};
        std::vector<std::uint8_t> fonts = c.fontEntry.empty() ? WriteFontEntry({font}) : c.fontEntry;
        std::string path = folder / "fonts.cdd";
        std::string error;
        ASSERT_TRUE(WriteZipArchive(path,
                                    {{"_proj.dat", WriteProjectEntry(project), true}, {"_fonts.dat", fonts, true}},
                                    archivePassword, &error));
        ScriptedDialogs caseDialogs;
        CPXRuntimeDoc run(caseDialogs, frame, CodePage::Default(), ActionTables());
        FakeFontRegistration registration;
        run.SetFontRegistration(&registration);
        ASSERT_TRUE(run.OnNewDocument(path, path, archivePassword, nullptr)) << c.name;
        EXPECT_EQ(registration.added.size(), c.installed) << c.name;
        EXPECT_EQ(registration.substituted, std::vector<std::string>{"Pixel Face"}) << c.name;
        std::vector<std::string> messages;
        for (const DialogRecord& record : caseDialogs.records) messages.push_back(record.text);
        EXPECT_EQ(messages, c.messages) << c.name;
        run.RemoveFonts();
        EXPECT_TRUE(registration.added.empty()) << c.name;
        EXPECT_FALSE(std::filesystem::exists(folder / "tmp/_kx_tmpfnt_1")) << c.name;
    }
}

TEST(UniqueWindowIDMgr, Ranges) {
    CUniqueWindowIDMgr range(3000, 3002);
    EXPECT_EQ(range.Acquire(), 3000);
    EXPECT_EQ(range.Acquire(), 3001);
    EXPECT_EQ(range.Acquire(), 3002);
    EXPECT_EQ(range.Acquire(), -1);
    range.Release(3001);
    range.Release(4000);  // outside the range: ignored
    EXPECT_EQ(range.Acquire(), 3001);
    range.ReleaseAll();
    EXPECT_EQ(range.Acquire(), 3000);
}

}  // namespace
