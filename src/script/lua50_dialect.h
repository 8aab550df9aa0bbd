#pragma once

#include <string>
#include <string_view>

#include <lua.hpp>

// The projects' scripts are Lua 5.0. The dialect layer makes a Lua 5.1 state accept them: the
// generic "for" over a table, 5.0's require, table.getn/setn, string.gfind, math.mod, "%" before
// any character in gsub replacements, and file access through the player's Windows paths.

// Wraps the expression list of every generic "for" in a call that turns a table into
// next, table, nil. Strings, comments and long brackets are never touched, and no line moves.
std::string RewriteGenericFor(std::string_view source);

// Installs the dialect's functions into a state whose standard libraries are open.
void InstallLua50Dialect(lua_State* L);

// Loads a script file named by a Windows path, with the dialect's rewrite. Returns 0 with the
// chunk pushed, LUA_ERRSYNTAX with the message pushed, or fileNotFoundStatus with a message
// pushed when the file cannot be read.
inline constexpr int fileNotFoundStatus = LUA_ERRERR + 1;
int LoadDialectFile(lua_State* L, const char* windowsPath);

// The host path of a path as scripts write it.
std::string ScriptHostPath(const std::string& windowsPath);
