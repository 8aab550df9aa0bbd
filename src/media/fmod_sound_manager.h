#pragma once

#include <functional>
#include <string>

#include "media/sound_service.h"

// The player's seven sound channels. Until the sound engine is built the manager reports that
// the sound system did not start: every request answers "not ready" and plays nothing. Requests
// are still reported, so runs can be observed.
class CFMODSoundManager : public CKXSoundService {
public:
    static constexpr int channelCount = 7;
    static constexpr int resultDone = 0, resultBadChannel = 1, resultNothingLoaded = 2, resultNotReady = 3;

    // Loads a file on a channel.
    int Load(int channel, const std::string& path, bool looping) override;
    int Play(int channel) override;

    // Told of every request: what, the channel, the file (for loads) and the result.
    std::function<void(const std::string&, int, const std::string&, int)> onRequest;

private:
    int Report(const std::string& action, int channel, const std::string& file);
    bool ready = false;
};
