#include "view/document_object_services.h"

#include "engine/px_runtime_doc.h"
#include "script/lua50_dialect.h"
#include "script/project_files.h"

const CodePage& CDocumentObjectServices::TextCodePage() const {
    return document.codePage;
}

std::string CDocumentObjectServices::FileHostPath(const std::string& file) const {
    return ScriptHostPath(ResolveSourcePath(document, file));
}

std::string CDocumentObjectServices::ImageHostPath(const std::string& file) const {
    return ImageFileHostPath(document, file);
}

std::string CDocumentObjectServices::PluginFileHostPath(const std::string& name) const {
    return ::PluginFileHostPath(document, name);
}

int CDocumentObjectServices::AcquireWindowId(bool video) {
    return document.WindowIds(video).Acquire();
}

void CDocumentObjectServices::ReleaseWindowId(bool video, int id) {
    document.WindowIds(video).Release(id);
}

bool CDocumentObjectServices::VideoSound() const {
    return document.videoSound;
}

std::function<void(const VideoLogEntry&)> CDocumentObjectServices::VideoLog() const {
    return document.VideoLog();
}

std::function<void(const FlashLogEntry&)> CDocumentObjectServices::FlashLog() const {
    return document.FlashLog();
}

void CDocumentObjectServices::RunObjectEvent(const CVantorixBaseObject& object, const char* eventName,
                                             const char* contextName) {
    document.RunObjectEvent(object, eventName, contextName);
}

void CDocumentObjectServices::PlayObjectSound(const ObjectSounds& sounds, bool hover) {
    document.PlayObjectSound(sounds, hover);
}
