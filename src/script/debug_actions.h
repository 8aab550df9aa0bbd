#pragma once

#include <lua.hpp>

// The Debug table: the debug window and trace mode. These actions touch no last-error code and
// accept any arguments.
const luaL_Reg* DebugActionFunctions();

// Debug.GetTraceMode, known to the engine so the line hook can answer it without a call.
int DebugGetTraceMode(lua_State* L);
