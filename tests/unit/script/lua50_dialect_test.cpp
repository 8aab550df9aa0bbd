#include "script/lua50_dialect.h"

#include <gtest/gtest.h>

namespace {

TEST(Lua50Dialect, GenericForRewrite) {
    struct Case {
        const char* source;
        const char* expected;
    };
    const Case cases[] = {
        {"for k, v in t do end", "for k, v in __vx_forin( t ) do end"},
        {"for k in pairs(t) do end", "for k in __vx_forin( pairs(t) ) do end"},
        {"for i = 1, 3 do end", "for i = 1, 3 do end"},
        {"for k in f(function() for x in y do end end) do end",
         "for k in __vx_forin( f(function() for x in __vx_forin( y ) do end end) ) do end"},
        {"for k in f(function() while a do end if b then end end) do end",
         "for k in __vx_forin( f(function() while a do end if b then end end) ) do end"},
        {"s = 'for k in t do' -- for k in t do", "s = 'for k in t do' -- for k in t do"},
        {"s = [[for k in t do]] --[[ for a in b do ]]", "s = [[for k in t do]] --[[ for a in b do ]]"},
        {"s = [==[ ]] for k in t do ]==]", "s = [==[ ]] for k in t do ]==]"},
        {"s = \"\\\"for k in t do\"", "s = \"\\\"for k in t do\""},
        {"for k,v in t\r\ndo\r\nend", "for k,v in __vx_forin( t\r\n) do\r\nend"},
        {"before = 1 for x in {1, 2} do end", "before = 1 for x in __vx_forin( {1, 2} ) do end"},
        {"for k in t", "for k in t"},  // a syntax error stays as written
        {"format = 1; fork = 2", "format = 1; fork = 2"},
    };
    for (const Case& c : cases) EXPECT_EQ(RewriteGenericFor(c.source), c.expected) << c.source;
}

TEST(Lua50Dialect, NestedLongStringsRewrite) {
    struct Case {
        const char* source;
        const char* expected;
    };
    const Case cases[] = {
        {"s = [[a [[b]] c]]", "s = [=[a [[b]] c]=]"},
        {"s = [[plain]] t = [[x]]", "s = [[plain]] t = [[x]]"},  // no nesting: as written
        {"s = [[a [[b]] ]=] ]]", "s = [==[a [[b]] ]=] ]==]"},    // a level that does not occur inside
        {"--[[ a [[ b ]] c ]] x = 1", "--[=[ a [[ b ]] c ]=] x = 1"},
        {"-- [[ a [[ line comment\nx = 1", "-- [[ a [[ line comment\nx = 1"},
        {"s = '[[' .. \"[[ ]]\"", "s = '[[' .. \"[[ ]]\""},
        {"s = [[a [[b]]", "s = [[a [[b]]"},  // never closed: the compiler says so
        {"s = [[\n[[\n]]\n]] f()", "s = [=[\n[[\n]]\n]=] f()"},
        {"a = [[x]] b = [[y [[z]] ]]", "a = [[x]] b = [=[y [[z]] ]=]"},
    };
    for (const Case& c : cases) EXPECT_EQ(RewriteNestedLongStrings(c.source), c.expected) << c.source;
}

TEST(Lua50Dialect, RewriteKeepsEveryLine) {
    std::string source = "for k, v in\r\n t\r\n do\r\n  x = [[a\r\nb]]\r\nend\r\n";
    std::string rewritten = Lua50Source(source + "y = [[a\r\n[[b]]\r\n]]\r\n");
    source += "y = [[a\r\n[[b]]\r\n]]\r\n";
    EXPECT_EQ(std::count(rewritten.begin(), rewritten.end(), '\n'), std::count(source.begin(), source.end(), '\n'));
}

}  // namespace
