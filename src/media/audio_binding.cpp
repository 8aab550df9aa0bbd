#include "media/audio_binding.h"

#include "media/fmod_sound_manager.h"

namespace {

// The registry key: the address of this variable.
const char bindingKey = 0;

}  // namespace

void BindAudioManager(lua_State* L, CFMODSoundManager* manager) {
    lua_pushlightuserdata(L, const_cast<char*>(&bindingKey));
    lua_pushlightuserdata(L, manager);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

CFMODSoundManager& AudioManagerOf(lua_State* L) {
    static CFMODSoundManager silent;
    lua_pushlightuserdata(L, const_cast<char*>(&bindingKey));
    lua_rawget(L, LUA_REGISTRYINDEX);
    auto* manager = static_cast<CFMODSoundManager*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    return manager ? *manager : silent;
}
