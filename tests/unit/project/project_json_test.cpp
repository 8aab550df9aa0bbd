#include "project_json.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "project/vantorix_button_object.h"
#include "project/vantorix_event.h"
#include "project/vantorix_project.h"
#include "project/vantorix_text_object.h"
#include "record_visitors.h"
#include "truetype_name.h"

namespace {

std::unique_ptr<CVantorixProject> FromText(const std::string& text) {
    JsonDocument document;
    std::string error;
    EXPECT_TRUE(ParseJsonWithLines(text, document, &error)) << error;
    return ProjectFromJson(document, CodePage::Default());
}

std::string ErrorOf(const std::string& text) {
    JsonDocument document;
    std::string error;
    if (!ParseJsonWithLines(text, document, &error)) return error;
    try {
        ProjectFromJson(document, CodePage::Default());
    } catch (const ProjectJsonError& e) {
        return e.what();
    }
    return "";
}

TEST(ProjectJson, ShortDescriptionTakesTheDefaults) {
    auto project = FromText(R"({
        "project": {"projectTitle": "Caf\u00e9"},
        "pages": [{"pageName": "Home", "pageObjects": [
            {"typeCode": 0, "objectName": "Go", "button": {"caption": "Start"}},
            null,
            {"class": "CVantorixTextObject", "label": {"text": "Hi"}, "objectEvents": [
                {"eventName": "On Click", "script": "x = 1"}, null]}
        ]}]
    })");
    EXPECT_EQ(project->info.projectTitle, "Caf\xE9");
    EXPECT_EQ(project->info.windowWidth, 630);
    EXPECT_NE(project->info.FindEvent("On Startup"), nullptr);
    ASSERT_EQ(project->pages.size(), 1u);
    auto& page = *project->pages[0];
    EXPECT_EQ(page.pageEvents.size(), 4u);
    ASSERT_EQ(page.pageObjects.size(), 3u);
    auto& button = dynamic_cast<CVantorixButtonObject&>(*page.pageObjects[0]);
    EXPECT_EQ(button.caption, "Start");
    EXPECT_EQ(button.cursorKind, 1);
    EXPECT_EQ(page.pageObjects[1], nullptr);
    auto& label = dynamic_cast<CVantorixTextObject&>(*page.pageObjects[2]);
    EXPECT_EQ(label.GetEventScript("on click"), "x = 1");
    EXPECT_EQ(label.objectEvents[1], nullptr);
}

TEST(ProjectJson, EveryFieldSurvivesJsonBothWays) {
    CVantorixProject project;
    FillVisitor fill;
    project.Serialize(fill);
    project.pages[1]->pageObjects = {std::make_shared<CVantorixButtonObject>(), nullptr};
    for (const char* name :
         {"CVantorixTextObject", "CVantorixParagraphObject", "CVantorixImageObject", "CVantorixFlashObject",
          "CVantorixVideoObject", "CVantorixPluginObject", "CVantorixHotspotObject", "CVantorixBaseObject"}) {
        RecordRef object = FindRegisteredClass(name)->create();
        object->Serialize(fill);
        project.pages[1]->pageObjects.push_back(object);
    }
    project.info.projectEvents.push_back(std::make_shared<CVantorixSimpleEvent>());
    // Every byte of the code page, the undefined ones included.
    for (int b = 1; b < 256; ++b) project.header.unusedText += static_cast<char>(b);

    Json json = ProjectToJson(project, CodePage::Default());
    auto back = FromText(json.dump(1));
    EXPECT_EQ(FieldsOf(*back), FieldsOf(project));
    EXPECT_EQ(ProjectToJson(*back, CodePage::Default()), json);
}

TEST(ProjectJson, ErrorsNameTheLineAndTheKey) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"{\n\"pages\": [\n{\"pageName\": 3}]}", "line 3, key \"pages[0].pageName\": expected a string"},
        {"{\"project\": {\n\"windowWidht\": 3}}", "line 2, key \"project.windowWidht\": unknown key"},
        {"{\"pages\": [{\"pageObjects\": [\n{\"typeCode\": 0,\n \"rect\": [1, 2, 3]}]}]}",
         "line 3, key \"pages[0].pageObjects[0].rect\": expected [left, top, right, bottom]"},
        {"{\"pages\": [{\"pageObjects\": [{\"objectName\": \"x\"}]}]}",
         "key \"pages[0].pageObjects[0]\": give the record's \"class\" or \"typeCode\""},
        {"{\"pages\": [{\"pageObjects\": [{\"typeCode\": 12}]}]}",
         "key \"pages[0].pageObjects[0].typeCode\": no object kind has this code"},
        {"{\"pages\": [{\"pageObjects\": [{\"class\": \"CThing\"}]}]}",
         "key \"pages[0].pageObjects[0].class\": unknown class \"CThing\""},
        {"{\"project\": {\"windowWidth\": 4294967296}}", "key \"project.windowWidth\": value out of range"},
        {"{\"project\": {\"windowWidth\": 1.5}}", "key \"project.windowWidth\": expected an integer"},
        {"{\"project\": {\"projectTitle\": \"\u4e2d\"}}",
         "key \"project.projectTitle\": text cannot be written in code page windows-1252"},
        {"{\"project\": {\"backgroundMusic\": {\"tracks\": [\"a\", 2]}}}",
         "key \"project.backgroundMusic.tracks[1]\": expected a string"},
        {"{\n\"pages\": [\n{\"pageName\": \"x\",\n]}", "line 4: syntax error"},
        {"[1, 2]", "expected an object"},
    };
    for (const Case& c : cases) {
        std::string error = ErrorOf(c.text);
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.text << "\n  gave: " << error;
    }
}

TEST(ProjectJson, BooleansAreAcceptedForFlags) {
    auto project = FromText(R"({"project": {"alwaysOnTop": true, "movable": false}})");
    EXPECT_EQ(project->info.alwaysOnTop, 1);
    EXPECT_EQ(project->info.movable, 0);
}

// A TrueType file holding only a "name" table.
std::vector<std::uint8_t> FontWithNames(const std::vector<std::pair<int, std::string>>& names) {
    std::vector<std::uint8_t> f;
    auto be16 = [&](unsigned v) {
        f.push_back(v >> 8);
        f.push_back(v & 0xFF);
    };
    auto be32 = [&](unsigned v) {
        be16(v >> 16);
        be16(v & 0xFFFF);
    };
    be32(0x00010000);
    be16(1);
    be16(16);
    be16(0);
    be16(0);
    be32(0x6E616D65);
    be32(0);
    be32(28);  // "name" at offset 28
    std::vector<std::uint8_t> strings;
    std::vector<std::uint8_t> records;
    for (auto& [platform, text] : names) {
        std::vector<std::uint8_t> encoded;
        for (char ch : text) {
            if (platform == 3) encoded.push_back(0);
            encoded.push_back(static_cast<std::uint8_t>(ch));
        }
        for (unsigned v : {unsigned(platform), platform == 3 ? 1u : 0u, platform == 3 ? 0x409u : 0u, 1u,
                           unsigned(encoded.size()), unsigned(strings.size())}) {
            records.push_back(v >> 8);
            records.push_back(v & 0xFF);
        }
        strings.insert(strings.end(), encoded.begin(), encoded.end());
    }
    std::size_t length = 6 + records.size() + strings.size();
    be32(static_cast<unsigned>(length));
    be16(0);
    be16(static_cast<unsigned>(names.size()));
    be16(static_cast<unsigned>(6 + records.size()));
    f.insert(f.end(), records.begin(), records.end());
    f.insert(f.end(), strings.begin(), strings.end());
    return f;
}

TEST(TrueTypeName, FamilyNameFromTheNameTable) {
    std::string name;
    EXPECT_TRUE(ReadTrueTypeFamilyName(FontWithNames({{1, "Mac Face"}, {3, "Demo Sans"}}), name));
    EXPECT_EQ(name, "Demo Sans");
    EXPECT_TRUE(ReadTrueTypeFamilyName(FontWithNames({{1, "Mac Face"}}), name));
    EXPECT_EQ(name, "Mac Face");
    std::vector<std::uint8_t> font = FontWithNames({{3, "Cut"}});
    for (std::size_t length = 0; length < font.size(); ++length) {
        std::vector<std::uint8_t> cut(font.begin(), font.begin() + length);
        ReadTrueTypeFamilyName(cut, name);  // must not read past the end
    }
    EXPECT_FALSE(ReadTrueTypeFamilyName({'n', 'o', 't'}, name));
}

}  // namespace
