#pragma once

#include <string>
#include <vector>

// One step of a replay file, which drives a headless run: pointer and key input, waits, answers
// queued for the dialogs to come, screenshots and the close box.
struct ReplayCommand {
    enum class Kind {
        Wait,         // milliseconds
        Move,         // x, y
        Down,         // x, y, right
        Up,           // x, y, right
        Click,        // x, y, right
        DoubleClick,  // x, y
        Wheel,        // x, y, delta
        Key,          // virtualKey, ctrl, alt, shift
        Answer,       // answerId (IDOK..IDNO)
        AnswerText,   // text
        AnswerCancel,
        AnswerFiles,  // files
        Shot,         // text: the PNG file to write
        Close,
    } kind;
    int x = 0, y = 0;  // view pixels
    bool right = false;
    int delta = 0;
    int milliseconds = 0;
    int virtualKey = 0;
    bool ctrl = false, alt = false, shift = false;
    int answerId = 0;
    std::string text{};
    std::vector<std::string> files{};
    int line = 0;  // 1-based line of the file, for messages about the step
};

// Reads a replay file: one command a line (LF or CR LF), blank lines and lines starting with '#'
// skipped, keywords in any letter case. Replaces the contents of commands. On the first bad line
// returns false with error = "line N: what is wrong" and commands empty, so that a run never
// plays half a file.
bool ParseReplay(const std::string& text, std::vector<ReplayCommand>& commands, std::string& error);

// The Windows virtual-key code a replay names: a number (decimal, or hex with 0x), a single
// letter or digit (its upper-case ASCII code), or a key name such as RETURN, F5 or NUMPAD0, with
// or without the VK_ prefix, in any letter case. -1 when unknown or outside 1..254.
int VirtualKeyFromName(const std::string& name);
