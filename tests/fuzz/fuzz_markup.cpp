// Feeds arbitrary bytes to the XML reader as if a button file had carried them as its manifest,
// once in the default code page and once in a double-byte one. Every element is then visited
// depth first through the cursor, reading each text on the way, and the last bytes of the input
// are tried as a search path. Nothing may crash, and a parse must either fail with a message or
// give a top-level element.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/code_page.h"
#include "view/buttons/markup.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void Walk(CMarkup& markup) {
    (void)markup.GetText();
    // Down into each child in turn; out again when an element has no further child, which
    // leaves that element as the child position, so the next search goes on after it.
    for (;;) {
        if (markup.FindChildElement()) {
            (void)markup.GetChildText();
            Check(markup.IntoElement());
            Check(markup.GetNodeType() == CMarkup::kNodeElement);
            (void)markup.GetText();
            continue;
        }
        if (!markup.OutOfElement()) break;
    }
    Check(!markup.FindElement());  // only one top-level element is read
}

void Exercise(const CodePage& codePage, const std::string& input) {
    CMarkup markup(codePage);
    if (!markup.Parse(input)) {
        Check(!markup.GetError().empty());
        Check(!markup.FindElement() && !markup.FindChildElement());
        Check(markup.GetText().empty());
        return;
    }
    Check(markup.GetError().empty());
    Check(markup.FindElement());
    Walk(markup);

    const std::string path = input.substr(input.size() - std::min<std::size_t>(input.size(), 12));
    CMarkup searched(codePage);
    Check(searched.Parse(input));
    if (searched.FindElement(path)) (void)searched.GetText();
    if (searched.FindChildElement(path)) (void)searched.GetChildText();
    searched.ResetChildPosition();
    if (searched.IntoElement() && searched.FindElement(path)) (void)searched.GetText();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::unique_ptr<CodePage> cp932 = CodePage::Open("cp932", nullptr);
    const std::string input(reinterpret_cast<const char*>(data), size);
    Exercise(CodePage::Default(), input);
    if (cp932) Exercise(*cp932, input);
    return 0;
}
