#include "app/replay_script.h"

#include <charconv>
#include <climits>
#include <string_view>

#include "platform/ascii_case.h"

namespace {

using Kind = ReplayCommand::Kind;

// What is wrong with the line being read; ParseReplay adds the line number.
struct BadLine {
    std::string what;
};

struct CommandSyntax {
    const char* keyword;
    Kind kind;
    const char* usage;  // shown with argument errors
};

constexpr CommandSyntax commandSyntaxes[] = {
    {"wait", Kind::Wait, "wait MS"},
    {"move", Kind::Move, "move X Y"},
    {"down", Kind::Down, "down X Y [right]"},
    {"up", Kind::Up, "up X Y [right]"},
    {"click", Kind::Click, "click X Y [right]"},
    {"dblclick", Kind::DoubleClick, "dblclick X Y"},
    {"wheel", Kind::Wheel, "wheel X Y DELTA"},
    {"key", Kind::Key, "key VK [ctrl] [alt] [shift]"},
    {"answer", Kind::Answer, "answer ID"},
    {"answer-text", Kind::AnswerText, "answer-text TEXT"},
    {"answer-cancel", Kind::AnswerCancel, "answer-cancel"},
    {"answer-files", Kind::AnswerFiles, "answer-files PATH..."},
    {"shot", Kind::Shot, "shot FILE.png"},
    {"close", Kind::Close, "close"},
};

struct NamedCode {
    const char* name;
    int code;
};

constexpr NamedCode keyNames[] = {
    {"BACK", 8},    {"TAB", 9},        {"RETURN", 13}, {"ENTER", 13},     {"SHIFT", 16},    {"CONTROL", 17},
    {"MENU", 18},   {"ALT", 18},       {"PAUSE", 19},  {"CAPITAL", 20},   {"ESCAPE", 27},   {"ESC", 27},
    {"SPACE", 32},  {"PRIOR", 33},     {"PAGEUP", 33}, {"NEXT", 34},      {"PAGEDOWN", 34}, {"END", 35},
    {"HOME", 36},   {"LEFT", 37},      {"UP", 38},     {"RIGHT", 39},     {"DOWN", 40},     {"INSERT", 45},
    {"DELETE", 46}, {"MULTIPLY", 106}, {"ADD", 107},   {"SUBTRACT", 109}, {"DECIMAL", 110}, {"DIVIDE", 111},
};

constexpr NamedCode answerNames[] = {
    {"OK", 1}, {"CANCEL", 2}, {"ABORT", 3}, {"RETRY", 4}, {"IGNORE", 5}, {"YES", 6}, {"NO", 7},
};

// Coordinates and wheel steps travel to the page as 16-bit values, as in window messages.
constexpr long long coordinateMin = -32768, coordinateMax = 32767;

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

enum class NumberStatus { Ok, NotNumber, TooLarge };

// The whole of text as an integer of the given base; a minus sign only when T is signed.
template <typename T>
NumberStatus ParseWhole(std::string_view text, T& value, int base = 10) {
    const char* first = text.data();
    const char* last = first + text.size();
    auto [end, status] = std::from_chars(first, last, value, base);
    if (text.empty() || end != last || status == std::errc::invalid_argument) {
        return NumberStatus::NotNumber;
    }
    return status == std::errc::result_out_of_range ? NumberStatus::TooLarge : NumberStatus::Ok;
}

// Numbers as a replay writes them: digits with an optional minus. The hex of key codes is
// handled by VirtualKeyFromName.
int Number(const std::string& word, const char* what, long long low, long long high) {
    long long value = 0;
    NumberStatus status = ParseWhole(word, value);
    if (status == NumberStatus::NotNumber) throw BadLine{"'" + word + "' is not a number"};
    if (status == NumberStatus::TooLarge || value < low || value > high) {
        throw BadLine{std::string(what) + " " + word + " is out of range (" + std::to_string(low) + ".." +
                      std::to_string(high) + ")"};
    }
    return static_cast<int>(value);
}

std::vector<std::string> SplitWords(std::string_view rest) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < rest.size()) {
        if (IsBlank(rest[i])) {
            ++i;
            continue;
        }
        std::size_t start = i;
        while (i < rest.size() && !IsBlank(rest[i])) ++i;
        words.emplace_back(rest.substr(start, i - start));
    }
    return words;
}

// Paths separated by blanks; one that holds blanks goes in double quotes.
std::vector<std::string> SplitPaths(std::string_view rest) {
    std::vector<std::string> paths;
    std::size_t i = 0;
    while (i < rest.size()) {
        if (IsBlank(rest[i])) {
            ++i;
            continue;
        }
        if (rest[i] != '"') {
            std::size_t start = i;
            while (i < rest.size() && !IsBlank(rest[i])) ++i;
            paths.emplace_back(rest.substr(start, i - start));
            continue;
        }
        std::size_t close = rest.find('"', i + 1);
        if (close == std::string_view::npos) throw BadLine{"unterminated quote"};
        std::string_view path = rest.substr(i + 1, close - i - 1);
        if (path.empty()) throw BadLine{"empty path \"\""};
        i = close + 1;
        if (i < rest.size() && !IsBlank(rest[i])) {
            throw BadLine{"blank expected after the closing quote"};
        }
        paths.emplace_back(path);
    }
    return paths;
}

[[noreturn]] void Missing(const CommandSyntax& syntax) {
    throw BadLine{std::string("missing argument (") + syntax.usage + ")"};
}

[[noreturn]] void Unexpected(const std::string& word, const CommandSyntax& syntax) {
    throw BadLine{"unexpected '" + word + "' (" + syntax.usage + ")"};
}

void ExpectCount(const std::vector<std::string>& words, std::size_t count, const CommandSyntax& syntax) {
    if (words.size() < count) Missing(syntax);
    if (words.size() > count) Unexpected(words[count], syntax);
}

void ReadPoint(const std::vector<std::string>& words, ReplayCommand& command) {
    command.x = Number(words[0], "X", coordinateMin, coordinateMax);
    command.y = Number(words[1], "Y", coordinateMin, coordinateMax);
}

int AnswerId(const std::string& word) {
    if (!word.empty() && IsDigit(word[0])) return Number(word, "answer", 1, 7);
    std::string_view name = word;
    if (StartsWithIgnoringCase(name, "ID")) name.remove_prefix(2);
    for (const NamedCode& answer : answerNames) {
        if (EqualsIgnoringAsciiCase(name, answer.name)) return answer.code;
    }
    throw BadLine{"unknown answer '" + word + "' (1..7, OK, CANCEL, ABORT, RETRY, IGNORE, YES, NO)"};
}

int KeyCode(const std::string& word) {
    int code = VirtualKeyFromName(word);
    if (code >= 0) return code;
    long long decimal = 0;
    unsigned long long hex = 0;
    NumberStatus status = StartsWithIgnoringCase(word, "0x") ? ParseWhole(std::string_view(word).substr(2), hex, 16)
                                                             : ParseWhole(word, decimal);
    if (status != NumberStatus::NotNumber) {
        throw BadLine{"key code " + word + " is out of range (1..254)"};
    }
    throw BadLine{"unknown key name '" + word + "'"};
}

ReplayCommand ParseCommand(std::string_view line) {
    std::size_t end = 0;
    while (end < line.size() && !IsBlank(line[end])) ++end;
    std::string_view keyword = line.substr(0, end);
    std::string_view rest = line.substr(end);

    const CommandSyntax* syntax = nullptr;
    for (const CommandSyntax& candidate : commandSyntaxes) {
        if (EqualsIgnoringAsciiCase(keyword, candidate.keyword)) syntax = &candidate;
    }
    if (!syntax) throw BadLine{"unknown command '" + std::string(keyword) + "'"};

    ReplayCommand command{syntax->kind};
    if (syntax->kind == Kind::AnswerText) {
        // The text is the rest of the line as typed, after the one blank that ends the keyword.
        if (!rest.empty()) rest.remove_prefix(1);
        command.text = rest;
        return command;
    }
    if (syntax->kind == Kind::AnswerFiles) {
        command.files = SplitPaths(rest);
        if (command.files.empty()) Missing(*syntax);
        return command;
    }
    if (syntax->kind == Kind::Shot) {
        std::vector<std::string> paths = SplitPaths(rest);
        ExpectCount(paths, 1, *syntax);
        command.text = paths[0];
        return command;
    }

    std::vector<std::string> words = SplitWords(rest);
    switch (syntax->kind) {
        case Kind::Wait: {
            ExpectCount(words, 1, *syntax);
            long long value = 0;
            if (ParseWhole(words[0], value) == NumberStatus::Ok && value < 0) {
                throw BadLine{"wait " + words[0] + " is negative"};
            }
            command.milliseconds = Number(words[0], "wait", 0, INT_MAX);
            break;
        }
        case Kind::Move:
        case Kind::DoubleClick:
            ExpectCount(words, 2, *syntax);
            ReadPoint(words, command);
            break;
        case Kind::Down:
        case Kind::Up:
        case Kind::Click:
            if (words.size() < 2) Missing(*syntax);
            if (words.size() > 3) Unexpected(words[3], *syntax);
            ReadPoint(words, command);
            if (words.size() == 3) {
                if (!EqualsIgnoringAsciiCase(words[2], "right")) Unexpected(words[2], *syntax);
                command.right = true;
            }
            break;
        case Kind::Wheel:
            ExpectCount(words, 3, *syntax);
            ReadPoint(words, command);
            command.delta = Number(words[2], "DELTA", coordinateMin, coordinateMax);
            break;
        case Kind::Key:
            if (words.empty()) Missing(*syntax);
            command.virtualKey = KeyCode(words[0]);
            for (std::size_t i = 1; i < words.size(); ++i) {
                if (EqualsIgnoringAsciiCase(words[i], "ctrl")) {
                    command.ctrl = true;
                } else if (EqualsIgnoringAsciiCase(words[i], "alt")) {
                    command.alt = true;
                } else if (EqualsIgnoringAsciiCase(words[i], "shift")) {
                    command.shift = true;
                } else {
                    Unexpected(words[i], *syntax);
                }
            }
            break;
        case Kind::Answer:
            ExpectCount(words, 1, *syntax);
            command.answerId = AnswerId(words[0]);
            break;
        default:  // answer-cancel and close
            ExpectCount(words, 0, *syntax);
            break;
    }
    return command;
}

}  // namespace

bool ParseReplay(const std::string& text, std::vector<ReplayCommand>& commands, std::string& error) {
    commands.clear();
    std::string_view rest = text;
    // Files saved by Windows editors may begin with a byte order mark.
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
    int number = 0;
    while (!rest.empty()) {
        ++number;
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        std::size_t start = 0;
        while (start < line.size() && IsBlank(line[start])) ++start;
        line.remove_prefix(start);
        if (line.empty() || line[0] == '#') continue;
        try {
            commands.push_back(ParseCommand(line));
            commands.back().line = number;
        } catch (const BadLine& bad) {
            error = "line " + std::to_string(number) + ": " + bad.what;
            commands.clear();
            return false;
        }
    }
    return true;
}

int VirtualKeyFromName(const std::string& name) {
    std::string_view text = name;
    if (text.size() == 1) {
        char c = FoldAscii(text[0]);
        if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
        if (IsDigit(c)) return c;
        return -1;
    }

    if (!text.empty() && IsDigit(text[0])) {
        bool hex = StartsWithIgnoringCase(text, "0x");
        unsigned code = 0;
        NumberStatus status = hex ? ParseWhole(text.substr(2), code, 16) : ParseWhole(text, code);
        return status == NumberStatus::Ok && code >= 1 && code <= 254 ? static_cast<int>(code) : -1;
    }

    if (StartsWithIgnoringCase(text, "VK_")) text.remove_prefix(3);
    for (const NamedCode& key : keyNames) {
        if (EqualsIgnoringAsciiCase(text, key.name)) return key.code;
    }
    // F1..F24 and NUMPAD0..NUMPAD9, written without leading zeros.
    if (text.size() >= 2 && FoldAscii(text[0]) == 'f' && text[1] != '0') {
        unsigned number = 0;
        if (ParseWhole(text.substr(1), number) == NumberStatus::Ok && number >= 1 && number <= 24) {
            return static_cast<int>(111 + number);
        }
    }
    if (text.size() == 7 && StartsWithIgnoringCase(text, "NUMPAD") && IsDigit(text[6])) {
        return 96 + (text[6] - '0');
    }
    return -1;
}
