#include "json_with_lines.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

// Walks the text for the parser and remembers how far it has read, which tells the line of
// the value the parser is reporting.
struct CountingIterator {
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    const char* position = nullptr;
    const char* base = nullptr;
    std::size_t* furthest = nullptr;

    reference operator*() const { return *position; }
    CountingIterator& operator++() {
        ++position;
        *furthest = std::max(*furthest, static_cast<std::size_t>(position - base));
        return *this;
    }
    CountingIterator operator++(int) {
        CountingIterator old = *this;
        ++*this;
        return old;
    }
    bool operator==(const CountingIterator& other) const { return position == other.position; }
    bool operator!=(const CountingIterator& other) const { return position != other.position; }
};

struct Frame {
    bool isArray = false;
    std::size_t index = 0;
    std::string key;
    std::string path;
};

}  // namespace

std::string JsonChildPath(const std::string& parent, const std::string& key) {
    return parent.empty() ? key : parent + "." + key;
}

std::string JsonElementPath(const std::string& parent, std::size_t index) {
    return parent + "[" + std::to_string(index) + "]";
}

int JsonDocument::LineOf(const std::string& path) const {
    auto it = lines.find(path);
    return it == lines.end() ? 0 : it->second;
}

bool ParseJsonWithLines(const std::string& text, JsonDocument& document, std::string* error) {
    std::vector<std::size_t> lineStarts{0};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') lineStarts.push_back(i + 1);
    }
    std::size_t furthest = 0;
    auto lineAt = [&](std::size_t offset) {
        // The reader is past the token it reports; step back over one character of look-ahead.
        std::size_t at = offset > 0 ? offset - 1 : 0;
        return static_cast<int>(std::upper_bound(lineStarts.begin(), lineStarts.end(), at) - lineStarts.begin());
    };

    std::vector<Frame> frames;
    auto elementPath = [&]() -> std::string {
        if (frames.empty()) return "";
        Frame& top = frames.back();
        return top.isArray ? JsonElementPath(top.path, top.index) : JsonChildPath(top.path, top.key);
    };
    auto finishElement = [&] {
        if (!frames.empty() && frames.back().isArray) ++frames.back().index;
    };

    Json::parser_callback_t callback = [&](int, Json::parse_event_t event, Json& parsed) {
        switch (event) {
            case Json::parse_event_t::key:
                frames.back().key = parsed.get<std::string>();
                document.lines[elementPath()] = lineAt(furthest);
                break;
            case Json::parse_event_t::object_start:
            case Json::parse_event_t::array_start: {
                std::string path = elementPath();
                if (!frames.empty() && frames.back().isArray) document.lines[path] = lineAt(furthest);
                frames.push_back({event == Json::parse_event_t::array_start, 0, {}, path});
                break;
            }
            case Json::parse_event_t::object_end:
            case Json::parse_event_t::array_end:
                frames.pop_back();
                finishElement();
                break;
            case Json::parse_event_t::value:
                if (!frames.empty() && frames.back().isArray) {
                    document.lines[elementPath()] = lineAt(furthest);
                }
                finishElement();
                break;
        }
        return true;
    };

    CountingIterator first{text.data(), text.data(), &furthest};
    CountingIterator last{text.data() + text.size(), text.data(), &furthest};
    try {
        document.root = Json::parse(first, last, callback);
    } catch (const Json::parse_error& e) {
        if (error) {
            std::string what = e.what();
            // Drop the library's "[json.exception.parse_error.101] parse error at line 3, column 4:"
            // prefix in favour of our own line number.
            auto colon = what.find(": ", what.find("parse error"));
            std::string detail = colon == std::string::npos ? what : what.substr(colon + 2);
            *error = "line " + std::to_string(lineAt(e.byte)) + ": " + detail;
        }
        return false;
    }
    return true;
}
