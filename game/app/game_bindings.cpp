#include "game/app/game_bindings.h"

#include <vector>

#include "engine/script/script_bind.h"
#include "game/app/bindings_parts.h"

namespace {

std::vector<GameBindingFn>& Hooks() {
  static std::vector<GameBindingFn> hooks;
  return hooks;
}

}  // namespace

void AddGameBindings(GameBindingFn fn) {
  if (fn) Hooks().push_back(fn);
}

void ClearGameBindings() { Hooks().clear(); }

void RegisterGame(lua_State* L) {
  luabind::module(L)[(game_bindings::AppClasses(), game_bindings::LoadingClasses(), game_bindings::AppFunctions())];
  game_bindings::KeepSplashNative(L);
  game_bindings::KeepLoadItemsNative(L);
  game_bindings::RegisterGameResources(L);
  game_bindings::RegisterLocaleGD(L);
  const std::vector<GameBindingFn> hooks = Hooks();
  for (GameBindingFn fn : hooks) fn(L);
}
