#pragma once

#include <lua.hpp>

// string.find, match, gmatch (also as gfind) and gsub on a matcher of our own that means what
// the language's does, pattern for pattern and error for error, but stays stoppable: the
// language's own backtracks inside C, where no hook can reach it, so a short pattern on a line
// of text can run for years. Ours calls watch every so often during a long match; watch may
// raise an error, which ends the match. The depth of a match's recursion is bounded too: beyond
// it the call fails with "pattern too complex" instead of overflowing the C stack.
// A null watch lets matches run as long as they take.
void InstallPatternFunctions(lua_State* L, lua_CFunction watch);

// Units of work (about one character compared each) between two calls of the watch.
inline constexpr unsigned long patternWatchInterval = 1ul << 20;
