#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/event_log.h"
#include "temp_folder.h"

namespace {

using Json = nlohmann::ordered_json;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The line with its time set to 0, to compare the rest of it exactly.
std::string WithoutTime(const std::string& line) {
    return std::regex_replace(line, std::regex(R"(^\{"t":\d+,)"), R"({"t":0,)");
}

TEST(EventLog, LineOfEachEvent) {
    struct Case {
        std::function<void(EventLog&)> write;
        std::string line;
    };
    const Case cases[] = {
        {[](EventLog& log) { log.Start(); }, R"({"t":0,"ev":"start"})"},
        {[](EventLog& log) { log.Page(2, "Intro"); }, R"({"t":0,"ev":"page","index":2,"name":"Intro"})"},
        {[](EventLog& log) { log.Script("Page Intro: On Show", -1); },
         R"({"t":0,"ev":"script","context":"Page Intro: On Show","status":-1})"},
        {[](EventLog& log) { log.Dialog("message", "Quit", "Leave now?", 36, 6); },
         R"({"t":0,"ev":"dialog","kind":"message","title":"Quit","text":"Leave now?","style":36,"answer":6})"},
        {[](EventLog& log) { log.Dialog("input", "Name", "Your name:", 0, "Zoë \"Z\""); },
         R"({"t":0,"ev":"dialog","kind":"input","title":"Name","text":"Your name:","style":0,"answer":"Zoë \"Z\""})"},
        {[](EventLog& log) { log.Dialog("open", "Pick", "Text|*.txt", 0, nullptr); },
         R"({"t":0,"ev":"dialog","kind":"open","title":"Pick","text":"Text|*.txt","style":0,"answer":null})"},
        {[](EventLog& log) { log.Debug("line 1\nline 2\t\x01"); },
         R"({"t":0,"ev":"debug","text":"line 1\nline 2\t\u0001"})"},
        {[](EventLog& log) { log.Shot("shots/one.png"); }, R"({"t":0,"ev":"shot","file":"shots/one.png"})"},
        {[](EventLog& log) { log.Exit(3); }, R"({"t":0,"ev":"exit","code":3})"},
        // Any other event gets its time first and its name second, whatever the caller wrote.
        {[](EventLog& log) {
             log.Write({{"file", "a.wav"}, {"ev", "audio"}, {"t", 99}, {"action", "play"}});
         },
         R"({"t":0,"ev":"audio","file":"a.wav","action":"play"})"},
        {[](EventLog& log) {
             log.Write(Json::array({"ev", "audio"}));
         },
         ""},
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        EventLog log(&out);
        c.write(log);
        std::string expected = c.line.empty() ? "" : c.line + "\n";
        EXPECT_EQ(WithoutTime(out.str()), expected);
    }
}

TEST(EventLog, TimeSinceStartNeverGoesBack) {
    std::ostringstream out;
    EventLog log(&out, std::chrono::steady_clock::now() - std::chrono::seconds(5));
    log.Start();
    for (int i = 0; i < 200; ++i) log.Debug("x");
    log.Exit(0);

    std::vector<std::string> lines = Lines(out.str());
    ASSERT_EQ(lines.size(), 202u);
    long long previous = 0;
    for (const std::string& line : lines) {
        Json event = Json::parse(line);
        ASSERT_TRUE(event["t"].is_number_integer()) << line;
        long long t = event["t"].get<long long>();
        EXPECT_GE(t, previous) << line;
        previous = t;
    }
    // Counted from the start the log was given, not from its construction.
    EXPECT_GE(Json::parse(lines.front())["t"].get<long long>(), 5000);
}

TEST(EventLog, FileIsCurrentAfterEachLine) {
    TempFolder folder;
    std::string path = folder.Write("run.log", "old contents of an earlier run\n");
    EventLog log;
    std::string error;
    ASSERT_TRUE(log.Open(path, error)) << error;
    ASSERT_TRUE(log.IsOpen());

    log.Start();
    // Read back while the log is still open: a run that crashes now has left this much.
    std::vector<std::string> lines = Lines(FileContents(path));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(WithoutTime(lines[0]), R"({"t":0,"ev":"start"})");

    log.Page(0, "Main");
    lines = Lines(FileContents(path));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(WithoutTime(lines[1]), R"({"t":0,"ev":"page","index":0,"name":"Main"})");

    // A file that cannot be created leaves the log writing where it was.
    EXPECT_FALSE(log.Open(folder / "missing/run.log", error));
    EXPECT_NE(error.find(folder / "missing/run.log"), std::string::npos) << error;
    log.Exit(0);
    EXPECT_EQ(Lines(FileContents(path)).size(), 3u);
}

TEST(EventLog, DashIsStandardOutput) {
    std::ostringstream captured;
    std::streambuf* saved = std::cout.rdbuf(captured.rdbuf());
    {
        EventLog log;
        std::string error;
        EXPECT_TRUE(log.Open("-", error)) << error;
        log.Exit(0);
    }
    std::cout.rdbuf(saved);
    EXPECT_EQ(WithoutTime(captured.str()), "{\"t\":0,\"ev\":\"exit\",\"code\":0}\n");
}

TEST(EventLog, LogNotOpenWritesNothing) {
    TempFolder folder;
    EventLog unopened;
    std::string error;
    EXPECT_FALSE(unopened.Open(folder / "missing/run.log", error));
    EXPECT_FALSE(unopened.IsOpen());
    EventLog nullStream(nullptr);
    EXPECT_FALSE(nullStream.IsOpen());
    for (EventLog* log : {&unopened, &nullStream}) {
        log->Start();
        log->Dialog("message", "t", "x", 0, 1);
        log->Write({{"ev", "video"}});
        log->Exit(1);
    }
    EXPECT_TRUE(FolderEntries(folder.path).empty());
}

TEST(EventLog, InvalidUtf8IsReplaced) {
    struct Case {
        std::string text;
        std::string written;  // the JSON string as it appears in the line
    };
    const Case cases[] = {
        {"caf\xC3\xA9", "caf\xC3\xA9"},  // valid UTF-8 stays as it is
        {"caf\xE9", "caf\xEF\xBF\xBD"},  // a code-page byte
        {"a\xFF\xFE!", "a\xEF\xBF\xBD\xEF\xBF\xBD!"},
        {"end\xE2\x82", "end\xEF\xBF\xBD"},  // cut short
    };
    for (const Case& c : cases) {
        std::ostringstream out;
        EventLog log(&out);
        EXPECT_NO_THROW(log.Dialog("message", c.text, c.text, 0, c.text));
        EXPECT_EQ(WithoutTime(out.str()), R"({"t":0,"ev":"dialog","kind":"message","title":")" + c.written +
                                              R"(","text":")" + c.written + R"(","style":0,"answer":")" + c.written +
                                              "\"}\n")
            << c.text;
    }
}

}  // namespace
