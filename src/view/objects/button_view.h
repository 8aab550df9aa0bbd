#pragma once

#include "view/buttons/kx_button.h"
#include "view/objects/object_view.h"

class CVantorixButtonObject;

// A button: the state pictures of its button file with its caption, pushed or toggled. The state
// picture at the object's size decides where it takes the pointer, through the file's hit
// threshold.
class CButtonView : public CObjectView {
public:
    explicit CButtonView(CVantorixButtonObject& button);

    void Paint(CDIBSMemDC& dc, const CObjectServices& services) override;
    bool HitTest(QPoint point) override;
    void Enter(CObjectHost& host) override;
    void Leave(CObjectHost& host) override;
    void Press(CObjectHost& host) override;
    void Release(CObjectHost& host) override;
    void LeavePage() override;
    DisplayState InitialDisplayState() const override;

protected:
    const ObjectSounds* Sounds() const override;

private:
    // A button at rest: a latched toggle down, any other up; the disabled forms when disabled.
    DisplayState RestState() const override;
    // Hidden and disabled buttons do not react; a hidden one goes back to rest.
    bool Ignores();
    // Loads the button's file on first use; it is kept until the page is left.
    void Load(const CObjectServices& services);

    CVantorixButtonObject& button;
    CKXButton file;
    bool loaded = false;
};
