#pragma once

#include <QCursor>
#include <QPixmap>
#include <optional>

// The cursor an object asks for while the pointer is over it, by its cursor kind:
//   0 arrow, 1 pointing hand, 2 black arrow, 3 crosshair, 4 folder with magnifying glass,
//   5 arrow with question mark, 6 magnifying glass, 7 film reel, 8 banknotes and coins,
//   9 notepad, 10 pencil, 11 printer, 12 loudspeaker, 13 up-arrow.
// Kinds 0, 3, 5 and 13 are the desktop's own cursors; the others are drawn here once, 32 x 32,
// and kept. Any other kind gives nullopt: the view keeps the cursor it has.
// Needs a QGuiApplication.
std::optional<QCursor> CursorForKind(int kind);

// The drawn picture of a kind (32 x 32 with alpha); a null pixmap for the desktop's cursors
// and unknown kinds.
QPixmap CursorPixmapForKind(int kind);
