#pragma once

#include "view/objects/object_view.h"

class CVantorixParagraphObject;

// A paragraph: wrapped, scrolling text. Until its drawing lands it highlights and clicks as a
// plain object and shows its disabled state.
class CParagraphView : public CObjectView {
public:
    explicit CParagraphView(CVantorixParagraphObject& paragraph);
    int InitialDisplayState() const override;

private:
    CVantorixParagraphObject& paragraph;
};
