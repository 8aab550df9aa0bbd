#include "media/flash_settings.h"

#include "media/flash_control.h"
#include "project/vantorix_flash_object.h"

int FlashAlignBits(int alignment) {
    constexpr int bits[] = {0, 4, 1, 8, 2, 5, 9, 6, 10};
    return alignment >= 0 && alignment < static_cast<int>(std::size(bits)) ? bits[alignment] : 0;
}

std::string FlashQualityText(int quality) {
    constexpr const char* texts[] = {"low", "high", "autolow", "autohigh"};
    return quality >= 0 && quality < static_cast<int>(std::size(texts)) ? texts[quality] : "autohigh";
}

int FlashBackgroundColor(const CVantorixFlashObject& flash) {
    if (!flash.customBackground) return -1;
    // Stored with red in the low byte.
    unsigned color = static_cast<unsigned>(flash.backgroundColor);
    return static_cast<int>((color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF));
}

bool ApplyFlashSettings(CKXFlashControl& control, const CVantorixFlashObject& flash, const std::string& movieHostPath) {
    return control.PutQuality2(FlashQualityText(flash.quality)) && control.PutScaleMode(flash.scaleMode) &&
           control.PutAlignMode(FlashAlignBits(flash.alignment)) &&
           control.PutBackgroundColor(FlashBackgroundColor(flash)) && control.PutMenu(flash.showMenu != 0) &&
           control.PutDeviceFont(flash.deviceFont != 0) && control.PutMovie(movieHostPath) &&
           control.PutLoop(flash.loop != 0) && (flash.playOnShow ? control.Play() : control.Stop());
}
