#include "script/lua_patterns.h"

#include <string.h>

#include <cctype>
#include <cstddef>
#include <cstring>

// The matcher follows the language's own closely, so that every pattern keeps its meaning. It is
// written in the plain style of C on purpose: errors leave it through lua_error, a long jump, so
// no frame of it may hold anything that needs destroying.

namespace {

constexpr char escape = '%';
constexpr char specials[] = "^$*+?.([%-";
constexpr int maxCaptures = 32;
constexpr std::ptrdiff_t captureUnfinished = -1;
constexpr std::ptrdiff_t capturePosition = -2;
// Each level costs a few frames of C stack; far more than real patterns need, far less than
// the stack holds.
constexpr int maxMatchDepth = 500;

struct MatchState {
    const char* sourceStart;
    const char* sourceEnd;
    lua_State* L;
    lua_CFunction watch;
    unsigned long work;  // since the watch last ran
    int depth;           // levels of recursion left
    int level;           // captures open or closed
    struct {
        const char* init;
        std::ptrdiff_t len;
    } capture[maxCaptures];
};

int Byte(const char* p) {
    return static_cast<unsigned char>(*p);
}

// Counts work done; runs the watch once enough has been done since it last ran.
void Spend(MatchState* ms, std::size_t amount) {
    ms->work += amount;
    if (ms->work < patternWatchInterval || !ms->watch) return;
    ms->work = 0;
    ms->watch(ms->L);
}

int CheckCapture(MatchState* ms, int l) {
    l -= '1';
    if (l < 0 || l >= ms->level || ms->capture[l].len == captureUnfinished)
        return luaL_error(ms->L, "invalid capture index");
    return l;
}

int CaptureToClose(MatchState* ms) {
    int level = ms->level;
    for (level--; level >= 0; level--)
        if (ms->capture[level].len == captureUnfinished) return level;
    return luaL_error(ms->L, "invalid pattern capture");
}

const char* ClassEnd(MatchState* ms, const char* p) {
    switch (*p++) {
        case escape:
            if (*p == '\0') luaL_error(ms->L, "malformed pattern (ends with '%%')");
            return p + 1;
        case '[':
            if (*p == '^') p++;
            do {  // look for the closing "]"; a first "]" is a member
                if (*p == '\0') luaL_error(ms->L, "malformed pattern (missing ']')");
                if (*(p++) == escape && *p != '\0') p++;
            } while (*p != ']');
            return p + 1;
        default:
            return p;
    }
}

bool MatchClass(int c, int cl) {
    bool res;
    switch (std::tolower(cl)) {
        case 'a':
            res = std::isalpha(c);
            break;
        case 'c':
            res = std::iscntrl(c);
            break;
        case 'd':
            res = std::isdigit(c);
            break;
        case 'l':
            res = std::islower(c);
            break;
        case 'p':
            res = std::ispunct(c);
            break;
        case 's':
            res = std::isspace(c);
            break;
        case 'u':
            res = std::isupper(c);
            break;
        case 'w':
            res = std::isalnum(c);
            break;
        case 'x':
            res = std::isxdigit(c);
            break;
        case 'z':
            res = c == 0;
            break;
        default:
            return cl == c;
    }
    return std::islower(cl) ? res : !res;
}

// p points at the "[" of a set, ec at its closing "]".
bool MatchBracketClass(int c, const char* p, const char* ec) {
    bool sig = true;
    if (*(p + 1) == '^') {
        sig = false;
        p++;
    }
    while (++p < ec) {
        if (*p == escape) {
            p++;
            if (MatchClass(c, Byte(p))) return sig;
        } else if (*(p + 1) == '-' && p + 2 < ec) {
            p += 2;
            if (Byte(p - 2) <= c && c <= Byte(p)) return sig;
        } else if (Byte(p) == c) {
            return sig;
        }
    }
    return !sig;
}

bool SingleMatch(int c, const char* p, const char* ep) {
    switch (*p) {
        case '.':
            return true;
        case escape:
            return MatchClass(c, Byte(p + 1));
        case '[':
            return MatchBracketClass(c, p, ep - 1);
        default:
            return Byte(p) == c;
    }
}

const char* Match(MatchState* ms, const char* s, const char* p);

const char* MatchBalance(MatchState* ms, const char* s, const char* p) {
    if (*p == '\0' || *(p + 1) == '\0') luaL_error(ms->L, "unbalanced pattern");
    if (s >= ms->sourceEnd || *s != *p) return nullptr;
    const char* start = s;
    char open = *p, close = *(p + 1);
    int depth = 1;
    while (++s < ms->sourceEnd) {
        if (*s == close) {
            if (--depth == 0) break;
        } else if (*s == open) {
            depth++;
        }
    }
    Spend(ms, static_cast<std::size_t>(s - start));
    return s < ms->sourceEnd ? s + 1 : nullptr;
}

const char* MaxExpand(MatchState* ms, const char* s, const char* p, const char* ep) {
    std::ptrdiff_t i = 0;
    while (s + i < ms->sourceEnd && SingleMatch(Byte(s + i), p, ep)) i++;
    Spend(ms, static_cast<std::size_t>(i));
    // Tries the most repetitions first, then one fewer each time.
    for (; i >= 0; i--) {
        const char* res = Match(ms, s + i, ep + 1);
        if (res) return res;
    }
    return nullptr;
}

const char* MinExpand(MatchState* ms, const char* s, const char* p, const char* ep) {
    for (;;) {
        const char* res = Match(ms, s, ep + 1);
        if (res) return res;
        if (s < ms->sourceEnd && SingleMatch(Byte(s), p, ep))
            s++;
        else
            return nullptr;
    }
}

const char* StartCapture(MatchState* ms, const char* s, const char* p, std::ptrdiff_t what) {
    int level = ms->level;
    if (level >= maxCaptures) luaL_error(ms->L, "too many captures");
    ms->capture[level].init = s;
    ms->capture[level].len = what;
    ms->level = level + 1;
    const char* res = Match(ms, s, p);
    if (!res) ms->level--;
    return res;
}

const char* EndCapture(MatchState* ms, const char* s, const char* p) {
    int l = CaptureToClose(ms);
    ms->capture[l].len = s - ms->capture[l].init;
    const char* res = Match(ms, s, p);
    if (!res) ms->capture[l].len = captureUnfinished;
    return res;
}

const char* MatchCapture(MatchState* ms, const char* s, int l) {
    l = CheckCapture(ms, l);
    std::ptrdiff_t len = ms->capture[l].len;
    if (len < 0 || ms->sourceEnd - s < len) return nullptr;  // a position capture matches nothing
    Spend(ms, static_cast<std::size_t>(len));
    return std::memcmp(ms->capture[l].init, s, static_cast<std::size_t>(len)) == 0 ? s + len : nullptr;
}

// The pattern ends at its first NUL, as it always has for scripts.
const char* Match(MatchState* ms, const char* s, const char* p) {
    if (ms->depth-- == 0) luaL_error(ms->L, "pattern too complex");
    const char* result = nullptr;
    for (;;) {  // a loop where the rest of the pattern is simply matched next
        Spend(ms, 1);
        const char* ep = nullptr;
        switch (*p) {
            case '(':
                result = *(p + 1) == ')' ? StartCapture(ms, s, p + 2, capturePosition)
                                         : StartCapture(ms, s, p + 1, captureUnfinished);
                break;
            case ')':
                result = EndCapture(ms, s, p + 1);
                break;
            case '\0':
                result = s;
                break;
            case '$':
                if (*(p + 1) == '\0') {
                    result = s == ms->sourceEnd ? s : nullptr;
                    break;
                }
                goto item;
            case escape:
                if (*(p + 1) == 'b') {
                    s = MatchBalance(ms, s, p + 2);
                    if (!s) break;
                    p += 4;
                    continue;
                }
                if (*(p + 1) == 'f') {
                    p += 2;
                    if (*p != '[') luaL_error(ms->L, "missing '[' after '%%f' in pattern");
                    ep = ClassEnd(ms, p);
                    int previous = s == ms->sourceStart ? '\0' : Byte(s - 1);
                    int current = s < ms->sourceEnd ? Byte(s) : '\0';
                    if (MatchBracketClass(previous, p, ep - 1) || !MatchBracketClass(current, p, ep - 1)) break;
                    p = ep;
                    continue;
                }
                if (std::isdigit(Byte(p + 1))) {
                    s = MatchCapture(ms, s, Byte(p + 1));
                    if (!s) break;
                    p += 2;
                    continue;
                }
                goto item;
            default:
            item : {
                ep = ClassEnd(ms, p);
                bool m = s < ms->sourceEnd && SingleMatch(Byte(s), p, ep);
                switch (*ep) {
                    case '?':
                        if (m && (result = Match(ms, s + 1, ep + 1)) != nullptr) break;
                        p = ep + 1;
                        continue;
                    case '*':
                        result = MaxExpand(ms, s, p, ep);
                        break;
                    case '+':
                        result = m ? MaxExpand(ms, s + 1, p, ep) : nullptr;
                        break;
                    case '-':
                        result = MinExpand(ms, s, p, ep);
                        break;
                    default:
                        if (!m) break;
                        s++;
                        p = ep;
                        continue;
                }
            }
        }
        break;
    }
    ms->depth++;
    return result;
}

void PushOneCapture(MatchState* ms, int i, const char* s, const char* e) {
    if (i >= ms->level) {
        if (i == 0)
            lua_pushlstring(ms->L, s, static_cast<std::size_t>(e - s));  // the whole match
        else
            luaL_error(ms->L, "invalid capture index");
        return;
    }
    std::ptrdiff_t l = ms->capture[i].len;
    if (l == captureUnfinished) luaL_error(ms->L, "unfinished capture");
    if (l == capturePosition)
        lua_pushinteger(ms->L, ms->capture[i].init - ms->sourceStart + 1);
    else
        lua_pushlstring(ms->L, ms->capture[i].init, static_cast<std::size_t>(l));
}

int PushCaptures(MatchState* ms, const char* s, const char* e) {
    int levels = (ms->level == 0 && s) ? 1 : ms->level;
    luaL_checkstack(ms->L, levels, "too many captures");
    for (int i = 0; i < levels; i++) PushOneCapture(ms, i, s, e);
    return levels;
}

void StartMatchState(MatchState* ms, lua_State* L, const char* source, std::size_t length) {
    ms->L = L;
    ms->sourceStart = source;
    ms->sourceEnd = source + length;
    ms->watch = lua_tocfunction(L, lua_upvalueindex(1));
    ms->work = 0;
}

// One attempt at one position: the captures start afresh.
const char* MatchAt(MatchState* ms, const char* s, const char* p) {
    ms->level = 0;
    ms->depth = maxMatchDepth;
    return Match(ms, s, p);
}

std::ptrdiff_t RelativePosition(std::ptrdiff_t pos, std::size_t length) {
    if (pos < 0) pos += static_cast<std::ptrdiff_t>(length) + 1;
    return pos >= 0 ? pos : 0;
}

int FindOrMatch(lua_State* L, bool find) {
    std::size_t l1 = 0, l2 = 0;
    const char* s = luaL_checklstring(L, 1, &l1);
    const char* p = luaL_checklstring(L, 2, &l2);
    std::ptrdiff_t init = RelativePosition(luaL_optinteger(L, 3, 1), l1) - 1;
    if (init < 0)
        init = 0;
    else if (static_cast<std::size_t>(init) > l1)
        init = static_cast<std::ptrdiff_t>(l1);
    if (find && (lua_toboolean(L, 4) || std::strpbrk(p, specials) == nullptr)) {
        // A plain search, in time linear in the lengths.
        const void* found = memmem(s + init, l1 - static_cast<std::size_t>(init), p, l2);
        if (found) {
            std::ptrdiff_t at = static_cast<const char*>(found) - s;
            lua_pushinteger(L, at + 1);
            lua_pushinteger(L, at + static_cast<std::ptrdiff_t>(l2));
            return 2;
        }
    } else {
        MatchState ms;
        StartMatchState(&ms, L, s, l1);
        bool anchor = *p == '^';
        if (anchor) p++;
        const char* s1 = s + init;
        do {
            const char* res = MatchAt(&ms, s1, p);
            if (res) {
                if (!find) return PushCaptures(&ms, s1, res);
                lua_pushinteger(L, s1 - s + 1);
                lua_pushinteger(L, res - s);
                return PushCaptures(&ms, nullptr, nullptr) + 2;
            }
        } while (s1++ < ms.sourceEnd && !anchor);
    }
    lua_pushnil(L);
    return 1;
}

int Find(lua_State* L) {
    return FindOrMatch(L, true);
}

int MatchFunction(lua_State* L) {
    return FindOrMatch(L, false);
}

// Upvalues: the watch, the subject, the pattern, the position to go on from.
int GMatchNext(lua_State* L) {
    std::size_t length = 0;
    const char* s = lua_tolstring(L, lua_upvalueindex(2), &length);
    const char* p = lua_tostring(L, lua_upvalueindex(3));
    MatchState ms;
    StartMatchState(&ms, L, s, length);
    for (const char* src = s + static_cast<std::size_t>(lua_tointeger(L, lua_upvalueindex(4))); src <= ms.sourceEnd;
         src++) {
        const char* e = MatchAt(&ms, src, p);
        if (e) {
            lua_Integer next = e - s;
            if (e == src) next++;  // an empty match: go on one further
            lua_pushinteger(L, next);
            lua_replace(L, lua_upvalueindex(4));
            return PushCaptures(&ms, src, e);
        }
    }
    return 0;
}

int GMatch(lua_State* L) {
    luaL_checkstring(L, 1);
    luaL_checkstring(L, 2);
    lua_settop(L, 2);
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_pushinteger(L, 0);
    lua_pushcclosure(L, GMatchNext, 4);
    return 1;
}

// A replacement string: "%" followed by a digit is a capture ("%0" the whole match), followed
// by any other character that character; a "%" at the very end stands for nothing.
void AddString(MatchState* ms, luaL_Buffer* b, const char* s, const char* e) {
    std::size_t length = 0;
    const char* replacement = lua_tolstring(ms->L, 3, &length);
    for (std::size_t i = 0; i < length; i++) {
        if (replacement[i] != escape) {
            luaL_addchar(b, replacement[i]);
        } else if (++i < length) {
            if (!std::isdigit(Byte(replacement + i))) {
                luaL_addchar(b, replacement[i]);
            } else if (replacement[i] == '0') {
                luaL_addlstring(b, s, static_cast<std::size_t>(e - s));
            } else {
                PushOneCapture(ms, replacement[i] - '1', s, e);
                luaL_addvalue(b);
            }
        }
    }
}

void AddValue(MatchState* ms, luaL_Buffer* b, const char* s, const char* e) {
    lua_State* L = ms->L;
    switch (lua_type(L, 3)) {
        case LUA_TNUMBER:
        case LUA_TSTRING:
            AddString(ms, b, s, e);
            return;
        case LUA_TFUNCTION: {
            lua_pushvalue(L, 3);
            int n = PushCaptures(ms, s, e);
            lua_call(L, n, 1);
            break;
        }
        default:  // a table
            PushOneCapture(ms, 0, s, e);
            lua_gettable(L, 3);
            break;
    }
    if (!lua_toboolean(L, -1)) {  // nil or false keeps the text matched
        lua_pop(L, 1);
        lua_pushlstring(L, s, static_cast<std::size_t>(e - s));
    } else if (!lua_isstring(L, -1)) {
        luaL_error(L, "invalid replacement value (a %s)", luaL_typename(L, -1));
    }
    luaL_addvalue(b);
}

int GSub(lua_State* L) {
    std::size_t sourceLength = 0;
    const char* src = luaL_checklstring(L, 1, &sourceLength);
    const char* p = luaL_checkstring(L, 2);
    int tr = lua_type(L, 3);
    int maxReplacements = luaL_optint(L, 4, static_cast<int>(sourceLength + 1));
    luaL_argcheck(L, tr == LUA_TNUMBER || tr == LUA_TSTRING || tr == LUA_TFUNCTION || tr == LUA_TTABLE, 3,
                  "string/function/table expected");
    bool anchor = *p == '^';
    if (anchor) p++;
    MatchState ms;
    StartMatchState(&ms, L, src, sourceLength);
    luaL_Buffer b;
    luaL_buffinit(L, &b);
    int n = 0;
    while (n < maxReplacements) {
        const char* e = MatchAt(&ms, src, p);
        if (e) {
            n++;
            AddValue(&ms, &b, src, e);
        }
        if (e && e > src)
            src = e;
        else if (src < ms.sourceEnd)
            luaL_addchar(&b, *src++);
        else
            break;
        if (anchor) break;
    }
    luaL_addlstring(&b, src, static_cast<std::size_t>(ms.sourceEnd - src));
    luaL_pushresult(&b);
    lua_pushinteger(L, n);
    return 2;
}

}  // namespace

void InstallPatternFunctions(lua_State* L, lua_CFunction watch) {
    lua_getfield(L, LUA_GLOBALSINDEX, "string");
    const luaL_Reg functions[] = {
        {"find", Find}, {"match", MatchFunction}, {"gmatch", GMatch}, {"gfind", GMatch}, {"gsub", GSub}};
    for (const luaL_Reg& function : functions) {
        if (watch)
            lua_pushcfunction(L, watch);
        else
            lua_pushnil(L);
        lua_pushcclosure(L, function.func, 1);
        lua_setfield(L, -2, function.name);
    }
    lua_pop(L, 1);
}
