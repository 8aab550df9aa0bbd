// Runs the projects' string functions on arbitrary patterns and subjects: the input is a pattern,
// a NUL byte and a subject, given to string.find, match, gmatch, gfind and gsub (with a string, a
// table and a function replacement) through the Lua 5.0 dialect, in a state held to 64 MB.
// Patterns are short and subjects shorter than a line. Backtracking has no bound (with many
// quantifiers a short pattern takes years on a line of text), so the matcher's watch ends a
// match after a budget of work, as the player's watch ends it when a script is stopped.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <lua.hpp>

#include "script/lua50_dialect.h"
#include "script/lua_patterns.h"

namespace {

constexpr std::size_t maxPattern = 24, maxSubject = 64, memoryLimit = std::size_t{64} << 20;
constexpr int watchBudget = 4;  // calls of the watch, each after patternWatchInterval units
std::size_t inUse = 0;
int watchCalls = 0;

int Watch(lua_State* L) {
    if (++watchCalls > watchBudget) luaL_error(L, "match took too long");
    return 0;
}

void* Allocate(void*, void* block, std::size_t oldSize, std::size_t size) {
    if (size == 0) {
        std::free(block);
        inUse -= oldSize;
        return nullptr;
    }
    if (size > oldSize && inUse + (size - oldSize) > memoryLimit) return nullptr;
    void* grown = std::realloc(block, size);
    if (grown) inUse = inUse - oldSize + size;
    return grown;
}

const char harness[] =
    "local p, s = ...\n"
    "pcall(string.find, s, p)\n"
    "pcall(string.find, s, p, 2, true)\n"
    "pcall(string.match, s, p)\n"
    "pcall(function() for a, b in string.gmatch(s, p) do end end)\n"
    "pcall(function() for a in string.gfind(s, p) do end end)\n"
    "pcall(string.gsub, s, p, '%0%0')\n"
    "pcall(string.gsub, s, p, {a = 'x'})\n"
    "pcall(string.gsub, s, p, function(c) return c end)\n"
    "pcall(string.rep, s, 1000)\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    std::size_t split = input.find('\0');
    if (split == std::string::npos) split = input.size();
    std::string pattern = input.substr(0, std::min(split, maxPattern));
    std::string subject = split < input.size() ? input.substr(split + 1, maxSubject) : std::string();
    lua_State* L = lua_newstate(Allocate, nullptr);
    if (!L) return 0;
    luaL_openlibs(L);
    InstallLua50Dialect(L, Watch);
    watchCalls = 0;
    if (luaL_loadbuffer(L, harness, sizeof harness - 1, "harness") == 0) {
        lua_pushlstring(L, pattern.data(), pattern.size());
        lua_pushlstring(L, subject.data(), subject.size());
        lua_pcall(L, 2, 0, 0);
    }
    lua_close(L);
    return 0;
}
