// Feeds script text to the dialect's rewrite (nested long strings, the generic "for"). It must never move a line, and
// what it makes must load (or fail to load) in Lua without harm.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <lua.hpp>

#include "script/lua50_dialect.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string source(reinterpret_cast<const char*>(data), size);
    std::string rewritten = Lua50Source(source);
    if (std::count(rewritten.begin(), rewritten.end(), '\n') != std::count(source.begin(), source.end(), '\n')) {
        std::abort();
    }
    lua_State* L = luaL_newstate();
    luaL_loadbuffer(L, rewritten.data(), rewritten.size(), "fuzz");
    lua_close(L);
    return 0;
}
