#pragma once

#include <QFont>
#include <QRect>
#include <string>

#include "project/serializable.h"
#include "view/cis_image_ex.h"
#include "view/kx_button.h"

class CDIBSMemDC;
class CKXFont;
class CKXScriptDocument;
class CodePage;
class CVantorixButtonObject;
class CVantorixImageObject;
class CVantorixMenuPage;
class CVantorixTextObject;

// What an image object keeps while its page is shown: the prepared display picture and the
// unfaded hit picture, both at the object's size.
struct ImageRuntime : CKXRuntimeState {
    CISImageEx display;
    CISImageEx hit;
    bool loaded = false;
};

// What a label keeps between draws: its font and the measured size of its current text.
struct LabelRuntime : CKXRuntimeState {
    QFont font;
    bool fontMade = false;
    std::string measuredText;
    QSize measuredSize;
    bool measured = false;
};

// A button's loaded button file.
struct ButtonRuntime : CKXRuntimeState {
    CKXButton button;
    bool loaded = false;
};

// A page's loaded background picture.
struct PageRuntime : CKXRuntimeState {
    CISImageEx picture;
    bool loaded = false;
};

inline QRect ToQRect(const VxRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

// The host path of a file named by the project: the name itself when it exists, else beside
// the player.
std::string ProjectFileHostPath(const CKXScriptDocument& document, const std::string& name);

// Loads (or loads again) an image object's picture with its colour key, opacity and size.
bool ReloadImage(CVantorixImageObject& image, const CKXScriptDocument& document);
void DrawImageObject(CVantorixImageObject& image, CDIBSMemDC& dc, const CKXScriptDocument& document);

QFont MakeFont(const CKXFont& font, const CodePage& codePage);
// The box of a text block: the widest line plus 6, the lines' height plus 6; 5 x 5 when empty.
QRect MeasureText(const std::string& text, const QFont& font, const CodePage& codePage, QPoint topLeft);
void DrawLabel(CVantorixTextObject& label, CDIBSMemDC& dc, const CodePage& codePage);
// Loads the button's file on first use; the runtime holds it until the page is left.
ButtonRuntime& LoadedButton(CVantorixButtonObject& button, const CKXScriptDocument& document);
void DrawButton(CVantorixButtonObject& button, CDIBSMemDC& dc, const CKXScriptDocument& document);
// After its text changed: a label that sizes itself takes the size of its new text.
void ResizeLabelToText(CVantorixTextObject& label, const CodePage& codePage);

void DrawPageBackground(CVantorixMenuPage& page, CDIBSMemDC& dc, const QRect& pageRect,
                        const CKXScriptDocument& document);
