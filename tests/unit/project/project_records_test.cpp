#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "project/archive_reader.h"
#include "project/archive_writer.h"
#include "project/discarded_objects.h"
#include "project/kx_ttf_info.h"
#include "project/object_kinds.h"
#include "project/vantorix_button_object.h"
#include "project/vantorix_event.h"
#include "project/vantorix_image_object.h"
#include "project/vantorix_paragraph_object.h"
#include "project/vantorix_plugin_object.h"
#include "project/vantorix_project.h"
#include "project/vantorix_text_object.h"
#include "project/vantorix_video_object.h"
#include "record_visitors.h"
#include "stream_bytes.h"

namespace {

const char* const everyClass[] = {
    "CVantorixProjectInfo",
    "CVantorixBuildSettings",
    "CVantorixBuildConfiguration",
    "CVantorixConstant",
    "CVantorixLanguageSetting",
    "CProjectGlobals",
    "CVantorixMenuPage",
    "CVantorixEvent",
    "CVantorixSimpleEvent",
    "CVantorixBaseObject",
    "CVantorixButtonObject",
    "CVantorixTextObject",
    "CVantorixParagraphObject",
    "CVantorixImageObject",
    "CVantorixFlashObject",
    "CVantorixVideoObject",
    "CVantorixWebObject",
    "CVantorixEditFieldObject",
    "CVantorixHotspotObject",
    "CVantorixListBoxObject",
    "CVantorixPluginObject",
    "CMissingTechnologyItemRT",
    "CKXTTFInfo",
    "CListBoxItem",
    "CKXFont",
    "CVantorixMessage",
    "CVantorixLanguage",
};

TEST(ProjectRecords, EveryRegisteredClassRoundTripsWithEveryField) {
    for (const char* name : everyClass) {
        const CKXClassInfo* info = FindRegisteredClass(name);
        ASSERT_NE(info, nullptr) << name;
        RecordRef original = info->create();
        EXPECT_STREQ(original->ClassName(), name);
        FillVisitor fill;
        original->Serialize(fill);

        CKXArchiveWriter writer;
        writer.WriteObjectList({original, original});
        std::vector<std::uint8_t> bytes = writer.TakeBytes();
        CKXArchiveReader reader(bytes.data(), bytes.size(), CodePage::Default());
        reader.keepDiscardedObjects = true;
        ObjectList read;
        reader.ReadObjectList(read);
        EXPECT_EQ(reader.Remaining(), 0u) << name;
        ASSERT_EQ(read.size(), 2u);
        EXPECT_EQ(read[0], read[1]) << name;
        EXPECT_EQ(FieldsOf(*read[0]), FieldsOf(*original)) << name;

        CKXArchiveWriter again;
        again.WriteObjectList(read);
        EXPECT_EQ(again.Bytes(), bytes) << name;
    }
}

TEST(ProjectRecords, WholeProjectRoundTrips) {
    CVantorixProject project;
    FillVisitor fill;
    project.Serialize(fill);
    project.pages[0]->pageObjects = {std::make_shared<CVantorixButtonObject>(),
                                     std::make_shared<CVantorixTextObject>()};
    std::vector<std::uint8_t> bytes = WriteProjectEntry(project);
    bytes.push_back(0xAB);  // bytes after the flag are ignored
    auto read = ReadProjectEntry(bytes, CodePage::Default());
    EXPECT_EQ(FieldsOf(*read), FieldsOf(project));
    bytes.pop_back();
    EXPECT_EQ(WriteProjectEntry(*read), bytes);
}

TEST(ProjectRecords, DefaultsOfNewRecords) {
    CVantorixProjectInfo info;
    CVantorixMenuPage page;
    CVantorixButtonObject button;
    CVantorixTextObject label;
    CVantorixParagraphObject paragraph;
    CVantorixImageObject image;
    CVantorixVideoObject video;
    struct Case {
        const char* what;
        long long actual, expected;
    };
    const Case cases[] = {
        {"window width", info.windowWidth, 630},
        {"window height", info.windowHeight, 425},
        {"movable", info.movable, 1},
        {"stretch mask", info.stretchMask, 1},
        {"intro custom height", info.introSettings.customHeight, 600},
        {"intro custom width", info.introSettings.customWidth, 480},
        {"intro back colour", info.introSettings.backColor, 0xFFFFFF},
        {"music loops", info.backgroundMusic.loopList, 1},
        {"unused number", info.unusedNumber, 4},
        {"gradient bottom", page.gradientBottomColor, 0xFF0000},
        {"page colour", page.backgroundColor, 0xFFFFFF},
        {"button cursor is the hand", button.cursorKind, 1},
        {"button hover sound is the project's", button.sounds.hoverSoundMode, 1},
        {"button caption centred", button.captionAlignment, 1},
        {"button disabled text", button.disabledTextColor, 0xC0C0C0},
        {"label font height", label.font.height, -21},
        {"label auto size", label.autoSize, 1},
        {"paragraph font height", paragraph.font.height, -13},
        {"paragraph horizontal bar never", paragraph.horizontalBarMode, 2},
        {"image tolerance", image.tolerance, 10},
        {"image opacity", image.opacity, 100},
        {"image hover sound none", image.sounds.hoverSoundMode, 0},
        {"video controller", video.controllerStyle, 1},
        {"object rect right", button.rect.right, 200},
        {"object rect bottom", button.rect.bottom, 150},
        {"object unused 14", button.unused14, -1},
        {"font weight", label.font.weight, 400},
        {"font smoothing", label.font.smoothing, 1},
    };
    for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected) << c.what;
    EXPECT_EQ(info.projectTitle, "Vantorix");
    EXPECT_EQ(info.startPageName, "_PageFirst");
    EXPECT_EQ(info.unusedText, "0");
    EXPECT_EQ(info.globals.globalScript, "-- Enter global functions here...\r\n");
    EXPECT_EQ(button.objectName, "Object1");
    EXPECT_EQ(label.font.faceName, "Arial");

    std::vector<std::string> pageEventNames;
    for (auto& e : page.pageEvents) pageEventNames.push_back(dynamic_cast<CVantorixEvent&>(*e).eventName);
    EXPECT_EQ(pageEventNames, (std::vector<std::string>{"On Show", "On Close", "On Audio", "On Preload"}));
    EXPECT_EQ(page.FindEvent("on audio")->argumentDescription, "number e_Channel, string e_State");
    EXPECT_NE(info.FindEvent("ON STARTUP"), nullptr);
    EXPECT_NE(info.FindEvent("On Shutdown"), nullptr);
}

// The start of a page as it follows a project whose info defined the event class first.
TEST(ProjectRecords, ClassIndicesCarryAcrossPages) {
    CVantorixProject project;
    for (int i = 0; i < 2; ++i) {
        auto page = std::make_unique<CVantorixMenuPage>();
        page->pageName = "P" + std::to_string(i);
        page->pageObjects.push_back(std::make_shared<CVantorixButtonObject>());
        project.pages.push_back(std::move(page));
    }
    std::vector<std::uint8_t> bytes = WriteProjectEntry(project);
    auto find = [&](const std::vector<std::uint8_t>& needle, std::size_t from = 0) {
        return std::search(bytes.begin() + from, bytes.end(), needle.begin(), needle.end()) - bytes.begin();
    };
    // The info's own list defines CVantorixEvent as class 1 (its events are objects 2 and 3).
    StreamBytes infoEvents;
    infoEvents.Word(2).NewClass("CVantorixEvent");
    ASSERT_LT(static_cast<std::size_t>(find(infoEvents.bytes)), bytes.size());
    // Page 0: four events by class index 1 (objects 4 to 7), the button class defined anew
    // (class 8, its object 9).
    StreamBytes page0;
    page0.Word(4).Word(0x8001).EventBody("On Show");
    std::size_t at = find(page0.bytes);
    ASSERT_LT(at, bytes.size());
    StreamBytes button;
    button.Word(1).NewClass("CVantorixButtonObject");
    std::size_t buttonAt = find(button.bytes, at);
    ASSERT_LT(buttonAt, bytes.size());
    // Page 1 refers to buttons by class index 8.
    StreamBytes page1Button;
    page1Button.Word(1).Word(0x8008);
    EXPECT_LT(static_cast<std::size_t>(find(page1Button.bytes, buttonAt + 1)), bytes.size());

    auto read = ReadProjectEntry(bytes, CodePage::Default());
    ASSERT_EQ(read->pages.size(), 2u);
    EXPECT_EQ(read->pages[1]->pageObjects.size(), 1u);
}

TEST(ProjectRecords, PageWithAnUndefinedClassIndexIsRefused) {
    // A page using tag 01 80 for its events without the class ever being defined.
    CVantorixProject project;
    project.info.projectEvents.clear();
    project.pages.push_back(std::make_unique<CVantorixMenuPage>());
    std::vector<std::uint8_t> bytes = WriteProjectEntry(project);
    StreamBytes defined;
    defined.Word(4).NewClass("CVantorixEvent");
    auto at = std::search(bytes.begin(), bytes.end(), defined.bytes.begin(), defined.bytes.end());
    ASSERT_NE(at, bytes.end());
    std::vector<std::uint8_t> broken(bytes.begin(), at);
    StreamBytes rest;
    rest.Word(4).Word(0x8001).Word(0).Word(0).Word(0);  // four entries' worth of bytes, so the list is read
    broken.insert(broken.end(), rest.bytes.begin(), rest.bytes.end());
    try {
        ReadProjectEntry(broken, CodePage::Default());
        FAIL();
    } catch (const CKXArchiveError& e) {
        EXPECT_EQ(e.Kind(), ArchiveErrorKind::BadIndex);
    }
}

TEST(ProjectRecords, PagesDropKindsThePlayerDoesNotShow) {
    auto named = [](RecordRef record, const char* name) {
        if (auto* object = dynamic_cast<CVantorixBaseObject*>(record.get())) object->objectName = name;
        return record;
    };
    auto label = std::make_shared<CVantorixTextObject>();
    label->text = "after the plugin";
    auto plugin = std::make_shared<CVantorixPluginObject>();
    plugin->pluginFile = "missing.dll";
    auto retyped = std::make_shared<CVantorixImageObject>();
    retyped->typeCode = 7;  // the stored code decides, not the class
    CVantorixProject project;
    auto page = std::make_unique<CVantorixMenuPage>();
    page->pageObjects = {named(std::make_shared<CVantorixButtonObject>(), "button"),
                         std::make_shared<CVantorixHotspotObject>(),
                         named(std::make_shared<CVantorixImageObject>(), "image"),
                         plugin,
                         nullptr,
                         std::make_shared<CVantorixEvent>("not an object"),
                         retyped,
                         named(label, "label"),
                         std::make_shared<CVantorixWebObject>(),
                         std::make_shared<CVantorixListBoxObject>(),
                         std::make_shared<CVantorixEditFieldObject>()};
    project.pages.push_back(std::move(page));
    std::vector<std::uint8_t> bytes = WriteProjectEntry(project);

    auto read = ReadProjectEntry(bytes, CodePage::Default());
    std::vector<std::string> names;
    for (auto& record : read->pages[0]->pageObjects) {
        names.push_back(dynamic_cast<CVantorixBaseObject&>(*record).objectName);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"button", "image", "label"}));
    EXPECT_EQ(dynamic_cast<CVantorixTextObject&>(*read->pages[0]->pageObjects[2]).text, "after the plugin");

    auto kept = ReadProjectEntry(bytes, CodePage::Default(), true);
    EXPECT_EQ(kept->pages[0]->pageObjects.size(), 11u);
}

TEST(ProjectRecords, EachKindsRowNamesARecordClassOfThatKind) {
    // The table of kinds and the record classes must agree, or the JSON form and the reports
    // would name one kind as another.
    for (const ObjectKindInfo& kind : ObjectKinds()) {
        const CKXClassInfo* info = FindRegisteredClass(kind.className);
        ASSERT_TRUE(info) << kind.className;
        auto object = std::dynamic_pointer_cast<CVantorixBaseObject>(info->create());
        ASSERT_TRUE(object) << kind.className;
        EXPECT_EQ(object->typeCode, kind.code) << kind.className;
        EXPECT_EQ(kind.shown, kind.missingFeature == nullptr) << kind.name;
    }
    EXPECT_FALSE(FindObjectKind(41));
}

TEST(ProjectRecords, EventLookups) {
    ObjectList events = {nullptr, std::make_shared<CVantorixSimpleEvent>(),
                         std::make_shared<CVantorixEvent>("On Click"), std::make_shared<CVantorixEvent>("ON CLICK")};
    dynamic_cast<CVantorixSimpleEvent&>(*events[1]).eventName = "On Click";
    dynamic_cast<CVantorixEvent&>(*events[2]).script = "first";
    dynamic_cast<CVantorixEvent&>(*events[3]).script = "second";
    EXPECT_EQ(EventScriptIn(events, "on click"), "first");
    EXPECT_EQ(EventScriptIn(events, "On Enter"), "");

    CVantorixMenuPage page;
    page.pageEvents = events;
    dynamic_cast<CVantorixEvent&>(*events[2]).preludeScript = "prelude";
    EXPECT_EQ(page.GetPreludeScript("ON click"), "prelude");
    CVantorixButtonObject button;
    button.objectEvents = events;
    EXPECT_EQ(button.GetEventScript("On Click"), "first");
    EXPECT_EQ(button.GetPreludeScript("On Click"), "");
}

TEST(ProjectRecords, ReadListsHoldExactlyTheStreamsEvents) {
    // A stream list without "On Startup" leaves the project without it; a page with an empty
    // list has no events at all.
    CVantorixProject project;
    project.info.projectEvents = {std::make_shared<CVantorixEvent>("On Shutdown")};
    project.pages.push_back(std::make_unique<CVantorixMenuPage>());
    project.pages[0]->pageEvents.clear();
    auto read = ReadProjectEntry(WriteProjectEntry(project), CodePage::Default());
    EXPECT_EQ(read->info.FindEvent("On Startup"), nullptr);
    EXPECT_EQ(read->info.projectEvents.size(), 1u);
    EXPECT_TRUE(read->pages[0]->pageEvents.empty());
}

TEST(ProjectRecords, PageLeaveMode) {
    struct Case {
        int stored;
        std::size_t pages;
        int expected;
    };
    const Case cases[] = {{0, 20, 1}, {0, 21, 2}, {0, 0, 1}, {1, 500, 1}, {2, 3, 2}};
    for (const Case& c : cases) {
        EXPECT_EQ(EffectivePageLeaveMode(c.stored, c.pages), c.expected) << c.stored << " " << c.pages;
    }
}

TEST(ProjectRecords, SettingsReadStopsAfterTheProjectInfo) {
    CVantorixProject project;
    project.header.startupScript = "x = 1";
    project.info.windowWidth = 1024;
    project.info.projectTitle = std::string(300, 'T');
    std::vector<std::uint8_t> bytes = WriteProjectEntry(project);
    // Cut the stream right after the info: the settings still read, the whole project does not.
    std::vector<std::uint8_t> cut(bytes.begin(), bytes.end() - 8);
    CVantorixStreamHeader header;
    CVantorixProjectInfo info;
    ReadProjectSettingsEntry(cut, CodePage::Default(), header, info);
    EXPECT_EQ(info.windowWidth, 1024);
    EXPECT_EQ(info.projectTitle.size(), 300u);
    EXPECT_EQ(header.startupScript, "x = 1");
    EXPECT_THROW(ReadProjectEntry(cut, CodePage::Default()), CKXArchiveError);
}

TEST(ProjectRecords, NegativePageCountReadsNoPages) {
    CVantorixProject project;
    std::vector<std::uint8_t> bytes = WriteProjectEntry(project);
    // The page count is the int before the final flag.
    bytes[bytes.size() - 8] = 0xFF;
    bytes[bytes.size() - 7] = 0xFF;
    bytes[bytes.size() - 6] = 0xFF;
    bytes[bytes.size() - 5] = 0xFF;
    auto read = ReadProjectEntry(bytes, CodePage::Default());
    EXPECT_TRUE(read->pages.empty());
}

TEST(ProjectRecords, FontEntryRoundTrips) {
    auto font = std::make_shared<CKXTTFInfo>();
    font->faceName = "Demo Sans";
    font->charSet = 2;
    font->fontData.assign(70000, 0x5A);
    std::vector<std::uint8_t> bytes = WriteFontEntry({font});
    ObjectList read = ReadFontEntry(bytes, CodePage::Default());
    ASSERT_EQ(read.size(), 1u);
    auto& info = dynamic_cast<CKXTTFInfo&>(*read[0]);
    EXPECT_EQ(info.faceName, "Demo Sans");
    EXPECT_EQ(info.charSet, 2);
    EXPECT_EQ(info.fontData, font->fontData);
    // A font whose data count claims more than the entry holds.
    bytes.resize(bytes.size() - 1);
    EXPECT_THROW(ReadFontEntry(bytes, CodePage::Default()), CKXArchiveError);
}

}  // namespace
