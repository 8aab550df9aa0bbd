#include "platform/qt/virtual_keys.h"

#include <gtest/gtest.h>

namespace {

TEST(VirtualKeys, QtKeysBecomeWindowsKeyDowns) {
    using M = Qt::KeyboardModifier;
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        std::optional<WindowsKeyDown> down;
    };
    const Case cases[] = {
        {Qt::Key_A, M::NoModifier, WindowsKeyDown{65, false, false, false}},
        {Qt::Key_A, M::ShiftModifier, WindowsKeyDown{65, false, false, true}},
        {Qt::Key_F1, M::NoModifier, WindowsKeyDown{112, false, false, false}},
        // System keys: Alt combinations, Alt itself and F10 reach no window as key-downs.
        {Qt::Key_X, M::AltModifier, std::nullopt},
        {Qt::Key_Alt, M::AltModifier, std::nullopt},
        {Qt::Key_Alt, M::NoModifier, std::nullopt},
        {Qt::Key_F10, M::NoModifier, std::nullopt},
        {Qt::Key_F10, M::ControlModifier, std::nullopt},
        // With Ctrl down an Alt combination is an ordinary key-down.
        {Qt::Key_X, M::ControlModifier | M::AltModifier, WindowsKeyDown{88, true, true, false}},
        // A modifier key pressed alone reports itself as held.
        {Qt::Key_Control, M::NoModifier, WindowsKeyDown{17, true, false, false}},
        {Qt::Key_Shift, M::NoModifier, WindowsKeyDown{16, false, false, true}},
        // AltGr is Ctrl with Alt.
        {Qt::Key_AltGr, M::NoModifier, WindowsKeyDown{18, true, true, false}},
        {Qt::Key_E, M::GroupSwitchModifier, WindowsKeyDown{69, true, true, false}},
        // The keypad has codes of its own; its Enter and arrows are the main keys'.
        {Qt::Key_5, M::KeypadModifier, WindowsKeyDown{0x65, false, false, false}},
        {Qt::Key_Plus, M::KeypadModifier, WindowsKeyDown{107, false, false, false}},
        {Qt::Key_Minus, M::KeypadModifier, WindowsKeyDown{109, false, false, false}},
        {Qt::Key_Period, M::KeypadModifier, WindowsKeyDown{110, false, false, false}},
        {Qt::Key_Enter, M::KeypadModifier, WindowsKeyDown{13, false, false, false}},
        {Qt::Key_Home, M::KeypadModifier, WindowsKeyDown{36, false, false, false}},
        // The main keyboard's symbols give the key they are on.
        {Qt::Key_5, M::NoModifier, WindowsKeyDown{53, false, false, false}},
        {Qt::Key_Minus, M::NoModifier, WindowsKeyDown{189, false, false, false}},
        {Qt::Key_Plus, M::ShiftModifier, WindowsKeyDown{187, false, false, true}},
        {Qt::Key_Asterisk, M::ShiftModifier, WindowsKeyDown{56, false, false, true}},
        {Qt::Key_Question, M::ShiftModifier, WindowsKeyDown{191, false, false, true}},
        // Keys without a code make no key-down.
        {Qt::Key_sterling, M::NoModifier, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyDownOfQtKey(c.key, c.modifiers), c.down) << std::hex << c.key << " " << c.modifiers.toInt();
    }
}

}  // namespace
