#pragma once

#include <memory>

#include "graphics/image/cis_image_ex.h"
#include "view/objects/object_view.h"

class CVantorixImageObject;

// An image object: its picture with colour key and opacity at the object's size, or the
// placeholder when the file cannot be shown. With its alpha test on it takes the pointer only
// over pixels whose alpha (before the fade) is above 200.
class CImageView : public CObjectView {
public:
    explicit CImageView(CVantorixImageObject& image);

    void Paint(CDIBSMemDC& dc, const CObjectServices& services) override;
    bool HitTest(QPoint point) override;
    void LeavePage() override;
    // Loads (or loads again) the picture with its colour key, opacity and size.
    bool Reload(const CObjectServices& services) override;

protected:
    const ObjectSounds* Sounds() const override;

public:
    // The display picture and the unfaded hit picture, both at the object's size. The hit
    // picture is kept only when it differs from the display (a faded object with its alpha
    // test on). Objects that show one file the same way share them.
    struct Prepared {
        CISImageEx display;
        CISImageEx hit;
        const CISImageEx& HitPicture() const { return hit.IsEmpty() ? display : hit; }
    };

private:
    CVantorixImageObject& image;
    std::shared_ptr<const Prepared> prepared;
};
