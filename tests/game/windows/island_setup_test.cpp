// Helpers of the island window tests that see the island's and the renderer's classes.
#include <memory>

#include "engine/files/image.h"
#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "game/island/island.h"
#include "tests/game/windows/island_fixture.h"

namespace islandtest {

cIsland* AddTestIsland(const std::vector<vek::vec2>& places, vek::vec2* viewOffset) {
  auto* island = new cIsland();
  cIslandPaths paths;
  paths.markers = places;
  island->SetPaths(paths);
  if (viewOffset) *viewOffset = island->GetScroll();
  return island;
}

void AddTestSheet(const std::string& texture, int w, int h, const std::vector<cArea>& areas) {
  vek::cImage image(vek::e_PixARGB, static_cast<vek::u32>(w), static_cast<vek::u32>(h), 1);
  new vek::cTexture(texture, false, &image);
  auto* sheet = new vek::cTextureInfo(texture, false);
  for (const cArea& a : areas) sheet->AddNode(a.name, vek::recti{a.x, a.y, a.w, a.h});
}

}  // namespace islandtest
