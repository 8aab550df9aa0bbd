#include "script/script_environment.h"

#include <unistd.h>

#include <functional>

#include "platform/kx_registry.h"
#include "platform/special_folders.h"
#include "script/environment_tables.h"
#include "script/lua50_dialect.h"
#include "script/lua_engine.h"
#include "script/script_document.h"

namespace {

constexpr int localMachineRoot = 3;
constexpr char currentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
// Shell folder numbers of the desktops.
constexpr int desktopFolderId = 0;
constexpr int commonDesktopFolderId = 25;

void SetTableEntry(CLUAEngine& engine, const char* table, const std::function<void(lua_State*)>& pushKey,
                   const std::string& text) {
    lua_State* L = engine.luaState;
    // Raw lookups: the host must not run a script's metamethods outside a protected call.
    lua_pushstring(L, table);
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (lua_istable(L, -1)) {
        pushKey(L);
        lua_pushlstring(L, text.data(), text.size());
        lua_rawset(L, -3);
    }
    lua_pop(L, 1);
}

}  // namespace

BuiltInFolders CollectBuiltInFolders(CKXRegistry* registry) {
    BuiltInFolders folders;
    folders.windowsFolder = SpecialFolders::WindowsFolder();
    folders.systemFolder = SpecialFolders::SystemFolder();
    folders.tempFolder = SpecialFolders::TempFolder();
    if (folders.tempFolder.empty()) folders.tempFolder = "C:\\Temp";
    folders.desktopFolder = SpecialFolders::SpecialFolder(desktopFolderId);
    folders.desktopFolderCommon = SpecialFolders::SpecialFolder(commonDesktopFolderId);
    if (!registry || !registry->KeyExists(localMachineRoot, currentVersionKey)) {
        folders.programFilesFolder = "C:\\Program Files";
    } else if (!registry->GetValue(localMachineRoot, currentVersionKey, "ProgramFilesDir", "", true,
                                   folders.programFilesFolder)) {
        folders.programFilesFolder.clear();
    }
    return folders;
}

std::string SourceDriveOf(const std::string& sourceFolder) {
    if (sourceFolder.rfind("\\\\", 0) == 0) {
        std::size_t slash = sourceFolder.find('\\', 2);
        return sourceFolder.substr(0, slash);
    }
    return sourceFolder.substr(0, 2);
}

void CBuiltInVariableSetter::Set() {
    engine.SetGlobalString("_WindowsFolder", folders.windowsFolder);
    engine.SetGlobalString("_SystemFolder", folders.systemFolder);
    engine.SetGlobalString("_TempFolder", folders.tempFolder);
    engine.SetGlobalString("_DesktopFolder", folders.desktopFolder);
    engine.SetGlobalString("_DesktopFolderCommon", folders.desktopFolderCommon);
    engine.SetGlobalString("_ProgramFilesFolder", folders.programFilesFolder);
    const std::string& sourceFolder = engine.document.ExeFolder();
    engine.SetGlobalString("_SourceFolder", sourceFolder);
    std::string host = ScriptHostPath(sourceFolder);
    if (!host.empty() && chdir(host.c_str()) != 0) {
        // The folder is where the data file was found; a failure leaves relative paths where
        // they were, which is all that can be done.
    }
    engine.SetGlobalString("_SourceDrive", SourceDriveOf(sourceFolder));
}

void BuildEnvironment(CLUAEngine& engine, const BuiltInFolders& folders) {
    CKXScriptDocument& document = engine.document;
    engine.SetGlobalNil("_LastErrorCode");
    engine.SetGlobalString("_LastErrorMessage", "");
    CBuiltInVariableSetter(engine, folders).Set();
    for (const NamedConstant& constant : ScriptConstants()) engine.SetGlobalNumber(constant.name, constant.value);

    const std::string folder = document.PathBesideExe("");
    engine.SetGlobalString("LUA_PATH", "?;" + folder + "Vantorix\\Modules\\?;" + folder + "Vantorix\\Modules\\?.lua;" +
                                           folder + "?.lua;" + folder + "?;");

    lua_State* L = engine.luaState;
    lua_newtable(L);
    lua_setfield(L, LUA_GLOBALSINDEX, "_tblErrorMessages");
    for (const ErrorMessage& message : ErrorMessages()) SetErrorMessage(engine, message.code, message.text);
    lua_newtable(L);
    lua_setfield(L, LUA_GLOBALSINDEX, "_tblNotificationMessages");
    for (const NotificationMessage& message : NotificationMessages()) {
        SetNotificationMessage(engine, message.key, message.text);
    }

    engine.SetGlobalBoolean("_DoFlashCheck", document.DoFlashCheck());
    engine.SetGlobalBoolean("_ShowIntroVideo", true);
    engine.SetGlobalBoolean("_SoundInitialized", document.SoundAvailable());
}

std::string GetNotificationMessage(CLUAEngine& engine, const std::string& key) {
    lua_State* L = engine.luaState;
    std::string text;
    lua_pushliteral(L, "_tblNotificationMessages");
    lua_rawget(L, LUA_GLOBALSINDEX);
    if (lua_istable(L, -1)) {
        lua_pushlstring(L, key.data(), key.size());
        lua_rawget(L, -2);
        if (lua_type(L, -1) == LUA_TSTRING || lua_type(L, -1) == LUA_TNUMBER) {
            std::size_t length = 0;
            const char* value = lua_tolstring(L, -1, &length);
            text.assign(value, length);
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    return text;
}

void SetNotificationMessage(CLUAEngine& engine, const std::string& key, const std::string& text) {
    SetTableEntry(
        engine, "_tblNotificationMessages", [&](lua_State* L) { lua_pushlstring(L, key.data(), key.size()); }, text);
}

void SetErrorMessage(CLUAEngine& engine, int code, const std::string& text) {
    SetTableEntry(
        engine, "_tblErrorMessages", [&](lua_State* L) { lua_pushnumber(L, code); }, text);
}
