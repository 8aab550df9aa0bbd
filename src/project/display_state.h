#pragma once

// How an object shows itself at run time. The numbers are the ones of the button files' state
// pictures; they matter nowhere else.
enum class DisplayState : int {
    normal = 0,
    highlighted = 1,
    disabled = 2,
    pressed = 3,
    pressedHighlighted = 4,
    pressedDisabled = 5,
};

// The disabled form of a normal or pressed state.
inline DisplayState Disabled(DisplayState state) {
    return state == DisplayState::pressed ? DisplayState::pressedDisabled : DisplayState::disabled;
}
