#include "actions/string_actions.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "actions/action_support.h"
#include "actions/ansi_case.h"
#include "actions/path_parts.h"
#include "actions/string_search.h"
#include "resources/version_compare.h"
#include "script/lua50_dialect.h"
#include "script/lua_engine.h"
#include "script/script_document.h"

namespace {

std::string StringArg(lua_State* L, int index) {
    std::size_t length = 0;
    const char* text = GetStringArg(L, index, &length);
    return std::string(text, length);
}

std::string Upper(lua_State* L, const std::string& text) {
    return UpperCaseAnsi(text, DocumentOf(L).codePage);
}

// Calls string.<function> with the values pushed by the caller; pushes its one string result,
// or the empty string on failure. Sets the code.
int StringResult(lua_State* L, const char* function, int nargs) {
    int code = CallLanguageFunction(L, "string", function, nargs, 1);
    if (code != 0) lua_pushliteral(L, "");
    SetLastError(L, code);
    return 1;
}

// The same for a number result (-1 on failure); nil becomes missing.
int NumberResult(lua_State* L, const char* library, const char* function, int nargs, lua_Number ifNil) {
    int code = CallLanguageFunction(L, library, function, nargs, 1);
    lua_Number result = -1;
    if (code == 0) {
        result = lua_isnil(L, -1) ? ifNil : lua_tonumber(L, -1);
        lua_pop(L, 1);
    }
    SetLastError(L, code);
    lua_pushnumber(L, result);
    return 1;
}

int Truncated(lua_State* L, int index) {
    return static_cast<int>(GetNumberArg(L, index));
}

int Asc(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    GetStringArg(L, 1);
    lua_pushvalue(L, 1);
    return NumberResult(L, "string", "byte", 1, 0);
}

int Char(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    lua_pushnumber(L, Truncated(L, 1));
    return StringResult(L, "char", 1);
}

int CompareBytes(const std::string& a, const std::string& b) {
    int result = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (result == 0) result = a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
    return result < 0 ? -1 : result > 0 ? 1 : 0;
}

// The comparing actions: two texts (numbers accepted) in, -1, 0 or 1 out, code 0.
int CompareTexts(lua_State* L, int (*compare)(lua_State*, const std::string&, const std::string&)) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    GetStringArg(L, 1);
    GetStringArg(L, 2);
    int result = compare(L, StringArg(L, 1), StringArg(L, 2));
    SetLastError(L, 0);
    lua_pushnumber(L, result);
    return 1;
}

int Compare(lua_State* L) {
    return CompareTexts(L, [](lua_State*, const std::string& a, const std::string& b) { return CompareBytes(a, b); });
}

int CompareNoCase(lua_State* L) {
    return CompareTexts(L, [](lua_State* state, const std::string& a, const std::string& b) {
        return CompareBytes(Upper(state, a), Upper(state, b));
    });
}

int CompareFileVersions(lua_State* L) {
    return CompareTexts(L,
                        [](lua_State*, const std::string& a, const std::string& b) { return CompareVersions(a, b); });
}

int Concat(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    GetStringArg(L, 1);
    GetStringArg(L, 2);
    lua_pushvalue(L, 1);
    lua_pushvalue(L, 2);
    lua_concat(L, 2);
    SetLastError(L, 0);
    return 1;
}

int Find(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    GetStringArg(L, 1);
    GetStringArg(L, 2);
    lua_Number start = HasArg(L, 3) ? GetNumberArg(L, 3) : 1;
    bool caseSensitive = HasArg(L, 4) ? GetBooleanArg(L, 4) : false;
    {
        std::string text = StringArg(L, 1), search = StringArg(L, 2);
        if (!caseSensitive) {
            text = Upper(L, text);
            search = Upper(L, search);
        }
        PushString(L, text);
        PushString(L, search);
    }
    lua_pushnumber(L, static_cast<int>(start));
    lua_pushboolean(L, 1);
    return NumberResult(L, "string", "find", 4, -1);
}

int Left(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    GetStringArg(L, 1);
    int count = HasArg(L, 2) ? Truncated(L, 2) : 0;
    lua_pushvalue(L, 1);
    lua_pushnumber(L, 1);
    lua_pushnumber(L, count);
    return StringResult(L, "sub", 3);
}

int Length(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    GetStringArg(L, 1);
    lua_pushvalue(L, 1);
    return NumberResult(L, "string", "len", 1, -1);
}

int Lower(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    GetStringArg(L, 1);
    lua_pushvalue(L, 1);
    return StringResult(L, "lower", 1);
}

int UpperAction(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    GetStringArg(L, 1);
    lua_pushvalue(L, 1);
    return StringResult(L, "upper", 1);
}

int Mid(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 3);
    GetStringArg(L, 1);
    int start = Truncated(L, 2);
    int count = Truncated(L, 3);
    if (count < -1) {
        SetLastError(L, 3000);
        lua_pushliteral(L, "");
        return 1;
    }
    lua_pushvalue(L, 1);
    lua_pushnumber(L, start);
    lua_pushnumber(L, count == -1 ? -1.0 : static_cast<double>(start) + count - 1);
    return StringResult(L, "sub", 3);
}

int Repeat(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    std::size_t length = 0;
    GetStringArg(L, 1, &length);
    lua_Number count = GetNumberArg(L, 2);
    // A result larger than scripts may hold would only end in the memory error after filling
    // the memory; answer it at once.
    if (static_cast<double>(length) * count > static_cast<double>(EngineOf(L).memoryLimit)) {
        SetLastError(L, 2902);
        lua_pushliteral(L, "");
        return 1;
    }
    lua_pushvalue(L, 1);
    lua_pushnumber(L, count);
    return StringResult(L, "rep", 2);
}

int Replace(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 3);
    GetStringArg(L, 1);
    GetStringArg(L, 2);
    GetStringArg(L, 3);
    bool caseSensitive = HasArg(L, 4) ? GetBooleanArg(L, 4) : false;
    {
        CKXStringSearchReplace replacer(DocumentOf(L).codePage);
        std::optional<std::string> replaced = replacer.Replace(StringArg(L, 1), StringArg(L, 2), StringArg(L, 3),
                                                               caseSensitive, EngineOf(L).MemoryRoom());
        if (!replaced) return RefuseResult(L);
        PushString(L, *replaced);
    }
    SetLastError(L, 0);
    return 1;
}

int ReverseFind(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    GetStringArg(L, 1);
    GetStringArg(L, 2);
    bool caseSensitive = HasArg(L, 3) ? GetBooleanArg(L, 3) : false;
    std::size_t textLength = 0, searchLength = 0;
    {
        std::string text = StringArg(L, 1), search = StringArg(L, 2);
        textLength = text.size();
        searchLength = search.size();
        if (!caseSensitive) {
            text = Upper(L, text);
            search = Upper(L, search);
        }
        std::reverse(text.begin(), text.end());
        std::reverse(search.begin(), search.end());
        PushString(L, text);
        PushString(L, search);
    }
    lua_pushnumber(L, 0);
    lua_pushboolean(L, 1);
    int code = CallLanguageFunction(L, "string", "find", 4, 1);
    lua_Number result = -1;
    if (code == 0) {
        if (!lua_isnil(L, -1)) {
            result = static_cast<double>(textLength) - static_cast<double>(searchLength) - lua_tonumber(L, -1) + 2;
        }
        lua_pop(L, 1);
    }
    SetLastError(L, code);
    lua_pushnumber(L, result);
    return 1;
}

int Right(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    std::size_t length = 0;
    GetStringArg(L, 1, &length);
    double count = HasArg(L, 2) ? Truncated(L, 2) : 0;
    double start = count > static_cast<double>(length) ? 0 : static_cast<double>(length) - count + 1;
    lua_pushvalue(L, 1);
    lua_pushnumber(L, start);
    lua_pushnumber(L, static_cast<double>(length));
    return StringResult(L, "sub", 3);
}

int ToNumber(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    lua_Number value = 0;
    if (!Lua50ToNumber(L, 1, value)) value = 0;
    SetLastError(L, 0);
    lua_pushnumber(L, value);
    return 1;
}

// TrimLeft and TrimRight: white space, or the characters of the second argument.
int Trim(lua_State* L, bool left) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    GetStringArg(L, 1);
    bool customSet = HasArg(L, 2) && !lua_isnil(L, 2);
    if (customSet) GetStringArg(L, 2);
    {
        std::string text = StringArg(L, 1);
        std::string set = customSet ? StringArg(L, 2) : std::string(" \t\r\n\v\f");
        if (left) {
            std::size_t first = text.find_first_not_of(set);
            text = first == std::string::npos ? "" : text.substr(first);
        } else {
            std::size_t last = text.find_last_not_of(set);
            text = last == std::string::npos ? "" : text.substr(0, last + 1);
        }
        PushString(L, text);
    }
    SetLastError(L, 0);
    return 1;
}

int TrimLeft(lua_State* L) {
    return Trim(L, true);
}
int TrimRight(lua_State* L) {
    return Trim(L, false);
}

int SplitPathAction(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    GetStringArg(L, 1);
    {
        PathParts parts = SplitPath(StringArg(L, 1));
        PushBuilt(L, [&parts](lua_State* S) {
            lua_newtable(S);
            for (const auto& [field, value] : {std::pair<const char*, const std::string*>{"Drive", &parts.drive},
                                               {"Folder", &parts.folder},
                                               {"Filename", &parts.filename},
                                               {"Extension", &parts.extension}}) {
                lua_pushlstring(S, value->data(), value->size());
                lua_setfield(S, -2, field);
            }
        });
    }
    SetLastError(L, 0);
    return 1;
}

int MakePathAction(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    CheckTableArg(L, 1);
    int code = 0;
    {
        PathParts parts;
        lua_pushnil(L);
        while (lua_next(L, 1) != 0) {
            if (lua_type(L, -2) == LUA_TSTRING) {
                std::string key = lua_tostring(L, -2);
                // Only strings and numbers give text; lua_tolstring would turn a number key into
                // a string and upset the walk, but values are safe to convert.
                std::string value;
                if (lua_type(L, -1) == LUA_TSTRING || lua_type(L, -1) == LUA_TNUMBER) {
                    std::size_t length = 0;
                    const char* text = lua_tolstring(L, -1, &length);
                    value.assign(text, length);
                }
                if (key == "Drive") parts.drive = value;
                if (key == "Folder") parts.folder = value;
                if (key == "Filename") parts.filename = value;
                if (key == "Extension") parts.extension = value;
            }
            lua_pop(L, 1);
        }
        std::string path;
        if (!MakePath(parts, path)) {
            code = 3001;
            path.clear();
        }
        PushString(L, path);
    }
    SetLastError(L, code);
    return 1;
}

// ---- Table ----

int TableConcat(lua_State* L) {
    ResetLastError(L);
    CheckTableArg(L, 1);
    CheckArgCount(L, 2);
    GetStringArg(L, 2);
    lua_Number start = HasArg(L, 3) ? GetNumberArg(L, 3) : 1;
    bool hasEnd = HasArg(L, 4) && GetNumberArg(L, 4) != -1;
    lua_Number end = hasEnd ? GetNumberArg(L, 4) : 0;
    lua_pushvalue(L, 1);
    lua_pushvalue(L, 2);
    lua_pushnumber(L, static_cast<int>(start));
    if (hasEnd) lua_pushnumber(L, static_cast<int>(end));
    int code = CallLanguageFunction(L, "table", "concat", hasEnd ? 4 : 3, 1);
    if (code != 0) lua_pushliteral(L, "");
    SetLastError(L, code);
    return 1;
}

int TableCount(lua_State* L) {
    ResetLastError(L);
    CheckTableArg(L, 1);
    int count = 0;
    lua_pushnil(L);
    while (lua_next(L, 1) != 0) {
        ++count;
        lua_pop(L, 1);
    }
    SetLastError(L, 0);
    lua_pushnumber(L, count);
    return 1;
}

int TableInsert(lua_State* L) {
    ResetLastError(L);
    CheckTableArg(L, 1);
    CheckArgCount(L, 3);
    lua_pushvalue(L, 1);
    lua_pushnumber(L, Truncated(L, 2));
    lua_pushvalue(L, 3);
    SetLastError(L, CallLanguageFunction(L, "table", "insert", 3, 0));
    return 0;
}

int TableRemove(lua_State* L) {
    ResetLastError(L);
    CheckTableArg(L, 1);
    CheckArgCount(L, 2);
    lua_pushvalue(L, 1);
    lua_pushnumber(L, Truncated(L, 2));
    int code = CallLanguageFunction(L, "table", "remove", 2, 1);
    if (code != 0) lua_pushnil(L);
    SetLastError(L, code);
    return 1;
}

int TableSort(lua_State* L) {
    ResetLastError(L);
    CheckTableArg(L, 1);
    bool withFunction = lua_type(L, 2) == LUA_TFUNCTION;
    lua_pushvalue(L, 1);
    if (withFunction) lua_pushvalue(L, 2);
    SetLastError(L, CallLanguageFunction(L, "table", "sort", withFunction ? 2 : 1, 0));
    return 0;
}

}  // namespace

const luaL_Reg* StringActionFunctions() {
    static const luaL_Reg functions[] = {
        {"Asc", Asc},
        {"Char", Char},
        {"Compare", Compare},
        {"CompareFileVersions", CompareFileVersions},
        {"CompareNoCase", CompareNoCase},
        {"Concat", Concat},
        {"Find", Find},
        {"Left", Left},
        {"Length", Length},
        {"Lower", Lower},
        {"MakePath", MakePathAction},
        {"Mid", Mid},
        {"Repeat", Repeat},
        {"Replace", Replace},
        {"ReverseFind", ReverseFind},
        {"Right", Right},
        {"SplitPath", SplitPathAction},
        {"ToNumber", ToNumber},
        {"TrimLeft", TrimLeft},
        {"TrimRight", TrimRight},
        {"Upper", UpperAction},
        {nullptr, nullptr},
    };
    return functions;
}

const luaL_Reg* TableActionFunctions() {
    static const luaL_Reg functions[] = {
        {"Concat", TableConcat}, {"Count", TableCount}, {"Insert", TableInsert},
        {"Remove", TableRemove}, {"Sort", TableSort},   {nullptr, nullptr},
    };
    return functions;
}
