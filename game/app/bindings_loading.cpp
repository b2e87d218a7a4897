// Script classes of the loading queue's items. Items belong to the queue they join, never to
// the script that made them.
#include "engine/script/script_bind.h"
#include "game/app/bindings_parts.h"
#include "game/app/loading.h"

namespace game_bindings {

luabind::scope LoadingClasses() {
  using luabind::class_;
  using luabind::constructor;
  return (class_<cLoadData>("cLoadData"),
          class_<cLoadTexture, cLoadData>("cLoadTexture")
              .def(constructor<const vek::string&>())
              .def("SetParameters", &cLoadTexture::SetParameters),
          class_<cLoadTextureOnUse, cLoadData>("cLoadTextureOnUse").def(constructor<const vek::string&>()),
          class_<cLoadFont, cLoadData>("cLoadFont").def(constructor<const vek::string&>()),
          class_<cLoadSound, cLoadData>("cLoadSound")
              .def(constructor<const vek::string&, bool>())
              .def("SetParameters", &cLoadSound::SetParameters),
          class_<cLoadMusic, cLoadData>("cLoadMusic")
              .def(constructor<const vek::string&, bool>())
              .def(constructor<const vek::string&, const vek::string&, vek::i32, vek::i32, bool>()),
          class_<cLoadStream, cLoadData>("cLoadStream").def(constructor<const vek::string&, bool>()));
}

void KeepLoadItemsNative(lua_State* L) {
  vek::undelete_class_rep<cLoadData>(L);
  vek::undelete_class_rep<cLoadTexture>(L);
  vek::undelete_class_rep<cLoadTextureOnUse>(L);
  vek::undelete_class_rep<cLoadFont>(L);
  vek::undelete_class_rep<cLoadSound>(L);
  vek::undelete_class_rep<cLoadMusic>(L);
  vek::undelete_class_rep<cLoadStream>(L);
}

}  // namespace game_bindings
