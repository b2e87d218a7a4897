#pragma once
// Script classes of the drawing code, as luabind scopes for the registrations that hold them:
// the fonts for the GUI's registration, the sprite sheets for the game's resources. Include
// it only in binding files: luabind makes a translation unit slow to compile.
#include <luabind/scope.hpp>

struct lua_State;

namespace vek::bindings {

// The function "GetFonts", the class "cFontManager" and the class "cFont", in that order.
luabind::scope FontClasses();
// The class "cTextureInfo" with its constructor (texture name, reserved flag) and the nine
// AddNode overloads.
luabind::scope TextureInfoClass();
// Each after the module that holds its class is registered: fonts and sheets that scripts
// construct belong to their managers, never to the garbage collector.
void KeepFontsNative(lua_State* L);
void KeepTextureInfosNative(lua_State* L);

}  // namespace vek::bindings
