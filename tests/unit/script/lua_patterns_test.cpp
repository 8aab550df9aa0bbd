#include "script/lua_patterns.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// Two states: the language's own string functions, and ours installed over them. Every
// expression must give the same results, or the same error, in both.
class PatternStates {
public:
    PatternStates() {
        luaL_openlibs(reference);
        luaL_openlibs(ours);
        InstallPatternFunctions(ours, nullptr);
    }
    ~PatternStates() {
        lua_close(reference);
        lua_close(ours);
    }

    // The results of "return <expression>" as text, or the error.
    static std::string Evaluate(lua_State* L, const std::string& expression) {
        lua_settop(L, 0);
        std::string chunk = "local r = {pcall(function() return " + expression +
                            " end)}\n"
                            "for i = 1, table.getn(r) do r[i] = type(r[i]) .. ':' .. tostring(r[i]) end\n"
                            "return table.concat(r, '|')";
        if (luaL_loadstring(L, chunk.c_str()) != 0 || lua_pcall(L, 0, 1, 0) != 0)
            return std::string("harness: ") + lua_tostring(L, -1);
        return lua_tostring(L, -1);
    }

    void ExpectSame(const std::string& expression) {
        EXPECT_EQ(Evaluate(ours, expression), Evaluate(reference, expression)) << expression;
    }

    lua_State* reference = luaL_newstate();
    lua_State* ours = luaL_newstate();
};

// Lua string literal for any bytes.
std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (unsigned char c : text) quoted += "\\" + std::to_string(c);
    return quoted + "\"";
}

TEST(PatternFunctions, MeanWhatTheLanguagesOwnMean) {
    PatternStates states;
    const char* const expressions[] = {
        // find: plain, special characters, anchors, positions, captures
        "string.find('hello world', 'o w')",
        "string.find('hello', 'l+')",
        "string.find('hello', 'l', -2)",
        "string.find('hello', 'l', 10)",
        "string.find('hello', '', 10)",
        "string.find('hello', '', -100)",
        "string.find('a.b', '.', 1, true)",
        "string.find('a+b', '+', 1, 1)",
        "string.find('hello', '^h(.)(l*)')",
        "string.find('hello', '^e')",
        "string.find('hello', 'o$')",
        "string.find('he$lo', '$l')",
        "string.find('ab', '()b()')",
        "string.find('x = 12.5e3', '(%d+)%.(%d+)')",
        "string.find('a\\0b', '%z')",
        "string.find('a\\0b', 'a\\0c')",
        "string.find('THE (quick) fox', '%((%a+)%)')",
        "string.find('f(a(b)c)d', '%b()')",
        "string.find('f(a(b c', '%b()')",
        "string.find('THE quick', '%f[%a]%a+', 4)",
        "string.find('abc', '%f[%z]')",
        "string.find('abc', '[]')",
        "string.find('a]b', '[]]')",
        "string.find('a-b', '[a%-]+')",
        "string.find('x^y', '[%^x]+')",
        "string.find('hello', '[^aeiou]+', 2)",
        "string.find('Az09_!', '[%w_]+')",
        "string.find('key = value', '(%w+)%s*=%s*(%w+)')",
        "string.find('abcabc', '(abc)%1')",
        "string.find('ab', '(a)(b)%2')",
        "string.find(12345, 34)",
        // match: whole match, captures, lazy and greedy
        "string.match('<a><b>', '<(.-)>')",
        "string.match('<a><b>', '<(.*)>')",
        "string.match('aaa', 'a-b')",
        "string.match('  trim  ', '^%s*(.-)%s*$')",
        "string.match('2026-12-11', '(%d+)-(%d+)-(%d+)')",
        "string.match('abc', '()')",
        "string.match('abc', 'b?c')",
        "string.match('PUNCT!?', '%p+')",
        "string.match('\\t\\n x', '%S')",
        "string.match('\\1\\2x', '%c+')",
        "string.match('AbC', '%u%l%U')",
        "string.match('dEaD', '%x+')",
        // gmatch and gfind
        "(function() local t = {} for k, v in string.gmatch('a=1, b=2', '(%w+)=(%w+)') do "
        "table.insert(t, k .. v) end return table.concat(t, ',') end)()",
        "(function() local t = {} for w in string.gmatch('one two', '%a*') do table.insert(t, '[' .. w .. ']') end "
        "return table.concat(t) end)()",
        "(function() local t = {} for w in string.gfind('^a^a', '^a') do table.insert(t, w) end "
        "return table.getn(t) end)()",
        // gsub: strings, digits, %0, functions, tables, limits, anchors, empty matches
        "string.gsub('hello world', '(%w+)', '<%1>')",
        "string.gsub('hello', '', '-')",
        "string.gsub('hello world', 'o', '0', 1)",
        "string.gsub('abc', '%w', '%0%0')",
        "string.gsub('abc', '%w', '%%')",
        "string.gsub('abc', '^a', 'x')",
        "string.gsub('abc', '^', 'x')",
        "string.gsub('abc', '(b)', '%2')",
        "string.gsub('$name is $age', '%$(%w+)', {name = 'Ann', age = 7})",
        "string.gsub('$name $x', '%$(%w+)', {name = false})",
        "string.gsub('abc', '%w', function(c) return c:upper() .. '.' end)",
        "string.gsub('abc', '(a)(b)', function(a, b) return b .. a end)",
        "string.gsub('abc', '()', function(p) return p end)",
        "string.gsub('abc', 'b', function() return {} end)",
        "string.gsub('abc', 'b', 5)",
        "string.gsub('abc', 'b')",
        "string.gsub('abc', 'x*', '-')",
        "string.gsub('abc', '.', 'x', -1)",
        // errors
        "string.find('a', '%')",
        "string.find('a', '[a')",
        "string.find('a', '[a%')",
        "string.find('a', '(a')",
        "string.find('a', 'a)')",
        "string.find('a', '%1')",
        "string.find('a', '(a%1)')",
        "string.find('a', '%b')",
        "string.find('a', '%bx')",
        "string.find('a', '%fa')",
        "string.match('a', string.rep('()', 33))",
        "string.gsub('alo', '(%a)', '%2')",
        "string.gsub('alo', '.', {a = {}})",
        "string.find()",
        "string.find('a')",
        "string.gsub('a', 'a', true)",
        "string.gmatch('a')",
        "string.find({}, 'a')",
    };
    for (const char* expression : expressions) states.ExpectSame(expression);
}

TEST(PatternFunctions, AgreeWithTheLanguagesOwnOnRandomPatterns) {
    // Short patterns with few quantifiers, so that the language's own matcher finishes.
    PatternStates states;
    std::mt19937 random(20261211);
    const std::string pieces[] = {"a", "b", ".",    "%a",    "%d",    "[ab]", "[^a]", "(", ")", "()", "%1",
                                  "^", "$", "%b()", "%f[a]", "[a-c]", "%%",   "-",    "*", "+", "?",  "%s"};
    const std::string letters = "ab(1) ";
    for (int i = 0; i < 4000; ++i) {
        std::string pattern, subject;
        for (int n = random() % 6; n >= 0; --n) pattern += pieces[random() % std::size(pieces)];
        for (int n = random() % 10; n > 0; --n) subject += letters[random() % letters.size()];
        std::string p = Quoted(pattern), s = Quoted(subject);
        states.ExpectSame("string.find(" + s + ", " + p + ")");
        states.ExpectSame("string.gsub(" + s + ", " + p + ", '<%0>')");
        states.ExpectSame("(function() local t = {} for a, b in string.gmatch(" + s + ", " + p +
                          ") do table.insert(t, tostring(a) .. tostring(b)) end return table.concat(t, ',') end)()");
        if (HasFailure()) break;
    }
}

TEST(PatternFunctions, ALongMatchRunsTheWatchWhichCanEndIt) {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    static int calls;
    calls = 0;
    InstallPatternFunctions(L, [](lua_State* S) {
        if (++calls == 3) luaL_error(S, "stopped");
        return 0;
    });
    // Backtracking that would take years: ended by the watch on its third call.
    ASSERT_EQ(luaL_dostring(L, "return string.find(string.rep('a', 40), 'a*a*a*a*a*a*a*a*a*a*a*b')"), 1);
    EXPECT_TRUE(std::string(lua_tostring(L, -1)).ends_with("stopped")) << lua_tostring(L, -1);
    EXPECT_EQ(calls, 3);
    // A short match never needs it, and a plain search takes time linear in the lengths (a
    // naive one compares 10^11 characters here).
    calls = 0;
    ASSERT_EQ(luaL_dostring(L, "return (string.gsub(string.rep('ab', 1000), 'b', 'c'))"), 0);
    ASSERT_EQ(luaL_dostring(L, "return string.find(string.rep('a', 1000000), string.rep('a', 500000) .. 'b', 1, true)"),
              0);
    EXPECT_TRUE(lua_isnil(L, -1));
    EXPECT_EQ(calls, 0);
    lua_close(L);
}

}  // namespace
