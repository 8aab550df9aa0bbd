#pragma once

#include <string>

#include <lua.hpp>

// The System, Registry and Shell tables: date and time, display, Windows version, registry
// values and special folders.
const luaL_Reg* SystemActionFunctions();
const luaL_Reg* RegistryActionFunctions();
const luaL_Reg* ShellActionFunctions();

// The name of a Windows version: "Windows XP" for platform 2, 5.1; "" for versions without one.
std::string OsNameFor(int platform, int major, int minor);
// The proleptic Gregorian Julian day number of a date.
long JulianDayNumber(int year, int month, int day);
