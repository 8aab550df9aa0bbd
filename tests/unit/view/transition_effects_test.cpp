#include <gtest/gtest.h>

#include <vantorix/transition_plugin.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/shared_library.h"
#include "plugins/transition_dll_manager.h"

namespace {

using GetText = decltype(&kxPlg_GetPluginName);
using DoPageTransition = decltype(&kxPlg_Transition_DoPageTransition);

// One of the player's own effects, loaded from the build.
struct Effect {
    CKXSharedLibrary library;
    GetText name = nullptr;
    GetText settings = nullptr;
    DoPageTransition play = nullptr;

    explicit Effect(const std::string& file) {
        std::string path = std::string(VX_BIN_DIR) + "/../plugins/transitions/" + file + ".tns";
        std::string error;
        if (!library.Open(path, error)) {
            ADD_FAILURE() << error;
            return;
        }
        name = reinterpret_cast<GetText>(library.Symbol(CKXTransitionDLLManager::nameExport));
        settings = reinterpret_cast<GetText>(library.Symbol(CKXTransitionDLLManager::settingsExport));
        play = reinterpret_cast<DoPageTransition>(library.Symbol(CKXTransitionDLLManager::transitionExport));
        if (!name || !settings || !play) ADD_FAILURE() << file << " lacks an export";
    }
    bool Loaded() const { return name && settings && play; }
};

const char* const effectFiles[] = {"fade", "dissolve", "wipe", "push", "slide", "blinds", "iris", "zoom"};

constexpr unsigned guardPixel = 0xDEADBEEFu;

struct Rect {
    int left, top, right, bottom;
    bool Empty() const { return right <= left || bottom <= top; }
    bool Holds(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Rect&) const = default;
};

// Pixels of the old page are 0x10YYXX, of the new page 0x20YYXX: a pixel tells where it came from.
constexpr unsigned oldTag = 0x10, newTag = 0x20;
unsigned Tagged(unsigned tag, int x, int y) {
    return tag << 16 | unsigned(y) << 8 | unsigned(x);
}

// A picture whose rows are wider than its width; the pixels between hold guardPixel.
struct Picture {
    int width, height, stride;
    std::vector<unsigned> pixels;
    Picture(int width, int height, const std::function<unsigned(int, int)>& pixel, int spare = 8)
        : width(width), height(height), stride(width + spare), pixels(std::size_t(stride) * height, guardPixel) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) pixels[std::size_t(y) * stride + x] = pixel(x, y);
    }
    Picture(int width, int height, unsigned tag, int spare = 8)
        : Picture(
              width, height, [tag](int x, int y) { return Tagged(tag, x, y); }, spare) {}
    unsigned At(int x, int y) const { return pixels[std::size_t(y) * stride + x]; }
    bool GuardsKept() const {
        for (int y = 0; y < height; ++y)
            for (int x = width; x < stride; ++x)
                if (At(x, y) != guardPixel) return false;
        return true;
    }
};

// The player's side of a transition, with a clock of its own: it reads `clock` and advances only
// when the effect sleeps, by what it asks for or by `step` when that is set.
struct Host {
    unsigned long long clock = 5000;
    unsigned long long step = 0;
    std::vector<Rect> presented;
    std::vector<int> sleeps;
    std::function<void(const Rect&)> onPresent;
};

Host* HostOf(vx_surface* surface) {
    return static_cast<Host*>(surface->host);
}
void Present(vx_surface* self, int left, int top, int right, int bottom) {
    Rect rect{left, top, right, bottom};
    HostOf(self)->presented.push_back(rect);
    if (HostOf(self)->onPresent) HostOf(self)->onPresent(rect);
}
unsigned long long Ticks(vx_surface* self) {
    return HostOf(self)->clock;
}
void Sleep(vx_surface* self, int milliseconds) {
    Host* host = HostOf(self);
    host->sleeps.push_back(milliseconds);
    host->clock += host->step ? host->step : static_cast<unsigned long long>(std::max(milliseconds, 0));
}

vx_surface SurfaceOf(Picture& picture, Host& host, bool screen) {
    vx_surface surface{};
    surface.pixels = picture.pixels.data();
    surface.width = picture.width;
    surface.height = picture.height;
    surface.stride = picture.stride;
    if (screen) surface.present = Present;
    surface.ticks_ms = Ticks;
    surface.sleep_ms = Sleep;
    surface.host = &host;
    return surface;
}

// The usual fixture: a 40 x 30 screen with a 20 x 10 page at (5, 7).
constexpr int surfaceWidth = 40, surfaceHeight = 30;
constexpr Rect pageArea{5, 7, 25, 17};

struct Stage {
    Picture screen{surfaceWidth, surfaceHeight, oldTag};
    Picture newPage{surfaceWidth, surfaceHeight, newTag};
    Host host;
    vx_surface screenSurface = SurfaceOf(screen, host, true);
    vx_surface newSurface = SurfaceOf(newPage, host, false);

    void Play(const Effect& effect, const char* settings, Rect page = pageArea) {
        std::vector<char> writable;
        if (settings) writable.assign(settings, settings + std::strlen(settings) + 1);
        effect.play(&screenSurface, &newSurface, page.right - page.left, page.bottom - page.top, page.left, page.top,
                    nullptr, settings ? writable.data() : nullptr);
    }
    // The number of pixels of the screen that are not as they should be after the transition:
    // the new page in area, the old page elsewhere.
    int WrongAfter(Rect area) const {
        int wrong = 0;
        for (int y = 0; y < screen.height; ++y)
            for (int x = 0; x < screen.width; ++x) {
                bool shown = area.Holds(x, y) && x < newPage.width && y < newPage.height;
                wrong += screen.At(x, y) != (shown ? newPage.At(x, y) : Tagged(oldTag, x, y));
            }
        return wrong;
    }
};

std::string NameOf(GetText get, int bufferSize) {
    std::vector<char> buffer(std::size_t(bufferSize), 'x');
    int size = bufferSize;
    if (get(buffer.data(), &size) != 0) return "(did not fit)";
    return std::string(buffer.data());
}

TEST(TransitionEffects, EachReportsItsNameAndSettingsByTheSizeRule) {
    const struct {
        const char* file;
        std::string name;
    } cases[] = {
        {"fade", "Vantorix Fade"}, {"dissolve", "Vantorix Dissolve"}, {"wipe", "Vantorix Wipe"},
        {"push", "Vantorix Push"}, {"slide", "Vantorix Slide"},       {"blinds", "Vantorix Blinds"},
        {"iris", "Vantorix Iris"}, {"zoom", "Vantorix Zoom"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Effect effect(c.file);
        ASSERT_TRUE(effect.Loaded());
        EXPECT_EQ(NameOf(effect.name, 100), c.name);
        int needed = int(c.name.size()) + 1;
        EXPECT_EQ(NameOf(effect.name, needed), c.name);  // exactly room for the zero byte

        // Too small: nothing written, the size needed given back, and the retry with it works.
        for (int small : {0, 3, needed - 1}) {
            char buffer[64];
            std::memset(buffer, 'x', sizeof buffer);
            int size = small;
            EXPECT_EQ(effect.name(buffer, &size), -1);
            EXPECT_EQ(size, needed);
            EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, 'x'));
            EXPECT_EQ(effect.name(buffer, &size), 0);
            EXPECT_EQ(std::string(buffer), c.name);
        }
        // No size, or a negative one: -1 and nothing written.
        char buffer[64] = "untouched";
        EXPECT_EQ(effect.name(buffer, nullptr), -1);
        int negative = -5;
        EXPECT_EQ(effect.name(buffer, &negative), -1);
        EXPECT_EQ(negative, -5);
        EXPECT_STREQ(buffer, "untouched");

        // The default settings follow the same rule.
        int size = 2;
        EXPECT_EQ(effect.settings(buffer, &size), -1);
        ASSERT_GT(size, 2);
        ASSERT_LE(size, int(sizeof buffer));
        EXPECT_STREQ(buffer, "untouched");
        EXPECT_EQ(effect.settings(buffer, &size), 0);
        EXPECT_EQ(std::strlen(buffer) + 1, std::size_t(size));
        EXPECT_EQ(std::string(buffer).rfind("duration=600", 0), 0u) << buffer;
        EXPECT_EQ(effect.settings(buffer, nullptr), -1);
    }
}

TEST(TransitionEffects, NoDurationShowsTheNewPageAtOnceAndOnlyInThePageArea) {
    for (const char* file : effectFiles) {
        for (const char* settings : {"duration=0", "DURATION=0;direction=right", "duration=0 direction=in count=3"}) {
            SCOPED_TRACE(std::string(file) + " " + settings);
            Effect effect(file);
            ASSERT_TRUE(effect.Loaded());
            Stage stage;
            Picture newBefore = stage.newPage;
            stage.Play(effect, settings);
            EXPECT_EQ(stage.WrongAfter(pageArea), 0);
            EXPECT_TRUE(stage.screen.GuardsKept());
            EXPECT_EQ(stage.newPage.pixels, newBefore.pixels);
            EXPECT_EQ(stage.host.presented, std::vector<Rect>{pageArea});
            EXPECT_TRUE(stage.host.sleeps.empty());
        }
    }
}

// What a frame's pixel of the page area shows, in page coordinates: the old or the new page's
// pixel at (x, y), or either of the two pixels at the frame's own place.
struct Source {
    enum Kind { oldPage, newPage, either } kind;
    int x, y;
};
Source Old(int x, int y) {
    return {Source::oldPage, x, y};
}
Source New(int x, int y) {
    return {Source::newPage, x, y};
}

TEST(TransitionEffects, EveryFrameIsMadeOfThePagesOwnPixelsAtAboutSixtyFramesASecond) {
    // fade mixes its pixels (its frames are checked on their own); the others show old or new
    // pixels of the page area, and those that move nothing show them where they are.
    const struct {
        const char* file;
        bool mixes, inPlace;
    } cases[] = {
        {"fade", true, false},   {"dissolve", false, true}, {"wipe", false, true}, {"push", false, false},
        {"slide", false, false}, {"blinds", false, true},   {"iris", false, true}, {"zoom", false, false},
    };
    for (const auto& c : cases) {
        for (const char* direction : {"left", "right", "up", "down", "in", "out"}) {
            std::string settings = std::string("duration=200;count=3;direction=") + direction;
            SCOPED_TRACE(std::string(c.file) + " " + settings);
            Effect effect(c.file);
            ASSERT_TRUE(effect.Loaded());
            Stage stage;
            int badPixels = 0, outsideArea = 0;
            stage.host.onPresent = [&](const Rect& rect) {
                outsideArea += rect.left < pageArea.left || rect.top < pageArea.top || rect.right > pageArea.right ||
                               rect.bottom > pageArea.bottom || rect.Empty();
                for (int y = 0; y < surfaceHeight; ++y)
                    for (int x = 0; x < surfaceWidth; ++x) {
                        unsigned pixel = stage.screen.At(x, y);
                        if (!pageArea.Holds(x, y)) {
                            badPixels += pixel != Tagged(oldTag, x, y);
                            continue;
                        }
                        if (c.mixes) continue;
                        unsigned tag = pixel >> 16;
                        int fromX = int(pixel & 0xFF), fromY = int(pixel >> 8 & 0xFF);
                        bool fromArea = (tag == oldTag || tag == newTag) && pageArea.Holds(fromX, fromY);
                        badPixels += !fromArea || (c.inPlace && (fromX != x || fromY != y));
                    }
            };
            stage.Play(effect, settings.c_str());
            EXPECT_EQ(badPixels, 0);
            EXPECT_EQ(outsideArea, 0);
            EXPECT_EQ(stage.WrongAfter(pageArea), 0);
            EXPECT_TRUE(stage.screen.GuardsKept());
            ASSERT_FALSE(stage.host.presented.empty());
            EXPECT_EQ(stage.host.presented.back(), pageArea);  // the last frame is the whole page
            // 200 ms at 60 frames a second: a dozen sleeps, none of them empty (no spinning).
            EXPECT_GE(stage.host.sleeps.size(), 10u);
            EXPECT_LE(stage.host.sleeps.size(), 14u);
            for (int sleep : stage.host.sleeps) {
                EXPECT_GE(sleep, 1);
                EXPECT_LE(sleep, 17);
            }
        }
    }
}

// Each byte of a and b mixed by weight/256, rounded to the nearest.
unsigned Mixed(unsigned a, unsigned b, unsigned weight) {
    unsigned result = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        unsigned x = a >> shift & 0xFF, y = b >> shift & 0xFF;
        result |= ((x * (256 - weight) + y * weight + 128) >> 8) << shift;
    }
    return result;
}

TEST(TransitionEffects, FadeFramesAreTheRoundedWeightedAverageAndTheMiddleOneTheAverage) {
    Effect effect("fade");
    ASSERT_TRUE(effect.Loaded());
    // Bytes of every value; the top byte is 0xFF, as the player's pictures have it.
    unsigned seed = 12345;
    auto random = [&seed](int, int) {
        seed = seed * 1103515245u + 12345u;
        return 0xFF000000u | (seed >> 8);
    };
    Stage stage;
    stage.screen = Picture(surfaceWidth, surfaceHeight, random);
    stage.newPage = Picture(surfaceWidth, surfaceHeight, random);
    stage.screenSurface = SurfaceOf(stage.screen, stage.host, true);
    stage.newSurface = SurfaceOf(stage.newPage, stage.host, false);
    Picture old = stage.screen;
    stage.host.step = 150;  // frames at 150, 300 and 450 of the 600 ms
    std::vector<std::pair<unsigned long long, std::vector<unsigned>>> frames;
    stage.host.onPresent = [&](const Rect&) { frames.emplace_back(stage.host.clock, stage.screen.pixels); };
    unsigned long long start = stage.host.clock;
    stage.Play(effect, "duration=600");

    ASSERT_EQ(frames.size(), 4u);
    int checked = 0;
    for (const auto& [clock, pixels] : frames) {
        unsigned weight = unsigned(clock - start) * 256 / 600;
        if (weight >= 256) weight = 256;
        for (int y = pageArea.top; y < pageArea.bottom; ++y)
            for (int x = pageArea.left; x < pageArea.right; ++x) {
                unsigned a = old.At(x, y), b = stage.newPage.At(x, y), shown = pixels[std::size_t(y) * old.stride + x];
                ASSERT_EQ(shown, Mixed(a, b, weight)) << "weight " << weight << " at " << x << "," << y;
                if (weight == 128) {
                    for (int shift = 0; shift < 32; shift += 8)
                        ASSERT_EQ(shown >> shift & 0xFF, ((a >> shift & 0xFF) + (b >> shift & 0xFF) + 1) / 2);
                    ++checked;
                }
            }
    }
    EXPECT_EQ(checked, 200);
}

TEST(TransitionEffects, HostileGeometryCallbacksAndSettingsStayInsideTheSurface) {
    const std::string junk = [] {
        std::string text;
        while (text.size() < (1u << 20)) text += "==;direction=sideways duration= =5 count=-;seed=x;;\t\r\n";
        return text + "Duration=0";
    }();
    const std::string longNumber = "duration=" + std::string(1 << 20, '9');
    enum Callbacks { all, noPresent, noTicks, noSleep, noScreen, noNewPage, noPixels };
    const struct {
        const char* what;
        int left, top, width, height;  // the page as the call gives it
        Rect area;                     // where the new page shows afterwards
        Callbacks callbacks;
        const char* settings;
        int newWidth = surfaceWidth, newHeight = surfaceHeight;
    } cases[] = {
        {"a page of 0 x 0", 5, 7, 0, 0, {0, 0, 0, 0}, all, "duration=50"},
        {"a page of negative size", 5, 7, -20, -10, {0, 0, 0, 0}, all, "duration=50"},
        {"a page larger than the surface", 0, 0, 1000, 900, {0, 0, 40, 30}, all, "duration=50"},
        {"negative offsets", -15, -8, 20, 10, {0, 0, 5, 2}, all, "duration=50"},
        {"a page beyond the surface", 45, 35, 20, 10, {0, 0, 0, 0}, all, "duration=50"},
        {"the largest sizes", -10, -10, INT_MAX, INT_MAX, {0, 0, 40, 30}, all, "duration=50"},
        {"offset and size that overflow", INT_MAX, INT_MAX, INT_MAX, INT_MAX, {0, 0, 0, 0}, all, "duration=50"},
        {"the smallest offsets", INT_MIN, INT_MIN, INT_MAX, INT_MAX, {0, 0, 0, 0}, all, "duration=50"},
        {"a smaller new page", 0, 0, 40, 30, {0, 0, 30, 20}, all, "duration=50", 30, 20},
        {"no present", 5, 7, 20, 10, pageArea, noPresent, "duration=50"},
        {"no clock", 5, 7, 20, 10, pageArea, noTicks, "duration=50"},
        {"no sleep", 5, 7, 20, 10, pageArea, noSleep, "duration=50"},
        {"no screen", 5, 7, 20, 10, {0, 0, 0, 0}, noScreen, "duration=50"},
        {"no new page", 5, 7, 20, 10, {0, 0, 0, 0}, noNewPage, "duration=50"},
        {"no pixels", 5, 7, 20, 10, {0, 0, 0, 0}, noPixels, "duration=50"},
        {"no settings", 5, 7, 20, 10, pageArea, all, nullptr},
        {"a megabyte of settings", 5, 7, 20, 10, pageArea, all, junk.c_str()},
        {"a megabyte of digits", 5, 7, 20, 10, pageArea, all, longNumber.c_str()},
    };
    for (const char* file : effectFiles) {
        Effect effect(file);
        ASSERT_TRUE(effect.Loaded());
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(file) + ": " + c.what);
            Stage stage;
            stage.newPage = Picture(c.newWidth, c.newHeight, newTag);
            stage.newSurface = SurfaceOf(stage.newPage, stage.host, false);
            Picture newBefore = stage.newPage;
            if (c.callbacks == noPresent) stage.screenSurface.present = nullptr;
            if (c.callbacks == noTicks) stage.screenSurface.ticks_ms = nullptr;
            if (c.callbacks == noSleep) stage.screenSurface.sleep_ms = nullptr;
            if (c.callbacks == noPixels) stage.newSurface.pixels = nullptr;
            vx_surface* screen = c.callbacks == noScreen ? nullptr : &stage.screenSurface;
            vx_surface* newPage = c.callbacks == noNewPage ? nullptr : &stage.newSurface;
            std::vector<char> settings;
            if (c.settings) settings.assign(c.settings, c.settings + std::strlen(c.settings) + 1);
            unsigned long long start = stage.host.clock;

            effect.play(screen, newPage, c.width, c.height, c.left, c.top, nullptr,
                        c.settings ? settings.data() : nullptr);

            EXPECT_EQ(stage.WrongAfter(c.area), 0);
            EXPECT_TRUE(stage.screen.GuardsKept());
            EXPECT_TRUE(stage.newPage.GuardsKept());
            EXPECT_EQ(stage.newPage.pixels, newBefore.pixels);
            for (const Rect& rect : stage.host.presented) {
                EXPECT_TRUE(rect.left >= c.area.left && rect.top >= c.area.top && rect.right <= c.area.right &&
                            rect.bottom <= c.area.bottom && !rect.Empty());
            }
            bool shows = !c.area.Empty() && c.callbacks != noPresent;
            EXPECT_EQ(!stage.host.presented.empty(), shows);
            if (shows) {
                EXPECT_EQ(stage.host.presented.back(), c.area);
            }
            unsigned long long took = stage.host.clock - start;
            if (c.callbacks == noTicks || c.callbacks == noSleep || c.settings == junk.c_str()) {
                EXPECT_EQ(stage.host.presented.size(), 1u);  // the last frame only
                EXPECT_TRUE(stage.host.sleeps.empty());
            } else if (c.settings == longNumber.c_str()) {
                EXPECT_GE(took, 10000u);  // the longest duration
                EXPECT_LE(took, 10017u);
            } else if (!c.settings) {
                EXPECT_GE(took, 600u);  // the default duration
                EXPECT_LE(took, 617u);
            }
        }
    }
}

TEST(TransitionEffects, TheSettingsDecideWhatTheMiddleFrameShows) {
    // The page is 20 x 10; the frame drawn when the clock says 300 of 600 ms. Pixels near an
    // iris's edge may go either way.
    auto iris = [](bool out) {
        return [out](int x, int y) {
            // Half of the distance from the centre to a corner, in pixels.
            double radius = std::sqrt(10.0 * 10 + 5 * 5) / 2, distance = std::hypot(x + 0.5 - 10, y + 0.5 - 5);
            if (std::abs(distance - radius) < 0.6) return Source{Source::either, x, y};
            return (distance < radius) == out ? New(x, y) : Old(x, y);
        };
    };
    const struct {
        const char* file;
        const char* settings;
        std::function<Source(int x, int y)> shows;
    } cases[] = {
        {"wipe", "direction=left", [](int x, int y) { return x >= 10 ? New(x, y) : Old(x, y); }},
        {"wipe", "DIRECTION=Right", [](int x, int y) { return x < 10 ? New(x, y) : Old(x, y); }},
        {"wipe", "direction=up", [](int x, int y) { return y >= 5 ? New(x, y) : Old(x, y); }},
        {"wipe", "direction=down", [](int x, int y) { return y < 5 ? New(x, y) : Old(x, y); }},
        {"wipe", "direction=in", [](int x, int y) { return x >= 10 ? New(x, y) : Old(x, y); }},  // as left
        {"push", "direction=left", [](int x, int y) { return x < 10 ? Old(x + 10, y) : New(x - 10, y); }},
        {"push", "direction=right", [](int x, int y) { return x < 10 ? New(x + 10, y) : Old(x - 10, y); }},
        {"push", "direction=up", [](int x, int y) { return y < 5 ? Old(x, y + 5) : New(x, y - 5); }},
        {"push", "direction=down", [](int x, int y) { return y < 5 ? New(x, y + 5) : Old(x, y - 5); }},
        {"slide", "direction=left", [](int x, int y) { return x < 10 ? Old(x, y) : New(x - 10, y); }},
        {"slide", "direction=right", [](int x, int y) { return x < 10 ? New(x + 10, y) : Old(x, y); }},
        {"slide", "direction=up", [](int x, int y) { return y < 5 ? Old(x, y) : New(x, y - 5); }},
        {"slide", "direction=down", [](int x, int y) { return y < 5 ? New(x, y + 5) : Old(x, y); }},
        // Slats of 10 pixels open 5 from the right; of 5 open 2 from the left; ...
        {"blinds", "direction=left count=2", [](int x, int y) { return x % 10 >= 5 ? New(x, y) : Old(x, y); }},
        {"blinds", "direction=right;count=4", [](int x, int y) { return x % 5 < 2 ? New(x, y) : Old(x, y); }},
        {"blinds", "direction=up;count=2", [](int x, int y) { return y % 5 >= 3 ? New(x, y) : Old(x, y); }},
        {"blinds", "direction=down;count=5", [](int x, int y) { return y % 2 < 1 ? New(x, y) : Old(x, y); }},
        {"blinds", "count=0", [](int x, int y) { return x >= 10 ? New(x, y) : Old(x, y); }},  // one slat
        {"blinds", "count=999", [](int x, int y) { return Old(x, y); }},  // 1-pixel slats: none open yet
        // The default of 8 slats: 2, 3, 2, 3, ... pixels wide, each with its last pixel open.
        {"blinds", "direction=sideways count=none",
         [](int x, int y) { return x % 5 == 1 || x % 5 == 4 ? New(x, y) : Old(x, y); }},
        {"iris", "", iris(true)},
        {"iris", "direction=in", iris(false)},
        {"iris", "direction=left", iris(true)},
        // Half the size, 10 x 5 at (5, 2), every other pixel of the page.
        {"zoom", "direction=out",
         [](int x, int y) {
             return x >= 5 && x < 15 && y >= 2 && y < 7 ? New(2 * (x - 5) + 1, 2 * (y - 2) + 1) : Old(x, y);
         }},
        {"zoom", "direction=in",
         [](int x, int y) {
             return x >= 5 && x < 15 && y >= 2 && y < 7 ? Old(2 * (x - 5) + 1, 2 * (y - 2) + 1) : New(x, y);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.settings);
        Effect effect(c.file);
        ASSERT_TRUE(effect.Loaded());
        Stage stage;
        stage.host.step = 300;
        unsigned long long middle = stage.host.clock + 300;
        std::vector<unsigned> frame;
        stage.host.onPresent = [&](const Rect&) {
            if (stage.host.clock == middle) frame = stage.screen.pixels;
        };
        stage.Play(effect, (std::string(c.settings) + ";duration=600").c_str());
        ASSERT_FALSE(frame.empty()) << "no frame at the middle";
        std::string wrong;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 20; ++x) {
                Source source = c.shows(x, y);
                unsigned shown = frame[std::size_t(y + pageArea.top) * stage.screen.stride + x + pageArea.left];
                unsigned oldPixel = Tagged(oldTag, source.x + pageArea.left, source.y + pageArea.top);
                unsigned newPixel = Tagged(newTag, source.x + pageArea.left, source.y + pageArea.top);
                bool right = source.kind == Source::oldPage   ? shown == oldPixel
                             : source.kind == Source::newPage ? shown == newPixel
                                                              : shown == oldPixel || shown == newPixel;
                if (!right) wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
            }
        EXPECT_EQ(wrong, "");
    }
}

TEST(TransitionEffects, DissolveTurnsPixelsInAnOrderThatOnlyTheSeedDecides) {
    Effect effect("dissolve");
    ASSERT_TRUE(effect.Loaded());
    // Which pixels of the page are new in the frames at a quarter, a half and three quarters.
    auto frames = [&effect](const char* settings, Rect page) {
        Stage stage;
        stage.host.step = 150;
        std::vector<std::vector<bool>> shown;
        stage.host.onPresent = [&](const Rect&) {
            std::vector<bool> isNew;
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < 20; ++x)
                    isNew.push_back(stage.screen.At(page.left + x, page.top + y) >> 16 == newTag);
            shown.push_back(isNew);
        };
        stage.Play(effect, settings, page);
        return shown;
    };
    auto first = frames("seed=7;duration=600", pageArea);
    ASSERT_EQ(first.size(), 4u);
    for (std::size_t i = 0; i < 3; ++i) {
        int count = 0;
        for (std::size_t p = 0; p < first[i].size(); ++p) {
            count += first[i][p];
            if (first[i][p]) {
                EXPECT_TRUE(first[i + 1][p]) << "a new pixel turned back";
            }
        }
        double expected = 200 * (i + 1) / 4.0;
        EXPECT_NEAR(count, expected, 30) << "frame " << i;
    }
    // The same seed gives the same frames wherever the page is; another seed others.
    EXPECT_EQ(frames("duration=600 seed=7", {0, 0, 20, 10}), first);
    EXPECT_NE(frames("seed=8;duration=600", pageArea), first);
    EXPECT_EQ(frames("duration=600", pageArea), frames("seed=0;duration=600", pageArea));
}

}  // namespace
