#include "platform/qt/virtual_keys.h"

#include <utility>

namespace {

constexpr int vkShift = 16, vkControl = 17, vkMenu = 18, vkF10 = 121;

constexpr std::pair<int, int> keys[] = {
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},
    {Qt::Key_AltGr, 18},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Print, 44},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_Meta, 91},
    {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
    // The main keyboard's symbols, shifted or not, by the key they are on (US layout).
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},
    {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},
    {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},
    {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221},
    {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},
};

// The keypad's own codes; its other keys (Enter, and the arrows and the like with Num Lock off)
// are those of the main keys.
constexpr std::pair<int, int> keypadKeys[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},  {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},   {Qt::Key_Comma, 110}, {Qt::Key_Slash, 111},
};

}  // namespace

std::optional<WindowsKeyDown> WindowKeyDown(int virtualKey, bool ctrl, bool alt, bool shift) {
    if (virtualKey <= 0) return std::nullopt;
    if (virtualKey == vkControl) ctrl = true;
    if (virtualKey == vkShift) shift = true;
    if (virtualKey == vkMenu) alt = true;
    // Alt without Ctrl and F10 make system keys.
    if ((alt && !ctrl) || virtualKey == vkF10) return std::nullopt;
    return WindowsKeyDown{virtualKey, ctrl, alt, shift};
}

int VirtualKeyOfQtKey(int qtKey, bool keypad) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) return qtKey;
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return keypad ? 0x60 + (qtKey - Qt::Key_0) : qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 112 + (qtKey - Qt::Key_F1);
    if (keypad) {
        for (auto [qt, vk] : keypadKeys) {
            if (qt == qtKey) return vk;
        }
    }
    for (auto [qt, vk] : keys) {
        if (qt == qtKey) return vk;
    }
    return 0;
}

std::optional<WindowsKeyDown> KeyDownOfQtKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    bool altGr = qtKey == Qt::Key_AltGr || modifiers.testFlag(Qt::GroupSwitchModifier);
    bool ctrl = modifiers.testFlag(Qt::ControlModifier) || altGr;
    bool alt = modifiers.testFlag(Qt::AltModifier) || altGr;
    bool shift = modifiers.testFlag(Qt::ShiftModifier);
    return WindowKeyDown(VirtualKeyOfQtKey(qtKey, modifiers.testFlag(Qt::KeypadModifier)), ctrl, alt, shift);
}
