#include "media/video/mpv_playback.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <QMetaObject>

#include "platform/host_path.h"

#include <chrono>
#include <clocale>
#include <cmath>
#include <utility>

namespace {

// How long an open may wait for mpv to read the file's header (a slow disc can take a while).
constexpr double kOpenTimeoutSeconds = 10;
// Property observation identifiers.
constexpr std::uint64_t kEofReached = 1;

double DoubleProperty(mpv_handle* mpv, const char* name) {
    double value = 0;
    if (!mpv || mpv_get_property(mpv, name, MPV_FORMAT_DOUBLE, &value) < 0 || !std::isfinite(value)) return 0;
    return value;
}

std::int64_t IntProperty(mpv_handle* mpv, const char* name) {
    std::int64_t value = 0;
    if (!mpv || mpv_get_property(mpv, name, MPV_FORMAT_INT64, &value) < 0) return 0;
    return value;
}

}  // namespace

CMpvPlayback::CMpvPlayback(Settings settings, QObject* parent) : QObject(parent), settings(settings) {}

CMpvPlayback::~CMpvPlayback() {
    Close();
}

void CMpvPlayback::Configure() {
    // The player's own options only: no configuration files, scripts, key bindings or screen
    // messages of mpv, no window of its own, and pictures stretched to the size we ask for
    // (the player window keeps the aspect itself).
    const char* options[][2] = {
        {"config", "no"},
        {"load-scripts", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"osc", "no"},
        {"ytdl", "no"},
        {"terminal", "no"},
        {"msg-level", "all=no"},
        {"vo", "libmpv"},
        {"hwdec", "no"},
        {"keepaspect", "no"},
        {"keep-open", "yes"},
        {"pause", "yes"},
        {"idle", "yes"},
        {"sub-auto", "no"},
        {"audio-file-auto", "no"},
        {"osd-level", "0"},
    };
    for (const auto& option : options) mpv_set_option_string(mpv, option[0], option[1]);
    if (!settings.audio) {
        // No sound: no sound track decoded either, and the pictures keep time by the clock. A
        // null output would pace them by its simulated buffer, which holds the first picture
        // after Play back by up to a fifth of a second.
        mpv_set_option_string(mpv, "ao", "null");
        mpv_set_option_string(mpv, "aid", "no");
    }
}

bool CMpvPlayback::Open(const std::string& hostPath, std::string& error) {
    Close();
    // mpv would play a folder as a list of its files, and would wait for good on a named pipe.
    if (!IsRegularFile(hostPath)) {
        error = "not a movie file";
        return false;
    }
    // mpv refuses to start unless numbers are formatted the C way.
    std::setlocale(LC_NUMERIC, "C");
    mpv = mpv_create();
    if (!mpv) {
        error = "the video engine could not start";
        return false;
    }
    Configure();
    if (mpv_initialize(mpv) < 0) {
        error = "the video engine could not start";
        Close();
        return false;
    }
    mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (mpv_render_context_create(&render, mpv, params) < 0) {
        render = nullptr;
        error = "the video engine has no software renderer";
        Close();
        return false;
    }
    // Both callbacks come on mpv's threads: each posts at most one call at a time.
    mpv_set_wakeup_callback(
        mpv,
        [](void* self) {
            auto* playback = static_cast<CMpvPlayback*>(self);
            if (playback->wakePosted.exchange(true)) return;
            QMetaObject::invokeMethod(
                playback, [playback] { playback->DrainEvents(); }, Qt::QueuedConnection);
        },
        this);
    mpv_render_context_set_update_callback(
        render,
        [](void* self) {
            auto* playback = static_cast<CMpvPlayback*>(self);
            if (playback->framePosted.exchange(true)) return;
            QMetaObject::invokeMethod(
                playback,
                [playback] {
                    playback->framePosted = false;
                    if (!playback->render) return;
                    if (mpv_render_context_update(playback->render) & MPV_RENDER_UPDATE_FRAME) {
                        playback->frameDirty = true;
                        if (playback->onFrame) playback->onFrame();
                    }
                },
                Qt::QueuedConnection);
        },
        this);
    mpv_observe_property(mpv, kEofReached, "eof-reached", MPV_FORMAT_FLAG);

    const char* command[] = {"loadfile", hostPath.c_str(), nullptr};
    if (mpv_command(mpv, command) < 0) {
        error = "the file could not be opened";
        Close();
        return false;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(kOpenTimeoutSeconds);
    while (true) {
        double left = std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) {
            error = "the file took too long to open";
            Close();
            return false;
        }
        mpv_event* event = mpv_wait_event(mpv, left);
        if (event->event_id == MPV_EVENT_FILE_LOADED) break;
        if (event->event_id == MPV_EVENT_END_FILE) {
            auto* end = static_cast<mpv_event_end_file*>(event->data);
            error = end->reason == MPV_END_FILE_REASON_ERROR ? mpv_error_string(end->error) : "the file did not open";
            Close();
            return false;
        }
    }
    std::int64_t width = IntProperty(mpv, "width"), height = IntProperty(mpv, "height");
    nativeSize = width > 0 && height > 0 ? QSize(static_cast<int>(width), static_cast<int>(height)) : QSize();
    atEnd = false;
    return true;
}

void CMpvPlayback::Close() {
    if (render) mpv_render_context_free(render);
    render = nullptr;
    if (mpv) mpv_terminate_destroy(mpv);
    mpv = nullptr;
    frame = QImage();
    nativeSize = QSize();
    pendingSeek.reset();
    frameDirty = false;
    framesShown = 0;
}

void CMpvPlayback::DrainEvents() {
    wakePosted = false;
    while (mpv) {
        mpv_event* event = mpv_wait_event(mpv, 0);
        if (event->event_id == MPV_EVENT_NONE) break;
        if (event->event_id == MPV_EVENT_PLAYBACK_RESTART) pendingSeek.reset();
        if (event->event_id == MPV_EVENT_VIDEO_RECONFIG) {
            std::int64_t width = IntProperty(mpv, "width"), height = IntProperty(mpv, "height");
            if (width > 0 && height > 0) nativeSize = QSize(static_cast<int>(width), static_cast<int>(height));
        }
        if (event->event_id == MPV_EVENT_PROPERTY_CHANGE && event->reply_userdata == kEofReached) {
            auto* property = static_cast<mpv_event_property*>(event->data);
            bool reached = property->format == MPV_FORMAT_FLAG && *static_cast<int*>(property->data) != 0;
            bool ended = reached && !atEnd;
            atEnd = reached;
            // The handler may close this playback.
            if (ended && onEnd) onEnd();
        }
    }
}

bool CMpvPlayback::SetPaused(bool paused) {
    if (!mpv) return false;
    int flag = paused ? 1 : 0;
    return mpv_set_property(mpv, "pause", MPV_FORMAT_FLAG, &flag) >= 0;
}

bool CMpvPlayback::SeekTo(double seconds) {
    if (!mpv || !std::isfinite(seconds)) return false;
    std::string target = std::to_string(std::max(0.0, seconds));
    const char* command[] = {"seek", target.c_str(), "absolute+exact", nullptr};
    if (mpv_command(mpv, command) < 0) return false;
    pendingSeek = std::max(0.0, seconds);
    atEnd = false;
    return true;
}

bool CMpvPlayback::CanSeek() const {
    int flag = 0;
    return mpv && mpv_get_property(mpv, "seekable", MPV_FORMAT_FLAG, &flag) >= 0 && flag != 0;
}

double CMpvPlayback::Duration() const {
    return DoubleProperty(mpv, "duration");
}

double CMpvPlayback::Position() const {
    if (pendingSeek) return *pendingSeek;
    if (atEnd) return Duration();
    return DoubleProperty(mpv, "time-pos");
}

std::int64_t CMpvPlayback::DroppedFrames() const {
    return IntProperty(mpv, "frame-drop-count") + IntProperty(mpv, "decoder-frame-drop-count");
}

void CMpvPlayback::SetVolume(int hundredthsOfDecibel) {
    if (!mpv) return;
    // mpv's volume is cubic: its percentage cubed is the amplitude.
    double amplitude = std::pow(10.0, hundredthsOfDecibel / 2000.0);
    double volume = hundredthsOfDecibel <= -10000 ? 0 : 100 * std::cbrt(amplitude);
    mpv_set_property(mpv, "volume", MPV_FORMAT_DOUBLE, &volume);
}

bool CMpvPlayback::RenderFrame(QSize size) {
    if (!render || size.isEmpty()) return false;
    if (!frameDirty && frame.size() == size) return !frame.isNull();
    if (frame.size() != size) frame = QImage(size, QImage::Format_RGB32);
    if (frame.isNull()) return false;
    int dimensions[2] = {size.width(), size.height()};
    std::size_t stride = static_cast<std::size_t>(frame.bytesPerLine());
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, dimensions},
                                 {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("bgr0")},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, frame.bits()},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    bool fresh = std::exchange(frameDirty, false);
    if (mpv_render_context_render(render, params) < 0) return false;
    if (fresh) ++framesShown;
    return true;
}
