#pragma once

#include <string>

#include <lua.hpp>

// The Page table, Dialog.Message, and the Label and Image tables: page changes, message boxes
// and the drawn objects of the current page.
const luaL_Reg* PageActionFunctions();
const luaL_Reg* DialogActionFunctions();
const luaL_Reg* ButtonActionFunctions();
const luaL_Reg* LabelActionFunctions();
const luaL_Reg* ImageActionFunctions();

// "\n" written by an author (a backslash and n or N) becomes a line break.
std::string ExpandLineBreaks(const std::string& text);
