#pragma once
// The pieces of the game's script registration, one group per source file. Include it only
// in binding files: luabind makes a translation unit slow to compile.
#include <luabind/scope.hpp>

struct lua_State;

namespace game_bindings {

// bindings_app.cpp: "cSettings", "vek::cWidget", "cSplashWidget", "cNode", "cGarden" and the
// free functions.
luabind::scope AppClasses();
luabind::scope AppFunctions();
void KeepSplashNative(lua_State* L);
// bindings_loading.cpp: "cLoadData" and the load items.
luabind::scope LoadingClasses();
void KeepLoadItemsNative(lua_State* L);
// bindings_resources.cpp: "cTextureInfo", "cDataManagerGD", "cResult".
void RegisterGameResources(lua_State* L);
// bindings_locale.cpp: "cLocaleGD".
void RegisterLocaleGD(lua_State* L);

}  // namespace game_bindings
