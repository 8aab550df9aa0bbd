#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CKXWavWriter;

// Where the mix goes. The output calls mix from its own thread for the next frames (interleaved
// stereo floats at 44100 Hz) while it is active; inactive, it sleeps and uses no processor.
class CKXAudioOutput {
public:
    using MixFunction = std::function<void(float* out, int frames)>;
    static constexpr int deviceFrames = 512;  // about 12 ms
    virtual ~CKXAudioOutput() = default;
    virtual void SetActive(bool active) = 0;
};

// The sound card through SDL, trying the drivers in order (an empty name is SDL's own choice).
// Nothing when none of them opens a device, with why in failure. The sound libraries' own
// complaints (ALSA's, PipeWire's, SDL's) stay off standard error.
std::unique_ptr<CKXAudioOutput> OpenSdlOutput(CKXAudioOutput::MixFunction mix, const std::vector<std::string>& drivers,
                                              std::string& failure);
// No device: the mix is taken in real time and dropped, or written to a WAV file.
std::unique_ptr<CKXAudioOutput> OpenClockedOutput(CKXAudioOutput::MixFunction mix, std::unique_ptr<CKXWavWriter> file);
