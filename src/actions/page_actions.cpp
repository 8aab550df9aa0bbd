#include "actions/page_actions.h"

#include <algorithm>
#include <string>

#include "actions/action_support.h"
#include "platform/dialogs.h"
#include "platform/windows_paths.h"
#include "project/vantorix_base_object.h"
#include "project/vantorix_button_object.h"
#include "project/vantorix_image_object.h"
#include "project/vantorix_text_object.h"
#include "script/lua50_dialect.h"
#include "script/lua_engine.h"
#include "script/script_document.h"

namespace {

constexpr int pageFirst = 0, pageLast = 1, pageNext = 2, pagePrevious = 3, pageBackward = 4, pageForward = 5;

void ShowPreviewNotice(CKXScriptDocument& document, const char* action) {
    document.dialogs.MessageBox(std::string(action) + " does not work during a Page Preview", "Notice",
                                MB_ICONINFORMATION);
}

int Jump(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    const char* name = GetStringArg(L, 1);
    CKXScriptDocument& document = DocumentOf(L);
    int code = 0;
    document.RecordNavigation(NavigationStep::Other);
    if (document.SuppressProjectEvents()) {
        ShowPreviewNotice(document, "Page.Jump");
    } else {
        int index = document.FindPageIndex(name);
        if (index < 0) {
            code = 1300;
        } else {
            // Inside "On Preload" the page changes before Jump returns; otherwise after the script.
            if (!document.RequestPageChange(index, document.InsidePreload())) {
                RaiseActionError(L, "Page changes are nested too deeply.");
            }
        }
    }
    SetLastError(L, code);
    return 0;
}

int Navigate(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    int target = static_cast<int>(GetNumberArg(L, 1));
    CKXScriptDocument& document = DocumentOf(L);
    int current = document.CurrentPageIndex();
    NavigationStep step = target == pageBackward  ? NavigationStep::Backward
                          : target == pageForward ? NavigationStep::Forward
                                                  : NavigationStep::Other;
    std::string targetName = document.RecordNavigation(step);
    int count = document.PageCount();
    int index = -1;
    switch (target) {
        case pageFirst:
            index = 0;
            break;
        case pageLast:
            index = count - 1;
            break;
        case pageNext:
            index = current + 1 <= count - 1 ? current + 1 : -1;
            break;
        case pagePrevious:
            index = current - 1 >= 0 ? current - 1 : -1;
            break;
        case pageBackward:
        case pageForward:
            index = targetName.empty() ? -1 : document.FindPageIndex(targetName);
            break;
        default:
            break;
    }
    if (document.SuppressProjectEvents()) {
        ShowPreviewNotice(document, "Page.Navigate");
    } else if (index >= 0 && index < count) {
        document.RequestPageChange(index, false);
    }
    SetLastError(L, 0);
    return 0;
}

int Redraw(lua_State* L) {
    ResetLastError(L);
    DocumentOf(L).RedrawPage();
    SetLastError(L, 0);
    return 0;
}

int Message(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    const char* title = GetStringArg(L, 1);
    const char* text = GetStringArg(L, 2);
    unsigned buttons = HasArg(L, 3) ? static_cast<unsigned>(GetNumberArg(L, 3)) : MB_OK;
    int icon = HasArg(L, 4) ? static_cast<int>(GetNumberArg(L, 4)) : static_cast<int>(MB_ICONINFORMATION);
    if (icon < 0 || icon > 64) icon = 0;
    unsigned defaultButton = HasArg(L, 5) ? static_cast<unsigned>(GetNumberArg(L, 5)) : 0;
    int result = DocumentOf(L).dialogs.MessageBox(text, title, buttons | static_cast<unsigned>(icon) | defaultButton);
    SetLastError(L, result == 0 ? 1106 : 0);
    lua_pushnumber(L, result);
    return 1;
}

// An icon number of the input dialogs: one of the standard icons, 0 (none) otherwise.
int IconArg(lua_State* L, int index, int defaultIcon) {
    int icon = HasArg(L, index) ? static_cast<int>(GetNumberArg(L, index)) : defaultIcon;
    return icon < 0 || icon > 64 ? 0 : icon;
}

// Input and PasswordInput: the text typed, or "CANCEL".
int AskForText(lua_State* L, bool password) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    const char* title = GetStringArg(L, 1);
    const char* prompt = GetStringArg(L, 2);
    const char* defaultText = !password && HasArg(L, 3) ? GetStringArg(L, 3) : "";
    int icon = IconArg(L, password ? 3 : 4, password ? static_cast<int>(MB_ICONQUESTION) : 0);
    {
        std::string answer;
        bool ok = DocumentOf(L).dialogs.InputBox(prompt, title, defaultText, password, answer, icon);
        PushString(L, ok ? answer : std::string("CANCEL"));
    }
    SetLastError(L, 0);
    return 1;
}

int Input(lua_State* L) {
    return AskForText(L, false);
}
int PasswordInput(lua_State* L) {
    return AskForText(L, true);
}

int FileBrowse(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 3);
    bool open = GetBooleanArg(L, 1);
    const char* title = GetStringArg(L, 2);
    const char* folder = GetStringArg(L, 3);
    const char* filter = HasArg(L, 4) ? GetStringArg(L, 4) : "All Files (*.*)|*.*|";
    const char* defaultName = HasArg(L, 5) ? GetStringArg(L, 5) : "";
    if (HasArg(L, 6)) GetStringArg(L, 6);  // the default extension: the desktop's dialog adds none
    bool multiple = HasArg(L, 7) ? GetBooleanArg(L, 7) : false;
    if (HasArg(L, 8)) GetBooleanArg(L, 8);  // checked, and changes nothing
    CKXScriptDocument& document = DocumentOf(L);
    {
        std::string start = ScriptHostPath(ResolveSourcePath(document, folder));
        std::vector<std::string> files;
        bool ok = document.dialogs.FileBrowse(!open, title, start, filter, defaultName, multiple, files);
        if (!ok) files = {"CANCEL"};
        for (std::string& file : files) {
            // The dialog answers with host paths; scripts see Windows ones.
            std::string windows = ok ? WindowsPathLayer::Instance().ToWindowsPath(file) : file;
            if (!windows.empty()) file = windows;
        }
        PushBuilt(L, [&files](lua_State* S) {
            lua_createtable(S, static_cast<int>(files.size()), 0);
            for (std::size_t i = 0; i < files.size(); ++i) {
                lua_pushlstring(S, files[i].data(), files[i].size());
                lua_rawseti(S, -2, static_cast<int>(i + 1));
            }
        });
    }
    SetLastError(L, 0);
    return 1;
}

int ButtonGetState(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    auto* button = ObjectArgOf<CVantorixButtonObject>(L);
    SetLastError(L, button ? 0 : objectNotFound);
    lua_pushnumber(L, button ? button->latched : -1);
    return 1;
}

int ButtonSetState(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    auto* button = ObjectArgOf<CVantorixButtonObject>(L);
    int value = HasArg(L, 2) ? static_cast<int>(GetNumberArg(L, 2)) : 0;
    // Only toggle buttons keep a state; a push button is left alone.
    if (button && button->toggle) {
        button->latched = value;
        if (value == 0) button->displayState = DisplayState::normal;
        if (value == 1) button->displayState = DisplayState::pressed;
        CKXScriptDocument& document = DocumentOf(L);
        if (document.RedrawEnabled()) document.RepaintObjectRect(*button);
    }
    SetLastError(L, button ? 0 : objectNotFound);
    return 0;
}

int ButtonGetText(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    auto* button = ObjectArgOf<CVantorixButtonObject>(L);
    SetLastError(L, button ? 0 : objectNotFound);
    PushString(L, button ? button->caption : std::string());
    return 1;
}

int ButtonSetText(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    auto* button = ObjectArgOf<CVantorixButtonObject>(L);
    const char* text = GetStringArg(L, 2);
    if (button) {
        button->caption = text;
        CKXScriptDocument& document = DocumentOf(L);
        if (document.HasMainWindow()) document.RepaintObjectRect(*button);
    }
    SetLastError(L, button ? 0 : objectNotFound);
    return 0;
}

int ButtonIsVisible(lua_State* L) {
    return IsObjectVisible(L, kindButton);
}
int ButtonSetVisible(lua_State* L) {
    return SetObjectVisible(L, kindButton);
}

int LabelGetText(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    auto* label = ObjectArgOf<CVantorixTextObject>(L);
    SetLastError(L, label ? 0 : objectNotFound);
    PushString(L, label ? label->text : std::string());
    return 1;
}

int LabelSetText(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    auto* label = ObjectArgOf<CVantorixTextObject>(L);
    const char* text = GetStringArg(L, 2);
    if (label) {
        label->text = ExpandLineBreaks(text);
        CKXScriptDocument& document = DocumentOf(L);
        if (document.HasMainWindow()) {
            // Sized to the text first, as its angle has it, then what it covered before and
            // after repainted at once: a draw before the sizing would place it anew from its top.
            VxRect before = label->rect;
            if (label->autoSize) document.MeasureObject(*label);
            const VxRect& after = label->rect;
            document.RepaintRect({std::min(before.left, after.left), std::min(before.top, after.top),
                                  std::max(before.right, after.right), std::max(before.bottom, after.bottom)});
        }
    }
    SetLastError(L, label ? 0 : objectNotFound);
    return 0;
}

int LabelIsVisible(lua_State* L) {
    return IsObjectVisible(L, kindLabel);
}
int LabelSetVisible(lua_State* L) {
    return SetObjectVisible(L, kindLabel);
}

int ImageGetFilename(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    auto* image = ObjectArgOf<CVantorixImageObject>(L);
    SetLastError(L, image ? 0 : objectNotFound);
    PushString(L, image ? ResolveSourcePath(DocumentOf(L), image->imageFile) : std::string());
    return 1;
}

int ImageLoad(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    auto* image = ObjectArgOf<CVantorixImageObject>(L);
    const char* name = GetStringArg(L, 2);
    int code = objectNotFound;
    if (image) {
        CKXScriptDocument& document = DocumentOf(L);
        std::string resolved = ResolveSourcePath(document, name);
        if (!WindowsPathExists(resolved)) {
            code = 1109;
        } else {
            image->imageFile = resolved;
            code = document.ReloadObject(*image) ? 0 : 1108;
            document.RepaintObjectRect(*image);
        }
    }
    SetLastError(L, code);
    return 0;
}

int ImageIsVisible(lua_State* L) {
    return IsObjectVisible(L, kindImage);
}
int ImageSetVisible(lua_State* L) {
    return SetObjectVisible(L, kindImage);
}

}  // namespace

// The object of the table's kind named by argument 1, or none.
CVantorixBaseObject* ObjectArg(lua_State* L, int kind) {
    return DocumentOf(L).FindObject(GetStringArg(L, 1), kind);
}

int IsObjectVisible(lua_State* L, int kind) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    CVantorixBaseObject* object = ObjectArg(L, kind);
    SetLastError(L, object ? 0 : objectNotFound);
    lua_pushboolean(L, object && object->visible);
    return 1;
}

int SetObjectVisible(lua_State* L, int kind) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    CVantorixBaseObject* object = ObjectArg(L, kind);
    bool visible = HasArg(L, 2) ? GetBooleanArg(L, 2) : true;
    CKXScriptDocument& document = DocumentOf(L);
    if (object && (object->visible != 0) != visible) {
        object->visible = visible;
        if (document.RedrawEnabled()) document.RepaintObjectRect(*object);
    }
    SetLastError(L, object ? 0 : objectNotFound);
    return 0;
}

std::string ExpandLineBreaks(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == 'N')) {
            out += "\r\n";
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

const luaL_Reg* PageActionFunctions() {
    static const luaL_Reg functions[] = {
        {"Jump", Jump}, {"Navigate", Navigate}, {"Redraw", Redraw}, {nullptr, nullptr}};
    return functions;
}

const luaL_Reg* DialogActionFunctions() {
    static const luaL_Reg functions[] = {{"FileBrowse", FileBrowse},
                                         {"Input", Input},
                                         {"Message", Message},
                                         {"PasswordInput", PasswordInput},
                                         {nullptr, nullptr}};
    return functions;
}

const luaL_Reg* ButtonActionFunctions() {
    static const luaL_Reg functions[] = {{"GetState", ButtonGetState},
                                         {"GetText", ButtonGetText},
                                         {"IsVisible", ButtonIsVisible},
                                         {"SetState", ButtonSetState},
                                         {"SetText", ButtonSetText},
                                         {"SetVisible", ButtonSetVisible},
                                         {nullptr, nullptr}};
    return functions;
}

const luaL_Reg* LabelActionFunctions() {
    static const luaL_Reg functions[] = {{"GetText", LabelGetText},
                                         {"IsVisible", LabelIsVisible},
                                         {"SetText", LabelSetText},
                                         {"SetVisible", LabelSetVisible},
                                         {nullptr, nullptr}};
    return functions;
}

const luaL_Reg* ImageActionFunctions() {
    static const luaL_Reg functions[] = {{"GetFilename", ImageGetFilename},
                                         {"IsVisible", ImageIsVisible},
                                         {"Load", ImageLoad},
                                         {"SetVisible", ImageSetVisible},
                                         {nullptr, nullptr}};
    return functions;
}
