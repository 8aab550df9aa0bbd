#pragma once

#include <lua.hpp>

// The Flash table: scripts drive the Flash objects of the current page through their controls.
const luaL_Reg* FlashActionFunctions();
