#include "actions/audio_actions.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "actions/action_support.h"
#include "media/audio_binding.h"
#include "media/fmod_sound_manager.h"
#include "script/script_document.h"

namespace {

constexpr int channelOutOfRange = 1200;
constexpr int fileNotFound = 1000, loadFailed = 1001, playFailed = 1101, pauseFailed = 1102, seekFailed = 1104,
              stopFailed = 1105, channelNotLoaded = 1201, setVolumeFailed = 1202, getVolumeFailed = 1205,
              getPositionFailed = 1206, lengthUnknown = 1208, notInitialized = 1211, notOggVorbis = 1212;
constexpr int seekBeginning = 0, seekEnd = 1, seekForward = 2, seekBackward = 3, seekSpecific = 4;

using Manager = CFMODSoundManager;

// The channel argument when scripts may use it: effects, background or narration. Otherwise
// error 1200 is set and nothing is returned.
bool ChannelArg(lua_State* L, int& channel) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    channel = GetIntegerArg(L, 1);
    if (channel == 0 || channel == 5 || channel == 6) return true;
    SetLastError(L, channelOutOfRange);
    return false;
}

// The error of an operation that only fails when the sound system refuses it.
int RefusedAs(int result, int code) {
    return result == Manager::resultNotReady ? code : 0;
}

int Load(lua_State* L) {
    CheckArgCount(L, 2);
    int channel = 0;
    if (!ChannelArg(L, channel)) return 0;
    const char* file = GetStringArg(L, 2);
    bool playAtOnce = HasArg(L, 3) ? GetBooleanArg(L, 3) : true;
    bool loop = HasArg(L, 4) && GetBooleanArg(L, 4);
    int code = 0;
    {
        Manager& audio = AudioManagerOf(L);
        int result = audio.Load(channel, ResolveSourcePath(DocumentOf(L), file), loop);
        if (result == Manager::resultNothingLoaded) code = fileNotFound;
        if (result == Manager::resultNotReady) code = loadFailed;
        if (result == Manager::resultDone && playAtOnce && audio.Play(channel) != Manager::resultDone) {
            code = playFailed;
        }
    }
    SetLastError(L, code);
    return 0;
}

int Play(lua_State* L) {
    int channel = 0;
    if (ChannelArg(L, channel)) SetLastError(L, RefusedAs(AudioManagerOf(L).Play(channel), playFailed));
    return 0;
}

int Pause(lua_State* L) {
    int channel = 0;
    if (ChannelArg(L, channel)) SetLastError(L, RefusedAs(AudioManagerOf(L).Pause(channel, true, true), pauseFailed));
    return 0;
}

int Stop(lua_State* L) {
    int channel = 0;
    if (ChannelArg(L, channel)) SetLastError(L, RefusedAs(AudioManagerOf(L).Stop(channel), stopFailed));
    return 0;
}

// Whole seconds as milliseconds, held where the arithmetic of a seek cannot overflow.
long long SecondsArgAsMs(lua_State* L, int index) {
    lua_Number seconds = HasArg(L, index) ? GetNumberArg(L, index) : 0;
    if (!(seconds == seconds)) return 0;
    return static_cast<long long>(std::clamp<lua_Number>(std::trunc(seconds), -1e12, 1e12)) * 1000;
}

int Seek(lua_State* L) {
    CheckArgCount(L, 2);
    int channel = 0;
    if (!ChannelArg(L, channel)) return 0;
    int mode = GetIntegerArg(L, 2);
    long long offset = SecondsArgAsMs(L, 3);
    Manager& audio = AudioManagerOf(L);
    long long length = audio.GetLength(channel);
    if (length == 0) {
        SetLastError(L, lengthUnknown);
        return 0;
    }
    long long last = length - 1;
    long long current = 0;
    if (audio.GetPosition(channel, current) != Manager::resultDone) current = 0;
    long long target = 0;
    switch (mode) {
        case seekBeginning:
            target = 1;
            break;
        case seekEnd:
            target = last;
            break;
        case seekForward:
            target = std::min(current + offset, last);
            break;
        case seekBackward:
            target = std::max(current - offset, 0LL);
            break;
        case seekSpecific:
            target = offset;
            break;
        default:
            SetLastError(L, seekFailed);
            return 0;
    }
    int result = audio.SetPosition(channel, target);
    SetLastError(L, result == Manager::resultNotReady     ? seekFailed
                    : result == Manager::resultBadChannel ? channelOutOfRange
                                                          : 0);
    return 0;
}

int SetVolume(lua_State* L) {
    CheckArgCount(L, 2);
    int channel = 0;
    if (!ChannelArg(L, channel)) return 0;
    int volume = std::clamp(GetIntegerArg(L, 2), 0, 255);
    SetLastError(L, RefusedAs(AudioManagerOf(L).SetVolume(channel, volume), setVolumeFailed));
    return 0;
}

// The error of a query: nothing loaded, or the sound system's own failure.
int QueryError(int result, int refused) {
    if (result == Manager::resultNothingLoaded) return channelNotLoaded;
    if (result == Manager::resultNotReady) return refused;
    return 0;
}

int GetVolume(lua_State* L) {
    int channel = 0;
    if (!ChannelArg(L, channel)) {
        lua_pushnumber(L, -1);
        return 1;
    }
    int volume = 0;
    int result = AudioManagerOf(L).GetVolume(channel, volume);
    SetLastError(L, QueryError(result, getVolumeFailed));
    lua_pushnumber(L, result == Manager::resultDone ? volume : -1);
    return 1;
}

int GetCurrentPos(lua_State* L) {
    int channel = 0;
    if (!ChannelArg(L, channel)) {
        lua_pushnumber(L, -1);
        return 1;
    }
    long long ms = 0;
    int result = AudioManagerOf(L).GetPosition(channel, ms);
    SetLastError(L, QueryError(result, getPositionFailed));
    lua_pushnumber(L, result == Manager::resultDone ? static_cast<lua_Number>(ms) * 0.001 : -1);
    return 1;
}

int GetLength(lua_State* L) {
    int channel = 0;
    if (!ChannelArg(L, channel)) {
        lua_pushnumber(L, -1);
        return 1;
    }
    lua_pushnumber(L, static_cast<lua_Number>(AudioManagerOf(L).GetLength(channel)) * 0.001);
    return 1;
}

int SetLooping(lua_State* L) {
    int channel = 0;
    if (!ChannelArg(L, channel)) return 0;
    AudioManagerOf(L).SetLooping(channel, HasArg(L, 2) ? GetBooleanArg(L, 2) : true);
    return 0;
}

int IsLooping(lua_State* L) {
    int channel = 0;
    lua_pushboolean(L, ChannelArg(L, channel) && AudioManagerOf(L).IsLooping(channel));
    return 1;
}

int GetFilename(lua_State* L) {
    int channel = 0;
    if (!ChannelArg(L, channel)) {
        lua_pushliteral(L, "");
        return 1;
    }
    // The slot's own text: no copy for the push to leave behind.
    const std::string& name = AudioManagerOf(L).FileNameOf(channel);
    lua_pushlstring(L, name.data(), name.size());
    return 1;
}

int ToggleMute(lua_State* L) {
    int channel = 0;
    if (ChannelArg(L, channel)) SetLastError(L, AudioManagerOf(L).ToggleMute(channel));
    return 0;
}

int TogglePlay(lua_State* L) {
    int channel = 0;
    if (ChannelArg(L, channel)) SetLastError(L, AudioManagerOf(L).TogglePlay(channel));
    return 0;
}

int GetOggTags(lua_State* L) {
    int channel = 0;
    if (!ChannelArg(L, channel)) {
        lua_pushnil(L);
        return 1;
    }
    int code = 0;
    {
        std::vector<COggTag> tags;
        int result = AudioManagerOf(L).GetOggTags(channel, tags);
        if (result == Manager::resultNothingLoaded) code = notOggVorbis;
        if (result == Manager::resultNotReady) code = notInitialized;
        if (result == Manager::resultTagsNotLoaded) code = channelNotLoaded;
        if (code == 0) {
            // Later names overwrite earlier ones.
            PushBuilt(L, [&tags](lua_State* S) {
                lua_newtable(S);
                for (const COggTag& tag : tags) {
                    lua_pushlstring(S, tag.name.data(), tag.name.size());
                    lua_pushlstring(S, tag.value.data(), tag.value.size());
                    lua_rawset(S, -3);
                }
            });
        } else {
            lua_pushnil(L);
        }
    }
    SetLastError(L, code);
    return 1;
}

}  // namespace

const luaL_Reg* AudioActionFunctions() {
    static const luaL_Reg functions[] = {
        {"GetCurrentPos", GetCurrentPos},
        {"GetFilename", GetFilename},
        {"GetLength", GetLength},
        {"GetOggTags", GetOggTags},
        {"GetVolume", GetVolume},
        {"IsLooping", IsLooping},
        {"Load", Load},
        {"Pause", Pause},
        {"Play", Play},
        {"Seek", Seek},
        {"SetLooping", SetLooping},
        {"SetVolume", SetVolume},
        {"Stop", Stop},
        {"ToggleMute", ToggleMute},
        {"TogglePlay", TogglePlay},
        {nullptr, nullptr},
    };
    return functions;
}
