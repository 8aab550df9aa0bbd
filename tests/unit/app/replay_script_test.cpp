#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/replay_script.h"

namespace {

using Kind = ReplayCommand::Kind;

// Every field, so that a case shows all that differs.
std::string Describe(const ReplayCommand& c) {
    std::ostringstream out;
    out << "kind=" << static_cast<int>(c.kind) << " x=" << c.x << " y=" << c.y << " right=" << c.right
        << " delta=" << c.delta << " ms=" << c.milliseconds << " vk=" << c.virtualKey << " ctrl=" << c.ctrl
        << " alt=" << c.alt << " shift=" << c.shift << " answer=" << c.answerId << " text=[" << c.text << "] files=";
    for (const std::string& file : c.files) out << "[" << file << "]";
    return out.str();
}

TEST(ReplayScript, GoodLines) {
    struct Case {
        std::string line;
        ReplayCommand expected;
    };
    const Case cases[] = {
        {"wait 250", {.kind = Kind::Wait, .milliseconds = 250}},
        {"wait 0", {.kind = Kind::Wait}},
        {"move 10 20", {.kind = Kind::Move, .x = 10, .y = 20}},
        {"  MOVE\t-32768   32767  ", {.kind = Kind::Move, .x = -32768, .y = 32767}},
        {"down 1 2", {.kind = Kind::Down, .x = 1, .y = 2}},
        {"down 1 2 right", {.kind = Kind::Down, .x = 1, .y = 2, .right = true}},
        {"Up 3 4 RIGHT", {.kind = Kind::Up, .x = 3, .y = 4, .right = true}},
        {"click 5 6", {.kind = Kind::Click, .x = 5, .y = 6}},
        {"click 5 6 right", {.kind = Kind::Click, .x = 5, .y = 6, .right = true}},
        {"dblclick 7 8", {.kind = Kind::DoubleClick, .x = 7, .y = 8}},
        {"wheel 10 11 -120", {.kind = Kind::Wheel, .x = 10, .y = 11, .delta = -120}},
        {"key RETURN", {.kind = Kind::Key, .virtualKey = 13}},
        {"key 0x70 shift ctrl", {.kind = Kind::Key, .virtualKey = 112, .ctrl = true, .shift = true}},
        {"KEY f4 ALT", {.kind = Kind::Key, .virtualKey = 115, .alt = true}},
        {"key a ctrl alt shift", {.kind = Kind::Key, .virtualKey = 65, .ctrl = true, .alt = true, .shift = true}},
        {"answer 6", {.kind = Kind::Answer, .answerId = 6}},
        {"answer yes", {.kind = Kind::Answer, .answerId = 6}},
        {"answer IDCANCEL", {.kind = Kind::Answer, .answerId = 2}},
        {"answer Ignore", {.kind = Kind::Answer, .answerId = 5}},
        // The text is the line as typed after the keyword's blank: inner, leading and trailing
        // blanks and '#' are part of it.
        {"answer-text Hello,  world ", {.kind = Kind::AnswerText, .text = "Hello,  world "}},
        {"answer-text  indented", {.kind = Kind::AnswerText, .text = " indented"}},
        {"answer-text # not a comment", {.kind = Kind::AnswerText, .text = "# not a comment"}},
        {"answer-text", {.kind = Kind::AnswerText}},
        {"Answer-Cancel", {.kind = Kind::AnswerCancel}},
        {R"(answer-files a.txt "My Files/b c.txt"  /tmp/it's)",
         {.kind = Kind::AnswerFiles, .files = {"a.txt", "My Files/b c.txt", "/tmp/it's"}}},
        {"shot out/page1.png", {.kind = Kind::Shot, .text = "out/page1.png"}},
        {R"(shot "my shots/1.png")", {.kind = Kind::Shot, .text = "my shots/1.png"}},
        {"close", {.kind = Kind::Close}},
    };
    for (const Case& c : cases) {
        std::vector<ReplayCommand> commands;
        std::string error;
        ASSERT_TRUE(ParseReplay(c.line, commands, error)) << c.line << ": " << error;
        ASSERT_EQ(commands.size(), 1u) << c.line;
        EXPECT_EQ(Describe(commands[0]), Describe(c.expected)) << c.line;
        EXPECT_EQ(commands[0].line, 1) << c.line;
    }
}

TEST(ReplayScript, LinesCommentsAndLineNumbers) {
    // A file from a Windows editor: byte order mark, CR LF, comments, no final line end.
    const std::string file =
        "\xEF\xBB\xBF# open the menu\r\n"
        "\r\n"
        "wait 100\r\n"
        "   # indented comment\r\n"
        "\t\r\n"
        "click 1 2\n"
        "close";
    std::vector<ReplayCommand> commands = {{.kind = Kind::Wheel}};  // replaced, not appended to
    std::string error;
    ASSERT_TRUE(ParseReplay(file, commands, error)) << error;
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0].kind, Kind::Wait);
    EXPECT_EQ(commands[0].line, 3);
    EXPECT_EQ(commands[1].kind, Kind::Click);
    EXPECT_EQ(commands[1].line, 6);
    EXPECT_EQ(commands[2].kind, Kind::Close);
    EXPECT_EQ(commands[2].line, 7);

    // A CR LF line end is no part of a text taken to the end of the line.
    ASSERT_TRUE(ParseReplay("answer-text yes\r\nclose\r\n", commands, error)) << error;
    EXPECT_EQ(commands[0].text, "yes");

    EXPECT_TRUE(ParseReplay("", commands, error));
    EXPECT_TRUE(commands.empty());
}

TEST(ReplayScript, BadLines) {
    struct Case {
        std::string file;
        std::string error;
    };
    const Case cases[] = {
        {"jump 1 2", "line 1: unknown command 'jump'"},
        {"# comment\n\nclick 1 2\nmove 1", "line 4: missing argument (move X Y)"},
        {"wait 5\r\nmove x 1\r\n", "line 2: 'x' is not a number"},
        {"move 1 2 3", "line 1: unexpected '3' (move X Y)"},
        {"move 1.5 2", "line 1: '1.5' is not a number"},
        {"move +1 2", "line 1: '+1' is not a number"},
        {"move 40000 0", "line 1: X 40000 is out of range (-32768..32767)"},
        {"move 0 -99999999999999999999", "line 1: Y -99999999999999999999 is out of range (-32768..32767)"},
        {"close # done", "line 1: unexpected '#' (close)"},
        {"wait", "line 1: missing argument (wait MS)"},
        {"wait -5", "line 1: wait -5 is negative"},
        {"wait 3000000000", "line 1: wait 3000000000 is out of range (0..2147483647)"},
        {"wait 1s", "line 1: '1s' is not a number"},
        {"down 1", "line 1: missing argument (down X Y [right])"},
        {"click 1 2 left", "line 1: unexpected 'left' (click X Y [right])"},
        {"up 1 2 right right", "line 1: unexpected 'right' (up X Y [right])"},
        {"dblclick 1 2 right", "line 1: unexpected 'right' (dblclick X Y)"},
        {"wheel 1 2", "line 1: missing argument (wheel X Y DELTA)"},
        {"wheel 1 2 40000", "line 1: DELTA 40000 is out of range (-32768..32767)"},
        {"key", "line 1: missing argument (key VK [ctrl] [alt] [shift])"},
        {"key ENTRE", "line 1: unknown key name 'ENTRE'"},
        {"key 300", "line 1: key code 300 is out of range (1..254)"},
        {"key 0x1FF", "line 1: key code 0x1FF is out of range (1..254)"},
        {"key 00", "line 1: key code 00 is out of range (1..254)"},
        {"key A win", "line 1: unexpected 'win' (key VK [ctrl] [alt] [shift])"},
        {"answer", "line 1: missing argument (answer ID)"},
        {"answer 8", "line 1: answer 8 is out of range (1..7)"},
        {"answer maybe", "line 1: unknown answer 'maybe' (1..7, OK, CANCEL, ABORT, RETRY, IGNORE, YES, NO)"},
        {"answer yes no", "line 1: unexpected 'no' (answer ID)"},
        {"answer-cancel now", "line 1: unexpected 'now' (answer-cancel)"},
        {"answer-files", "line 1: missing argument (answer-files PATH...)"},
        {"answer-files   ", "line 1: missing argument (answer-files PATH...)"},
        {R"(answer-files a "b c)", "line 1: unterminated quote"},
        {R"(answer-files "")", "line 1: empty path \"\""},
        {R"(answer-files "a"b)", "line 1: blank expected after the closing quote"},
        {"shot", "line 1: missing argument (shot FILE.png)"},
        {"shot a.png b.png", "line 1: unexpected 'b.png' (shot FILE.png)"},
    };
    for (const Case& c : cases) {
        std::vector<ReplayCommand> commands;
        std::string error;
        EXPECT_FALSE(ParseReplay(c.file, commands, error)) << c.file;
        EXPECT_EQ(error, c.error) << c.file;
        // A run never plays the part of a file before its bad line.
        EXPECT_TRUE(commands.empty()) << c.file;
    }
}

TEST(ReplayScript, VirtualKeyNames) {
    struct Case {
        const char* name;
        int code;
    };
    const Case cases[] = {
        // Letters and digits are their upper-case ASCII codes; a single digit is a key, not a code.
        {"A", 65},
        {"z", 90},
        {"0", 48},
        {"9", 57},
        {"!", -1},
        // Numbers: decimal and 0x hex, within 1..254.
        {"13", 13},
        {"0x0D", 13},
        {"0XfE", 254},
        {"254", 254},
        {"01", 1},
        {"00", -1},
        {"255", -1},
        {"0x0", -1},
        {"0xFF", -1},
        {"0x", -1},
        {"0x-1", -1},
        {"-1", -1},
        {"+5", -1},
        {"1a", -1},
        {"99999999999999999999", -1},
        {"", -1},
        // Names, their aliases, any letter case, with or without VK_.
        {"BACK", 8},
        {"tab", 9},
        {"RETURN", 13},
        {"Enter", 13},
        {"SHIFT", 16},
        {"CONTROL", 17},
        {"MENU", 18},
        {"alt", 18},
        {"PAUSE", 19},
        {"CAPITAL", 20},
        {"ESCAPE", 27},
        {"esc", 27},
        {"SPACE", 32},
        {"PRIOR", 33},
        {"PageUp", 33},
        {"NEXT", 34},
        {"PAGEDOWN", 34},
        {"END", 35},
        {"HOME", 36},
        {"LEFT", 37},
        {"UP", 38},
        {"RIGHT", 39},
        {"DOWN", 40},
        {"INSERT", 45},
        {"DELETE", 46},
        {"MULTIPLY", 106},
        {"ADD", 107},
        {"SUBTRACT", 109},
        {"DECIMAL", 110},
        {"DIVIDE", 111},
        {"VK_RETURN", 13},
        {"vk_f1", 112},
        {"VK_", -1},
        {"RETURNX", -1},
        {"ENT", -1},
        // Function keys and the number pad.
        {"F1", 112},
        {"f12", 123},
        {"F24", 135},
        {"F0", -1},
        {"F01", -1},
        {"F25", -1},
        {"F", 70},
        {"FF", -1},
        {"NUMPAD0", 96},
        {"numpad9", 105},
        {"NUMPAD10", -1},
        {"NUMPAD", -1},
    };
    for (const Case& c : cases) EXPECT_EQ(VirtualKeyFromName(c.name), c.code) << c.name;
}

}  // namespace
