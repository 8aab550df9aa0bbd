#include "actions/application_actions.h"

#include <cmath>
#include <string>

#include "actions/action_support.h"
#include "platform/kx_registry.h"
#include "script/lua_engine.h"
#include "script/script_document.h"

namespace {

// Saved values live in the current user's part of the registry under this key and a section.
constexpr char savedValuesKey[] = "Software\\Brindlewick\\PXData\\";
constexpr int currentUserRoot = 2;
constexpr int stringType = 1;

int Exit(lua_State* L) {
    ResetLastError(L);
    CKXScriptDocument& document = DocumentOf(L);
    document.RequestExit();
    document.frame.PostCloseRequest();
    SetLastError(L, 0);
    return 0;
}

int LoadValue(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    const char* section = GetStringArg(L, 1);
    const char* name = GetStringArg(L, 2);
    CKXScriptDocument& document = DocumentOf(L);
    std::string value;
    bool ok = document.Registry() && document.Registry()->GetValue(
                                         currentUserRoot, std::string(savedValuesKey) + section, name, "", true, value);
    SetLastError(L, ok ? 0 : 2801);
    PushString(L, ok ? std::string_view(value) : std::string_view());
    return 1;
}

int SaveValue(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 3);
    const char* section = GetStringArg(L, 1);
    const char* name = GetStringArg(L, 2);
    const char* value = GetStringArg(L, 3);
    CKXScriptDocument& document = DocumentOf(L);
    bool ok =
        document.Registry() &&
        document.Registry()->SetValue(currentUserRoot, std::string(savedValuesKey) + section, name, value, stringType);
    SetLastError(L, ok ? 0 : 2802);
    return 0;
}

int Minimize(lua_State* L) {
    ResetLastError(L);
    DocumentOf(L).frame.Minimize();
    SetLastError(L, 0);
    return 0;
}

int Restore(lua_State* L) {
    ResetLastError(L);
    DocumentOf(L).frame.Restore();
    SetLastError(L, 0);
    return 0;
}

int Sleep(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    lua_Number milliseconds = GetNumberArg(L, 1);
    // Longer than any wait a menu means; keeps the conversion defined.
    milliseconds = std::fmin(std::fmax(milliseconds, -1.0), 2147483647.0);
    // The wait ends early when the script is stopped (the close box, the run's time limit).
    DocumentOf(L).frame.PumpMessagesFiltered(static_cast<int>(milliseconds));
    EngineOf(L).CheckStop(L);
    SetLastError(L, 0);
    return 0;
}

// The script file a name means: the name itself, beside the player, or in the project's
// Scripts folder; empty when none exists.
std::string ResolveScriptPath(const CKXScriptDocument& document, const std::string& name) {
    if (WindowsPathExists(name)) return name;
    std::string beside = ResolveSourcePath(document, name);
    if (WindowsPathExists(beside)) return beside;
    std::string inScripts = document.PathBesideExe(document.DataFolderName() + "\\Scripts\\" + name);
    return WindowsPathExists(inScripts) ? inScripts : "";
}

int LoadScript(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    const char* name = GetStringArg(L, 1);
    int code = 1000;
    std::string resolved = ResolveScriptPath(DocumentOf(L), name);
    if (!resolved.empty()) {
        lua_getfield(L, LUA_GLOBALSINDEX, "require");
        if (!lua_isfunction(L, -1)) {
            lua_pop(L, 1);
            code = 2900;
        } else {
            PushString(L, resolved);
            int status = lua_pcall(L, 1, 0, 0);
            if (status != 0) lua_pop(L, 1);
            code = status == 0 ? 0 : status == LUA_ERRMEM ? 2902 : 2901;
        }
    }
    SetLastError(L, code);
    return 0;
}

int SetRedraw(lua_State* L) {
    ResetLastError(L);
    bool enable = HasArg(L, 1) ? GetBooleanArg(L, 1) : true;
    CKXScriptDocument& document = DocumentOf(L);
    document.SetRedrawEnabled(enable);
    if (enable) document.frame.RepaintNow();
    SetLastError(L, 0);
    return 0;
}

int GetLastError(lua_State* L) {
    lua_pushnumber(L, EngineOf(L).lastError);
    return 1;
}

int SetLastErrorAction(lua_State* L) {
    CLUAEngine& engine = EngineOf(L);
    lua_Number code = lua_tonumber(L, 1);
    engine.lastError = std::isfinite(code) && std::fabs(code) < 2147483648.0 ? static_cast<int>(code) : 0;
    if (!engine.QueryTraceMode()) return 0;
    lua_getfield(L, LUA_GLOBALSINDEX, "_tblErrorMessages");
    const char* message = "";
    if (lua_istable(L, -1)) {
        lua_rawgeti(L, -1, engine.lastError);
        if (lua_type(L, -1) == LUA_TSTRING) message = lua_tostring(L, -1);
    }
    std::string line = "TRACE: LastError = " + std::to_string(engine.lastError) + " (\"" + message + "\")\r\n";
    engine.DebugPrint(line);
    return 0;
}

int ResetLastErrorAction(lua_State* L) {
    EngineOf(L).lastError = 0;
    return 0;
}

}  // namespace

const luaL_Reg* ApplicationActionFunctions() {
    static const luaL_Reg functions[] = {
        {"Exit", Exit},
        {"GetLastError", GetLastError},
        {"LoadScript", LoadScript},
        {"LoadValue", LoadValue},
        {"Minimize", Minimize},
        {"ResetLastError", ResetLastErrorAction},
        {"Restore", Restore},
        {"SaveValue", SaveValue},
        {"SetLastError", SetLastErrorAction},
        {"SetRedraw", SetRedraw},
        {"Sleep", Sleep},
        {nullptr, nullptr},
    };
    return functions;
}
