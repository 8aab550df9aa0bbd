#pragma once

#include <vector>

#include "script/lua_engine.h"

// The 32 global action tables in the order the engine registers them. Tables whose actions the
// player does not offer (yet) are registered empty, so scripts can still add their own.
std::vector<ActionTable> ActionTables();
