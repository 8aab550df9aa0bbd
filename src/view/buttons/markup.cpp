#include "view/buttons/markup.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

constexpr std::size_t kNone = std::string::npos;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Characters that end a token, and that are a token of their own when one starts with them.
bool IsTokenBreak(char c) {
    switch (c) {
        case ' ':
        case '\t':
        case '\n':
        case '\r':
        case '<':
        case '>':
        case '=':
        case '\\':
        case '/':
        case '?':
        case '!':
            return true;
        default:
            return false;
    }
}

int DigitValue(char c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (!hex) return -1;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

CMarkup::CMarkup(const CodePage& codePage) : codePage(&codePage), elements(1) {}

bool CMarkup::Parse(std::string text) {
    doc = std::move(text);
    error.clear();
    // A fresh vector, so that a large earlier document does not keep its memory.
    elements = std::vector<Element>();
    elements.reserve(std::min(doc.size() / 64 + 8, kMaxElements + 1));
    elements.emplace_back();
    parent = current = child = 0;
    nodeType = kNodeNone;
    if (ParseDocument()) return true;
    // Nothing of a broken document may be found.
    elements.resize(1);
    elements[0] = Element{};
    return false;
}

bool CMarkup::ParseDocument() {
    // The elements whose end tag is still to come, innermost last, each with its last child so
    // far. The document's nesting lives here rather than on the call stack.
    struct Open {
        std::size_t index;
        std::size_t lastChild;
    };
    std::vector<Open> open;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t lt = FindChar('<', pos);
        if (lt == kNone) {
            if (open.empty()) return Fail("Element tag not found");
            // Out of children without an end tag; CloseElement says so.
            return CloseElement(open.back().index, doc.size(), pos);
        }
        Token token;
        if (!NextToken(lt + 1, token)) return Fail("Abrupt end within tag");
        if (token.quoted) return Fail("Tag starts with quote");
        const char first = doc[token.start];
        if (first == '!' || first == '?') {
            pos = SkipNode(lt);
            if (pos == kNone) return Fail("Invalid node");
            continue;
        }
        if (first == '/') {
            // An end tag before any start tag names no element.
            if (open.empty()) return Fail("Element tag not found");
            if (!CloseElement(open.back().index, lt, pos)) return false;
            open.pop_back();
            if (open.empty()) return true;
            continue;
        }

        const std::size_t gt = FindChar('>', token.end);
        if (gt == kNone) return Fail("End of tag not found");
        const std::size_t index = AddElement();
        if (index == 0) return Fail("Too many elements");
        const std::size_t parentIndex = open.empty() ? 0 : open.back().index;
        Element& element = elements[index];
        element.startLeft = lt;
        element.startRight = gt;
        element.nameStart = token.start;
        element.nameLength = token.end - token.start;
        element.parent = parentIndex;
        if (!open.empty() && open.back().lastChild != 0) {
            elements[open.back().lastChild].nextSibling = index;
        } else {
            elements[parentIndex].firstChild = index;
        }
        if (!open.empty()) open.back().lastChild = index;
        pos = gt + 1;

        // gt - 1 is at least the name's first byte, which is never a slash here.
        if (doc[gt - 1] == '/') {
            element.endLeft = gt - 1;
            element.endRight = gt;
            if (open.empty()) return true;
            continue;
        }
        open.push_back({index, 0});
    }
}

// Reads the end tag of element index, looking for it from offset from; pos is left after it.
bool CMarkup::CloseElement(std::size_t index, std::size_t from, std::size_t& pos) {
    const std::string_view name = NameOf(index);
    const std::size_t lt = FindChar('<', from);
    if (lt == kNone) return Fail("End tag of %s element not found", name);
    Token token;
    if (!NextToken(lt + 1, token) || doc.compare(token.start, token.end - token.start, "/") != 0) {
        return Fail("Expecting end tag of element %s", name);
    }
    if (!NextToken(token.end, token) || std::string_view(doc).substr(token.start, token.end - token.start) != name) {
        return Fail("End tag does not correspond to %s", name);
    }
    do {
        if (!NextToken(token.end, token)) return Fail("End tag not completed for element %s", name);
    } while (doc[token.start] != '>');
    elements[index].endLeft = lt;
    elements[index].endRight = token.start;
    pos = token.start + 1;
    return true;
}

std::size_t CMarkup::AddElement() {
    if (elements.size() > kMaxElements) return 0;
    // Room for one element per 64 bytes to begin with, then half as much again each time.
    if (elements.size() == elements.capacity()) {
        elements.reserve(elements.capacity() + elements.capacity() / 2 + 1);
    }
    elements.emplace_back();
    return elements.size() - 1;
}

bool CMarkup::Fail(std::string_view message, std::string_view name) {
    error.assign(message);
    const std::size_t slot = error.find("%s");
    if (slot != std::string::npos) error.replace(slot, 2, name);
    return false;
}

std::size_t CMarkup::Next(std::size_t pos) const {
    const bool pair = codePage->IsLeadByte(static_cast<unsigned char>(doc[pos])) && pos + 1 < doc.size();
    return pos + (pair ? 2 : 1);
}

std::size_t CMarkup::FindChar(char wanted, std::size_t from) const {
    if (codePage->IsSingleByte()) return doc.find(wanted, from);
    for (std::size_t pos = from; pos < doc.size(); pos = Next(pos)) {
        if (doc[pos] == wanted) return pos;
    }
    return kNone;
}

// The first occurrence of wanted at or after from that ends by limit.
std::size_t CMarkup::FindText(std::string_view wanted, std::size_t from, std::size_t limit) const {
    const std::string_view text = std::string_view(doc).substr(0, limit);
    if (codePage->IsSingleByte()) return from > text.size() ? kNone : text.find(wanted, from);
    for (std::size_t pos = from; pos + wanted.size() <= text.size(); pos = Next(pos)) {
        if (text.compare(pos, wanted.size(), wanted) == 0) return pos;
    }
    return kNone;
}

// The token at pos after whitespace: a quoted string (to its closing quote or the end of the
// document), a single break character, or a run of other characters. False at the end.
bool CMarkup::NextToken(std::size_t pos, Token& token) const {
    while (pos < doc.size() && IsSpace(doc[pos])) ++pos;
    if (pos >= doc.size()) return false;
    token.start = pos;
    token.quoted = false;
    const char first = doc[pos];
    if (first == '"' || first == '\'') {
        token.quoted = true;
        const std::size_t close = FindChar(first, pos + 1);
        token.end = close == kNone ? doc.size() : close + 1;
        return true;
    }
    if (IsTokenBreak(first)) {
        token.end = pos + 1;
        return true;
    }
    while (pos < doc.size() && !IsTokenBreak(doc[pos])) pos = Next(pos);
    token.end = pos;
    return true;
}

// Steps over the markup node that starts at lt: a processing instruction, CDATA section, comment
// or declaration. Returns the offset after it, or kNone when it does not end.
std::size_t CMarkup::SkipNode(std::size_t lt) const {
    const auto startsWith = [&](std::string_view opening) { return doc.compare(lt, opening.size(), opening) == 0; };
    const auto after = [&](std::string_view closing, std::size_t from) {
        const std::size_t at = FindText(closing, from, doc.size());
        return at == kNone ? kNone : at + closing.size();
    };
    if (startsWith("<?")) return after("?>", lt + 2);
    if (startsWith("<![")) return after("]]>", lt + 3);
    if (startsWith("<!-")) return after("-->", lt + 3);
    if (!startsWith("<!")) return kNone;

    // A declaration such as a document type ends at the first '>' outside square brackets;
    // quoted strings may hold either.
    std::size_t depth = 0;
    Token token;
    for (std::size_t pos = lt + 2; NextToken(pos, token); pos = token.end) {
        if (token.quoted) continue;
        if (doc[token.start] == '>') {
            if (depth == 0) return token.end;
            continue;
        }
        for (std::size_t at = token.start; at < token.end; at = Next(at)) {
            if (doc[at] == '[') {
                ++depth;
            } else if (doc[at] == ']' && depth > 0) {
                --depth;
            }
        }
    }
    return kNone;
}

std::string_view CMarkup::NameOf(std::size_t index) const {
    const Element& element = elements[index];
    return std::string_view(doc).substr(element.nameStart, element.nameLength);
}

bool CMarkup::Matches(std::size_t index, std::string_view name) const {
    return name.empty() || name == "*" || NameOf(index) == name;
}

// The first element matching path among first and its next siblings; each further part of the
// path is looked for among the children of a match, trying the next match when that fails.
std::size_t CMarkup::FindPath(std::size_t first, std::string_view path) const {
    const std::size_t slash = path.find('/');
    const std::string_view head = path.substr(0, slash);
    for (std::size_t index = first; index != 0; index = elements[index].nextSibling) {
        if (!Matches(index, head)) continue;
        if (slash == std::string_view::npos) return index;
        const std::size_t found = FindPath(elements[index].firstChild, path.substr(slash + 1));
        if (found != 0) return found;
    }
    return 0;
}

bool CMarkup::FindElement(std::string_view name) {
    std::size_t found;
    if (!name.empty() && name.front() == '/') {
        found = FindPath(elements[0].firstChild, name.substr(1));
    } else {
        const std::size_t first = current != 0 ? elements[current].nextSibling : elements[parent].firstChild;
        found = FindPath(first, name);
    }
    if (found == 0) return false;
    parent = elements[found].parent;
    current = found;
    child = 0;
    nodeType = kNodeElement;
    return true;
}

bool CMarkup::FindChildElement(std::string_view name) {
    if (current == 0 && !FindElement()) return false;
    std::size_t found;
    if (!name.empty() && name.front() == '/') {
        found = FindPath(elements[0].firstChild, name.substr(1));
    } else {
        const std::size_t first = child != 0 ? elements[child].nextSibling : elements[current].firstChild;
        found = FindPath(first, name);
    }
    // A top-level element is nobody's child.
    if (found == 0 || elements[found].parent == 0) return false;
    child = found;
    current = elements[found].parent;
    parent = elements[current].parent;
    return true;
}

bool CMarkup::IntoElement() {
    if (current == 0) return false;
    parent = current;
    current = child;
    child = 0;
    nodeType = current != 0 ? kNodeElement : kNodeNone;
    return true;
}

bool CMarkup::OutOfElement() {
    if (parent == 0) return false;
    child = current;
    current = parent;
    parent = elements[current].parent;
    nodeType = kNodeElement;
    return true;
}

std::string CMarkup::TextOf(std::size_t index) const {
    if (index == 0 || index >= elements.size()) return {};
    const Element& element = elements[index];
    if (element.firstChild != 0 || element.endRight == element.startRight) return {};
    const std::size_t begin = element.startRight + 1;
    const std::size_t end = element.endLeft;

    // Content that opens with a CDATA section is that section's text, raw.
    constexpr std::string_view kCdataOpen = "<![CDATA[";
    constexpr std::string_view kCdataClose = "]]>";
    std::size_t content = begin;
    while (content < end && IsSpace(doc[content])) ++content;
    if (end - content >= kCdataOpen.size() + kCdataClose.size() &&
        doc.compare(content, kCdataOpen.size(), kCdataOpen) == 0) {
        const std::size_t from = content + kCdataOpen.size();
        const std::size_t close = FindText(kCdataClose, from, end);
        if (close != kNone) return doc.substr(from, close - from);
    }

    std::string text;
    text.reserve(end - begin);
    std::string decoded;
    for (std::size_t pos = begin; pos < end;) {
        std::size_t length = 0;
        if (doc[pos] == '&' && DecodeEntity(pos, end, decoded, length)) {
            text += decoded;
            pos += length;
            continue;
        }
        const std::size_t next = std::min(Next(pos), end);
        text.append(doc, pos, next - pos);
        pos = next;
    }
    return text;
}

// The entity at amp (which holds '&'), content ending at end: its text in out and its length in
// length. False for anything that is not a reference this reader knows; the ampersand then
// stays as written.
bool CMarkup::DecodeEntity(std::size_t amp, std::size_t end, std::string& out, std::size_t& length) const {
    const std::string_view rest = std::string_view(doc).substr(amp + 1, end - amp - 1);
    if (!rest.empty() && rest.front() == '#') {
        // "&#65;" or "&#x41;" with the semicolon at most 7 bytes after the ampersand, which
        // also keeps the number small.
        constexpr std::size_t kMaxSemicolon = 7;
        std::size_t at = 1;
        const bool hex = at < rest.size() && rest[at] == 'x';
        if (hex) ++at;
        const std::size_t digits = at;
        std::uint32_t value = 0;
        int digit;
        while (at < rest.size() && at < kMaxSemicolon && (digit = DigitValue(rest[at], hex)) >= 0) {
            value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
            ++at;
        }
        if (at == digits || at >= rest.size() || rest[at] != ';' || at + 1 > kMaxSemicolon) {
            return false;
        }
        if (value == 0) return false;
        std::string utf8;
        AppendUtf8(utf8, static_cast<char32_t>(value));
        if (!codePage->FromUtf8(utf8, out) || out.empty()) return false;
        length = at + 2;
        return true;
    }

    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"lt;", '<'}, {"amp;", '&'}, {"gt;", '>'}, {"apos;", '\''}, {"quot;", '"'},
    };
    for (const auto& [entity, character] : kNamed) {
        if (rest.substr(0, entity.size()) == entity) {
            out.assign(1, character);
            length = entity.size() + 1;
            return true;
        }
    }
    return false;
}
