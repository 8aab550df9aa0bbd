#include "actions/file_actions.h"

#include <string>

#include "actions/action_support.h"
#include "platform/file_association.h"
#include "platform/ini_file.h"
#include "platform/kx_text_file.h"
#include "platform/process_runner.h"
#include "platform/shell_open.h"
#include "platform/windows_paths.h"
#include "script/lua50_dialect.h"
#include "script/script_document.h"

namespace {

constexpr int showNormal = 1;

// The host path of a name from a script, found beside the player when it is there.
std::string ResolvedHostPath(lua_State* L, const char* name) {
    std::string resolved = ResolveSourcePath(DocumentOf(L), name);
    return ScriptHostPath(resolved);
}

// The optional show mode argument at index.
int ShowModeArg(lua_State* L, int index) {
    return HasArg(L, index) ? static_cast<int>(GetNumberArg(L, index)) : showNormal;
}

int ShellVerb(const char* verb, const std::string& target, const std::string& folder, int showMode) {
    return ShellResultToCode(ShellExecuteVerb(verb, target, folder, showMode));
}

int ExploreFolder(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    const char* folder = GetStringArg(L, 1);
    int showMode = ShowModeArg(L, 2);
    SetLastError(L, ShellVerb("explore", ResolvedHostPath(L, folder), "", showMode));
    return 0;
}

int Open(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    const char* file = GetStringArg(L, 1);
    const char* folder = HasArg(L, 2) ? GetStringArg(L, 2) : "";
    int showMode = ShowModeArg(L, 3);
    int code = 0;
    {
        std::string hostFolder = *folder ? ScriptHostPath(folder) : std::string();
        code = ShellVerb("open", ResolvedHostPath(L, file), hostFolder, showMode);
    }
    SetLastError(L, code);
    return 0;
}

int Print(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    const char* file = GetStringArg(L, 1);
    SetLastError(L, ShellVerb("print", ResolvedHostPath(L, file), "", showNormal));
    return 0;
}

// Web and mail addresses go to the desktop as they are; a name of a file beside the player
// opens that file.
std::string AddressTarget(lua_State* L, const std::string& address) {
    std::string resolved = ResolveSourcePath(DocumentOf(L), address);
    return resolved != address || WindowsPathExists(address) ? ScriptHostPath(resolved) : address;
}

int OpenURL(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    const char* address = GetStringArg(L, 1);
    int showMode = ShowModeArg(L, 2);
    SetLastError(L, ShellVerb("open", AddressTarget(L, address), "", showMode));
    return 0;
}

int OpenEmail(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    const char* address = GetStringArg(L, 1);
    int showMode = ShowModeArg(L, 2);
    SetLastError(L, ShellVerb("open", AddressTarget(L, std::string("mailto:") + address), "", showMode));
    return 0;
}

int Run(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    const char* file = GetStringArg(L, 1);
    const char* arguments = HasArg(L, 2) ? GetStringArg(L, 2) : "";
    const char* folder = HasArg(L, 3) ? GetStringArg(L, 3) : "";
    int showMode = ShowModeArg(L, 4);
    bool wait = HasArg(L, 5) ? GetBooleanArg(L, 5) : false;
    // The show modes scripts pass, as the program starter numbers them.
    int windowMode = showMode == 1 ? 0 : showMode == 3 ? 2 : showMode == 6 ? 1 : showMode;
    CKXScriptDocument& document = DocumentOf(L);
    int result = 0;
    {
        std::string hostFolder = *folder ? ScriptHostPath(folder) : std::string();
        std::string commandLine = BuildRunCommandLine(ResolvedHostPath(L, file), arguments);
        // While the script waits, events other than pointer moves and left clicks are served.
        result = RunProgram(commandLine, hostFolder, wait, windowMode,
                            [&document] { document.frame.PumpMessagesFiltered(0); });
    }
    SetLastError(L, result == 0 ? 0 : 1013);
    return 0;
}

// On this system the association comes from the desktop's MIME database instead of the
// registry's file classes: the extension's MIME type stands for the class (1015), its default
// application's entry for the command line (1016), the program its Exec line starts for the
// viewer executable (1017, 1018). The result is that program's path, as scripts see paths.
int GetDefaultViewer(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    const char* extension = GetStringArg(L, 1);
    int code = 0;
    {
        std::string cleaned;
        for (const char* p = extension; *p; ++p) {
            if (*p != ' ' && !(*p == '.' && cleaned.empty())) cleaned += *p;
        }
        std::string program;
        switch (FindDefaultViewer("." + cleaned, program)) {
            case ViewerStatus::Ok:
                break;
            case ViewerStatus::NoType:
                code = 1015;
                break;
            case ViewerStatus::NoCommand:
                code = 1016;
                break;
            case ViewerStatus::NotExecutable:
                code = 1017;
                break;
            case ViewerStatus::Missing:
                code = 1018;
                break;
        }
        PushString(L, code == 0 ? WindowsPathLayer::Instance().ToWindowsPath(program) : "");
    }
    SetLastError(L, code);
    return 1;
}

// ---- INIFile ----

int IniGetValue(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 3);
    const char* file = GetStringArg(L, 1);
    const char* section = GetStringArg(L, 2);
    const char* name = GetStringArg(L, 3);
    int code = 0;
    {
        std::string path = ResolvedHostPath(L, file);
        std::string value;
        if (!WindowsPathExists(ResolveSourcePath(DocumentOf(L), file))) {
            code = 1000;
        } else {
            CKXIniFile(path).GetString(section, name, "", 8192, value);
        }
        PushString(L, value);
    }
    SetLastError(L, code);
    return 1;
}

int IniSetValue(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 4);
    const char* file = GetStringArg(L, 1);
    const char* section = GetStringArg(L, 2);
    const char* name = GetStringArg(L, 3);
    const char* value = GetStringArg(L, 4);
    int code = 0;
    {
        std::string path = ResolvedHostPath(L, file);
        if (!WindowsPathExists(ResolveSourcePath(DocumentOf(L), file))) {
            code = 1000;
        } else if (!CKXIniFile(path).SetString(section, name, value)) {
            code = 1502;
        }
    }
    SetLastError(L, code);
    return 0;
}

// ---- TextFile ----

int TextStatusCode(TextFileStatus status) {
    switch (status) {
        case TextFileStatus::Ok:
            return 0;
        case TextFileStatus::Missing:
            return 1000;
        case TextFileStatus::CannotOpen:
            return 1900;
        case TextFileStatus::TooLarge:
            return 1901;
        case TextFileStatus::CannotWrite:
            return 1902;
    }
    return 9999;
}

int ReadToString(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    const char* file = GetStringArg(L, 1);
    int code = 0;
    {
        CKXTextFile text;
        code = TextStatusCode(text.Load(ResolvedHostPath(L, file)));
        PushString(L, code == 0 ? text.Text() : "");
    }
    SetLastError(L, code);
    return 1;
}

int WriteFromString(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    const char* file = GetStringArg(L, 1);
    std::size_t length = 0;
    const char* text = GetStringArg(L, 2, &length);
    bool append = HasArg(L, 3) ? GetBooleanArg(L, 3) : false;
    int code = 0;
    {
        std::string path = ResolvedHostPath(L, file);
        CKXTextFile existing;
        TextFileStatus status = existing.Load(path);
        if (status == TextFileStatus::CannotOpen || status == TextFileStatus::TooLarge) {
            code = TextStatusCode(status);
        } else {
            std::string content = append && status == TextFileStatus::Ok ? existing.Text() : std::string();
            content.append(text, length);
            code = TextStatusCode(CKXTextFile().Save(path, content));
        }
    }
    SetLastError(L, code);
    return 0;
}

}  // namespace

int ShellResultToCode(int result) {
    if (result > 32) return 0;
    switch (result) {
        case 2:
            return 1000;
        case 3:
            return 1002;
        case 5:
            return 1004;
        case 8:
            return 1012;
        case 11:
            return 1003;
        case 26:
            return 1014;
        case 27:
            return 1005;
        case 28:
            return 1008;
        case 29:
            return 1007;
        case 30:
            return 1006;
        case 31:
            return 1011;
        case 32:
            return 1009;
        default:
            return 9999;
    }
}

const luaL_Reg* FileActionFunctions() {
    static const luaL_Reg functions[] = {
        {"ExploreFolder", ExploreFolder},
        {"GetDefaultViewer", GetDefaultViewer},
        {"Open", Open},
        {"OpenEmail", OpenEmail},
        {"OpenURL", OpenURL},
        {"Print", Print},
        {"Run", Run},
        {nullptr, nullptr},
    };
    return functions;
}

const luaL_Reg* IniFileActionFunctions() {
    static const luaL_Reg functions[] = {{"GetValue", IniGetValue}, {"SetValue", IniSetValue}, {nullptr, nullptr}};
    return functions;
}

const luaL_Reg* TextFileActionFunctions() {
    static const luaL_Reg functions[] = {
        {"ReadToString", ReadToString}, {"WriteFromString", WriteFromString}, {nullptr, nullptr}};
    return functions;
}
