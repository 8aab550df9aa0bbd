#include "platform/font_substitutes.h"

#include "platform/ascii_case.h"

namespace {

constexpr std::string_view sans[] = {"Liberation Sans", "DejaVu Sans"};
constexpr std::string_view sansNarrow[] = {"Liberation Sans Narrow", "Liberation Sans", "DejaVu Sans"};
constexpr std::string_view serif[] = {"Liberation Serif", "DejaVu Serif"};
constexpr std::string_view mono[] = {"Liberation Mono", "DejaVu Sans Mono"};
constexpr std::string_view calibri[] = {"Carlito", "Liberation Sans"};
constexpr std::string_view cambria[] = {"Caladea", "Liberation Serif"};
constexpr std::string_view wide[] = {"DejaVu Sans", "Liberation Sans"};
constexpr std::string_view wideSerif[] = {"DejaVu Serif", "Liberation Serif"};
constexpr std::string_view comic[] = {"Comic Neue", "DejaVu Sans"};
constexpr std::string_view symbols[] = {"DejaVu Sans"};

constexpr FontSubstitute substitutes[] = {
    // Metric-compatible: the same advance widths as the Windows face.
    {"Arial", "", sans, true},
    {"Arial Narrow", "", sansNarrow, true},
    {"Helvetica", "", sans, true},
    {"Times New Roman", "", serif, true},
    {"Times", "", serif, true},
    {"Courier New", "", mono, true},
    {"Calibri", "", calibri, true},
    {"Cambria", "", cambria, true},
    // Wine's own faces, made to match the Windows ones.
    {"Tahoma", "tahoma.ttf", wide, false},
    {"MS Sans Serif", "ms_sans_serif.ttf", sans, false},
    {"MS Shell Dlg", "ms_sans_serif.ttf", sans, false},
    {"MS Shell Dlg 2", "tahoma.ttf", wide, false},
    {"System", "system.ttf", sans, false},
    {"Fixedsys", "fixedsys.ttf", mono, false},
    {"Small Fonts", "small_fonts.ttf", sans, false},
    {"Courier", "courier.ttf", mono, false},
    {"Symbol", "symbol.ttf", symbols, false},
    {"Wingdings", "wingding.ttf", symbols, false},
    {"Webdings", "webdings.ttf", symbols, false},
    {"Marlett", "marlett.ttf", symbols, false},
    // Close in look and width, not in every advance.
    {"Microsoft Sans Serif", "", sans, false},
    {"MS Serif", "", serif, false},
    {"Verdana", "", wide, false},
    {"Trebuchet MS", "", sans, false},
    {"Segoe UI", "", wide, false},
    {"Lucida Sans Unicode", "", wide, false},
    {"Lucida Console", "", mono, false},
    {"Consolas", "", mono, false},
    {"Georgia", "", wideSerif, false},
    {"Palatino Linotype", "", serif, false},
    {"Book Antiqua", "", serif, false},
    {"Garamond", "", serif, false},
    {"Century Gothic", "", wide, false},
    {"Franklin Gothic Medium", "", sansNarrow, false},
    {"Impact", "", sansNarrow, false},
    {"Arial Black", "", wide, false},
    {"Comic Sans MS", "", comic, false},
    {"Candara", "", calibri, false},
    {"Corbel", "", calibri, false},
    {"Constantia", "", cambria, false},
};

}  // namespace

std::span<const FontSubstitute> WindowsFontSubstitutes() {
    return substitutes;
}

const FontSubstitute* FindFontSubstitute(std::string_view face) {
    for (const FontSubstitute& entry : substitutes) {
        if (EqualsIgnoringAsciiCase(entry.windowsFace, face)) return &entry;
    }
    return nullptr;
}
