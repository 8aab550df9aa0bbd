#pragma once

#include <span>
#include <string_view>

// What stands in for a Windows font face on this system when the face itself is missing: the
// font file Wine ships for it (Debian's fonts-wine, looked for in wineFontFolder), else the
// first installed family of the list. Metric-compatible families come first, so that labels,
// which size themselves to their text, keep their layout.
struct FontSubstitute {
    std::string_view windowsFace;
    std::string_view wineFile;  // empty: Wine has none
    std::span<const std::string_view> families;
    bool metricCompatible;  // the first family has the face's widths, not just its look
};

inline constexpr std::string_view wineFontFolder = "/usr/share/wine/fonts";

std::span<const FontSubstitute> WindowsFontSubstitutes();
// The entry of a face (compared ignoring ASCII case), or null.
const FontSubstitute* FindFontSubstitute(std::string_view face);
