#include "view/objects/paragraph_view.h"

#include "project/vantorix_paragraph_object.h"

CParagraphView::CParagraphView(CVantorixParagraphObject& paragraph) : CObjectView(paragraph), paragraph(paragraph) {}

int CParagraphView::InitialDisplayState() const {
    return paragraph.enabled ? 0 : 2;
}
