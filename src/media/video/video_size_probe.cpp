#include "media/video/video_size_probe.h"

#include "media/video/mpv_playback.h"

QSize ProbeVideoSize(const std::string& hostPath) {
    CMpvPlayback probe({false});
    std::string error;
    if (!probe.Open(hostPath, error) || probe.NativeSize().isEmpty()) return QSize(100, 100);
    return probe.NativeSize();
}
