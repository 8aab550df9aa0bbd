#include "actions/system_actions.h"

#include <cstdio>

#include "actions/action_support.h"
#include "platform/kx_registry.h"
#include "platform/local_clock.h"
#include "platform/special_folders.h"
#include "script/script_document.h"

namespace {

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

int GetDate(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    int format = static_cast<int>(GetNumberArg(L, 1));
    int code = 0;
    {
        LocalTime now = CurrentLocalTime();
        std::string mm = TwoDigits(now.month), dd = TwoDigits(now.day), yyyy = std::to_string(now.year);
        std::string result;
        switch (format) {
            case 0:
                result = mm + "/" + dd + "/" + yyyy;
                break;
            case 1:
                result = dd + "/" + mm + "/" + yyyy;
                break;
            case 2:
                result = yyyy + "-" + mm + "-" + dd;
                break;
            case 3:
                result = std::to_string(JulianDayNumber(now.year, now.month, now.day));
                break;
            case 4:
                result = mm;
                break;
            case 5:
                result = dd;
                break;
            case 6:
                result = yyyy;
                break;
            case 7:
                result = std::to_string(now.weekday);
                break;
            default:
                code = 1814;
        }
        PushString(L, result);
    }
    SetLastError(L, code);
    return 1;
}

int GetTime(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    int format = static_cast<int>(GetNumberArg(L, 1));
    int code = 0;
    {
        LocalTime now = CurrentLocalTime();
        std::string hh = TwoDigits(now.hour), mm = TwoDigits(now.minute), ss = TwoDigits(now.second);
        std::string result;
        switch (format) {
            case 0:
                result = hh + ":" + mm + ":" + ss;
                break;
            case 1: {
                int hour = now.hour % 12 == 0 ? 12 : now.hour % 12;
                result = std::to_string(hour) + ":" + mm + ":" + ss + (now.hour < 12 ? " AM" : " PM");
                break;
            }
            case 2:
                result = ss;
                break;
            case 3:
                result = mm;
                break;
            case 4:
                result = hh;
                break;
            default:
                code = 1815;
        }
        PushString(L, result);
    }
    SetLastError(L, code);
    return 1;
}

int GetDisplayInfo(lua_State* L) {
    ResetLastError(L);
    int width = 0, height = 0, depth = 0;
    if (!DocumentOf(L).frame.GetDisplayInfo(width, height, depth)) {
        SetLastError(L, 1817);
        lua_pushnil(L);
        return 1;
    }
    lua_newtable(L);
    lua_pushnumber(L, width);
    lua_setfield(L, -2, "Width");
    lua_pushnumber(L, height);
    lua_setfield(L, -2, "Height");
    lua_pushnumber(L, depth);
    lua_setfield(L, -2, "ColorDepth");
    SetLastError(L, 0);
    return 1;
}

int GetOSName(lua_State* L) {
    ResetLastError(L);
    const CKXScriptDocument& document = DocumentOf(L);
    {
        std::string name =
            OsNameFor(document.Windows().platform, document.Windows().majorVersion, document.Windows().minorVersion);
        PushString(L, name);
    }
    SetLastError(L, 0);
    return 1;
}

int RegistryGetValue(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 3);
    int root = static_cast<int>(GetNumberArg(L, 1));
    const char* key = GetStringArg(L, 2);
    const char* name = GetStringArg(L, 3);
    bool expand = HasArg(L, 4) ? GetBooleanArg(L, 4) : true;
    CKXRegistry* registry = DocumentOf(L).Registry();
    bool ok = false;
    {
        std::string value;
        ok = registry && registry->GetValue(root, key, name, "", expand, value);
        PushString(L, ok ? value : "");
    }
    SetLastError(L, ok ? 0 : 1605);
    return 1;
}

int RegistrySetValue(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 5);
    int root = static_cast<int>(GetNumberArg(L, 1));
    const char* key = GetStringArg(L, 2);
    const char* name = GetStringArg(L, 3);
    const char* value = GetStringArg(L, 4);
    int type = static_cast<int>(GetNumberArg(L, 5));
    CKXRegistry* registry = DocumentOf(L).Registry();
    bool ok = registry && registry->SetValue(root, key, name, value, type);
    SetLastError(L, ok ? 0 : 1608);
    return 0;
}

// Where a special folder is written down in the registry, for folders the system cannot name.
struct FolderRegistryEntry {
    int folder;
    int root;
    const char* key;
    const char* value;
};

constexpr char userShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char commonShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char currentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr int currentUser = 2;
constexpr int localMachine = 3;

constexpr FolderRegistryEntry folderEntries[] = {
    {2, currentUser, userShellFolders, "Programs"},
    {5, currentUser, userShellFolders, "Personal"},
    {7, currentUser, userShellFolders, "Startup"},
    {11, currentUser, userShellFolders, "Start Menu"},
    {16, currentUser, userShellFolders, "Desktop"},
    {20, currentUser, userShellFolders, "Fonts"},
    {22, localMachine, commonShellFolders, "Common Start Menu"},
    {23, localMachine, commonShellFolders, "Common Programs"},
    {24, localMachine, commonShellFolders, "Common Startup"},
    {25, localMachine, commonShellFolders, "Common Desktop"},
    {26, currentUser, userShellFolders, "AppData"},
    {35, localMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Common AppData"},
    {38, localMachine, currentVersion, "ProgramFilesDir"},
    {43, localMachine, currentVersion, "CommonFilesDir"},
};

// On the Windows 95 family the common folders are the user's own.
constexpr FolderRegistryEntry personalFallbacks[] = {
    {22, currentUser, userShellFolders, "Start Menu"}, {23, currentUser, userShellFolders, "Programs"},
    {24, currentUser, userShellFolders, "Startup"},    {25, currentUser, userShellFolders, "Desktop"},
    {35, currentUser, userShellFolders, "AppData"},    {43, localMachine, currentVersion, "ProgramFilesDir"},
};

const FolderRegistryEntry* FindEntry(const FolderRegistryEntry* begin, const FolderRegistryEntry* end, int folder) {
    for (const FolderRegistryEntry* entry = begin; entry != end; ++entry) {
        if (entry->folder == folder) return entry;
    }
    return nullptr;
}

std::string ReadFolder(CKXRegistry* registry, const FolderRegistryEntry& entry) {
    std::string value;
    if (registry) registry->GetValue(entry.root, entry.key, entry.value, "", true, value);
    return value;
}

int GetFolder(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    int folder = static_cast<int>(GetNumberArg(L, 1));
    const CKXScriptDocument& document = DocumentOf(L);
    int code = 0;
    {
        std::string result = SpecialFolders::SpecialFolder(folder);
        if (result.size() < 3) {
            result.clear();
            const FolderRegistryEntry* entry = FindEntry(std::begin(folderEntries), std::end(folderEntries), folder);
            if (!entry) {
                code = 2304;
            } else {
                std::string value = ReadFolder(document.Registry(), *entry);
                if (value.size() > 2) result = value;
                if (result.empty() && document.Windows().platform == 1) {
                    const FolderRegistryEntry* personal =
                        FindEntry(std::begin(personalFallbacks), std::end(personalFallbacks), folder);
                    value = ReadFolder(document.Registry(), personal ? *personal : *entry);
                    if (value.size() < 3) {
                        code = 2304;
                    } else {
                        result = value;
                    }
                }
            }
        }
        PushString(L, result);
    }
    SetLastError(L, code);
    return 1;
}

}  // namespace

std::string OsNameFor(int platform, int major, int minor) {
    if (platform == 1) {
        if (major < 4 || (major == 4 && minor == 0)) return "Windows 95";
        return minor > 10 ? "Windows ME" : "Windows 98";
    }
    if (platform == 2) {
        if (major == 3) return "Windows NT 3";
        if (major == 4) return "Windows NT 4";
        if (major == 5 && minor == 0) return "Windows 2000";
        if (major == 5 && minor == 1) return "Windows XP";
        if (major == 5 && minor == 2) return "Windows Server 2003";
    }
    return "";
}

long JulianDayNumber(int year, int month, int day) {
    int a = month <= 2 ? 1 : 0;
    long y = year - a;
    long m = month + 12 * a - 3;
    auto floorDiv = [](long n, long d) { return n >= 0 ? n / d : -((-n + d - 1) / d); };
    return day + floorDiv(153 * m + 2, 5) + 365 * y + floorDiv(y, 4) - floorDiv(y, 100) + floorDiv(y, 400) + 1721119;
}

const luaL_Reg* SystemActionFunctions() {
    static const luaL_Reg functions[] = {
        {"GetDate", GetDate}, {"GetDisplayInfo", GetDisplayInfo}, {"GetOSName", GetOSName}, {"GetTime", GetTime},
        {nullptr, nullptr},
    };
    return functions;
}

const luaL_Reg* RegistryActionFunctions() {
    static const luaL_Reg functions[] = {
        {"GetValue", RegistryGetValue}, {"SetValue", RegistrySetValue}, {nullptr, nullptr}};
    return functions;
}

const luaL_Reg* ShellActionFunctions() {
    static const luaL_Reg functions[] = {{"GetFolder", GetFolder}, {nullptr, nullptr}};
    return functions;
}
