#include "platform/ini_file.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/atomic_file.h"
#include "platform/kx_text_file.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// One line of the text: [begin, end) without its line break, next where the following line starts.
struct Line {
    std::size_t begin;
    std::size_t end;
    std::size_t next;
};

class LineReader {
public:
    explicit LineReader(std::string_view text) : text(text) {}

    bool Next(Line& line) {
        if (pos >= text.size()) return false;
        const std::size_t begin = pos;
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            end = pos = text.size();
        } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
            pos = end + 2;
        } else {
            pos = end + 1;
        }
        line = {begin, end, pos};
        return true;
    }

private:
    std::string_view text;
    std::size_t pos = 0;
};

enum class LineKind { Other, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    std::string_view name;       // the section name or the key, trimmed
    std::size_t valueBegin = 0;  // the trimmed value of a key line, as offsets into the text
    std::size_t valueEnd = 0;
};

ParsedLine Parse(std::string_view text, const Line& line) {
    ParsedLine parsed;
    std::string_view content = Trim(text.substr(line.begin, line.end - line.begin));
    if (content.empty() || content.front() == ';') return parsed;
    if (content.front() == '[') {
        const std::size_t close = content.find(']');
        if (close == std::string_view::npos) return parsed;
        parsed.kind = LineKind::Section;
        parsed.name = Trim(content.substr(1, close - 1));
        return parsed;
    }
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) return parsed;
    parsed.name = Trim(content.substr(0, equals));
    if (parsed.name.empty()) return parsed;
    parsed.kind = LineKind::Key;
    const std::string_view value = Trim(content.substr(equals + 1));
    parsed.valueBegin = static_cast<std::size_t>(value.data() - text.data());
    parsed.valueEnd = parsed.valueBegin + value.size();
    return parsed;
}

struct Lookup {
    bool sectionFound = false;
    bool keyFound = false;
    std::size_t valueBegin = 0;
    std::size_t valueEnd = 0;
    // Where a new key of the section goes: after its last key line, else after its header.
    std::size_t insertAt = 0;
    // That line is the last of the text and has no line break.
    bool insertNeedsBreak = false;
};

Lookup Locate(std::string_view text, std::string_view section, std::string_view key) {
    Lookup found;
    LineReader reader(text);
    Line line;
    while (reader.Next(line)) {
        const ParsedLine parsed = Parse(text, line);
        if (parsed.kind == LineKind::Section) {
            // A later section of the same name is never looked at.
            if (found.sectionFound) break;
            if (!EqualsIgnoringAsciiCase(parsed.name, section)) continue;
            found.sectionFound = true;
        } else if (!found.sectionFound || parsed.kind != LineKind::Key) {
            continue;
        } else if (EqualsIgnoringAsciiCase(parsed.name, key)) {
            found.keyFound = true;
            found.valueBegin = parsed.valueBegin;
            found.valueEnd = parsed.valueEnd;
            break;
        }
        found.insertAt = line.next;
        found.insertNeedsBreak = line.next == line.end;
    }
    return found;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The file's first line break; CR LF when it has none.
std::string_view LineBreakOf(std::string_view text) {
    const std::size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos) return "\r\n";
    if (text[at] == '\n') return "\n";
    return at + 1 < text.size() && text[at + 1] == '\n' ? "\r\n" : "\r";
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// What SetString writes must read back as the same section, key and value.
bool CanBeWritten(std::string_view section, std::string_view key, std::string_view value) {
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value)) {
        return false;
    }
    if (section.find(']') != std::string_view::npos) return false;
    return !key.empty() && key.front() != ';' && key.front() != '[' && key.find('=') == std::string_view::npos;
}

// The whole file, or false when it is missing or not a regular file (a pipe would block).
bool ReadIniFile(const std::string& path, std::string& contents) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return false;
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, nullptr)) return false;
    contents.assign(bytes.begin(), bytes.end());
    return true;
}

// The text ends at the first NUL byte.
std::string_view TextOf(const std::string& contents) {
    return std::string_view(contents).substr(0, contents.find('\0'));
}

}  // namespace

bool CKXIniFile::GetString(const std::string& section, const std::string& key, const std::string& defaultValue,
                           std::size_t bufferSize, std::string& result) const {
    std::string contents;
    std::string value;
    bool found = false;
    if (ReadIniFile(path, contents)) {
        const std::string_view text = TextOf(contents);
        const Lookup lookup = Locate(text, Trim(section), Trim(key));
        if (lookup.keyFound) {
            found = true;
            value = Unquote(text.substr(lookup.valueBegin, lookup.valueEnd - lookup.valueBegin));
        }
    }
    if (!found) {
        value = defaultValue;
        while (!value.empty() && value.back() == ' ') value.pop_back();
    }
    value.resize(std::min(value.size(), bufferSize == 0 ? 0 : bufferSize - 1));
    result = std::move(value);
    return found;
}

bool CKXIniFile::SetString(const std::string& section, const std::string& key, const std::string& value) {
    const std::string_view sectionName = Trim(section);
    const std::string_view keyName = Trim(key);
    if (!CanBeWritten(sectionName, keyName, value)) return false;
    std::string contents;
    if (!ReadIniFile(path, contents)) return false;

    // Whatever follows a NUL byte is kept as it is, after the text.
    const std::string_view text = TextOf(contents);
    const Lookup lookup = Locate(text, sectionName, keyName);
    if (lookup.keyFound) {
        contents.replace(lookup.valueBegin, lookup.valueEnd - lookup.valueBegin, value);
    } else {
        const std::string_view lineBreak = LineBreakOf(text);
        std::string added;
        std::size_t at = text.size();
        if (lookup.sectionFound) {
            at = lookup.insertAt;
            if (lookup.insertNeedsBreak) added += lineBreak;
        } else {
            if (!text.empty() && text.back() != '\n' && text.back() != '\r') added += lineBreak;
            added.append("[").append(sectionName).append("]").append(lineBreak);
        }
        added.append(keyName).append("=").append(value).append(lineBreak);
        contents.insert(at, added);
    }
    return CKXTextFile::Save(path, contents) == TextFileStatus::Ok;
}
