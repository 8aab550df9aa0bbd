#pragma once

#include <lua.hpp>

// The Audio table: scripts drive the effects, background and narration channels.
const luaL_Reg* AudioActionFunctions();
