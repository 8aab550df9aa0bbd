#include "actions/video_actions.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "actions/action_support.h"
#include "actions/page_actions.h"
#include "media/video_player.h"
#include "project/vantorix_video_object.h"
#include "script/lua50_dialect.h"
#include "script/project_files.h"
#include "script/script_document.h"

namespace {

enum : int {
    kLoadFailed = 1001,
    kPlayFailed = 1101,
    kPauseFailed = 1102,
    kCannotSeek = 1103,
    kSeekFailed = 1104,
    kStopFailed = 1105,
};

// The video object named by argument 1 (null, with 1100 set, when the current page has none),
// and its player (null when its window is not live: then nothing happens and the error is 0).
struct Target {
    CVantorixVideoObject* video = nullptr;
    CKXVideoPlayer* player = nullptr;
};

Target TargetArg(lua_State* L) {
    Target target;
    target.video = dynamic_cast<CVantorixVideoObject*>(ObjectArg(L, kindVideo));
    if (target.video) target.player = target.video->player;
    SetLastError(L, target.video ? 0 : objectNotFound);
    return target;
}

// Play, Pause and Stop: the operation, its error when it fails.
template <bool (CKXVideoPlayer::*operation)(), int failure>
int Command(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    Target target = TargetArg(L);
    if (target.player && !(target.player->*operation)()) SetLastError(L, failure);
    return 0;
}

int Load(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    const char* file = GetStringArg(L, 2);
    bool playNow = HasArg(L, 3) && GetBooleanArg(L, 3);
    bool loop = HasArg(L, 4) && GetBooleanArg(L, 4);
    Target target = TargetArg(L);
    if (!target.video) return 0;
    target.video->file = ResolveSourcePath(DocumentOf(L), file);
    if (!target.player) return 0;
    target.video->loop = loop;
    target.player->SetLoop(loop);
    if (!target.player->LoadMovie(ScriptHostPath(target.video->file))) {
        SetLastError(L, kLoadFailed);
    } else if (playNow && !target.player->Play()) {
        SetLastError(L, kPlayFailed);
    }
    return 0;
}

int Seek(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    int mode = GetIntegerArg(L, 2);
    double seconds = HasArg(L, 3) ? GetNumberArg(L, 3) : 0;
    Target target = TargetArg(L);
    if (!target.player) return 0;
    if (!target.player->CanSeek()) {
        SetLastError(L, kCannotSeek);
        return 0;
    }
    double length = target.player->GetLength(), position = target.player->GetPosition();
    // An offset that is not a number counts as none.
    if (std::isnan(seconds)) seconds = 0;
    double to = 0;
    switch (mode) {
        case 0:
            to = 0;
            break;
        case 1:
            to = length;
            break;
        case 2:
            to = std::min(position + seconds, length);
            break;
        case 3:
            to = std::max(position - seconds, 0.0);
            break;
        case 4:
            to = std::clamp(seconds, 0.0, length);
            break;
        default:
            SetLastError(L, kSeekFailed);
            return 0;
    }
    if (!target.player->SeekTo(std::max(0.0, to))) SetLastError(L, kSeekFailed);
    return 0;
}

// The value actions: the player's answer, or their failure value when there is no object or
// no live window.
template <double (*read)(const CKXVideoPlayer&), int failure>
int Value(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    Target target = TargetArg(L);
    lua_pushnumber(L, target.player ? read(*target.player) : failure);
    return 1;
}

double StateOf(const CKXVideoPlayer& player) {
    return player.GetState();
}
double LengthOf(const CKXVideoPlayer& player) {
    return player.GetLength();
}
double PositionOf(const CKXVideoPlayer& player) {
    return player.GetPosition();
}
double VolumeOf(const CKXVideoPlayer& player) {
    return VolumeFromHundredthsOfDecibel(player.GetVolume());
}

int SetVolume(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 2);
    double volume = GetNumberArg(L, 2);
    Target target = TargetArg(L);
    if (target.player) target.player->SetVolume(VolumeToHundredthsOfDecibel(std::isnan(volume) ? 0 : volume));
    return 0;
}

int GetFilename(lua_State* L) {
    ResetLastError(L);
    CheckArgCount(L, 1);
    Target target = TargetArg(L);
    PushString(L, target.video ? ResolveSourcePath(DocumentOf(L), target.video->file) : std::string());
    return 1;
}

int IsVisible(lua_State* L) {
    return IsObjectVisible(L, kindVideo);
}

int SetVisible(lua_State* L) {
    return SetObjectVisible(L, kindVideo);
}

const luaL_Reg kFunctions[] = {
    {"Load", Load},
    {"Play", Command<&CKXVideoPlayer::Play, kPlayFailed>},
    {"Pause", Command<&CKXVideoPlayer::Pause, kPauseFailed>},
    {"Stop", Command<&CKXVideoPlayer::Stop, kStopFailed>},
    {"Seek", Seek},
    {"GetState", Value<StateOf, 0>},
    {"GetLength", Value<LengthOf, 0>},
    {"GetCurrentPos", Value<PositionOf, -1>},
    {"GetVolume", Value<VolumeOf, -1>},
    {"SetVolume", SetVolume},
    {"GetFilename", GetFilename},
    {"IsVisible", IsVisible},
    {"SetVisible", SetVisible},
    {nullptr, nullptr},
};

}  // namespace

const luaL_Reg* VideoActionFunctions() {
    return kFunctions;
}
