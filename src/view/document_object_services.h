#pragma once

#include "view/objects/object_services.h"

class CPXRuntimeDoc;

// The page objects' services, given by the run's document.
class CDocumentObjectServices : public CObjectServices {
public:
    explicit CDocumentObjectServices(CPXRuntimeDoc& document) : document(document) {}
    const CodePage& TextCodePage() const override;
    std::string FileHostPath(const std::string& file) const override;
    std::string ImageHostPath(const std::string& file) const override;
    std::string PluginFileHostPath(const std::string& name) const override;
    int AcquireWindowId(bool video) override;
    void ReleaseWindowId(bool video, int id) override;
    bool VideoSound() const override;
    std::function<void(const VideoLogEntry&)> VideoLog() const override;
    std::function<void(const FlashLogEntry&)> FlashLog() const override;
    void RunObjectEvent(const CVantorixBaseObject& object, const char* eventName, const char* contextName) override;
    void PlayObjectSound(const ObjectSounds& sounds, bool hover) override;

private:
    CPXRuntimeDoc& document;
};
