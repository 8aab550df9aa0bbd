#include "actions/action_support.h"

#include <climits>
#include <cstdio>

#include "script/lua50_dialect.h"
#include "script/lua_engine.h"
#include "script/script_document.h"

namespace {

// The player's texts for argument errors.
constexpr char argumentCountMessage[] = "%d arguments required.";
constexpr char argumentTypeMessage[] = "Argument %d must be of type %s.";

[[noreturn]] void RaiseTypeError(lua_State* L, int index, const char* type) {
    char message[96];
    std::snprintf(message, sizeof message, argumentTypeMessage, index, type);
    RaiseActionError(L, message);
}

}  // namespace

CLUAEngine& EngineOf(lua_State* L) {
    return *CLUAEngine::FromState(L);
}

CKXScriptDocument& DocumentOf(lua_State* L) {
    return EngineOf(L).document;
}

void CheckArgCount(lua_State* L, int minimum) {
    if (lua_gettop(L) >= minimum) return;
    char message[64];
    std::snprintf(message, sizeof message, argumentCountMessage, minimum);
    RaiseActionError(L, message);
}

const char* GetStringArg(lua_State* L, int index, std::size_t* length) {
    int type = lua_type(L, index);
    if (type != LUA_TSTRING && type != LUA_TNUMBER) RaiseTypeError(L, index, "string");
    return lua_tolstring(L, index, length);
}

bool GetBooleanArg(lua_State* L, int index) {
    if (lua_type(L, index) != LUA_TBOOLEAN) RaiseTypeError(L, index, "boolean");
    return lua_toboolean(L, index);
}

void CheckTableArg(lua_State* L, int index) {
    if (lua_type(L, index) != LUA_TTABLE) RaiseTypeError(L, index, "table");
}

lua_Number GetNumberArg(lua_State* L, int index) {
    lua_Number value = 0;
    return Lua50ToNumber(L, index, value) ? value : 0;
}

int GetIntegerArg(lua_State* L, int index) {
    lua_Number value = GetNumberArg(L, index);
    if (!(value == value)) return 0;
    if (value >= static_cast<lua_Number>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<lua_Number>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

void PushBuilt(lua_State* L, const std::function<void(lua_State*)>& build) {
    CLUAEngine& engine = EngineOf(L);
    if (engine.PushProtected(L, build)) return;
    engine.resultRefused = true;
    lua_pushnil(L);
}

void PushString(lua_State* L, std::string_view text) {
    PushBuilt(L, [text](lua_State* S) { lua_pushlstring(S, text.data(), text.size()); });
}

int RefuseResult(lua_State* L) {
    lua_pushnil(L);
    EngineOf(L).resultRefused = true;
    return 1;
}

void ResetLastError(lua_State* L) {
    EngineOf(L).CallResetLastError();
}

void SetLastError(lua_State* L, int code) {
    EngineOf(L).CallSetLastError(code);
}

int CallLanguageFunction(lua_State* L, const char* library, const char* function, int nargs, int nresults) {
    int base = lua_gettop(L) - nargs;
    lua_getfield(L, LUA_GLOBALSINDEX, library);
    if (lua_istable(L, -1)) {
        lua_getfield(L, -1, function);
        lua_remove(L, -2);
    }
    if (!lua_isfunction(L, -1)) {
        lua_settop(L, base);
        return 2900;
    }
    lua_insert(L, base + 1);
    int status = lua_pcall(L, nargs, nresults, 0);
    if (status == 0) return 0;
    lua_settop(L, base);
    return status == LUA_ERRMEM ? 2902 : 2901;
}
