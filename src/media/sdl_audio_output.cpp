#include <SDL.h>

#include <dlfcn.h>

#include <cstdarg>
#include <cstdlib>

#include "media/audio_output.h"

namespace {

class SdlOutput : public CKXAudioOutput {
public:
    explicit SdlOutput(MixFunction mix) : mix(std::move(mix)) {}
    ~SdlOutput() override {
        if (device) SDL_CloseAudioDevice(device);
        SDL_AudioQuit();
    }

    bool Open(const std::string& driver) {
        if (SDL_AudioInit(driver.empty() ? nullptr : driver.c_str()) != 0) return false;
        SDL_AudioSpec want{};
        want.freq = 44100;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = deviceFrames;
        want.callback = Callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!device) {
            SDL_AudioQuit();
            return false;
        }
        return true;
    }

    // The device stops calling back while nothing plays.
    void SetActive(bool active) override { SDL_PauseAudioDevice(device, active ? 0 : 1); }

private:
    static void Callback(void* user, Uint8* stream, int bytes) {
        auto* self = static_cast<SdlOutput*>(user);
        self->mix(reinterpret_cast<float*>(stream), bytes / static_cast<int>(2 * sizeof(float)));
    }

    MixFunction mix;
    SDL_AudioDeviceID device = 0;
};

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void IgnoreSdlLog(void*, int, SDL_LogPriority, const char*) {}

// A machine without a sound device makes every driver SDL tries complain on standard error; the
// player says once, in its log, that it goes on silent. ALSA is the library SDL loads itself,
// so its error handler is set through the same loaded copy.
void QuietenSoundLibraries() {
    static bool done = false;
    if (done) return;
    done = true;
    setenv("PIPEWIRE_DEBUG", "0", 0);
    SDL_LogSetOutputFunction(IgnoreSdlLog, nullptr);
    if (void* alsa = dlopen("libasound.so.2", RTLD_NOW | RTLD_GLOBAL)) {
        using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetHandler = int (*)(Handler);
        if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"))) set(IgnoreAlsaError);
    }
}

}  // namespace

std::unique_ptr<CKXAudioOutput> OpenSdlOutput(CKXAudioOutput::MixFunction mix, const std::vector<std::string>& drivers,
                                              std::string& failure) {
    QuietenSoundLibraries();
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Vantorix Player");
    if (SDL_WasInit(0) == 0) SDL_Init(0);
    failure.clear();
    for (const std::string& driver : drivers) {
        auto output = std::make_unique<SdlOutput>(mix);
        if (output->Open(driver)) return output;
        failure +=
            (failure.empty() ? "" : "; ") + (driver.empty() ? std::string("default") : driver) + ": " + SDL_GetError();
    }
    failure = "no sound device opened (" + failure + ")";
    return nullptr;
}
