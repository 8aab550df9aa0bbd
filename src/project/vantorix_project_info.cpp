#include "project/vantorix_project_info.h"

#include "project/event_names.h"
#include "project/vantorix_event.h"

CVantorixProjectInfo::CVantorixProjectInfo() {
    AddDefaultEvent(projectEvents, VxEvent::onStartup);
    AddDefaultEvent(projectEvents, VxEvent::onShutdown);
}

void CVantorixProjectInfo::Serialize(CKXFieldVisitor& v) {
    v.Dword("version", version);
    v.Int("windowWidth", windowWidth);
    v.Int("windowHeight", windowHeight);
    v.String("projectTitle", projectTitle);
    v.Int("windowStyle", windowStyle);
    v.Int("windowBackColor", windowBackColor);
    v.Int("movable", movable);
    v.Int("alwaysOnTop", alwaysOnTop);
    v.Int("useCustomIcon", useCustomIcon);
    v.Int("taskbarMode", taskbarMode);
    v.String("iconFileName", iconFileName);
    v.String("maskFileName", maskFileName);
    v.Int("stretchMask", stretchMask);
    v.Member("introSettings", introSettings);
    v.Member("backgroundMusic", backgroundMusic);
    v.Member("globals", globals);
    v.String("startPageName", startPageName);
    v.String("defaultHoverSound", defaultHoverSound);
    v.String("defaultClickSound", defaultClickSound);
    v.Int("pageLeaveMode", pageLeaveMode);
    v.Int("skipSoundOnNT4", skipSoundOnNT4);
    v.Int("unusedNumber", unusedNumber);
    v.String("unusedText", unusedText);
    v.Int("unusedFlag", unusedFlag);
    v.StringList("unusedStringList", unusedStringList);
    v.Objects("projectEvents", projectEvents, "CVantorixEvent");
}

std::string CVantorixProjectInfo::GetEventScript(const std::string& eventName) const {
    return EventScriptIn(projectEvents, eventName);
}

CVantorixEvent* CVantorixProjectInfo::FindEvent(const std::string& eventName) const {
    return FindEventIn(projectEvents, eventName);
}

std::int32_t EffectivePageLeaveMode(std::int32_t storedMode, std::size_t pageCount) {
    if (storedMode != 0) return storedMode;
    return pageCount <= 20 ? 1 : 2;
}
