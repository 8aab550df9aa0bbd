#pragma once

#include <memory>
#include <string>
#include <vector>

#include "media/audio_output.h"
#include "media/mixing_sound_engine.h"

// How a run hears its sound.
struct SoundOptions {
    bool headless = false;  // no display: the mix goes to a null output in real time
    std::string audioOut;   // a WAV file that takes the mix instead of the device
    std::string driver;     // one SDL driver to use instead of the usual attempts
};

// The sound engine with its output, started once per run.
class CKXSoundSystem {
public:
    // The SDL drivers tried in order when none is named: SDL's own choice, the sound servers,
    // then ALSA.
    static const std::vector<std::string>& DefaultDrivers();
    // Nothing when no output could be opened: the run goes on silent, and silentBecause says
    // why. error is set only when the WAV file cannot be created.
    static std::unique_ptr<CKXSoundSystem> Start(const SoundOptions& options, CKXMixingSoundEngine::Poster post,
                                                 std::string& error, std::string& silentBecause);
    CKXMixingSoundEngine& Engine() { return *engine; }

private:
    std::unique_ptr<CKXMixingSoundEngine> engine;
    std::unique_ptr<CKXAudioOutput> output;  // stops before the engine goes
};
