#include "view/transition_player.h"

#include <vantorix/transition_plugin.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/shared_library.h"
#include "plugins/transition_dll_manager.h"

namespace {

using DoPageTransition = decltype(&kxPlg_Transition_DoPageTransition);

struct Host {
    const std::function<void(const QRect&)>* present;
    QRect bounds;
    int frames = 0;
};

unsigned long long TicksMs(vx_surface*) {
    using namespace std::chrono;
    return static_cast<unsigned long long>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SleepMs(vx_surface*, int milliseconds) {
    // A plugin that asks for a long sleep gets a short one: it keeps its own clock anyway.
    std::this_thread::sleep_for(std::chrono::milliseconds(std::clamp(milliseconds, 0, 100)));
}

void Present(vx_surface* self, int left, int top, int right, int bottom) {
    auto* host = static_cast<Host*>(self->host);
    QRect shown = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(host->bounds);
    ++host->frames;
    if (!shown.isEmpty()) (*host->present)(shown);
}

vx_surface SurfaceOf(QImage& image) {
    vx_surface surface{};
    surface.pixels = reinterpret_cast<unsigned int*>(image.bits());
    surface.width = image.width();
    surface.height = image.height();
    surface.stride = static_cast<int>(image.bytesPerLine() / 4);
    return surface;
}

}  // namespace

TransitionOutcome PlayTransitionPlugin(const std::string& pluginPath, QImage& screen, QImage& newPage, QRect page,
                                       const std::string& settings, const std::function<void(const QRect&)>& present) {
    TransitionOutcome outcome;
    if (screen.format() != QImage::Format_RGB32 || newPage.format() != QImage::Format_RGB32 ||
        screen.size() != newPage.size()) {
        outcome.error = "the pictures do not match";
        return outcome;
    }
    CKXSharedLibrary library;
    if (!library.Open(pluginPath, outcome.error)) return outcome;
    auto transition = reinterpret_cast<DoPageTransition>(library.Symbol(CKXTransitionDLLManager::transitionExport));
    if (!transition) {
        outcome.error = "the plugin has no transition";
        return outcome;
    }
    Host host{&present, screen.rect()};
    vx_surface screenSurface = SurfaceOf(screen);
    screenSurface.present = Present;
    screenSurface.ticks_ms = TicksMs;
    screenSurface.sleep_ms = SleepMs;
    screenSurface.host = &host;
    vx_surface pageSurface = SurfaceOf(newPage);
    pageSurface.ticks_ms = TicksMs;
    pageSurface.sleep_ms = SleepMs;
    pageSurface.host = &host;
    // The plugin may write into its settings; what it writes is not kept.
    std::vector<char> writable(settings.begin(), settings.end());
    writable.push_back('\0');
    int width = std::clamp(page.width(), 0, screen.width()), height = std::clamp(page.height(), 0, screen.height());
    auto start = std::chrono::steady_clock::now();
    transition(&screenSurface, &pageSurface, width, height, page.left(), page.top(), nullptr, writable.data());
    outcome.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    outcome.frames = host.frames;
    outcome.played = true;
    return outcome;
}
