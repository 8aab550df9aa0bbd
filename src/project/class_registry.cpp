#include <memory>
#include <stdexcept>
#include <unordered_map>

#include "project/design_time_records.h"
#include "project/discarded_objects.h"
#include "project/kx_font.h"
#include "project/kx_ttf_info.h"
#include "project/missing_technology_item_rt.h"
#include "project/project_globals.h"
#include "project/serializable.h"
#include "project/vantorix_base_object.h"
#include "project/vantorix_button_object.h"
#include "project/vantorix_event.h"
#include "project/vantorix_flash_object.h"
#include "project/vantorix_image_object.h"
#include "project/vantorix_menu_page.h"
#include "project/vantorix_paragraph_object.h"
#include "project/vantorix_plugin_object.h"
#include "project/vantorix_project_info.h"
#include "project/vantorix_text_object.h"
#include "project/vantorix_video_object.h"

namespace {

template <class T>
CKXClassInfo Entry(const char* name, std::uint16_t schema = 1) {
    return {name, schema, [] { return RecordRef(std::make_shared<T>()); }};
}

const std::vector<CKXClassInfo>& Classes() {
    static const std::vector<CKXClassInfo> classes = {
        Entry<CVantorixProjectInfo>("CVantorixProjectInfo"),
        Entry<CVantorixBuildSettings>("CVantorixBuildSettings"),
        Entry<CVantorixBuildConfiguration>("CVantorixBuildConfiguration"),
        Entry<CVantorixConstant>("CVantorixConstant"),
        Entry<CVantorixLanguageSetting>("CVantorixLanguageSetting"),
        Entry<CProjectGlobals>("CProjectGlobals"),
        Entry<CVantorixMenuPage>("CVantorixMenuPage"),
        Entry<CVantorixEvent>("CVantorixEvent"),
        Entry<CVantorixSimpleEvent>("CVantorixSimpleEvent"),
        Entry<CVantorixBaseObject>("CVantorixBaseObject"),
        Entry<CVantorixButtonObject>("CVantorixButtonObject"),
        Entry<CVantorixTextObject>("CVantorixTextObject"),
        Entry<CVantorixParagraphObject>("CVantorixParagraphObject"),
        Entry<CVantorixImageObject>("CVantorixImageObject"),
        Entry<CVantorixFlashObject>("CVantorixFlashObject"),
        Entry<CVantorixVideoObject>("CVantorixVideoObject"),
        Entry<CVantorixWebObject>("CVantorixWebObject"),
        Entry<CVantorixEditFieldObject>("CVantorixEditFieldObject"),
        Entry<CVantorixHotspotObject>("CVantorixHotspotObject"),
        Entry<CVantorixListBoxObject>("CVantorixListBoxObject"),
        Entry<CVantorixPluginObject>("CVantorixPluginObject"),
        Entry<CMissingTechnologyItemRT>("CMissingTechnologyItemRT"),
        Entry<CKXTTFInfo>("CKXTTFInfo"),
        Entry<CFontManager>("CFontManager"),
        Entry<CFontManagerInfo>("CFontManagerInfo"),
        Entry<CListBoxItem>("CListBoxItem"),
        Entry<CKXFont>("CKXFont"),
        Entry<CVantorixMessage>("CVantorixMessage", 0xFFFF),
        Entry<CVantorixLanguage>("CVantorixLanguage", 0xFFFF),
    };
    return classes;
}

}  // namespace

const CKXClassInfo* FindRegisteredClass(const std::string& name) {
    static const auto byName = [] {
        std::unordered_map<std::string, const CKXClassInfo*> map;
        for (const CKXClassInfo& info : Classes()) map[info.name] = &info;
        return map;
    }();
    auto it = byName.find(name);
    return it == byName.end() ? nullptr : it->second;
}

const CKXClassInfo& RegisteredClassOf(const CKXSerializable& record) {
    const CKXClassInfo* info = FindRegisteredClass(record.ClassName());
    if (!info) throw std::logic_error(std::string("unregistered class ") + record.ClassName());
    return *info;
}
