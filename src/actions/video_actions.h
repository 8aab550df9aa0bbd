#pragma once

#include <lua.hpp>

// The Video table: scripts drive the video objects of the current page through their players.
const luaL_Reg* VideoActionFunctions();
