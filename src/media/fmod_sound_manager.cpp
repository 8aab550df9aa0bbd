#include "media/fmod_sound_manager.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "platform/host_path.h"
#include "project/audio_bg_music.h"

namespace {

// The names a tag list always carries, found or empty, in this order.
const char* const knownTagNames[] = {"TITLE",     "VERSION",  "TRACKNUMBER",  "ARTIST",      "PERFORMER",
                                     "COPYRIGHT", "LICENSE",  "ORGANIZATION", "DESCRIPTION", "GENRE",
                                     "DATE",      "LOCATION", "CONTACT",      "ISRC",        "ALBUM"};

int StateNumber(const char* state) {
    if (std::strcmp(state, "Pause") == 0) return 1;
    if (std::strcmp(state, "Play") == 0) return 2;
    if (std::strcmp(state, "Stop") == 0) return 3;
    return 0;
}

}  // namespace

CFMODSoundManager::CFMODSoundManager(CKXSoundEngine* engine) : random([] { return std::rand(); }), engine(engine) {}

CFMODSoundManager::~CFMODSoundManager() {
    for (int n = 0; n < channelCount; ++n) Unload(n);
}

CKXSoundEngine::StreamHandle CFMODSoundManager::StreamOf(int n) const {
    const Slot& slot = channelSlots[n];
    return slot.sound ? slot.sound->stream : 0;
}

int CFMODSoundManager::Check(int n) const {
    if (!engine) return resultNotReady;
    if (!Valid(n)) return resultBadChannel;
    return StreamOf(n) ? resultDone : resultNothingLoaded;
}

void CFMODSoundManager::Report(const char* what, int n, int result) {
    if (onEvent) onEvent(what, n, Valid(n) ? channelSlots[n].fileName : std::string(), result);
}

void CFMODSoundManager::Release(CFMODSound& sound) {
    if (sound.stream) engine->CloseStream(sound.stream);
    sound.stream = 0;
}

int CFMODSoundManager::Load(int n, const std::string& path, bool looping) {
    if (!engine) return resultNotReady;
    if (!Valid(n)) return resultBadChannel;
    Slot& slot = channelSlots[n];
    bool firstEffectsLoad = n == effectsChannel && !slot.sound;
    // Unloading keeps the slot's volume and mute, so the new file plays as the old one did.
    Unload(n);
    slot.sound = std::make_unique<CFMODSound>();
    slot.sound->channel = n;
    slot.looping = looping;
    slot.fileName = path;
    std::string hostPath = hostPathOf ? hostPathOf(path) : path;
    CKXSoundEngine::StreamHandle stream = engine->OpenStream(hostPath, looping);
    if (!stream) {
        // The slot keeps the sound without a stream: later operations report "not loaded".
        int result = HostPathExists(hostPath) ? resultNotReady : resultNothingLoaded;
        Report("load", n, result);
        return result;
    }
    slot.sound->stream = stream;
    engine->SetStreamEndCallback(
        stream, [this](int channel) { OnStreamEnd(channel); }, n);
    if (firstEffectsLoad && playlist) SetVolume(effectsChannel, playlist->effectsVolume);
    Report("load", n, resultDone);
    return resultDone;
}

void CFMODSoundManager::Unload(int n) {
    if (!engine || !Valid(n)) return;
    Slot& slot = channelSlots[n];
    if (!slot.sound) return;
    if (slot.sound->stream) engine->SetStreamEndCallback(slot.sound->stream, nullptr, 0);
    slot.looping = false;
    Release(*slot.sound);
    slot.sound.reset();
    slot.fileName.clear();
}

int CFMODSoundManager::Play(int n) {
    if (int refused = Check(n)) return refused;
    Slot& slot = channelSlots[n];
    CKXSoundEngine::StreamHandle stream = slot.sound->stream;
    if (!engine->IsChannelPlaying(n)) {
        if (!engine->PlayStream(n, stream)) {
            Report("play", n, resultNotReady);
            return resultNotReady;
        }
        SetVolume(n, slot.volume);
        if (slot.muted) engine->SetChannelVolume(n, 0);
    } else if (engine->GetChannelPaused(n)) {
        Pause(n, false, false);
        SetVolume(n, slot.volume);
    } else {
        // Playing: start again from the beginning.
        if (!engine->RewindChannel(n)) return resultDone;
        if (!engine->PlayStream(n, stream)) {
            if (slot.muted) engine->SetChannelVolume(n, 0);
            return resultDone;
        }
        SetVolume(n, slot.volume);
    }
    Changed(n, "Play");
    return resultDone;
}

int CFMODSoundManager::Stop(int n) {
    if (int refused = Check(n)) return refused;
    if (!engine->StopStream(StreamOf(n))) return resultNotReady;
    Changed(n, "Stop");
    return resultDone;
}

int CFMODSoundManager::Pause(int n, bool paused, bool notify) {
    if (int refused = Check(n)) return refused;
    if (!engine->SetChannelPaused(n, paused)) return resultNotReady;
    if (notify) {
        Changed(n, "Pause");
    }
    return resultDone;
}

int CFMODSoundManager::SetVolume(int n, int volume) {
    if (int refused = Check(n)) return refused;
    if (!engine->SetChannelVolume(n, volume)) return resultNotReady;
    channelSlots[n].volume = volume;
    return resultDone;
}

int CFMODSoundManager::GetVolume(int n, int& volume) {
    if (int refused = Check(n)) return refused;
    int value = engine->GetChannelVolume(n);
    if (value == 0 && engine->GetEngineError()) return resultNotReady;
    volume = value;
    return resultDone;
}

long long CFMODSoundManager::GetLength(int n) {
    if (Check(n)) return 0;
    return engine->GetStreamLengthMs(StreamOf(n));
}

int CFMODSoundManager::GetPosition(int n, long long& ms) {
    if (int refused = Check(n)) return refused;
    long long position = engine->GetStreamTimeMs(StreamOf(n));
    if (position == 0) return resultNotReady;
    ms = position;
    return resultDone;
}

int CFMODSoundManager::SetPosition(int n, long long ms) {
    if (int refused = Check(n)) return refused;
    return engine->SetStreamTimeMs(StreamOf(n), ms) ? resultDone : resultNotReady;
}

bool CFMODSoundManager::SetLooping(int n, bool looping) {
    if (Check(n)) return false;
    channelSlots[n].looping = looping;
    engine->SetStreamLoopMode(StreamOf(n), looping);
    return true;
}

bool CFMODSoundManager::IsLooping(int n) const {
    return Valid(n) && channelSlots[n].looping;
}

const std::string& CFMODSoundManager::FileNameOf(int n) const {
    static const std::string none;
    return Valid(n) ? channelSlots[n].fileName : none;
}

int CFMODSoundManager::ToggleMute(int n) {
    if (!engine || !Valid(n)) return 1;
    Slot& slot = channelSlots[n];
    engine->SetChannelVolume(n, slot.muted ? slot.volume : 0);
    slot.muted = !slot.muted;
    return 0;
}

int CFMODSoundManager::TogglePlay(int n) {
    if (!engine) return resultNotReady;
    if (!Valid(n)) return resultBadChannel;
    CKXSoundEngine::StreamHandle stream = StreamOf(n);
    auto playFromStart = [&] {
        if (!engine->PlayStream(n, stream)) {
            Report("play", n, resultNotReady);
            return resultNotReady;
        }
        Changed(n, "Play");
        return resultDone;
    };
    if (!engine->IsChannelPlaying(n)) return stream ? playFromStart() : resultDone;
    bool paused = engine->GetChannelPaused(n);
    if (engine->SetChannelPaused(n, !paused)) {
        Changed(n, paused ? "Play" : "Pause");
    } else if (engine->RewindChannel(n) && stream) {
        return playFromStart();
    }
    return resultDone;
}

int CFMODSoundManager::GetOggTags(int n, std::vector<COggTag>& list) {
    if (!engine) return resultNotReady;
    if (!Valid(n)) return resultBadChannel;
    CKXSoundEngine::StreamHandle stream = StreamOf(n);
    if (!stream) return resultTagsNotLoaded;
    list.clear();
    int result = resultDone;
    bool found[std::size(knownTagNames)] = {};
    std::string raw;
    int count = engine->GetStreamTagCount(stream);
    for (int index = 0; index < count; ++index) {
        CKXSoundEngine::Tag tag;
        if (!engine->GetStreamTag(stream, index, tag)) continue;
        if (tag.type != 0) {
            result = resultNothingLoaded;
            continue;
        }
        raw += tag.name + "=" + tag.value + ",";
        for (std::size_t k = 0; k < std::size(knownTagNames); ++k) {
            if (tag.name == knownTagNames[k]) {
                list.push_back({tag.name, tag.value});
                found[k] = true;
            }
        }
    }
    for (std::size_t k = 0; k < std::size(knownTagNames); ++k) {
        if (!found[k]) list.push_back({knownTagNames[k], ""});
    }
    if (!raw.empty()) {
        while (!raw.empty() && raw.back() == ',') raw.pop_back();
        list.push_back({"RAWTAGS", raw});
    }
    return result;
}

void CFMODSoundManager::Changed(int n, const char* state) {
    // The log's action is the state's name in lower case.
    std::string action = state;
    for (char& c : action) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    Report(action.c_str(), n, resultDone);
    Notify(n, state);
}

void CFMODSoundManager::Notify(int n, const char* state) {
    if (n == effectsChannel || !host || !host->HasCurrentPage()) return;
    int number = StateNumber(state);
    if (number == 0) {
        host->PostAudioEvent(number, n);
    } else {
        host->SendAudioEvent(number, n);
    }
}

void CFMODSoundManager::OnStreamEnd(int n) {
    if (n == effectsChannel || !host) return;
    Report("end", n, resultDone);
    if (n == backgroundChannel) {
        PlayNext(false);
    } else {
        Notify(n, "Finish");
    }
}

void CFMODSoundManager::PlayNext(bool applyVolume) {
    if (!playlist) return;
    CAudioBGMusic& music = *playlist;
    std::string track;
    if (music.randomOrder) {
        if (music.pool.empty() && !music.loopList) {
            Unload(backgroundChannel);
            return;
        }
        if (music.pool.empty()) music.RebuildPool();
        if (music.pool.empty()) return;
        std::size_t k = static_cast<unsigned>(random()) % music.pool.size();
        track = music.pool[k];
        music.pool.erase(music.pool.begin() + static_cast<std::ptrdiff_t>(k));
    } else {
        if (music.pool.empty()) return;
        if (++music.currentIndex >= static_cast<int>(music.pool.size())) {
            if (!music.loopList) {
                Unload(backgroundChannel);
                return;
            }
            music.currentIndex = 0;
        }
        track = music.pool[static_cast<std::size_t>(music.currentIndex)];
    }
    if (track.empty()) return;
    std::string path = host ? host->ResolveTrackPath(track) : track;
    if (Load(backgroundChannel, path, false) == resultDone) {
        Play(backgroundChannel);
        if (applyVolume) SetVolume(backgroundChannel, music.musicVolume);
    }
}
