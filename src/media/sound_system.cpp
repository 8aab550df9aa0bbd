#include "media/sound_system.h"

#include "media/wav_writer.h"

const std::vector<std::string>& CKXSoundSystem::DefaultDrivers() {
    static const std::vector<std::string> drivers = {"", "pipewire", "pulseaudio", "alsa"};
    return drivers;
}

std::unique_ptr<CKXSoundSystem> CKXSoundSystem::Start(const SoundOptions& options, CKXMixingSoundEngine::Poster post,
                                                      std::string& error, std::string& silentBecause) {
    auto system = std::make_unique<CKXSoundSystem>();
    system->engine = std::make_unique<CKXMixingSoundEngine>(std::move(post));
    CKXAudioOutput::MixFunction mix = [engine = system->engine.get()](float* out, int frames) {
        engine->Mix(out, frames);
    };
    if (!options.audioOut.empty()) {
        auto file = std::make_unique<CKXWavWriter>();
        if (!file->Open(options.audioOut)) {
            error = "cannot create " + options.audioOut;
            return nullptr;
        }
        system->output = OpenClockedOutput(mix, std::move(file));
    } else if (options.headless && options.driver.empty()) {
        system->output = OpenClockedOutput(mix, nullptr);
    } else {
        system->output = OpenSdlOutput(
            mix, options.driver.empty() ? DefaultDrivers() : std::vector<std::string>{options.driver}, silentBecause);
    }
    if (!system->output) return nullptr;
    system->engine->onActivityChanged = [output = system->output.get()](bool active) { output->SetActive(active); };
    return system;
}
