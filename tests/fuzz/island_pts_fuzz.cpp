// Reads arbitrary bytes as the island's geometry file. An accepted file must name only
// outline points that exist, keep its walkways in pairs, survive writing and reading back
// unchanged, and give a walker set whose planning ends on small islands.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/core/bitstream.h"
#include "game/island/island_files.h"
#include "game/island/island_walkers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vek::cBitStream in;
  in.SetData(data, static_cast<vek::u32>(size));
  cIslandPaths paths;
  if (!ReadIslandPaths(in, paths)) return 0;
  for (const cIslandArea& area : paths.areas)
    for (const cAreaTriangle& t : area.triangles)
      if (t.a >= area.outline.size() || t.b >= area.outline.size() || t.c >= area.outline.size())
        std::abort();
  if (paths.walkways.size() % 2 != 0) std::abort();

  vek::cBitStream out;
  WriteIslandPaths(out, paths);
  vek::cBitStream again;
  again.SetData(out.GetBytes().data(), out.GetByteCount());
  cIslandPaths back;
  if (!ReadIslandPaths(again, back)) std::abort();
  vek::cBitStream out2;
  WriteIslandPaths(out2, back);
  if (out.GetBytes() != out2.GetBytes()) std::abort();

  (void)MarkerDots(paths.markers);
  // Route planning over the file's regions and links (kept small: the search is linear, the
  // region tests are not free).
  if (paths.areas.size() <= 32 && paths.walkways.size() <= 64) {
    cIslandWalkers walkers;
    for (const cIslandArea& area : paths.areas)
      if (area.outline.size() <= 64)
        walkers.AddRegion(area.outline.data(), static_cast<vek::u32>(area.outline.size()));
    walkers.SetLinks(paths.walkways);
    for (const vek::vec2& start : paths.walkways) {
      cWalker& w = walkers.AddWalker(start);
      walkers.RouteToArrival(w);
      if (w.points.size() != w.distances.size()) std::abort();
    }
    walkers.Update(1.0f / 30.0f);
  }
  return 0;
}
