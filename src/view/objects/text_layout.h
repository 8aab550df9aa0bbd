#pragma once

#include <QFont>
#include <QRect>
#include <QStringList>
#include <string>

class CKXFont;
class CodePage;

// Fonts and text blocks of labels and button captions.
QFont MakeFont(const CKXFont& font, const CodePage& codePage);
// The lines of a text, split at line feeds with a carriage return before one dropped.
QStringList LinesOf(const std::string& text, const CodePage& codePage);
// The box of a text block: the widest line plus 6, the lines' height plus 6; 5 x 5 when empty.
QRect MeasureText(const std::string& text, const QFont& font, const CodePage& codePage, QPoint topLeft);
