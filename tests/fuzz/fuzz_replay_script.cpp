// Feeds arbitrary bytes to the replay file reader. A file that reads gives steps within their
// ranges, and the steps written back out one a line read again as the same steps; a file that does
// not read leaves no steps and names a line of the file. Key names give a code in 1..254 or -1.
#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/replay_script.h"

namespace {

using Kind = ReplayCommand::Kind;

// A path as the reader takes it back: in quotes when it holds a blank.
std::string PathWord(const std::string& path) {
    return path.find_first_of(" \t") == std::string::npos ? path : "\"" + path + "\"";
}

std::string Point(const ReplayCommand& command) {
    return " " + std::to_string(command.x) + " " + std::to_string(command.y);
}

std::string Line(const ReplayCommand& command) {
    switch (command.kind) {
        case Kind::Wait:
            return "wait " + std::to_string(command.milliseconds);
        case Kind::Move:
            return "move" + Point(command);
        case Kind::Down:
            return "down" + Point(command) + (command.right ? " right" : "");
        case Kind::Up:
            return "up" + Point(command) + (command.right ? " right" : "");
        case Kind::Click:
            return "click" + Point(command) + (command.right ? " right" : "");
        case Kind::DoubleClick:
            return "dblclick" + Point(command);
        case Kind::Wheel:
            return "wheel" + Point(command) + " " + std::to_string(command.delta);
        case Kind::Key: {
            // In hex: a single digit would name the key of that character instead.
            char hex[16];
            const auto written = std::to_chars(hex, hex + sizeof hex, command.virtualKey, 16);
            std::string line = "key 0x" + std::string(hex, written.ptr);
            if (command.ctrl) line += " ctrl";
            if (command.alt) line += " alt";
            if (command.shift) line += " shift";
            return line;
        }
        case Kind::Answer:
            return "answer " + std::to_string(command.answerId);
        case Kind::AnswerText:
            return "answer-text " + command.text;
        case Kind::AnswerCancel:
            return "answer-cancel";
        case Kind::AnswerFiles: {
            std::string line = "answer-files";
            for (const std::string& file : command.files) line += " " + PathWord(file);
            return line;
        }
        case Kind::Shot:
            return "shot " + PathWord(command.text);
        case Kind::Close:
            return "close";
    }
    std::abort();
}

bool Same(const ReplayCommand& a, const ReplayCommand& b) {
    return a.kind == b.kind && a.x == b.x && a.y == b.y && a.right == b.right && a.delta == b.delta &&
           a.milliseconds == b.milliseconds && a.virtualKey == b.virtualKey && a.ctrl == b.ctrl && a.alt == b.alt &&
           a.shift == b.shift && a.answerId == b.answerId && a.text == b.text && a.files == b.files;
}

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

bool Plausible(const ReplayCommand& command) {
    constexpr int low = -32768, high = 32767;
    if (!InRange(command.x, low, high) || !InRange(command.y, low, high) || !InRange(command.delta, low, high)) {
        return false;
    }
    switch (command.kind) {
        case Kind::Wait:
            return command.milliseconds >= 0;
        case Kind::Key:
            return InRange(command.virtualKey, 1, 254);
        case Kind::Answer:
            return InRange(command.answerId, 1, 7);
        case Kind::AnswerFiles:
            if (command.files.empty()) return false;
            for (const std::string& file : command.files) {
                if (file.empty()) return false;
            }
            return true;
        case Kind::Shot:
            return !command.text.empty();
        default:
            return true;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);

    const std::string name = input.substr(0, input.find_first_of("\r\n"));
    const int key = VirtualKeyFromName(name);
    if (key != -1 && !InRange(key, 1, 254)) std::abort();

    std::vector<ReplayCommand> commands(1, ReplayCommand{Kind::Close});
    std::string error;
    if (!ParseReplay(input, commands, error)) {
        // "line N: ..." with N a line of the file.
        if (!commands.empty() || error.compare(0, 5, "line ") != 0) std::abort();
        int line = 0;
        const char* end = error.data() + error.size();
        const auto parsed = std::from_chars(error.data() + 5, end, line);
        const auto lines = std::count(input.begin(), input.end(), '\n') + 1;
        if (parsed.ec != std::errc() || std::string_view(parsed.ptr, end - parsed.ptr).substr(0, 2) != ": " ||
            line < 1 || line > lines) {
            std::abort();
        }
        return 0;
    }

    std::string written;
    int previousLine = 0;
    for (const ReplayCommand& command : commands) {
        if (command.line <= previousLine || !Plausible(command)) std::abort();
        previousLine = command.line;
        // CR LF: a text that ends in CR keeps it, as only one CR goes with the line break.
        written += Line(command) + "\r\n";
    }
    std::vector<ReplayCommand> again;
    if (!ParseReplay(written, again, error) || again.size() != commands.size()) std::abort();
    for (std::size_t i = 0; i < again.size(); ++i) {
        if (!Same(again[i], commands[i]) || again[i].line != static_cast<int>(i) + 1) std::abort();
    }
    return 0;
}
