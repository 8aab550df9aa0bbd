#include "script/lua_engine.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/dialogs.h"
#include "script/debug_actions.h"
#include "script/lua50_dialect.h"
#include "script/script_document.h"

namespace {

// Scripts get a bounded amount of memory, so a runaway String.Repeat or table fails with a memory
// error in the script instead of exhausting the machine.
void* Allocate(void* ud, void* block, size_t oldSize, size_t size) {
    auto* engine = static_cast<CLUAEngine*>(ud);
    if (size == 0) {
        std::free(block);
        engine->memoryInUse -= oldSize;
        return nullptr;
    }
    if (size > oldSize && size - oldSize > engine->memoryLimit - engine->memoryInUse) return nullptr;
    void* grown = std::realloc(block, size);
    if (grown) engine->memoryInUse = engine->memoryInUse - oldSize + size;
    return grown;
}

// The statuses of the language version the projects were written for.
int StatusOf(int status) {
    return status == LUA_ERRRUN ? 1 : status;
}

std::string Trim(const std::string& text) {
    const char* blanks = " \t\r\n\v\f";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Pushes Table.Field, or nil when Table is not a table; runs protected, as a metamethod of
// either lookup may raise.
int LookUpField(lua_State* L) {
    lua_getfield(L, LUA_GLOBALSINDEX, lua_tostring(L, 1));
    if (!lua_istable(L, -1)) {
        lua_pushnil(L);
        return 1;
    }
    lua_getfield(L, -1, lua_tostring(L, 2));
    return 1;
}

}  // namespace

CLUAEngine::CLUAEngine(CKXScriptDocument& document, const std::vector<ActionTable>& tables) : document(document) {
    luaState = lua_newstate(Allocate, this);
    if (!luaState) throw std::bad_alloc();
    document.engine = this;
    lua_State* L = luaState;
    for (lua_CFunction open : {luaopen_base, luaopen_string, luaopen_math, luaopen_table, luaopen_io, luaopen_os}) {
        lua_pushcfunction(L, open);
        lua_call(L, 0, 0);
    }
    InstallLua50Dialect(L, [](lua_State* S) {
        FromState(S)->CheckStop(S);
        return 0;
    });
    lua_settop(L, 0);
    lua_pushboolean(L, 0);
    resultSlot = luaL_ref(L, LUA_REGISTRYINDEX);
    static const luaL_Reg none[] = {{nullptr, nullptr}};
    for (const ActionTable& table : tables) {
        luaL_register(L, table.name, none);
        for (const luaL_Reg* entry = table.functions; entry && entry->name; ++entry) {
            lua_pushlightuserdata(L, reinterpret_cast<void*>(entry->func));
            lua_pushcclosure(L, CallAction, 1);
            lua_setfield(L, -2, entry->name);
        }
        lua_settop(L, 0);
    }
    WatchDebugTable();
    UpdateHook();
}

int CLUAEngine::CallAction(lua_State* L) {
    auto action = reinterpret_cast<lua_CFunction>(lua_touserdata(L, lua_upvalueindex(1)));
    CLUAEngine* engine = FromState(L);
    // An action may call others (through the scripts' tables); each sees only its own refusal.
    bool outer = std::exchange(engine->resultRefused, false);
    int results = action(L);
    if (!std::exchange(engine->resultRefused, outer)) return results;
    lua_settop(L, 0);
    return luaL_error(L, "not enough memory");
}

namespace {

struct ProtectedBuild {
    const std::function<void(lua_State*)>* build;
    int slot;
};

}  // namespace

int CLUAEngine::BuildProtected(lua_State* L) {
    auto* job = static_cast<ProtectedBuild*>(lua_touserdata(L, 1));
    (*job->build)(L);
    // The slot exists already: storing into it allocates nothing.
    lua_rawseti(L, LUA_REGISTRYINDEX, job->slot);
    return 0;
}

bool CLUAEngine::PushProtected(lua_State* L, const std::function<void(lua_State*)>& build) {
    ProtectedBuild job{&build, resultSlot};
    if (lua_cpcall(L, BuildProtected, &job) != 0) {
        lua_pop(L, 1);
        return false;
    }
    lua_rawgeti(L, LUA_REGISTRYINDEX, resultSlot);
    lua_pushboolean(L, 0);
    lua_rawseti(L, LUA_REGISTRYINDEX, resultSlot);
    return true;
}

CLUAEngine::~CLUAEngine() {
    lua_close(luaState);
    if (document.engine == this) document.engine = nullptr;
}

CLUAEngine* CLUAEngine::FromState(lua_State* L) {
    void* engine = nullptr;
    lua_getallocf(L, &engine);
    return static_cast<CLUAEngine*>(engine);
}

int CLUAEngine::ExecuteScript(const std::string& text) {
    lua_State* L = luaState;
    if (document.scriptDepth == 0) {
        stopRunning = false;
        lastTurn = std::chrono::steady_clock::now();
    }
    ++document.scriptDepth;
    scriptLines.Set(text, "\r\n", true);
    UpdateHook();
    if (QueryTraceMode()) DebugPrint("\r\nTRACE: " + document.EventContext() + "\r\n");
    std::string source = Lua50Source(text);
    int status = luaL_loadbuffer(L, source.data(), source.size(), text.c_str());
    if (status == 0) status = lua_pcall(L, 0, 0, 0);
    if (status != 0) {
        const char* message = lua_tostring(L, -1);
        std::string text = message ? message : "";
        lua_pop(L, 1);
        ReportError(text);
    }
    if (--document.scriptDepth == 0) stopRunning = false;
    return StatusOf(status);
}

std::string EventNameOfContext(const std::string& eventContext) {
    std::size_t arrow = eventContext.rfind('>');
    if (arrow != std::string::npos) return eventContext.substr(std::min(arrow + 2, eventContext.size()));
    return eventContext.empty() ? "Unknown" : eventContext;
}

std::string FormatScriptError(const std::string& message, const std::string& eventContext) {
    if (message.size() <= 2 || message[0] != '[') return message;
    int line = -1;
    std::string errorText = "Unknown error";
    std::string event = EventNameOfContext(eventContext);
    std::size_t bracket = message.find(']');
    if (bracket != std::string::npos) {
        std::string rest = message.substr(std::min(bracket + 2, message.size()));
        std::size_t colon = rest.find(':');
        if (colon != std::string::npos) {
            line = std::atoi(rest.substr(0, colon).c_str());
            std::size_t start = rest.find_first_not_of(": ", colon);
            errorText = start == std::string::npos ? "" : rest.substr(start);
        }
    }
    return event + ", Line " + std::to_string(line - 1) + ": " + errorText;
}

void CLUAEngine::ReportError(const std::string& message) {
    document.dialogs.MessageBox(FormatScriptError(message, document.EventContext()), "Error",
                                MB_ICONEXCLAMATION | MB_OK);
}

void RaiseActionError(lua_State* L, const char* message) {
    CLUAEngine* engine = CLUAEngine::FromState(L);
    {
        std::string event = EventNameOfContext(engine->document.EventContext());
        lua_pushlstring(L, event.data(), event.size());
    }
    lua_pushfstring(L, "%s, Line %d: %s", lua_tostring(L, -1), engine->CurrentLine(), message);
    lua_error(L);
    std::abort();  // lua_error does not return
}

namespace {

// Globals are assigned and read with the ordinary table operations, which run metamethods a
// script may have set on the globals; those may raise, so the host does it protected.
int SetGlobalProtected(lua_State* L) {
    lua_settable(L, LUA_GLOBALSINDEX);
    return 0;
}

int GetGlobalProtected(lua_State* L) {
    lua_gettable(L, LUA_GLOBALSINDEX);
    return 1;
}

// Calls the global function named by the argument, if it is one; nil otherwise.
int CallGlobalProtected(lua_State* L) {
    lua_gettable(L, LUA_GLOBALSINDEX);
    if (!lua_isfunction(L, -1)) return 0;
    lua_call(L, 0, 1);
    return 1;
}

}  // namespace

void CLUAEngine::SetGlobalValue(const std::string& name) {
    lua_State* L = luaState;
    lua_pushcfunction(L, SetGlobalProtected);
    lua_insert(L, -2);
    lua_pushlstring(L, name.data(), name.size());
    lua_insert(L, -2);
    if (lua_pcall(L, 2, 0, 0) != 0) lua_pop(L, 1);
}

void CLUAEngine::SetGlobalString(const std::string& name, const std::string& value) {
    lua_pushlstring(luaState, value.data(), value.size());
    SetGlobalValue(name);
}

void CLUAEngine::SetGlobalNumber(const std::string& name, int value) {
    lua_pushnumber(luaState, value);
    SetGlobalValue(name);
}

void CLUAEngine::SetGlobalBoolean(const std::string& name, bool value) {
    lua_pushboolean(luaState, value);
    SetGlobalValue(name);
}

void CLUAEngine::SetGlobalNil(const std::string& name) {
    lua_pushnil(luaState);
    SetGlobalValue(name);
}

bool CLUAEngine::CallGlobalPredicate(const char* name, bool otherwise) {
    // The lookup is protected too: a script may have given the globals a failing __index.
    lua_State* L = luaState;
    int top = lua_gettop(L);
    lua_pushcfunction(L, CallGlobalProtected);
    lua_pushstring(L, name);
    bool result = otherwise;
    if (lua_pcall(L, 1, 1, 0) == 0 && lua_isboolean(L, -1)) result = lua_toboolean(L, -1);
    lua_settop(L, top);
    return result;
}

bool CLUAEngine::GetGlobalBoolean(const std::string& name) {
    lua_State* L = luaState;
    lua_pushcfunction(L, GetGlobalProtected);
    lua_pushlstring(L, name.data(), name.size());
    if (lua_pcall(L, 1, 1, 0) != 0) {
        lua_pop(L, 1);
        return false;
    }
    bool value = lua_isboolean(L, -1) && lua_toboolean(L, -1);
    lua_pop(L, 1);
    return value;
}

bool CLUAEngine::CallScriptFunction(const char* table, const char* field, int nargs, int nresults) {
    lua_State* L = luaState;
    int base = lua_gettop(L) - nargs;
    lua_pushcfunction(L, LookUpField);
    lua_pushstring(L, table);
    lua_pushstring(L, field);
    if (lua_pcall(L, 2, 1, 0) != 0 || !lua_isfunction(L, -1)) {
        lua_settop(L, base);
        return false;
    }
    lua_insert(L, base + 1);
    if (lua_pcall(L, nargs, nresults, 0) != 0) {
        lua_settop(L, base);
        return false;
    }
    return true;
}

void CLUAEngine::CallSetLastError(int code) {
    lua_pushnumber(luaState, code);
    CallScriptFunction("Application", "SetLastError", 1, 0);
}

void CLUAEngine::CallResetLastError() {
    CallScriptFunction("Application", "ResetLastError", 0, 0);
}

void CLUAEngine::DebugPrint(const std::string& text) {
    lua_pushlstring(luaState, text.data(), text.size());
    CallScriptFunction("Debug", "Print", 1, 0);
}

namespace {

// Registry keys of the Debug table scripts see (a watching proxy) and of the table behind it.
char debugProxyKey = 0;
char debugTableKey = 0;

void PushRegistryValue(lua_State* L, char* key) {
    lua_pushlightuserdata(L, key);
    lua_rawget(L, LUA_REGISTRYINDEX);
}

// Whether Debug.GetTraceMode is the player's own function, found without running any of the
// script's metamethods (a raw hit is what the ordinary lookup finds too; through the player's
// proxy, the table behind it).
bool OwnTraceFunction(lua_State* L) {
    int top = lua_gettop(L);
    lua_pushliteral(L, "Debug");
    lua_rawget(L, LUA_GLOBALSINDEX);
    PushRegistryValue(L, &debugProxyKey);
    if (lua_rawequal(L, -1, -2)) {
        lua_pop(L, 2);
        PushRegistryValue(L, &debugTableKey);
    } else {
        lua_pop(L, 1);
    }
    bool own = false;
    if (lua_type(L, -1) == LUA_TTABLE) {
        lua_pushliteral(L, "GetTraceMode");
        lua_rawget(L, -2);
        own = lua_tocfunction(L, -1) == DebugGetTraceMode;
    }
    lua_settop(L, top);
    return own;
}

// Assignments to the Debug table: stored in the table behind the proxy; a new GetTraceMode
// decides at once whether lines are followed, so a script's own trace switch takes effect from
// its next line.
int DebugNewIndex(lua_State* L) {
    lua_settop(L, 3);
    lua_pushvalue(L, 2);
    lua_pushvalue(L, 3);
    lua_rawset(L, lua_upvalueindex(1));
    if (lua_type(L, 2) == LUA_TSTRING && std::strcmp(lua_tostring(L, 2), "GetTraceMode") == 0) {
        CLUAEngine::FromState(L)->UpdateHook();
    }
    return 0;
}

}  // namespace

void CLUAEngine::WatchDebugTable() {
    lua_State* L = luaState;
    lua_getfield(L, LUA_GLOBALSINDEX, "Debug");
    if (!lua_istable(L, -1)) {
        lua_pop(L, 1);
        return;
    }
    int table = lua_gettop(L);
    lua_newtable(L);  // the proxy
    lua_newtable(L);  // its metatable
    lua_pushvalue(L, table);
    lua_setfield(L, -2, "__index");
    lua_pushvalue(L, table);
    lua_pushcclosure(L, DebugNewIndex, 1);
    lua_setfield(L, -2, "__newindex");
    lua_setmetatable(L, -2);
    lua_pushlightuserdata(L, &debugProxyKey);
    lua_pushvalue(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
    lua_pushlightuserdata(L, &debugTableKey);
    lua_pushvalue(L, table);
    lua_rawset(L, LUA_REGISTRYINDEX);
    lua_setfield(L, LUA_GLOBALSINDEX, "Debug");
    lua_settop(L, table - 1);
}

bool CLUAEngine::TraceCertainlyOff() {
    return traceMode == 0 && OwnTraceFunction(luaState);
}

void CLUAEngine::UpdateHook() {
    followingLines = !TraceCertainlyOff();
    if (followingLines) {
        lua_sethook(luaState, LineHook, LUA_MASKLINE, 0);
    } else {
        lua_sethook(luaState, CountHook, LUA_MASKCOUNT, 4096);
    }
}

void CLUAEngine::CountHook(lua_State* L, lua_Debug*) {
    CLUAEngine* engine = FromState(L);
    if (!engine->TraceCertainlyOff()) engine->UpdateHook();
    engine->CheckStop(L);
}

void CLUAEngine::CheckStop(lua_State* L) {
    if (!StopRequested() && onUnresponsive && std::chrono::steady_clock::now() - lastTurn > unresponsiveAfter) {
        if (onUnresponsive()) stopRunning = true;
        lastTurn = std::chrono::steady_clock::now();
    }
    if (StopRequested()) RaiseActionError(L, stoppedMessage);
}

int CLUAEngine::CurrentLine() {
    if (followingLines) return currentLine;
    // Not followed line by line: the innermost running script function knows its line.
    lua_Debug ar;
    for (int level = 0; lua_getstack(luaState, level, &ar); ++level) {
        lua_getinfo(luaState, "Sl", &ar);
        if (ar.currentline > 0) {
            currentLine = ar.currentline - 1;
            break;
        }
    }
    return currentLine;
}

bool CLUAEngine::QueryTraceMode() {
    lua_State* L = luaState;
    int top = lua_gettop(L);
    // While Debug.GetTraceMode is still the player's own function, its answer is traceMode
    // without a call through the interpreter.
    if (OwnTraceFunction(L)) return traceMode != 0;
    if (!CallScriptFunction("Debug", "GetTraceMode", 0, 1)) return false;
    bool on = lua_toboolean(L, -1);
    lua_settop(L, top);
    return on;
}

void CLUAEngine::LineHook(lua_State* L, lua_Debug* ar) {
    CLUAEngine* engine = FromState(L);
    engine->currentLine = ar->currentline - 1;
    if (++engine->linesSinceCheck >= 256) {
        engine->linesSinceCheck = 0;
        engine->CheckStop(L);
    }
    if (!engine->QueryTraceMode()) {
        if (engine->TraceCertainlyOff()) engine->UpdateHook();
        return;
    }
    std::string line = Trim(engine->scriptLines.GetItem(engine->currentLine));
    engine->DebugPrint("TRACE: " + std::to_string(engine->currentLine) + ": " + line + "\r\n");
}

int CKXScriptDocument::RunEventScript(const std::string& script, const std::string& context, const std::string& prefix,
                                      bool preload) {
    if (script.empty() || !engine) return 0;
    eventContext = context;
    insidePreload = preload;
    int status = engine->ExecuteScript(prefix + "\r\n" + script);
    ScriptRan(context, status);
    return status;
}
