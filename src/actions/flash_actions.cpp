#include "actions/flash_actions.h"

#include <cmath>
#include <limits>
#include <optional>

#include "actions/action_support.h"
#include "actions/page_actions.h"
#include "media/flash_control.h"
#include "project/vantorix_flash_object.h"

namespace {

enum : int {
    kSeekFailed = 1104,
    kControlException = 1115,
};

// The control of the Flash object named by argument 1: null when the current page has no such
// object (1100 set) or its control is not live (nothing happens, error 0).
CKXFlashControl* ControlArg(lua_State* L) {
    auto* flash = dynamic_cast<CVantorixFlashObject*>(ObjectArg(L, kindFlash));
    SetLastError(L, flash ? 0 : objectNotFound);
    return flash ? flash->control : nullptr;
}

template <bool (CKXFlashControl::*operation)()>
int Command(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    CKXFlashControl* control = ControlArg(L);
    if (control && !(control->*operation)()) SetLastError(L, kControlException);
    return 0;
}

int GetState(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    CKXFlashControl* control = ControlArg(L);
    std::optional<int> state;
    if (control) {
        state = control->GetReadyState();
        if (!state) SetLastError(L, kControlException);
    }
    lua_pushnumber(L, state.value_or(-1));
    return 1;
}

// A frame count as scripts give it: truncated, with what is no number or out of range as 0.
int FramesOf(lua_Number value) {
    if (std::isnan(value)) return 0;
    value = std::trunc(value);
    constexpr double limit = std::numeric_limits<int>::max() / 2;
    return value > limit || value < -limit ? 0 : static_cast<int>(value);
}

int Seek(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    int mode = GetIntegerArg(L, 2);
    int frames = HasArg(L, 3) ? FramesOf(GetNumberArg(L, 3)) : 0;
    CKXFlashControl* control = ControlArg(L);
    if (!control) return 0;
    std::optional<int> total = control->TotalFrames(), current = control->CurrentFrame();
    if (!total || !current) {
        SetLastError(L, kControlException);
        return 0;
    }
    std::optional<int> to;
    switch (mode) {
        case 0:
            if (!control->Rewind()) SetLastError(L, kControlException);
            return 0;
        case 1:
            to = *total;
            break;
        case 2:
            if (*current + frames <= *total) to = *current + frames;
            break;
        case 3:
            if (*current - frames >= 0) to = *current - frames;
            break;
        case 4:
            to = frames;
            break;
        default:
            SetLastError(L, kSeekFailed);
            return 0;
    }
    if (to && !control->GotoFrame(*to)) SetLastError(L, kControlException);
    return 0;
}

int IsVisible(lua_State* L) {
    return IsObjectVisible(L, kindFlash);
}

int SetVisible(lua_State* L) {
    return SetObjectVisible(L, kindFlash);
}

const luaL_Reg kFunctions[] = {
    {"GetState", GetState}, {"IsVisible", IsVisible},   {"Play", Command<&CKXFlashControl::Play>},
    {"Seek", Seek},         {"SetVisible", SetVisible}, {"Stop", Command<&CKXFlashControl::Stop>},
    {nullptr, nullptr},
};

}  // namespace

const luaL_Reg* FlashActionFunctions() {
    return kFunctions;
}
