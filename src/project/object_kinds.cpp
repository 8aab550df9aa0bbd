#include "project/object_kinds.h"

#include "project/vantorix_base_object.h"

const std::vector<ObjectKindInfo>& ObjectKinds() {
    static const std::vector<ObjectKindInfo> kinds = {
        {kindButton, "CVantorixButtonObject", "button", "Button", true, nullptr},
        {kindLabel, "CVantorixTextObject", "label", "Label", true, nullptr},
        {kindParagraph, "CVantorixParagraphObject", "paragraph", "Paragraph", true, nullptr},
        {kindImage, "CVantorixImageObject", "image", "Image", true, nullptr},
        {kindFlash, "CVantorixFlashObject", "flash", "Flash", true, nullptr},
        {kindVideo, "CVantorixVideoObject", "video", "Video", true, nullptr},
        {kindWeb, "CVantorixWebObject", "web", nullptr, false, "web browser objects"},
        {kindInput, "CVantorixEditFieldObject", "input", nullptr, false, "input fields"},
        {kindHotspot, "CVantorixHotspotObject", "hotspot", nullptr, false, "hotspots"},
        {kindListBox, "CVantorixListBoxObject", "listbox", nullptr, false, "list boxes"},
        {kindPlugin, "CVantorixPluginObject", "plugin", nullptr, false, "object plugins"},
    };
    return kinds;
}

const ObjectKindInfo* FindObjectKind(std::int64_t code) {
    for (const ObjectKindInfo& kind : ObjectKinds()) {
        if (kind.code == code) return &kind;
    }
    return nullptr;
}

bool IsShownKind(std::int32_t typeCode) {
    const ObjectKindInfo* kind = FindObjectKind(typeCode);
    return kind && kind->shown;
}
