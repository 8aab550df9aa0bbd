#include "view/objects/object_factory.h"

#include <map>

#include "project/vantorix_button_object.h"
#include "project/vantorix_flash_object.h"
#include "project/vantorix_image_object.h"
#include "project/vantorix_paragraph_object.h"
#include "project/vantorix_text_object.h"
#include "project/vantorix_video_object.h"
#include "view/objects/button_view.h"
#include "view/objects/flash_view.h"
#include "view/objects/image_view.h"
#include "view/objects/label_view.h"
#include "view/objects/paragraph_view.h"
#include "view/objects/video_view.h"

namespace {

using Creator = std::unique_ptr<CObjectView> (*)(CVantorixBaseObject&);

// The kind's view when the record is of the kind's class.
template <class Record, class View>
std::unique_ptr<CObjectView> Make(CVantorixBaseObject& object) {
    auto* record = dynamic_cast<Record*>(&object);
    return record ? std::make_unique<View>(*record) : nullptr;
}

const std::map<int, Creator>& Creators() {
    static const std::map<int, Creator> creators = {
        {kindButton, Make<CVantorixButtonObject, CButtonView>},
        {kindLabel, Make<CVantorixTextObject, CLabelView>},
        {kindParagraph, Make<CVantorixParagraphObject, CParagraphView>},
        {kindImage, Make<CVantorixImageObject, CImageView>},
        {kindFlash, Make<CVantorixFlashObject, CFlashView>},
        {kindVideo, Make<CVantorixVideoObject, CVideoView>},
    };
    return creators;
}

}  // namespace

std::unique_ptr<CObjectView> CreateObjectView(CVantorixBaseObject& object) {
    auto found = Creators().find(object.typeCode);
    std::unique_ptr<CObjectView> view = found != Creators().end() ? found->second(object) : nullptr;
    return view ? std::move(view) : std::make_unique<CObjectView>(object);
}

CObjectView& ObjectViewOf(CVantorixBaseObject& object) {
    // Only this factory fills an object's runtime slot.
    if (!object.runtime) object.runtime = CreateObjectView(object);
    return static_cast<CObjectView&>(*object.runtime);
}
