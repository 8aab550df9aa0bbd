#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/code_page.h"

// A small non-validating XML reader: the button loader reads the manifest of a button file with
// it. Parse indexes the elements of one document in a single pass; a cursor then walks the
// element tree (the parent, the current element and a current child of it) and reads the text
// of elements. Attributes are never read and nothing is written.
//
// The document is 8-bit text in the project's code page; scanning steps over each double-byte
// character as a whole, so a trail byte never counts as markup. Manifests come from button files
// on discs and are treated as hostile: parsing keeps its own stack (any nesting depth is fine)
// and never goes back over text it has scanned.
//
// Names are compared byte for byte, case-sensitively; an empty name or "*" matches any element.
// A name may be a path such as "Caption/Font/Face", and a leading slash starts at the top level.
class CMarkup {
public:
    enum NodeType { kNodeNone = 0, kNodeElement = 1 };

    explicit CMarkup(const CodePage& codePage = CodePage::Default());

    // Replaces the document and indexes its first top-level element (text before it and
    // anything after it are ignored). On false, GetError tells why and every search fails.
    bool Parse(std::string text);
    // A document of more elements than this is refused: the index of each takes memory, and
    // real manifests have a few dozen.
    static constexpr std::size_t kMaxElements = 100000;

    // Searches the siblings after the current element (from the first one when there is no
    // current element) and makes the match current; the child position starts over.
    bool FindElement(std::string_view name = {});
    // Searches the children of the current element after the child position (from the first
    // child when there is none) and makes the match the child position. Without a current
    // element it first makes the first top-level element current. A path that ends deeper down
    // moves the cursor down with it, so the child is always a child of the current element.
    bool FindChildElement(std::string_view name = {});
    // Makes the child position the current element (none when there is no child position) and
    // the current element the parent. False without a current element.
    bool IntoElement();
    // The reverse: the parent becomes current and the current element the child position.
    // False at the top level.
    bool OutOfElement();
    // The next FindChildElement starts at the first child again.
    void ResetChildPosition() { child = 0; }

    // Text of the current element, or of the child position: empty for an element with children
    // or an empty element; the raw content of a leading CDATA section; otherwise the content
    // with character references and the five named entities decoded.
    std::string GetText() const { return TextOf(current); }
    std::string GetChildText() const { return TextOf(child); }

    NodeType GetNodeType() const { return nodeType; }
    // Why the last Parse failed; empty after a successful one.
    const std::string& GetError() const { return error; }

private:
    // Offsets into the document. An empty element ("<a/>") has its end left on the slash and
    // its end right equal to its start right. Links are indexes into the index; 0 is none.
    struct Element {
        std::size_t startLeft = 0;
        std::size_t startRight = 0;
        std::size_t endLeft = 0;
        std::size_t endRight = 0;
        std::size_t nameStart = 0;
        std::size_t nameLength = 0;
        std::size_t parent = 0;
        std::size_t firstChild = 0;
        std::size_t nextSibling = 0;
    };
    struct Token {
        std::size_t start = 0;
        std::size_t end = 0;
        bool quoted = false;
    };

    bool ParseDocument();
    bool CloseElement(std::size_t index, std::size_t from, std::size_t& pos);
    std::size_t AddElement();
    bool Fail(std::string_view message, std::string_view name = {});

    std::size_t Next(std::size_t pos) const;
    std::size_t FindChar(char wanted, std::size_t from) const;
    std::size_t FindText(std::string_view wanted, std::size_t from, std::size_t limit) const;
    bool NextToken(std::size_t pos, Token& token) const;
    std::size_t SkipNode(std::size_t lt) const;

    std::string_view NameOf(std::size_t index) const;
    bool Matches(std::size_t index, std::string_view name) const;
    std::size_t FindPath(std::size_t first, std::string_view path) const;

    std::string TextOf(std::size_t index) const;
    bool DecodeEntity(std::size_t amp, std::size_t end, std::string& out, std::size_t& length) const;

    const CodePage* codePage;
    std::string doc;
    // Element 0 is the virtual root: its first child is the top-level element.
    std::vector<Element> elements;
    std::size_t parent = 0;
    std::size_t current = 0;
    std::size_t child = 0;
    NodeType nodeType = kNodeNone;
    std::string error;
};
