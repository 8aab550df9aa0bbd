#include "view/object_events.h"

#include <algorithm>

#include "actions/action_support.h"
#include "engine/px_runtime_doc.h"
#include "project/vantorix_button_object.h"
#include "project/vantorix_image_object.h"
#include "project/vantorix_menu_page.h"
#include "project/vantorix_text_object.h"
#include "view/object_painters.h"
#include "view/px_runtime_view.h"

namespace {

constexpr int effectsChannel = 0;

const ObjectSounds* SoundsOf(CVantorixBaseObject& object) {
    if (auto* button = dynamic_cast<CVantorixButtonObject*>(&object)) return &button->sounds;
    if (auto* image = dynamic_cast<CVantorixImageObject*>(&object)) return &image->sounds;
    if (auto* label = dynamic_cast<CVantorixTextObject*>(&object)) return &label->sounds;
    return nullptr;
}

// Mode 1 plays the project's default sound, mode 2 the object's own file, on the effects channel.
void PlaySound(CPXRuntimeDoc& document, CVantorixBaseObject& object, bool hover) {
    const ObjectSounds* sounds = SoundsOf(object);
    if (!sounds) return;
    int mode = hover ? sounds->hoverSoundMode : sounds->clickSoundMode;
    std::string file;
    if (mode == 1) file = hover ? document.project->info.defaultHoverSound : document.project->info.defaultClickSound;
    if (mode == 2) file = hover ? sounds->hoverSoundFile : sounds->clickSoundFile;
    std::string path = ResolveSourcePath(document, file);
    if (path.empty()) return;
    if (document.audioManager.Load(effectsChannel, path, false) == 0) document.audioManager.Play(effectsChannel);
}

// Runs one of the object's events; afterwards the pointer is looked at again when the script
// changed whether the object shows or reacts.
void RunObjectEvent(CPXRuntimeDoc& document, CPXRuntimeView& view, CVantorixBaseObject& object,
                    const std::string& eventName, bool refreshAfter) {
    std::string script = object.GetEventScript(eventName);
    if (script.empty() || !document.currentPage) return;
    int visible = object.visible, enabled = object.enabled;
    document.RunEventScript(script, document.currentPage->pageName + " -> " + object.objectName + " -> " + eventName,
                            "local this=\"" + object.objectName + "\";");
    if (refreshAfter && (visible != object.visible || enabled != object.enabled)) view.RefreshHover();
}

bool IsLabel(const CVantorixBaseObject& object) { return object.typeCode == kindLabel; }

// A button at rest: a latched toggle down, any other up; the disabled forms when disabled.
int ButtonRestState(const CVantorixButtonObject& button) {
    int rest = button.toggle && button.latched ? 3 : 0;
    return button.enabled ? rest : rest + 2;
}

bool ButtonEvent(CVantorixButtonObject& button, CPXRuntimeView& view, CPXRuntimeDoc& document, const char* what) {
    std::string event = what;
    if (!button.visible || !button.enabled) {
        if (!button.visible) button.displayState = ButtonRestState(button);
        return true;
    }
    bool latchedToggle = button.toggle && button.latched;
    if (event == "enter") {
        view.SetObjectCursor(button.cursorKind);
        if (button.displayState == 1 || button.displayState == 4 || (!button.toggle && button.displayState == 3)) return true;
        button.displayState = latchedToggle ? 4 : 1;
        PlaySound(document, button, true);
        view.RedrawRectNow(button.rect);
        RunObjectEvent(document, view, button, "On Enter", true);
    } else if (event == "leave") {
        int rest = latchedToggle ? 3 : 0;
        if (button.displayState == rest) return true;
        button.displayState = rest;
        view.SetObjectCursor(0);
        view.RedrawRectNow(button.rect);
        RunObjectEvent(document, view, button, "On Leave", false);
    } else if (event == "press") {
        if (!button.toggle) {
            if (button.displayState == 3) return true;
            button.displayState = 3;
        }
        PlaySound(document, button, false);
        view.RedrawRectNow(button.rect);
    } else {  // release: the click
        if (button.toggle) {
            button.latched = !button.latched;
            button.displayState = button.latched ? 4 : 1;
        } else {
            button.displayState = 1;
        }
        view.RedrawRectNow(button.rect);
        RunObjectEvent(document, view, button, "On Click", true);
        if (button.enabled) button.displayState = button.toggle && button.latched ? 4 : 1;
    }
    return true;
}

void Reset(CVantorixBaseObject& object) {
    object.displayState = IsLabel(object) && !object.enabled ? 2 : 0;
}

void Repaint(CPXRuntimeView& view, CVantorixBaseObject& object) {
    if (IsLabel(object)) view.RedrawRectNow(object.rect);
}

bool Reacts(const CVantorixBaseObject& object) { return object.visible && (!IsLabel(object) || object.enabled); }

}  // namespace

bool HitTest(CVantorixBaseObject& object, QPoint point) {
    if (!object.visible || !object.enabled) return false;
    if (!ToQRect(object.rect).contains(point)) return false;
    if (auto* button = dynamic_cast<CVantorixButtonObject*>(&object)) {
        // The state picture at the object's size decides, through the file's hit threshold.
        auto* runtime = static_cast<ButtonRuntime*>(button->runtime.get());
        if (!runtime || !runtime->loaded || runtime->button.HitThreshold() == -1) return true;
        int width = object.rect.right - object.rect.left, height = object.rect.bottom - object.rect.top;
        const CISImageEx* picture = runtime->button.GetStatePicture(std::clamp(object.displayState, 0, 5), width, height);
        if (!picture || picture->Depth() != 32) return true;
        auto x = static_cast<std::size_t>(point.x() - object.rect.left), y = static_cast<std::size_t>(point.y() - object.rect.top);
        if (x >= picture->Width() || y >= picture->Height()) return true;
        return picture->Pixels()[y * picture->RowBytes() + x * 4 + 3] > runtime->button.HitThreshold();
    }
    if (auto* image = dynamic_cast<CVantorixImageObject*>(&object); image && image->alphaHitTest) {
        auto* runtime = static_cast<ImageRuntime*>(image->runtime.get());
        if (runtime && runtime->loaded && runtime->hit.Depth() == 32) {
            auto x = static_cast<std::size_t>(point.x() - object.rect.left), y = static_cast<std::size_t>(point.y() - object.rect.top);
            if (x < runtime->hit.Width() && y < runtime->hit.Height()) {
                return runtime->hit.Pixels()[y * runtime->hit.RowBytes() + x * 4 + 3] > 200;
            }
        }
    }
    return true;
}

void ObjectEnter(CVantorixBaseObject& object, CPXRuntimeView& view, CPXRuntimeDoc& document) {
    if (auto* button = dynamic_cast<CVantorixButtonObject*>(&object)) {
        ButtonEvent(*button, view, document, "enter");
        return;
    }
    if (!object.visible) {
        Reset(object);
        return;
    }
    if (!Reacts(object)) return;
    view.SetObjectCursor(object.cursorKind);
    if (object.displayState == 1 || object.displayState == 3) return;
    object.displayState = 1;
    PlaySound(document, object, true);
    Repaint(view, object);
    RunObjectEvent(document, view, object, "On Enter", true);
}

void ObjectLeave(CVantorixBaseObject& object, CPXRuntimeView& view, CPXRuntimeDoc& document) {
    if (auto* button = dynamic_cast<CVantorixButtonObject*>(&object)) {
        ButtonEvent(*button, view, document, "leave");
        return;
    }
    if (!object.visible) {
        Reset(object);
        return;
    }
    if (!Reacts(object) || object.displayState == 0) return;
    view.SetObjectCursor(0);
    object.displayState = 0;
    Repaint(view, object);
    RunObjectEvent(document, view, object, "On Leave", false);
}

void ObjectPress(CVantorixBaseObject& object, CPXRuntimeView& view, CPXRuntimeDoc& document) {
    if (auto* button = dynamic_cast<CVantorixButtonObject*>(&object)) {
        ButtonEvent(*button, view, document, "press");
        return;
    }
    if (!object.visible) {
        Reset(object);
        return;
    }
    if (!Reacts(object) || object.displayState == 3) return;
    object.displayState = 3;
    PlaySound(document, object, false);
    Repaint(view, object);
}

void ObjectRelease(CVantorixBaseObject& object, CPXRuntimeView& view, CPXRuntimeDoc& document) {
    if (auto* button = dynamic_cast<CVantorixButtonObject*>(&object)) {
        ButtonEvent(*button, view, document, "release");
        return;
    }
    if (!IsLabel(object)) {
        object.displayState = 0;
        if (!object.visible) return;
        RunObjectEvent(document, view, object, "On Click", true);
        object.displayState = 1;
        return;
    }
    if (!object.visible) {
        Reset(object);
        return;
    }
    if (!object.enabled) return;
    object.displayState = 1;
    Repaint(view, object);
    RunObjectEvent(document, view, object, "On Click", true);
    if (object.enabled) object.displayState = 1;
}
