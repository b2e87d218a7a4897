// Script classes of the game's resources: sprite sheets, the game's data manager and the
// result codes of the file helpers.
#include "engine/script/script_bind.h"
#include "engine/render/render_bindings.h"
#include "engine/render/texture_info.h"
#include "game/app/bindings_parts.h"
#include "game/app/data_manager_gd.h"

namespace game_bindings {

namespace {
struct cResultValues {};
}  // namespace

void RegisterGameResources(lua_State* L) {
  using luabind::class_;
  using luabind::value;
  luabind::module(L)[(vek::bindings::TextureInfoClass(),
                      class_<cDataManagerGD, vek::cDataManager>("cDataManagerGD"),
                      class_<cResultValues>("cResult")
                          .enum_("cResult")[(value("Ok", vek::cDataManager::Ok), value("Stop", vek::cDataManager::Stop),
                                             value("FileNotFound", vek::cDataManager::FileNotFound),
                                             value("InternalError", vek::cDataManager::InternalError))])];
  // The sheet registry owns every sheet.
  vek::bindings::KeepTextureInfosNative(L);
}

}  // namespace game_bindings
