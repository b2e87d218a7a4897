#include "engine/render/render_bindings.h"

#include "engine/render/font.h"
#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "engine/script/script_bind.h"

namespace vek::bindings {

namespace {

// The AddNode overloads: missing arguments are the whole texture, one column, one row and
// a frame time of 30.
const rectf kWhole{0.0f, 0.0f, 1.0f, 1.0f};

i32 AddNodeName(cTextureInfo& s, const vek::string& n) { return s.AddNodeGrid(n, kWhole, 1, 1, 30.0f); }
i32 AddNodePixels(cTextureInfo& s, const vek::string& n, const recti& r) { return s.AddNode(n, r, 1, 1, 30.0f); }
i32 AddNodePixelGrid(cTextureInfo& s, const vek::string& n, const recti& r, int c, int w) {
  return s.AddNode(n, r, c, w, 30.0f);
}
i32 AddNodePixelGridTime(cTextureInfo& s, const vek::string& n, const recti& r, int c, int w, float t) {
  return s.AddNode(n, r, c, w, t);
}
i32 AddNodeRect(cTextureInfo& s, const vek::string& n, const rectf& r) { return s.AddNodeGrid(n, r, 1, 1, 30.0f); }
i32 AddNodeRectGrid(cTextureInfo& s, const vek::string& n, const rectf& r, int c, int w) {
  return s.AddNodeGrid(n, r, c, w, 30.0f);
}
i32 AddNodeRectGridTime(cTextureInfo& s, const vek::string& n, const rectf& r, int c, int w, float t) {
  return s.AddNodeGrid(n, r, c, w, t);
}
i32 AddNodeGridOnly(cTextureInfo& s, const vek::string& n, int c, int w) { return s.AddNodeGrid(n, kWhole, c, w, 30.0f); }
i32 AddNodeGridTime(cTextureInfo& s, const vek::string& n, int c, int w, float t) {
  return s.AddNodeGrid(n, kWhole, c, w, t);
}

}  // namespace

luabind::scope FontClasses() {
  using luabind::class_;
  return (luabind::def("GetFonts", &GetFonts),
          class_<cFontManager>("cFontManager")
              .def("Find", &cFontManager::Find)
              .def("Count", &cFontManager::Count)
              .def("Default", &cFontManager::Default)
              .def("GetAt", &cFontManager::GetAt),
          class_<cFont>("cFont")
              .def(luabind::constructor<const vek::string&>())
              .def("Init", &cFont::Init)
              .def("Texture", &cFont::Texture)
              .def("Transform", &cFont::Transform)
              .def("Char", &cFont::Char)
              .def("GetName", &cFont::GetName));
}

// A part of a shared page, made by a page's area script before the sheets on it.
void MakeTexturePart(const vek::string& name, const vek::string& page, const recti& pixels) {
  new cTexture(name, page, pixels);
}

luabind::scope TextureInfoClass() {
  return luabind::def("cTexturePart", &MakeTexturePart),
         luabind::class_<cTextureInfo>("cTextureInfo")
      .def(luabind::constructor<const vek::string&, bool>())
      .def("AddNode", &AddNodeName)
      .def("AddNode", &AddNodePixels)
      .def("AddNode", &AddNodePixelGrid)
      .def("AddNode", &AddNodePixelGridTime)
      .def("AddNode", &AddNodeRect)
      .def("AddNode", &AddNodeRectGrid)
      .def("AddNode", &AddNodeRectGridTime)
      .def("AddNode", &AddNodeGridOnly)
      .def("AddNode", &AddNodeGridTime);
}

void KeepFontsNative(lua_State* L) { undelete_class_rep<cFont>(L); }
void KeepTextureInfosNative(lua_State* L) { undelete_class_rep<cTextureInfo>(L); }

}  // namespace vek::bindings
