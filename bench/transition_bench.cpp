// The drawing cost of transition effects: every .tns in a folder (the build's own effects unless
// argv[1] names another) plays between two 800 x 600 pages, on a clock that moves only when the
// effect sleeps, so a second of transition is drawn as fast as the effect can draw it. For each
// effect and settings text: the frames presented, and the average and worst milliseconds of
// real time an effect took to draw a frame (the time since the last present or sleep). Further
// arguments replace the settings texts tried.
#include <vantorix/transition_plugin.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/shared_library.h"
#include "plugins/transition_dll_manager.h"

#ifndef VX_TRANSITIONS_DIR
#define VX_TRANSITIONS_DIR "plugins/transitions"
#endif

namespace {

using Clock = std::chrono::steady_clock;
using DoPageTransition = decltype(&kxPlg_Transition_DoPageTransition);

constexpr int pageWidth = 800, pageHeight = 600;
constexpr int rounds = 3;  // plays of each settings text, so one slow frame shows as such

struct Host {
    unsigned long long now = 0;  // the effect's clock, in milliseconds
    Clock::time_point mark;      // the last present or sleep
    std::vector<double> frames;  // milliseconds each frame took to draw
};

Host& HostOf(vx_surface* surface) {
    return *static_cast<Host*>(surface->host);
}

void Present(vx_surface* self, int, int, int, int) {
    Host& host = HostOf(self);
    Clock::time_point now = Clock::now();
    host.frames.push_back(std::chrono::duration<double, std::milli>(now - host.mark).count());
    host.mark = now;
}

unsigned long long Ticks(vx_surface* self) {
    return HostOf(self).now;
}

void Sleep(vx_surface* self, int milliseconds) {
    Host& host = HostOf(self);
    host.now += static_cast<unsigned long long>(std::max(milliseconds, 0));
    host.mark = Clock::now();
}

// The old page in bands of colour, the new one in squares, so that no two pixels of a frame
// are alike by chance.
unsigned OldPixel(int x, int y) {
    return 0xFF000000u | unsigned(x * 255 / pageWidth) << 16 | unsigned(y % 256) << 8;
}
unsigned NewPixel(int x, int y) {
    unsigned square = (x / 40 + y / 40) % 2 ? 0x2060A0u : 0xE0C040u;
    return 0xFF000000u | (square ^ unsigned(x % 64));
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : VX_TRANSITIONS_DIR;
    std::vector<std::string> settingsTexts;
    for (int i = 2; i < argc; ++i) settingsTexts.emplace_back(argv[i]);
    if (settingsTexts.empty()) {
        settingsTexts = {"duration=1000", "duration=1000 direction=up", "duration=1000 direction=in count=64"};
    }

    // The effects as the player finds them; a file that is not one is a failure here.
    CKXTransitionDLLManager effects;
    effects.Scan(folder);
    int failures = 0;
    for (const CKXTransitionDLLManager::Skipped& skipped : effects.SkippedFiles()) {
        std::printf("%s: %s\n", skipped.path.c_str(), skipped.reason.c_str());
        ++failures;
    }
    if (effects.Plugins().empty()) {
        std::printf("no transition plugins in %s\n", folder.c_str());
        return 1;
    }

    std::vector<unsigned> oldPage(std::size_t(pageWidth) * pageHeight), newPage(oldPage.size()), screen;
    for (int y = 0; y < pageHeight; ++y) {
        for (int x = 0; x < pageWidth; ++x) {
            oldPage[std::size_t(y) * pageWidth + x] = OldPixel(x, y);
            newPage[std::size_t(y) * pageWidth + x] = NewPixel(x, y);
        }
    }

    std::printf("%-20s %-40s %7s %9s %9s  %s\n", "effect", "settings", "frames", "avg ms", "worst ms", "last frame");
    for (const CKXTransitionDLLInfo& effect : effects.Plugins()) {
        CKXSharedLibrary library;
        std::string error;
        if (!library.Open(effect.path, error)) {
            std::printf("%s: %s\n", effect.path.c_str(), error.c_str());
            ++failures;
            continue;
        }
        auto play = reinterpret_cast<DoPageTransition>(library.Symbol(CKXTransitionDLLManager::transitionExport));
        const std::string& name = effect.name;
        for (const std::string& settings : settingsTexts) {
            Host host;
            bool lastIsNewPage = true;
            for (int round = 0; round < rounds; ++round) {
                screen = oldPage;
                vx_surface screenSurface{screen.data(), pageWidth, pageHeight, pageWidth, Present, Ticks, Sleep, &host};
                vx_surface pageSurface{newPage.data(), pageWidth, pageHeight, pageWidth, nullptr, Ticks, Sleep, &host};
                std::vector<char> writable(settings.begin(), settings.end());
                writable.push_back('\0');
                host.mark = Clock::now();
                play(&screenSurface, &pageSurface, pageWidth, pageHeight, 0, 0, nullptr, writable.data());
                lastIsNewPage = lastIsNewPage && screen == newPage;
            }
            double total = 0, worst = 0;
            for (double frame : host.frames) {
                total += frame;
                worst = std::max(worst, frame);
            }
            double average = host.frames.empty() ? 0 : total / double(host.frames.size());
            std::printf("%-20s %-40s %7zu %9.3f %9.3f  %s\n", name.c_str(), settings.c_str(),
                        host.frames.size() / rounds, average, worst, lastIsNewPage ? "new page" : "WRONG");
            failures += !lastIsNewPage;
        }
    }
    return failures == 0 ? 0 : 1;
}
