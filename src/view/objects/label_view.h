#pragma once

#include <QFont>
#include <QSize>
#include <string>

#include "view/objects/object_view.h"

class CVantorixTextObject;

// A label: one block of text in the label's font and state colour, at one of four angles. It
// takes the size of its text as it draws; a disabled label neither highlights nor clicks.
class CLabelView : public CTextBlockView {
public:
    explicit CLabelView(CVantorixTextObject& label);

    void Paint(CDIBSMemDC& dc, const CObjectServices& services) override;
    bool PaintsOutsideBox() const override { return true; }
    void LeavePage() override;
    // A label that sizes itself takes the size of its new text.
    void Measure(const CObjectServices& services) override;

protected:
    const ObjectSounds* Sounds() const override;

private:
    CVantorixTextObject& label;
    // The font and the text's size are made once and kept until the text changes.
    QFont font;
    bool fontMade = false;
    std::string measuredText;
    QSize measuredSize;
    bool measured = false;
};
