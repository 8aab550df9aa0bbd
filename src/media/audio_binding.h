#pragma once

#include <lua.hpp>

class CFMODSoundManager;

// The audio manager that the Audio actions of a script state drive.
void BindAudioManager(lua_State* L, CFMODSoundManager* manager);
// The bound manager, or one that is not ready (the sound system did not start) when none is.
CFMODSoundManager& AudioManagerOf(lua_State* L);
