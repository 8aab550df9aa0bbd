#pragma once

#include <string>

#include "media/flash_control.h"
#include "media/intro_log_entry.h"
#include "media/video_player.h"
#include "plugins/transition_dll_manager.h"
#include "resources/kx_ttf_manager.h"

// What happens in a run, for whoever watches it (the player's event log). The document, the
// view and the media report here; texts of the project come in its code page, file paths and
// media entries as the host spells them. Every report does nothing unless overridden.
class CRunObserver {
public:
    virtual ~CRunObserver() = default;
    virtual void PageEntered(int /*index*/, const std::string& /*name*/) {}
    virtual void ScriptRan(const std::string& /*context*/, int /*status*/) {}
    // A channel's load, play, pause, stop or end: the file as the project named it, and the result.
    virtual void AudioEvent(const char* /*action*/, int /*channel*/, const std::string& /*file*/, int /*result*/) {}
    // No sound device opened: the run goes on silent.
    virtual void SoundOff(const std::string& /*reason*/) {}
    virtual void VideoEvent(const VideoLogEntry&) {}
    virtual void FlashEvent(const FlashLogEntry&) {}
    virtual void IntroEvent(const IntroLogEntry&) {}
    virtual void TransitionPlayed(const CKXTransitionDLLInfo&, const TransitionOutcome&) {}
    virtual void FontEvent(const CKXTTFManager::FontEvent&) {}
    // A transition plugin file that cannot play, and why.
    virtual void PluginSkipped(const std::string& /*path*/, const std::string& /*reason*/) {}
};
