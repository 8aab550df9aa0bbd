#include "script/debug_actions.h"

#include <string>

#include "script/lua_engine.h"
#include "script/script_document.h"

namespace {

CKXScriptDocument& DocumentOf(lua_State* L) {
    return CLUAEngine::FromState(L)->document;
}

int ShowWindow(lua_State* L) {
    bool show = lua_type(L, 1) != LUA_TBOOLEAN || lua_toboolean(L, 1);
    DocumentOf(L).frame.ShowDebugWindow(show);
    return 0;
}

int Print(lua_State* L) {
    if (lua_gettop(L) == 0) return 0;
    std::size_t length = 0;
    const char* text =
        lua_type(L, 1) == LUA_TSTRING || lua_type(L, 1) == LUA_TNUMBER ? lua_tolstring(L, 1, &length) : "";
    DocumentOf(L).frame.DebugWindowAppend(std::string(text, length));
    return 0;
}

int Clear(lua_State* L) {
    DocumentOf(L).frame.DebugWindowClear();
    return 0;
}

int SetTraceMode(lua_State* L) {
    CLUAEngine* engine = CLUAEngine::FromState(L);
    engine->traceMode = lua_gettop(L) == 0 || lua_toboolean(L, 1);
    engine->UpdateHook();
    return 0;
}

int GetEventContext(lua_State* L) {
    const std::string& context = DocumentOf(L).EventContext();
    lua_pushlstring(L, context.data(), context.size());
    return 1;
}

}  // namespace

int DebugGetTraceMode(lua_State* L) {
    lua_pushboolean(L, CLUAEngine::FromState(L)->traceMode != 0);
    return 1;
}

const luaL_Reg* DebugActionFunctions() {
    static const luaL_Reg functions[] = {
        {"Clear", Clear},   {"GetEventContext", GetEventContext}, {"GetTraceMode", DebugGetTraceMode},
        {"Print", Print},   {"SetTraceMode", SetTraceMode},       {"ShowWindow", ShowWindow},
        {nullptr, nullptr},
    };
    return functions;
}
