#pragma once
// The pieces of the engine's script registration, one group per source file, put together
// in their order by RegisterEngine.
#include <luabind/scope.hpp>

namespace vek::bindings {

// script_bindings_engine.cpp
luabind::scope EngineFunctions();  // "dump_vek15", "info", "display", "GetScript"
luabind::scope GameClass();        // "cGame"
luabind::scope ScriptClass();      // "cScript"
// script_bindings_sound.cpp
luabind::scope SoundFunctions();     // "sound", "luaSaveWAV", "GetSound"
luabind::scope SoundManagerClass();  // "cSoundManager"
// script_bindings_locale.cpp
luabind::scope LocaleClass();  // "cLocale"
// script_bindings_files.cpp
luabind::scope FileSystemClass();   // "cFileSystem"
luabind::scope FileClass();         // "cFile"
luabind::scope FilenameClass();     // "filename"
luabind::scope DataManagerClass();  // "cDataManager"
// script_bindings_values.cpp
luabind::scope StrlistClass();   // "strlist"
luabind::scope AlignClass();     // "cAlign"
luabind::scope VectorClasses();  // "vectorf", "vectori"
luabind::scope RectClasses();    // "recti", "rectf"

}  // namespace vek::bindings
