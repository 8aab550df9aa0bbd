#include "media/fmod_sound_manager.h"

int CFMODSoundManager::Report(const std::string& action, int channel, const std::string& file) {
    int result = channel < 0 || channel >= channelCount ? resultBadChannel : ready ? resultDone : resultNotReady;
    if (onRequest) onRequest(action, channel, file, result);
    return result;
}

int CFMODSoundManager::Load(int channel, const std::string& path, bool) {
    return Report("load", channel, path);
}

int CFMODSoundManager::Play(int channel) {
    return Report("play", channel, {});
}
