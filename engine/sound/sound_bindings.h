#pragma once
// The sound service's part of the engine's script registration (script_bindings_sound.cpp).
#include <luabind/scope.hpp>

namespace vek::bindings {

luabind::scope SoundFunctions();     // "sound", "luaSaveWAV", "GetSound"
luabind::scope SoundManagerClass();  // "cSoundManager"

}  // namespace vek::bindings
