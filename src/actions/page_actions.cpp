#include "actions/page_actions.h"

#include <string>

#include "actions/action_support.h"
#include "platform/dialogs.h"
#include "project/vantorix_base_object.h"
#include "project/vantorix_image_object.h"
#include "project/vantorix_text_object.h"
#include "script/lua_engine.h"
#include "script/script_document.h"

namespace {

constexpr int objectNotFound = 1100;
constexpr int pageFirst = 0, pageLast = 1, pageNext = 2, pagePrevious = 3, pageBackward = 4, pageForward = 5;

void PushString(lua_State* L, const std::string& text) { lua_pushlstring(L, text.data(), text.size()); }

void ShowPreviewNotice(CKXScriptDocument& document, const char* action) {
    document.dialogs.MessageBox(std::string(action) + " does not work during a Page Preview", "Notice",
                                MB_ICONINFORMATION);
}

void RecordCurrentPage(CKXScriptDocument& document, std::vector<std::string>& history) {
    history.push_back(document.PageName(document.CurrentPageIndex()));
}

int Jump(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    const char* name = GetStringArg(L, 1);
    CKXScriptDocument& document = DocumentOf(L);
    int code = 0;
    if (document.CurrentPageIndex() >= 0) {
        RecordCurrentPage(document, document.backHistory);
        document.forwardHistory.clear();
    }
    if (document.suppressProjectEvents) {
        ShowPreviewNotice(document, "Page.Jump");
    } else {
        int index = document.FindPageIndex(name);
        if (index < 0) {
            code = 1300;
        } else {
            // Inside "On Preload" the page changes before Jump returns; otherwise after the script.
            bool immediately = document.eventContext.find("On Preload") != std::string::npos;
            if (!document.RequestPageChange(index, immediately)) {
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
    std::string targetName;
    if (current >= 0) {
        auto takeLast = [&](std::vector<std::string>& history) {
            if (history.empty()) return;
            targetName = history.back();
            history.pop_back();
        };
        if (target == pageBackward) {
            RecordCurrentPage(document, document.forwardHistory);
            takeLast(document.backHistory);
        } else if (target == pageForward) {
            RecordCurrentPage(document, document.backHistory);
            takeLast(document.forwardHistory);
        } else {
            RecordCurrentPage(document, document.backHistory);
            document.forwardHistory.clear();
        }
    }
    int count = document.PageCount();
    int index = -1;
    switch (target) {
        case pageFirst: index = 0; break;
        case pageLast: index = count - 1; break;
        case pageNext: index = current + 1 <= count - 1 ? current + 1 : -1; break;
        case pagePrevious: index = current - 1 >= 0 ? current - 1 : -1; break;
        case pageBackward:
        case pageForward: index = targetName.empty() ? -1 : document.FindPageIndex(targetName); break;
        default: break;
    }
    if (document.suppressProjectEvents) {
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

// The object of the table's kind named by argument 1, or none.
CVantorixBaseObject* ObjectArg(lua_State* L, int kind) {
    return DocumentOf(L).FindObject(GetStringArg(L, 1), kind);
}

int IsVisible(lua_State* L, int kind) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    CVantorixBaseObject* object = ObjectArg(L, kind);
    SetLastError(L, object ? 0 : objectNotFound);
    lua_pushboolean(L, object && object->visible);
    return 1;
}

int SetVisible(lua_State* L, int kind) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    CVantorixBaseObject* object = ObjectArg(L, kind);
    bool visible = HasArg(L, 2) ? GetBooleanArg(L, 2) : true;
    CKXScriptDocument& document = DocumentOf(L);
    if (object && (object->visible != 0) != visible) {
        object->visible = visible;
        if (document.redrawEnabled) document.RepaintObjectRect(*object);
    }
    SetLastError(L, object ? 0 : objectNotFound);
    return 0;
}

int LabelGetText(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    auto* label = dynamic_cast<CVantorixTextObject*>(ObjectArg(L, kindLabel));
    SetLastError(L, label ? 0 : objectNotFound);
    PushString(L, label ? label->text : std::string());
    return 1;
}

int LabelSetText(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    auto* label = dynamic_cast<CVantorixTextObject*>(ObjectArg(L, kindLabel));
    const char* text = GetStringArg(L, 2);
    if (label) {
        label->text = ExpandLineBreaks(text);
        CKXScriptDocument& document = DocumentOf(L);
        if (document.HasMainWindow()) {
            // Repaints what the label covered before and after it sized itself to the text.
            document.RepaintObjectRect(*label);
            if (label->autoSize) document.MeasureLabel(*label);
            document.RepaintObjectRect(*label);
        }
    }
    SetLastError(L, label ? 0 : objectNotFound);
    return 0;
}

int LabelIsVisible(lua_State* L) { return IsVisible(L, kindLabel); }
int LabelSetVisible(lua_State* L) { return SetVisible(L, kindLabel); }

int ImageGetFilename(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    auto* image = dynamic_cast<CVantorixImageObject*>(ObjectArg(L, kindImage));
    SetLastError(L, image ? 0 : objectNotFound);
    PushString(L, image ? ResolveSourcePath(DocumentOf(L), image->imageFile) : std::string());
    return 1;
}

int ImageLoad(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    auto* image = dynamic_cast<CVantorixImageObject*>(ObjectArg(L, kindImage));
    const char* name = GetStringArg(L, 2);
    int code = objectNotFound;
    if (image) {
        CKXScriptDocument& document = DocumentOf(L);
        std::string resolved = ResolveSourcePath(document, name);
        if (!WindowsPathExists(resolved)) {
            code = 1109;
        } else {
            image->imageFile = resolved;
            code = document.ReloadImage(*image) ? 0 : 1108;
            document.RepaintObjectRect(*image);
        }
    }
    SetLastError(L, code);
    return 0;
}

int ImageIsVisible(lua_State* L) { return IsVisible(L, kindImage); }
int ImageSetVisible(lua_State* L) { return SetVisible(L, kindImage); }

}  // namespace

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
    static const luaL_Reg functions[] = {{"Jump", Jump}, {"Navigate", Navigate}, {"Redraw", Redraw}, {nullptr, nullptr}};
    return functions;
}

const luaL_Reg* DialogActionFunctions() {
    static const luaL_Reg functions[] = {{"Message", Message}, {nullptr, nullptr}};
    return functions;
}

const luaL_Reg* LabelActionFunctions() {
    static const luaL_Reg functions[] = {{"GetText", LabelGetText},   {"IsVisible", LabelIsVisible},
                                         {"SetText", LabelSetText},   {"SetVisible", LabelSetVisible},
                                         {nullptr, nullptr}};
    return functions;
}

const luaL_Reg* ImageActionFunctions() {
    static const luaL_Reg functions[] = {{"GetFilename", ImageGetFilename}, {"IsVisible", ImageIsVisible},
                                         {"Load", ImageLoad},               {"SetVisible", ImageSetVisible},
                                         {nullptr, nullptr}};
    return functions;
}
