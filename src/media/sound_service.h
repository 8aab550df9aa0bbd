#pragma once

#include <string>

// What the rest of the player asks of the sound system: the channel operations the audio
// manager offers. The document is handed one; without it nothing is heard.
class CKXSoundService {
public:
    virtual ~CKXSoundService() = default;
    // Loads a file on a channel; 0 when it is ready to play.
    virtual int Load(int channel, const std::string& path, bool looping) = 0;
    virtual int Play(int channel) = 0;
};
