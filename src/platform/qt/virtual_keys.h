#pragma once

#include <Qt>
#include <optional>

// A key-down as a Windows program sees it: the virtual-key code and the modifiers held at that
// moment.
struct WindowsKeyDown {
    int virtualKey = 0;
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    bool operator==(const WindowsKeyDown&) const = default;
};

// What a window's key-down message carries for a key pressed with those modifiers, or nothing
// when Windows makes it a system key (Alt without Ctrl, F10, Alt itself), which sends no key-down
// to the window. A modifier key reports itself as held.
std::optional<WindowsKeyDown> WindowKeyDown(int virtualKey, bool ctrl, bool alt, bool shift);

// The Windows virtual-key code of a Qt key (0 when the key has none), on a US layout: shifted
// symbols give the key they are on, keys of the keypad (keypad set) their keypad codes.
int VirtualKeyOfQtKey(int qtKey, bool keypad);

// The key-down a Qt key press makes ("On Key" scripts expect it), or nothing for system keys
// and keys without a code. AltGr is Ctrl with Alt, as Windows reports it; auto-repeated presses
// are key-downs too.
std::optional<WindowsKeyDown> KeyDownOfQtKey(int qtKey, Qt::KeyboardModifiers modifiers);
