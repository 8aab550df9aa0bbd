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

class CVantorixBaseObject;

// What the tables of the drawn objects share.
inline constexpr int objectNotFound = 1100;
// The object of the table's kind named by argument 1, or none.
CVantorixBaseObject* ObjectArg(lua_State* L, int kind);
// The same as its record class (one with its kind as Record::kind).
template <class Record>
Record* ObjectArgOf(lua_State* L) {
    return dynamic_cast<Record*>(ObjectArg(L, Record::kind));
}
// Kind.IsVisible and Kind.SetVisible (visible, default true) of the object named by argument 1.
int IsObjectVisible(lua_State* L, int kind);
int SetObjectVisible(lua_State* L, int kind);

// "\n" written by an author (a backslash and n or N) becomes a line break.
std::string ExpandLineBreaks(const std::string& text);
