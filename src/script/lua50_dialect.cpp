#include "script/lua50_dialect.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/host_path.h"
#include "script/lua_engine.h"
#include "script/lua_patterns.h"

namespace {

// ---- The generic "for" rewrite -------------------------------------------------------------

constexpr char forInFunction[] = "__vx_forin";

struct Token {
    enum Kind { Name, Other, Open, Close } kind;
    std::size_t start;
    std::size_t end;
};

// Length of a long bracket opening "[[" or "[==[" at pos, 0 when there is none; level receives
// the number of "=" signs.
std::size_t LongBracketAt(std::string_view s, std::size_t pos, std::size_t& level) {
    if (pos >= s.size() || s[pos] != '[') return 0;
    std::size_t p = pos + 1;
    while (p < s.size() && s[p] == '=') ++p;
    if (p >= s.size() || s[p] != '[') return 0;
    level = p - pos - 1;
    return p - pos + 1;
}

// Position just after the long bracket closing of the given level, or the end of the source.
std::size_t SkipLongBracket(std::string_view s, std::size_t pos, std::size_t level) {
    std::string closing = "]" + std::string(level, '=') + "]";
    std::size_t found = s.find(closing, pos);
    return found == std::string_view::npos ? s.size() : found + closing.size();
}

std::vector<Token> Tokenize(std::string_view s) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    auto isNameStart = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; };
    auto isNameChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    while (i < s.size()) {
        char c = s[i];
        std::size_t level = 0;
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            std::size_t open = LongBracketAt(s, i + 2, level);
            if (open) {
                i = SkipLongBracket(s, i + 2 + open, level);
            } else {
                std::size_t eol = s.find_first_of("\r\n", i);
                i = eol == std::string_view::npos ? s.size() : eol;
            }
        } else if (std::size_t open = LongBracketAt(s, i, level)) {
            std::size_t start = i;
            i = SkipLongBracket(s, i + open, level);
            tokens.push_back({Token::Other, start, i});
        } else if (c == '"' || c == '\'') {
            std::size_t start = i++;
            while (i < s.size() && s[i] != c && s[i] != '\n') i += s[i] == '\\' ? 2 : 1;
            i = std::min(i + 1, s.size());
            tokens.push_back({Token::Other, start, i});
        } else if (isNameStart(c)) {
            std::size_t start = i;
            while (i < s.size() && isNameChar(s[i])) ++i;
            tokens.push_back({Token::Name, start, i});
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t start = i;
            while (i < s.size() && (isNameChar(s[i]) || s[i] == '.' ||
                                    ((s[i] == '+' || s[i] == '-') && (s[i - 1] == 'e' || s[i - 1] == 'E')))) {
                ++i;
            }
            tokens.push_back({Token::Other, start, i});
        } else {
            Token::Kind kind = (c == '(' || c == '[' || c == '{')   ? Token::Open
                               : (c == ')' || c == ']' || c == '}') ? Token::Close
                                                                    : Token::Other;
            tokens.push_back({kind, i, i + 1});
            ++i;
        }
    }
    return tokens;
}

}  // namespace

std::string RewriteGenericFor(std::string_view source) {
    // Most event scripts have no loop at all.
    if (source.find("for") == std::string_view::npos) return std::string(source);
    std::vector<Token> tokens = Tokenize(source);
    auto word = [&](std::size_t t) {
        return tokens[t].kind == Token::Name ? source.substr(tokens[t].start, tokens[t].end - tokens[t].start)
                                             : std::string_view();
    };
    auto symbol = [&](std::size_t t) { return source.substr(tokens[t].start, tokens[t].end - tokens[t].start); };
    // Insertions as (position, text), in increasing position.
    std::vector<std::pair<std::size_t, const char*>> inserts;
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        if (word(t) != "for") continue;
        // A name list, then "in".
        std::size_t n = t + 1;
        if (n >= tokens.size() || tokens[n].kind != Token::Name) continue;
        ++n;
        while (n + 1 < tokens.size() && symbol(n) == "," && tokens[n + 1].kind == Token::Name) n += 2;
        if (n >= tokens.size() || word(n) != "in") continue;
        // The expression list ends at the first "do" outside brackets and nested blocks.
        int brackets = 0, blocks = 0;
        std::size_t e = n + 1;
        for (; e < tokens.size(); ++e) {
            std::string_view w = word(e);
            if (tokens[e].kind == Token::Open) ++brackets;
            if (tokens[e].kind == Token::Close) --brackets;
            if (brackets == 0 && blocks == 0 && w == "do") break;
            if (w == "function" || w == "if" || w == "do" || w == "repeat") ++blocks;
            if (w == "end" || w == "until") --blocks;
            if (brackets < 0 || blocks < 0) break;
        }
        if (e >= tokens.size() || word(e) != "do" || e == n + 1) continue;
        inserts.push_back({tokens[n].end, " __vx_forin("});
        inserts.push_back({tokens[e].start, ") "});
    }
    std::sort(inserts.begin(), inserts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out;
    out.reserve(source.size() + inserts.size() * 12);
    std::size_t copied = 0;
    for (const auto& [position, text] : inserts) {
        out.append(source.substr(copied, position - copied));
        out.append(text);
        copied = position;
    }
    out.append(source.substr(copied));
    return out;
}

namespace {

// ---- Nested long strings -------------------------------------------------------------------

// The end of a short string starting at pos (its closing quote included), as Lua 5.0 reads it.
std::size_t SkipShortString(std::string_view s, std::size_t pos) {
    char quote = s[pos];
    std::size_t i = pos + 1;
    while (i < s.size() && s[i] != quote && s[i] != '\n') i += s[i] == '\\' ? 2 : 1;
    return std::min(i + 1, s.size());
}

// The end of the Lua 5.0 long bracket opening "[[" at pos (its closing "]]" included), or npos
// when it never closes; nested tells whether a "[[" opened inside it.
std::size_t SkipNestingLongBracket(std::string_view s, std::size_t pos, bool& nested) {
    int depth = 1;
    nested = false;
    std::size_t i = pos + 2;
    while (i + 1 < s.size()) {
        if (s[i] == '[' && s[i + 1] == '[') {
            ++depth;
            nested = true;
            i += 2;
        } else if (s[i] == ']' && s[i + 1] == ']') {
            i += 2;
            if (--depth == 0) return i;
        } else {
            ++i;
        }
    }
    return std::string_view::npos;
}

// The fewest "=" signs whose closing bracket does not occur in the text.
std::size_t FreeLevel(std::string_view text) {
    for (std::size_t level = 1;; ++level) {
        std::string closing = "]" + std::string(level, '=') + "]";
        if (text.find(closing) == std::string_view::npos) return level;
    }
}

}  // namespace

std::string RewriteNestedLongStrings(std::string_view source) {
    // Few scripts hold a long bracket at all.
    if (source.find("[[") == std::string_view::npos) return std::string(source);
    std::string out;
    out.reserve(source.size());
    std::size_t copied = 0, i = 0;
    while (i < source.size()) {
        char c = source[i];
        std::size_t open = std::string_view::npos;
        if (c == '-' && source.compare(i, 2, "--") == 0) {
            if (source.compare(i + 2, 2, "[[") == 0) {
                open = i + 2;
            } else {
                std::size_t eol = source.find('\n', i);
                i = eol == std::string_view::npos ? source.size() : eol;
                continue;
            }
        } else if (c == '[' && source.compare(i, 2, "[[") == 0) {
            open = i;
        } else if (c == '"' || c == '\'') {
            i = SkipShortString(source, i);
            continue;
        }
        if (open == std::string_view::npos) {
            ++i;
            continue;
        }
        bool nested = false;
        std::size_t end = SkipNestingLongBracket(source, open, nested);
        if (end == std::string_view::npos) break;  // never closed: the compiler says so
        if (nested) {
            std::string_view body = source.substr(open + 2, end - 2 - (open + 2));
            std::string equals(FreeLevel(body), '=');
            out.append(source.substr(copied, open - copied));
            out.append("[" + equals + "[").append(body).append("]" + equals + "]");
            copied = end;
        }
        i = end;
    }
    out.append(source.substr(copied));
    return out;
}

std::string Lua50Source(std::string_view source) {
    return RewriteGenericFor(RewriteNestedLongStrings(source));
}

namespace {

// ---- Loading files ---------------------------------------------------------------------------

// Reads a whole file; false when it cannot be read.
bool ReadFileText(const std::string& hostPath, std::string& text) {
    // Only regular files: a named pipe would block the player until someone writes to it.
    int descriptor = OpenRegularFile(hostPath);
    if (descriptor < 0) return false;
    char buffer[65536];
    ssize_t got = 0;
    while ((got = read(descriptor, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(got));
    close(descriptor);
    return got == 0;
}

// The chunk of a file, or its error message; both pushed. Owns no object across a Lua error.
int LoadFileChunk(lua_State* L, const char* windowsPath) {
    int status = 0;
    {
        std::string text;
        std::string host = ScriptHostPath(windowsPath);
        if (host.empty() || !ReadFileText(host, text)) {
            status = fileNotFoundStatus;
        } else {
            // A first line starting with "#" is skipped, as the language does for files.
            if (!text.empty() && text[0] == '#') text.insert(0, "--");
            std::string source = Lua50Source(text);
            std::string name = std::string("@") + windowsPath;
            status = luaL_loadbuffer(L, source.data(), source.size(), name.c_str());
        }
    }
    if (status == fileNotFoundStatus) lua_pushfstring(L, "cannot read %s", windowsPath);
    return status;
}

// ---- Functions of the dialect ----------------------------------------------------------------

// Calls the library function a wrapper stands for (its upvalue 1) with the arguments on the
// stack, and returns all its results.
int CallWrapped(lua_State* L) {
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

// tonumber(e [, base]) as 5.0 had it: decimal text only in base 10; other bases as they were.
int ToNumber(lua_State* L) {
    int base = static_cast<int>(luaL_optinteger(L, 2, 10));
    if (base == 10) {
        luaL_checkany(L, 1);
        lua_Number value = 0;
        if (Lua50ToNumber(L, 1, value)) {
            lua_pushnumber(L, value);
        } else {
            lua_pushnil(L);
        }
        return 1;
    }
    return CallWrapped(L);
}

// The generic "for" over a table value: next, the table, nil.
int ForIn(lua_State* L) {
    if (lua_type(L, 1) == LUA_TTABLE) {
        lua_settop(L, 1);
        lua_getfield(L, LUA_GLOBALSINDEX, "next");
        lua_insert(L, 1);
        lua_pushnil(L);
        return 3;
    }
    return lua_gettop(L);
}

int LoadFile(lua_State* L) {
    const char* name = luaL_checkstring(L, 1);
    if (LoadFileChunk(L, name) == 0) return 1;
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
}

// loadstring and load compile through the dialect too. Both push the chunk, or nil and the
// message.
int LoadBufferResult(lua_State* L, const char* text, std::size_t length, const char* chunkName) {
    int status = 0;
    {
        std::string source = Lua50Source(std::string_view(text, length));
        status = luaL_loadbuffer(L, source.data(), source.size(), chunkName);
    }
    if (status == 0) return 1;
    lua_pushnil(L);
    lua_insert(L, -2);
    return 2;
}

int LoadString(lua_State* L) {
    std::size_t length = 0;
    const char* text = luaL_checklstring(L, 1, &length);
    const char* chunkName = luaL_optstring(L, 2, text);
    return LoadBufferResult(L, text, length, chunkName);
}

// load(function [, chunkname]): the pieces the function gives, up to nil or an empty string.
int Load(lua_State* L) {
    luaL_checktype(L, 1, LUA_TFUNCTION);
    const char* chunkName = luaL_optstring(L, 2, "=(load)");
    lua_settop(L, 2);
    luaL_Buffer pieces;
    luaL_buffinit(L, &pieces);
    for (;;) {
        lua_pushvalue(L, 1);
        lua_call(L, 0, 1);
        if (lua_isnil(L, -1)) {
            lua_pop(L, 1);
            break;
        }
        if (!lua_isstring(L, -1)) luaL_error(L, "reader function must return a string");
        if (lua_objlen(L, -1) == 0) {
            lua_pop(L, 1);
            break;
        }
        luaL_addvalue(&pieces);
    }
    luaL_pushresult(&pieces);
    std::size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    return LoadBufferResult(L, text, length, chunkName);
}

int DoFile(lua_State* L) {
    const char* name = luaL_checkstring(L, 1);
    int n = lua_gettop(L);
    if (LoadFileChunk(L, name) != 0) lua_error(L);
    lua_call(L, 0, LUA_MULTRET);
    return lua_gettop(L) - n;
}

// The search path: the global LUA_PATH, else the environment variable, else "?;?.lua".
const char* RequirePath(lua_State* L) {
    lua_getfield(L, LUA_GLOBALSINDEX, "LUA_PATH");
    const char* path = lua_tostring(L, -1);
    lua_pop(L, 1);
    if (path) return path;
    path = std::getenv("LUA_PATH");
    return path ? path : "?;?.lua";
}

// require as the projects' Lua had it: templates of LUA_PATH tried in order, results kept in
// _LOADED, the name being loaded in _REQUIREDNAME.
int Require(lua_State* L) {
    lua_settop(L, 1);
    luaL_checkstring(L, 1);
    lua_getfield(L, LUA_GLOBALSINDEX, "_LOADED");
    if (!lua_istable(L, 2)) return luaL_error(L, "`_LOADED' is not a table");
    lua_pushvalue(L, 1);
    lua_rawget(L, 2);
    if (lua_toboolean(L, -1)) return 1;
    // Keep the path on the stack so it lives while it is walked.
    lua_pushstring(L, RequirePath(L));
    const char* path = lua_tostring(L, -1);
    int status = fileNotFoundStatus;
    while (status == fileNotFoundStatus) {
        lua_settop(L, 4);
        if (*path == '\0') break;
        if (*path == ';') ++path;
        const char* end = std::strchr(path, ';');
        if (!end) end = path + std::strlen(path);
        // The template with every "?" replaced by the name.
        luaL_Buffer b;
        luaL_buffinit(L, &b);
        for (const char* p = path; p < end; ++p) {
            if (*p == '?') {
                luaL_addstring(&b, lua_tostring(L, 1));
            } else {
                luaL_addchar(&b, *p);
            }
        }
        luaL_pushresult(&b);
        path = end;
        status = LoadFileChunk(L, lua_tostring(L, -1));
    }
    if (status == 0) {
        lua_getfield(L, LUA_GLOBALSINDEX, "_REQUIREDNAME");
        lua_insert(L, -2);
        lua_pushvalue(L, 1);
        lua_setfield(L, LUA_GLOBALSINDEX, "_REQUIREDNAME");
        lua_call(L, 0, 1);
        lua_insert(L, -2);
        lua_setfield(L, LUA_GLOBALSINDEX, "_REQUIREDNAME");
        if (lua_isnil(L, -1)) {
            lua_pushboolean(L, 1);
            lua_replace(L, -2);
        }
        lua_pushvalue(L, 1);
        lua_pushvalue(L, -2);
        lua_rawset(L, 2);
        return 1;
    }
    if (status == fileNotFoundStatus) {
        return luaL_error(L, "could not load package `%s' from path `%s'", lua_tostring(L, 1), lua_tostring(L, 4));
    }
    return luaL_error(L, "error loading package `%s' (%s)", lua_tostring(L, 1), lua_tostring(L, -1));
}

// table.getn and table.setn with the "n" field and the sizes table of the projects' Lua.
const char sizesKey = 0;

void PushSizes(lua_State* L) {
    lua_pushlightuserdata(L, const_cast<char*>(&sizesKey));
    lua_rawget(L, LUA_REGISTRYINDEX);
}

int NumberOrMinus(lua_State* L) {
    int n = lua_isnumber(L, -1) ? static_cast<int>(lua_tonumber(L, -1)) : -1;
    lua_pop(L, 1);
    return n;
}

int GetN(lua_State* L, int t) {
    lua_pushliteral(L, "n");
    lua_rawget(L, t);
    int n = NumberOrMinus(L);
    if (n >= 0) return n;
    PushSizes(L);
    lua_pushvalue(L, t);
    lua_rawget(L, -2);
    n = NumberOrMinus(L);
    lua_pop(L, 1);
    if (n >= 0) return n;
    for (n = 1;; ++n) {
        lua_rawgeti(L, t, n);
        bool end = lua_isnil(L, -1);
        lua_pop(L, 1);
        if (end) return n - 1;
    }
}

void SetN(lua_State* L, int t, int n) {
    lua_pushliteral(L, "n");
    lua_rawget(L, t);
    if (NumberOrMinus(L) >= 0) {
        lua_pushliteral(L, "n");
        lua_pushnumber(L, n);
        lua_rawset(L, t);
    } else {
        PushSizes(L);
        lua_pushvalue(L, t);
        lua_pushnumber(L, n);
        lua_rawset(L, -3);
        lua_pop(L, 1);
    }
}

int TableGetN(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    lua_pushnumber(L, GetN(L, 1));
    return 1;
}

int TableSetN(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    SetN(L, 1, luaL_checkint(L, 2));
    return 0;
}

int TableInsert(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    int v = lua_gettop(L);
    int n = GetN(L, 1) + 1;
    int pos = n;
    if (v != 2) {
        pos = luaL_checkint(L, 2);
        if (pos > n) n = pos;
        v = 3;
    }
    SetN(L, 1, n);
    while (--n >= pos) {
        lua_rawgeti(L, 1, n);
        lua_rawseti(L, 1, n + 1);
    }
    lua_pushvalue(L, v);
    lua_rawseti(L, 1, pos);
    return 0;
}

int TableRemove(lua_State* L) {
    luaL_checktype(L, 1, LUA_TTABLE);
    int n = GetN(L, 1);
    int pos = luaL_optint(L, 2, n);
    if (n <= 0) return 0;
    SetN(L, 1, n - 1);
    lua_rawgeti(L, 1, pos);
    for (; pos < n; ++pos) {
        lua_rawgeti(L, 1, pos + 1);
        lua_rawseti(L, 1, pos);
    }
    lua_pushnil(L);
    lua_rawseti(L, 1, n);
    return 1;
}

// Calls the wrapped library function (upvalue 1) with the file name arguments given by the
// other upvalues turned into host paths.
int WithHostPaths(lua_State* L) {
    int count = static_cast<int>(lua_tonumber(L, lua_upvalueindex(2)));
    for (int i = 1; i <= count && i <= lua_gettop(L); ++i) {
        if (lua_type(L, i) != LUA_TSTRING) continue;
        bool pushed = false;
        {
            std::string host = ScriptHostPath(lua_tostring(L, i));
            // A path on no mapped drive names no file.
            if (host.empty()) host = "/nonexistent/drive";
            pushed = CLUAEngine::FromState(L)->PushProtected(
                L, [&host](lua_State* S) { lua_pushlstring(S, host.data(), host.size()); });
        }
        if (!pushed) return luaL_error(L, "not enough memory");
        lua_replace(L, i);
    }
    return CallWrapped(L);
}

void WrapWithHostPaths(lua_State* L, const char* table, const char* name, int pathArguments) {
    lua_getfield(L, LUA_GLOBALSINDEX, table);
    lua_getfield(L, -1, name);
    lua_pushnumber(L, pathArguments);
    lua_pushcclosure(L, WithHostPaths, 2);
    lua_setfield(L, -2, name);
    lua_pop(L, 1);
}

}  // namespace

bool Lua50ToNumber(lua_State* L, int index, lua_Number& value) {
    if (lua_type(L, index) == LUA_TSTRING) {
        // Only these letters start hexadecimal, "inf" and "nan" for the language's reader; decimal
        // text never holds them, so ordinary numbers go the usual way.
        std::size_t length = 0;
        const char* text = lua_tolstring(L, index, &length);
        if (std::string_view(text, length).find_first_of("xXnNiI") != std::string_view::npos) return false;
    }
    if (!lua_isnumber(L, index)) return false;
    value = lua_tonumber(L, index);
    return true;
}

int LoadDialectFile(lua_State* L, const char* windowsPath) {
    return LoadFileChunk(L, windowsPath);
}

void InstallLua50Dialect(lua_State* L, lua_CFunction patternWatch) {
    lua_register(L, forInFunction, ForIn);
    lua_register(L, "require", Require);
    lua_register(L, "loadfile", LoadFile);
    lua_register(L, "dofile", DoFile);
    lua_register(L, "loadstring", LoadString);
    lua_getfield(L, LUA_GLOBALSINDEX, "tonumber");
    lua_pushcclosure(L, ToNumber, 1);
    lua_setfield(L, LUA_GLOBALSINDEX, "tonumber");
    lua_register(L, "load", Load);
    // Scripts test the version they run on.
    lua_pushliteral(L, "Lua 5.0.2");
    lua_setfield(L, LUA_GLOBALSINDEX, "_VERSION");
    lua_newtable(L);
    lua_setfield(L, LUA_GLOBALSINDEX, "_LOADED");
    // No dynamic libraries and no debug library for scripts.
    lua_pushnil(L);
    lua_setfield(L, LUA_GLOBALSINDEX, "loadlib");

    // The sizes table keys tables weakly, so it keeps no table alive.
    lua_pushlightuserdata(L, const_cast<char*>(&sizesKey));
    lua_newtable(L);
    lua_newtable(L);
    lua_pushliteral(L, "k");
    lua_setfield(L, -2, "__mode");
    lua_setmetatable(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);

    lua_getfield(L, LUA_GLOBALSINDEX, "table");
    lua_pushcfunction(L, TableGetN);
    lua_setfield(L, -2, "getn");
    lua_pushcfunction(L, TableSetN);
    lua_setfield(L, -2, "setn");
    lua_pushcfunction(L, TableInsert);
    lua_setfield(L, -2, "insert");
    lua_pushcfunction(L, TableRemove);
    lua_setfield(L, -2, "remove");
    lua_pop(L, 1);

    InstallPatternFunctions(L, patternWatch);

    lua_getfield(L, LUA_GLOBALSINDEX, "math");
    lua_getfield(L, -1, "fmod");
    lua_setfield(L, -2, "mod");
    lua_pop(L, 1);

    WrapWithHostPaths(L, "io", "open", 1);
    WrapWithHostPaths(L, "io", "lines", 1);
    WrapWithHostPaths(L, "os", "remove", 1);
    WrapWithHostPaths(L, "os", "rename", 2);
}
