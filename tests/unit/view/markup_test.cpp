#include "view/buttons/markup.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace {

using namespace std::string_literals;

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string repeated;
    repeated.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) repeated += piece;
    return repeated;
}

// The text of the top-level element, or nothing when the document does not parse.
std::optional<std::string> RootText(const std::string& document, const CodePage& codePage = CodePage::Default()) {
    CMarkup markup(codePage);
    if (!markup.Parse(document) || !markup.FindElement()) return std::nullopt;
    return markup.GetText();
}

std::unique_ptr<CodePage> OpenCp932() {
    std::string error;
    auto page = CodePage::Open("cp932", &error);
    EXPECT_TRUE(page) << error;
    return page;
}

TEST(MarkupParse, EachFaultHasItsMessageAndLeavesNothingToFind) {
    struct Case {
        std::string document;
        const char* error;
    };
    const Case cases[] = {
        {"", "Element tag not found"},
        {"plain text, no markup", "Element tag not found"},
        {"<!-- only a comment -->", "Element tag not found"},
        {"</a>", "Element tag not found"},
        {"<a><", "Abrupt end within tag"},
        {"<  \r\n\t", "Abrupt end within tag"},
        {"<a><'b'></a>", "Tag starts with quote"},
        {"<\"a\"/>", "Tag starts with quote"},
        {"<a><!-- never closed </a>", "Invalid node"},
        // Every element is indexed; a document of millions of them is refused, not indexed.
        {"<a>" +
             [] {
                 std::string many;
                 for (std::size_t i = 0; i < CMarkup::kMaxElements; ++i) many += "<b/>";
                 return many;
             }() +
             "</a>",
         "Too many elements"},
        {"<?xml version=\"1.0\"", "Invalid node"},
        {"<?>", "Invalid node"},
        {"<a><![CDATA[x</a>", "Invalid node"},
        {"< !-- spaced -->", "Invalid node"},
        {"<!DOCTYPE a [ <!ENTITY e 'x'> <a/>", "Invalid node"},
        {"<a><b x='1'", "End of tag not found"},
        {"<a>", "End tag of a element not found"},
        {"<a><b/>text after the child", "End tag of a element not found"},
        {"<a><!-- c -->", "End tag of a element not found"},
        {"<a></b>", "End tag does not correspond to a"},
        {"<a><b></a></b>", "End tag does not correspond to b"},
        {"<a></>", "End tag does not correspond to a"},
        {"<a></", "End tag does not correspond to a"},
        {"<A></a>", "End tag does not correspond to A"},
        {"<a></a", "End tag not completed for element a"},
        {"<a></a \">\"", "End tag not completed for element a"},
    };
    for (const Case& c : cases) {
        CMarkup markup;
        EXPECT_FALSE(markup.Parse(c.document)) << c.document;
        EXPECT_EQ(markup.GetError(), c.error) << c.document;
        EXPECT_FALSE(markup.FindElement()) << c.document;
        EXPECT_FALSE(markup.FindChildElement()) << c.document;
        EXPECT_FALSE(markup.IntoElement()) << c.document;
        EXPECT_EQ(markup.GetText(), "") << c.document;
    }
}

TEST(MarkupParse, AcceptedDocuments) {
    struct Case {
        std::string document;
        const char* rootText;
    };
    const Case cases[] = {
        {"<a/>", ""},
        {"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<a />", ""},
        {"<a x=\"1\"/>", ""},
        {"text before <a>x</a>", "x"},
        {"< a\t>x</ a junk='>' >", "x"},
        {"<a href='a/b'>x</a>", "x"},
        {"<!DOCTYPE a [ <!ENTITY e \"]>\"> <!ENTITY f '['> ]><a>x</a>", "x"},
        {"<!DOCTYPE a SYSTEM \"a[1.dtd\"><a>x</a>", "x"},
        {"<!-- a comment with <b> --><!---><a>x</a>", "x"},
        {"<a>x</a><b>only the first top-level element counts", "x"},
        // Comments, instructions and CDATA are not elements: they stay in the text.
        {"<a><!-- <b/> --><?pi <c/>?></a>", "<!-- <b/> --><?pi <c/>?>"},
        {"<a>x<b/>y</a>", ""},
    };
    for (const Case& c : cases) {
        CMarkup markup;
        ASSERT_TRUE(markup.Parse(c.document)) << c.document << ": " << markup.GetError();
        EXPECT_EQ(markup.GetError(), "");
        ASSERT_TRUE(markup.FindElement()) << c.document;
        EXPECT_EQ(markup.GetText(), c.rootText) << c.document;
        EXPECT_FALSE(markup.FindElement()) << c.document << ": a second top-level element";
    }
}

TEST(MarkupParse, ParsingAgainReplacesTheDocument) {
    CMarkup markup;
    ASSERT_FALSE(markup.Parse("<a>"));
    ASSERT_TRUE(markup.Parse("<b><c>1</c></b>"));
    EXPECT_EQ(markup.GetError(), "");
    ASSERT_TRUE(markup.FindElement("b"));
    ASSERT_TRUE(markup.FindChildElement("c"));

    // The cursor of the old document is gone, and so are its elements after a failure.
    ASSERT_TRUE(markup.Parse("<d>2</d>"));
    EXPECT_EQ(markup.GetText(), "");
    EXPECT_EQ(markup.GetChildText(), "");
    EXPECT_FALSE(markup.FindElement("b"));
    ASSERT_TRUE(markup.FindElement("d"));
    EXPECT_EQ(markup.GetText(), "2");
    ASSERT_FALSE(markup.Parse("<b><c>1</c>"));
    EXPECT_EQ(markup.GetText(), "");
    EXPECT_FALSE(markup.FindElement("b"));
}

TEST(MarkupText, EntitiesCdataAndWhitespace) {
    struct Case {
        std::string content;
        std::string text;
    };
    const Case cases[] = {
        {"1 &lt; 2 &#65;&#x42;", "1 < 2 AB"},
        {"&lt;&amp;&gt;&apos;&quot;", "<&>'\""},
        {"&amp;lt;", "&lt;"},
        {"&foo; &LT; &lt &amp", "&foo; &LT; &lt &amp"},
        {"a & b &", "a & b &"},
        {"&#x4a;&#x4A;&#074;", "JJJ"},
        {"&#x20AC;&#233;", "\x80\xE9"},
        // Not references: no digits, capital X, no semicolon, a gap, too long to end by the
        // seventh byte.
        {"&#; &#x; &#X41; &#65 &#6 5;", "&#; &#x; &#X41; &#65 &#6 5;"},
        {"&#00065;&#000065;", "A&#000065;"},
        {"&#99999999999999999999;&#xFFFFFFFFFFFF;", "&#99999999999999999999;&#xFFFFFFFFFFFF;"},
        // Characters the code page lacks, NUL and surrogates stay as written.
        {"&#0;&#x4E2D;&#xD800;&#99999;", "&#0;&#x4E2D;&#xD800;&#99999;"},
        {" \r\n x \t", " \r\n x \t"},
        {"<![CDATA[<b>]]>", "<b>"},
        {"<![CDATA[&lt; ]]> after the section", "&lt; "},
        {" \r\n<![CDATA[a]]>", "a"},
        {"<![CDATA[]]>", ""},
        {"x<![CDATA[&amp;]]>", "x<![CDATA[&]]>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RootText("<a>" + c.content + "</a>"), c.text) << c.content;
    }
}

TEST(MarkupText, DoubleByteCharactersAreSteppedOverWhole) {
    const auto cp932 = OpenCp932();
    ASSERT_TRUE(cp932);
    // 0x95 0x5C is one character in cp932; its trail byte is a backslash, which ends a name.
    const std::string name = "\x95\x5C";
    CMarkup wide(*cp932);
    ASSERT_TRUE(wide.Parse("<" + name + ">x</" + name + ">")) << wide.GetError();
    EXPECT_TRUE(wide.FindElement(name));
    CMarkup narrow;
    ASSERT_TRUE(narrow.Parse("<" + name + ">x</" + name + ">")) << narrow.GetError();
    EXPECT_FALSE(narrow.FindElement(name));
    EXPECT_TRUE(narrow.FindElement("\x95"));

    // A trail byte that looks like a bracket opens nothing in a declaration.
    const std::string declared = "<!DOCTYPE a \x81[><a>x</a>";
    EXPECT_EQ(RootText(declared, *cp932), "x");
    EXPECT_EQ(RootText(declared), std::nullopt);

    EXPECT_EQ(RootText("<a>&#x8868;&#x4E2D;</a>", *cp932), "\x95\x5C\x92\x86");
}

// a > b > x, and the manifest shape the button loader walks.
TEST(MarkupNavigation, FindIntoAndOutOf) {
    CMarkup markup;
    ASSERT_TRUE(markup.Parse("<a><b>x</b></a>"));
    ASSERT_TRUE(markup.FindElement("a"));
    ASSERT_TRUE(markup.FindChildElement("b"));
    EXPECT_EQ(markup.GetChildText(), "x");

    ASSERT_TRUE(
        markup.Parse("<KX_Button>\r\n"
                     "  <Type>1</Type>\r\n"
                     "  <Up>\r\n"
                     "    <Normal><Image>up.png</Image></Normal>\r\n"
                     "    <Highlight><Image>hi.png</Image><DeltaX>-2</DeltaX></Highlight>\r\n"
                     "  </Up>\r\n"
                     "  <Down/>\r\n"
                     "</KX_Button>\r\n"));
    EXPECT_EQ(markup.GetNodeType(), CMarkup::kNodeNone);
    EXPECT_FALSE(markup.IntoElement());
    EXPECT_FALSE(markup.OutOfElement());

    ASSERT_TRUE(markup.FindElement("KX_Button"));
    EXPECT_EQ(markup.GetNodeType(), CMarkup::kNodeElement);
    EXPECT_FALSE(markup.OutOfElement());
    ASSERT_TRUE(markup.FindChildElement("Up"));
    ASSERT_TRUE(markup.IntoElement());
    ASSERT_TRUE(markup.FindChildElement("Highlight"));
    ASSERT_TRUE(markup.IntoElement());
    ASSERT_TRUE(markup.FindChildElement("DeltaX"));
    EXPECT_EQ(markup.GetChildText(), "-2");
    // Image comes before DeltaX: found only from the first child again.
    EXPECT_FALSE(markup.FindChildElement("Image"));
    EXPECT_EQ(markup.GetChildText(), "-2");
    markup.ResetChildPosition();
    ASSERT_TRUE(markup.FindChildElement("Image"));
    EXPECT_EQ(markup.GetChildText(), "hi.png");

    // Out again: Highlight is the child position, so the search goes on after it.
    ASSERT_TRUE(markup.OutOfElement());
    EXPECT_FALSE(markup.FindChildElement("Normal"));
    markup.ResetChildPosition();
    ASSERT_TRUE(markup.FindChildElement("Normal"));
    ASSERT_TRUE(markup.IntoElement());
    EXPECT_EQ(markup.GetText(), "");  // Normal has a child
    ASSERT_TRUE(markup.FindChildElement());
    EXPECT_EQ(markup.GetChildText(), "up.png");
    ASSERT_TRUE(markup.OutOfElement());
    ASSERT_TRUE(markup.OutOfElement());
    EXPECT_FALSE(markup.OutOfElement());

    // Into an element without a child position: no current element, and FindElement then
    // searches the children from the first.
    markup.ResetChildPosition();
    ASSERT_TRUE(markup.IntoElement());
    EXPECT_EQ(markup.GetNodeType(), CMarkup::kNodeNone);
    EXPECT_FALSE(markup.IntoElement());
    ASSERT_TRUE(markup.FindElement("Down"));
    EXPECT_EQ(markup.GetText(), "");
    // Type is before Down: a failed search leaves the cursor where it was.
    EXPECT_FALSE(markup.FindElement("Type"));
    EXPECT_EQ(markup.GetNodeType(), CMarkup::kNodeElement);
    // Out of it, Down is the child position: nothing comes after it.
    ASSERT_TRUE(markup.OutOfElement());
    EXPECT_FALSE(markup.FindChildElement());
    ASSERT_TRUE(markup.IntoElement());
    EXPECT_FALSE(markup.FindElement());
    EXPECT_EQ(markup.GetText(), "");
}

TEST(MarkupNavigation, ChildSearchWithoutCurrentElementStartsAtTheTop) {
    CMarkup markup;
    ASSERT_TRUE(markup.Parse("<a><b>x</b></a>"));
    ASSERT_TRUE(markup.FindChildElement("b"));
    EXPECT_EQ(markup.GetChildText(), "x");
    EXPECT_EQ(markup.GetText(), "");
    EXPECT_FALSE(markup.FindElement());  // a is current and has no sibling
}

TEST(MarkupNavigation, RepeatedChildIsFoundInOrder) {
    CMarkup markup;
    ASSERT_TRUE(markup.Parse("<a><b>1</b><c>2</c><b>3</b></a>"));
    ASSERT_TRUE(markup.FindElement("a"));
    ASSERT_TRUE(markup.FindChildElement("b"));
    EXPECT_EQ(markup.GetChildText(), "1");
    ASSERT_TRUE(markup.FindChildElement("b"));
    EXPECT_EQ(markup.GetChildText(), "3");
    EXPECT_FALSE(markup.FindChildElement("b"));
    EXPECT_EQ(markup.GetChildText(), "3");
    markup.ResetChildPosition();
    ASSERT_TRUE(markup.FindChildElement("b"));
    EXPECT_EQ(markup.GetChildText(), "1");
    ASSERT_TRUE(markup.FindChildElement("*"));
    EXPECT_EQ(markup.GetChildText(), "2");
}

TEST(MarkupNavigation, NamesMatchExactly) {
    struct Case {
        const char* name;
        bool found;
    };
    const Case cases[] = {
        {"KX_Button", true},   {"", true},           {"*", true},
        {"kx_button", false},  {"KX_BUTTON", false}, {"KX_Butto", false},
        {"KX_Button2", false}, {"**", false},        {"Up", false},
    };
    for (const Case& c : cases) {
        CMarkup markup;
        ASSERT_TRUE(markup.Parse("<KX_Button><Up/></KX_Button>"));
        EXPECT_EQ(markup.FindElement(c.name), c.found) << c.name;
    }
}

TEST(MarkupNavigation, Paths) {
    const std::string document = "<r><a><b>1</b></a><a><c>2</c><b>3</b></a></r>";
    struct Case {
        const char* path;
        bool child;  // FindChildElement, else FindElement
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {"/r/a/b", false, "1"},          {"r/a/c", false, "2"},  // the first a has no c: the second one is tried
        {"/r/*/c", false, "2"},          {"r//b", false, "1"},
        {"/r/a/d", false, std::nullopt}, {"/a", false, std::nullopt},
        {"/R/a/b", false, std::nullopt}, {"a/c", true, "2"},
        {"/r/a/b", true, "1"},           {"/r", true, std::nullopt},  // a top-level element is no child
        {"b", true, std::nullopt},
    };
    for (const Case& c : cases) {
        CMarkup markup;
        ASSERT_TRUE(markup.Parse(document));
        const bool found = c.child ? markup.FindChildElement(c.path) : markup.FindElement(c.path);
        EXPECT_EQ(found, c.text.has_value()) << c.path;
        if (found) {
            EXPECT_EQ(c.child ? markup.GetChildText() : markup.GetText(), *c.text) << c.path;
        }
    }

    // A child found down a path moves the cursor down with it: c's siblings come next.
    CMarkup markup;
    ASSERT_TRUE(markup.Parse(document));
    ASSERT_TRUE(markup.FindElement("r"));
    ASSERT_TRUE(markup.FindChildElement("a/c"));
    ASSERT_TRUE(markup.FindChildElement("b"));
    EXPECT_EQ(markup.GetChildText(), "3");
    ASSERT_TRUE(markup.OutOfElement());
    EXPECT_FALSE(markup.FindChildElement("a"));
}

TEST(MarkupHostile, DeepNestingUsesNoCallStack) {
    // As deep as a document may go: a recursive parser would need megabytes of stack.
    constexpr std::size_t kDepth = CMarkup::kMaxElements;
    CMarkup markup;
    ASSERT_TRUE(markup.Parse(Repeat("<a>", kDepth) + "x" + Repeat("</a>", kDepth))) << markup.GetError();
    ASSERT_TRUE(markup.FindElement("a"));
    for (std::size_t level = 1; level < kDepth; ++level) {
        ASSERT_TRUE(markup.FindChildElement("a")) << level;
        ASSERT_TRUE(markup.IntoElement()) << level;
    }
    EXPECT_FALSE(markup.FindChildElement());
    EXPECT_EQ(markup.GetText(), "x");

    EXPECT_FALSE(markup.Parse(Repeat("<a>", kDepth)));
    EXPECT_EQ(markup.GetError(), "End tag of a element not found");
    EXPECT_FALSE(markup.Parse(Repeat("<a>", kDepth - 1) + "<b></a>" + Repeat("</a>", kDepth - 1)));
    EXPECT_EQ(markup.GetError(), "End tag does not correspond to b");
}

TEST(MarkupHostile, ManySiblingsAreFoundOneAfterAnother) {
    constexpr std::size_t kCount = CMarkup::kMaxElements - 2;
    CMarkup markup;
    ASSERT_TRUE(markup.Parse("<r>" + Repeat("<b>&lt;</b>", kCount) + "<last>end</last></r>"));
    ASSERT_TRUE(markup.FindElement("r"));
    std::size_t found = 0;
    while (found <= kCount && markup.FindChildElement("b")) ++found;
    EXPECT_EQ(found, kCount);
    markup.ResetChildPosition();
    ASSERT_TRUE(markup.FindChildElement("last"));
    EXPECT_EQ(markup.GetChildText(), "end");
}

TEST(MarkupHostile, GarbageFailsCleanly) {
    const std::string cases[] = {
        "\0\0\0"s,
        "<<<<<<<<",
        ">>>>>>>>",
        "\xFF\xFE<\0a\0>\0"s,
        Repeat("<!--", 100000),
        Repeat("<a \"", 100000),
        "<a>" + Repeat("</", 100000),
    };
    for (const std::string& document : cases) {
        CMarkup markup;
        EXPECT_FALSE(markup.Parse(document)) << document.substr(0, 40);
        EXPECT_NE(markup.GetError(), "") << document.substr(0, 40);
        EXPECT_FALSE(markup.FindElement());
    }
}

}  // namespace
