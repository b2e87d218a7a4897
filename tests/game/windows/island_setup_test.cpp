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
  // Texture coordinates from the bottom left, as the sheets' area scripts give them.
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  for (const cArea& a : areas)
    sheet->AddNodeGrid(a.name, vek::rectf{a.x / fw, 1.0f - (a.y + a.h) / fh, a.w / fw, a.h / fh}, 1, 1, 30.0f);
}

}  // namespace islandtest
