#pragma once

#include <lua.hpp>

// The File, INIFile and TextFile tables: documents and programs handed to the desktop, INI
// values and whole text files.
const luaL_Reg* FileActionFunctions();
const luaL_Reg* IniFileActionFunctions();
const luaL_Reg* TextFileActionFunctions();

// The last-error code of a failed shell verb result (32 or less); 0 for success.
int ShellResultToCode(int result);
