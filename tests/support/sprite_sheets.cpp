#include "tests/support/sprite_sheets.h"

#include <luabind/luabind.hpp>

#include <filesystem>

#include "engine/files/data_manager.h"
#include "engine/files/image.h"
#include "engine/script/script.h"
#include "engine/app/script_bindings.h"
#include "engine/render/render_bindings.h"
#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "engine/render/texture_manager.h"

namespace vektest {

std::string BuiltDataDir() { return std::string(VEK_TEST_BIN_DIR) + "/data"; }

HeadlessSprites::HeadlessSprites() {
  if (!vek::g_pTextureManager) {
    vek::CreateTextureManager();
    m_OwnTextures = true;
  }
  if (!vek::g_pTextureInfos) {
    vek::CreateTextureInfos();
    m_OwnInfos = true;
  }
  if (!vek::GetScript()) {
    vek::CreateScript();
    vek::RegisterEngine(vek::GetScript());
    m_OwnScript = true;
  }
  lua_State* L = vek::GetScript()->GetState();
  lua_getglobal(L, "cTextureInfo");
  const bool bound = !lua_isnil(L, -1);
  lua_pop(L, 1);
  if (!bound) {
    luabind::module(L)[vek::bindings::TextureInfoClass()];
    vek::bindings::KeepTextureInfosNative(L);
  }
}

HeadlessSprites::~HeadlessSprites() {
  if (m_OwnScript) vek::DestroyScript();
  if (m_OwnInfos) vek::DestroyTextureInfoTable();
  if (m_OwnTextures) vek::DestroyTextureManager();
}

::testing::AssertionResult HeadlessSprites::Load(const std::string& dataPath) {
  const std::filesystem::path png = BuiltDataDir() + "/" + dataPath;
  vek::cImage image;
  if (vek::cDataManager::ReadImage(png.string(), &image) != 0)
    return ::testing::AssertionFailure() << "cannot read " << png;
  new vek::cTexture(png.stem().string(), false, &image);
  std::filesystem::path tex = png;
  tex.replace_extension(".tex");
  if (!std::filesystem::exists(tex)) return ::testing::AssertionFailure() << "no area script " << tex;
  if (!vek::GetScript()->LoadFile(tex.string())) return ::testing::AssertionFailure() << "area script failed: " << tex;
  return ::testing::AssertionSuccess();
}

}  // namespace vektest
