// The script class of the game's text table: one read-write text property per field, the
// keys first, then the messages.
#include "engine/script/script_bind.h"
#include "game/app/bindings_parts.h"
#include "game/app/locale_gd.h"

namespace game_bindings {

void RegisterLocaleGD(lua_State* L) {
  luabind::class_<cLocaleGD> c("cLocaleGD");
#define LOCALE_GD_PROPERTY(field, ...) c.def_readwrite(#field, &cLocaleGD::field);
  LOCALE_GD_KEYS(LOCALE_GD_PROPERTY)
  LOCALE_GD_MESSAGES(LOCALE_GD_PROPERTY)
#undef LOCALE_GD_PROPERTY
  luabind::module(L)[c];
}

}  // namespace game_bindings
