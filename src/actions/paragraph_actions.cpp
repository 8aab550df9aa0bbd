#include "actions/paragraph_actions.h"

#include <string>

#include "actions/action_support.h"
#include "actions/page_actions.h"
#include "project/vantorix_paragraph_object.h"
#include "script/script_document.h"

namespace {

CVantorixParagraphObject* ParagraphArg(lua_State* L) {
    return dynamic_cast<CVantorixParagraphObject*>(ObjectArg(L, kindParagraph));
}

int GetText(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    CVantorixParagraphObject* paragraph = ParagraphArg(L);
    SetLastError(L, paragraph ? 0 : objectNotFound);
    if (paragraph) {
        lua_pushlstring(L, paragraph->text.data(), paragraph->text.size());
    } else {
        lua_pushliteral(L, "");
    }
    return 1;
}

// The text as given: paragraphs take no "\n" replacement. The scroll positions stay; the next
// draw fits them to the new text.
int SetText(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    CVantorixParagraphObject* paragraph = ParagraphArg(L);
    std::size_t length = 0;
    const char* text = GetStringArg(L, 2, &length);
    if (paragraph) {
        paragraph->text.assign(text, length);
        CKXScriptDocument& document = DocumentOf(L);
        if (document.HasMainWindow()) document.RepaintObjectRect(*paragraph);
    }
    SetLastError(L, paragraph ? 0 : objectNotFound);
    return 0;
}

int IsVisible(lua_State* L) {
    return IsObjectVisible(L, kindParagraph);
}

int SetVisible(lua_State* L) {
    return SetObjectVisible(L, kindParagraph);
}

}  // namespace

const luaL_Reg* ParagraphActionFunctions() {
    static const luaL_Reg functions[] = {
        {"GetText", GetText},       {"IsVisible", IsVisible}, {"SetText", SetText},
        {"SetVisible", SetVisible}, {nullptr, nullptr},
    };
    return functions;
}
