#include "game/app/game_bindings.h"

#include <vector>

#include <luabind/detail/class_registry.hpp>

#include "engine/core/log.h"
#include "engine/script/script_bind.h"
#include "game/app/garden.h"
#include "game/app/bindings_parts.h"
#include "game/app/settings_file.h"

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
  // The classes are registered once per script host; a second call would register them twice.
  luabind::detail::class_registry* registry = luabind::detail::class_registry::get_registry(L);
  if (registry && registry->find_class(luabind::type_id(typeid(cGarden)))) {
    vek::LogWarning("RegisterGame", "The game's classes are registered already\n");
    return;
  }
  luabind::module(L)[(game_bindings::AppClasses(), game_bindings::LoadingClasses(), game_bindings::AppFunctions())];
  game_bindings::KeepSplashNative(L);
  game_bindings::KeepLoadItemsNative(L);
  game_bindings::RegisterGameResources(L);
  game_bindings::RegisterLocaleGD(L);
  RegisterSettingsFile(L);
  const std::vector<GameBindingFn> hooks = Hooks();
  for (GameBindingFn fn : hooks) fn(L);
}
