#pragma once

#include <cstdint>

// The desktop colours Windows programs draw their controls in (0x00BBGGRR), as the classic
// Windows look has them: the one place the player takes them from.
namespace SystemColor {
inline constexpr std::int32_t buttonFace = 0xC8D0D4;       // COLOR_BTNFACE
inline constexpr std::int32_t buttonHighlight = 0xFFFFFF;  // COLOR_BTNHIGHLIGHT
inline constexpr std::int32_t buttonShadow = 0x808080;     // COLOR_BTNSHADOW
inline constexpr std::int32_t darkShadow = 0x404040;       // COLOR_3DDKSHADOW
inline constexpr std::int32_t buttonText = 0x000000;       // COLOR_BTNTEXT
}  // namespace SystemColor
