#pragma once

#include <lua.hpp>

// The String and Table tables: text and table operations with 1-based positions, -1 for "not
// found" and last-error codes instead of script errors.
const luaL_Reg* StringActionFunctions();
const luaL_Reg* TableActionFunctions();
