#pragma once

#include <string>
#include <vector>

#include "project/audio_bg_music.h"
#include "project/intro_video_settings.h"
#include "project/project_globals.h"
#include "project/serializable.h"

// The project-wide settings: window, caption and icon, intro, background music, global script,
// start page, default object sounds and the project's own events.
class CVantorixProjectInfo : public CKXSerializable {
public:
    CVantorixProjectInfo();
    const char* ClassName() const override { return "CVantorixProjectInfo"; }
    void Serialize(CKXFieldVisitor& v) override;

    std::string GetEventScript(const std::string& eventName) const;
    class CVantorixEvent* FindEvent(const std::string& eventName) const;

    std::uint32_t version = 1;
    std::int32_t windowWidth = 630;
    std::int32_t windowHeight = 425;
    std::string projectTitle = "Vantorix";
    std::int32_t windowStyle = 0;
    std::int32_t windowBackColor = 0;
    std::int32_t movable = 1;
    std::int32_t alwaysOnTop = 0;
    std::int32_t useCustomIcon = 0;
    std::int32_t taskbarMode = 0;
    std::string iconFileName;
    std::string maskFileName;
    std::int32_t stretchMask = 1;
    CIntroVideoSettings introSettings;
    CAudioBGMusic backgroundMusic;
    CProjectGlobals globals;
    std::string startPageName = "_PageFirst";
    std::string defaultHoverSound;
    std::string defaultClickSound;
    std::int32_t pageLeaveMode = 0;
    std::int32_t skipSoundOnNT4 = 0;
    std::int32_t unusedNumber = 4;   // stored; no behaviour depends on it
    std::string unusedText = "0";    // stored; no behaviour depends on it
    std::int32_t unusedFlag = 0;     // stored; no behaviour depends on it
    CKXStringList unusedStringList;  // stored; no behaviour depends on it
    ObjectList projectEvents;
};

// The page leave mode a run uses: a stored 0 becomes 1 for projects of at most 20 pages, else 2.
std::int32_t EffectivePageLeaveMode(std::int32_t storedMode, std::size_t pageCount);
