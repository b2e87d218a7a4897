#include "tests/support/sprite_sheets.h"

#include <luabind/luabind.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

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

std::string SheetPicture(const std::string& dataPath) {
  namespace fs = std::filesystem;
  fs::path own = dataPath;
  if (own.extension() != ".png") own += ".png";
  const fs::path data = BuiltDataDir();
  std::error_code ec;
  if (fs::exists(data / own, ec)) return own.string();
  // A page's script makes each of its parts with this call.
  const std::string mark = "cTexturePart(\"" + own.stem().string() + "\", \"";
  for (fs::recursive_directory_iterator it(data, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() != ".tex") continue;
    std::ifstream in(it->path());
    std::ostringstream text;
    text << in.rdbuf();
    if (text.str().find(mark) != std::string::npos)
      return fs::relative(it->path(), data).replace_extension(".png").string();
  }
  return own.string();
}

bool LoadPageOf(const std::string& dataPath) {
  namespace fs = std::filesystem;
  std::string relative = dataPath;
  const std::string token = "{StaticPath}/";
  if (relative.rfind(token, 0) == 0) relative.erase(0, token.size());
  const std::string picture = SheetPicture(relative);
  fs::path own = relative;
  if (own.extension() != ".png") own += ".png";
  if (picture == own.string() || !vek::g_pTextureManager || !vek::GetScript()) return false;
  const fs::path png = BuiltDataDir() + "/" + picture;
  fs::path tex = png;
  tex.replace_extension(".tex");
  const std::string name = own.stem().string();
  // Loaded before, with the part and (when there is a registry) its sheet's areas.
  const bool hasPart = vek::g_pTextureManager->FindIndex(name) != 0;
  const vek::cTextureInfo* info = vek::FindTextureInfo(name);
  const bool hasAreas = !vek::g_pTextureInfos || (info && info != vek::g_pTextureInfos->Get(0));
  std::ifstream in(tex);
  std::ostringstream text;
  text << in.rdbuf();
  const bool isSheet = text.str().find("cTextureInfo(\"" + name + "\"") != std::string::npos;
  if (hasPart && (hasAreas || !isSheet)) return true;
  if (vek::g_pTextureManager->FindIndex(png.stem().string()) == 0) {
    vek::cImage image;
    if (vek::cDataManager::ReadImage(png.string(), &image) != 0) return false;
    new vek::cTexture(png.stem().string(), false, &image);
  }
  lua_State* L = vek::GetScript()->GetState();
  lua_getglobal(L, "cTexturePart");
  const bool bound = !lua_isnil(L, -1);
  lua_pop(L, 1);
  if (!bound) {
    luabind::module(L)[vek::bindings::TextureInfoClass()];
    vek::bindings::KeepTextureInfosNative(L);
  }
  return vek::GetScript()->LoadFile(tex.string());
}

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
  // A sheet on a shared page: the page, once, and its script.
  if (SheetPicture(dataPath) != dataPath) {
    if (LoadPageOf(dataPath)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "cannot load the page of " << dataPath;
  }
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
