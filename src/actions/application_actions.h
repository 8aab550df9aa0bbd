#pragma once

#include <lua.hpp>

// The Application table: exit, sleep, redraw, saved values, script loading, last error.
const luaL_Reg* ApplicationActionFunctions();
