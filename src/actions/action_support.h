#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <lua.hpp>

#include "script/project_files.h"

class CKXScriptDocument;
class CLUAEngine;

// What every action shares: reading and checking its arguments and the last-error calls. File
// names are found by the rules of script/project_files.h.
//
// The readers end the script with a script error on a wrong argument. Lua errors jump over C++
// frames, so actions read and check all their arguments before they create any object with a
// destructor.

// Ends the script unless at least minimum values (nil included) were passed.
void CheckArgCount(lua_State* L, int minimum);
// A string, or a number converted to text. The pointer lives as long as the argument.
const char* GetStringArg(lua_State* L, int index, std::size_t* length = nullptr);
bool GetBooleanArg(lua_State* L, int index);
void CheckTableArg(lua_State* L, int index);
// Any value read as a number the way the projects' Lua 5.0 reads it, 0 for what is not one.
lua_Number GetNumberArg(lua_State* L, int index);
// The number truncated to an integer, held to the range of int (NaN gives 0).
int GetIntegerArg(lua_State* L, int index);
// An optional argument is one beyond the last passed; an explicit nil counts as passed.
inline bool HasArg(lua_State* L, int index) {
    return lua_gettop(L) >= index;
}

// Results an action built in C++: pushed protected, so that a memory error never jumps over the
// objects that hold them. A refused push leaves nil, and the script ends with the memory error
// once the action has returned.
void PushString(lua_State* L, std::string_view text);
// A table built by build (which leaves it on the stack), the same way.
void PushBuilt(lua_State* L, const std::function<void(lua_State*)>& build);
// For a result known to pass the scripts' memory limit before it is built: refused as a push
// would be (nil now, the memory error once the action returns). Returns 1, the result count.
int RefuseResult(lua_State* L);

// The engine and document of the state.
CLUAEngine& EngineOf(lua_State* L);
CKXScriptDocument& DocumentOf(lua_State* L);

// Application.ResetLastError and Application.SetLastError, through the script's tables.
void ResetLastError(lua_State* L);
void SetLastError(lua_State* L, int code);

// Calls library.function of the language's own tables, looked up at call time, protected, with
// the nargs values on top of the stack. Returns 0 (with nresults values left), 2900 when it is
// not a function, 2901 on a run-time error, 2902 on a memory error (nothing left).
int CallLanguageFunction(lua_State* L, const char* library, const char* function, int nargs, int nresults);
