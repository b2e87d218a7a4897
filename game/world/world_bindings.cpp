#include "game/world/world_bindings.h"

#include "engine/script/script_bind.h"
#include "game/world/holes_layouts.h"

void RegisterGameWorld(lua_State* L) {
  luabind::module(L)[(luabind::def("IsFloat", &IsFloat), luabind::def("IsInt", &IsInt),
                      luabind::def("IsString", &IsString), luabind::def("IsArray", &IsArray))];
}
