#pragma once

#include <functional>
#include <string>

#include "media/flash_control.h"
#include "media/video_player.h"

class CodePage;
class CVantorixBaseObject;
struct ObjectSounds;

// What a page object uses of the run it is shown in, and nothing more: the project's code page,
// where its files are, identifiers for object windows, the videos' sound switch, the media's
// logs, and its own events and sounds. A toolkit's widget knows its window, not the application.
class CObjectServices {
public:
    virtual ~CObjectServices() = default;
    virtual const CodePage& TextCodePage() const = 0;
    // A file the project names (beside the data file, as scripts resolve it), on this machine.
    virtual std::string FileHostPath(const std::string& file) const = 0;
    // A picture the project names, found as image objects find theirs.
    virtual std::string ImageHostPath(const std::string& file) const = 0;
    // A file of the project's plugins folder (skins); empty when the name would leave it.
    virtual std::string PluginFileHostPath(const std::string& name) const = 0;
    // The identifiers of object windows (Flash, or video).
    virtual int AcquireWindowId(bool video) = 0;
    virtual void ReleaseWindowId(bool video, int id) = 0;
    // Whether videos play their sound.
    virtual bool VideoSound() const = 0;
    virtual std::function<void(const VideoLogEntry&)> VideoLog() const = 0;
    virtual std::function<void(const FlashLogEntry&)> FlashLog() const = 0;
    // The object's event script (contextName names the event when it differs).
    virtual void RunObjectEvent(const CVantorixBaseObject& object, const char* eventName, const char* contextName) = 0;
    virtual void PlayObjectSound(const ObjectSounds& sounds, bool hover) = 0;
};
