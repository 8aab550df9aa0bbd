#pragma once

#include <string>
#include <string_view>

#include <lua.hpp>

// The projects' scripts are Lua 5.0. The dialect layer makes a Lua 5.1 state accept them: the
// generic "for" over a table, 5.0's require, table.getn/setn, string.gfind, math.mod, "%" before
// any character in gsub replacements, and file access through the player's Windows paths.

// The one road by which Lua 5.0 text becomes text the Lua 5.1 compiler takes: the nested long
// strings and comments, then the generic "for". No line moves. Every compile of script text
// (event scripts, files, modules, loadstring, load) goes through it.
std::string Lua50Source(std::string_view source);

// Wraps the expression list of every generic "for" in a call that turns a table into
// next, table, nil. Strings, comments and long brackets are never touched, and no line moves.
std::string RewriteGenericFor(std::string_view source);

// Lua 5.0 long strings and long comments nest ("[[ a [[ b ]] c ]]" is one string); Lua 5.1
// refuses the nesting. Each such string or comment gets a level of "=" signs that does not
// occur inside it, so it keeps its value; strings that do not nest are left as they are.
std::string RewriteNestedLongStrings(std::string_view source);

// A value as Lua 5.0 on Windows read it as a number: numbers, and strings of decimal text
// (blanks around it allowed). Hexadecimal, "inf" and "nan" were not numbers there: the C library
// of the time did not read them. False for what is not a number.
bool Lua50ToNumber(lua_State* L, int index, lua_Number& value);

// Installs the dialect's functions into a state whose standard libraries are open. The string
// matching functions call patternWatch now and then during a long match (see lua_patterns.h).
void InstallLua50Dialect(lua_State* L, lua_CFunction patternWatch);

// Loads a script file named by a Windows path, with the dialect's rewrite. Returns 0 with the
// chunk pushed, LUA_ERRSYNTAX with the message pushed, or fileNotFoundStatus with a message
// pushed when the file cannot be read.
inline constexpr int fileNotFoundStatus = LUA_ERRERR + 1;
int LoadDialectFile(lua_State* L, const char* windowsPath);

// The host path of a path as scripts write it.
std::string ScriptHostPath(const std::string& windowsPath);
