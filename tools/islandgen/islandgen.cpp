// Writes the island's geometry file and its building list from a readable description (see
// assets/island/island.txt for the format). Each area's outline is filled with triangles by
// ear clipping. The description is checked: every point on the map, one marker per level,
// every walkway leading from one area into another, every building one of the catalogue's,
// the arrival point and the landing place on the ground, and an arrival route from the pier.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/geometry.h"
#include "engine/files/data_manager.h"
#include "game/island/building_table.h"
#include "game/island/island_files.h"
#include "game/island/island_walkers.h"

using vek::vec2;

namespace {

constexpr int kLevels = 45;
// Where the ships' people step ashore.
const vec2 kLanding(412.0f, 1971.0f);

int g_Line = 0;
bool g_Failed = false;

void Fail(const std::string& what) {
  std::fprintf(stderr, "island.txt:%d: %s\n", g_Line, what.c_str());
  g_Failed = true;
}

double Cross(const vec2& o, const vec2& a, const vec2& b) {
  return (static_cast<double>(a.x) - o.x) * (static_cast<double>(b.y) - o.y) -
         (static_cast<double>(a.y) - o.y) * (static_cast<double>(b.x) - o.x);
}

bool InTriangle(const vec2& p, const vec2& a, const vec2& b, const vec2& c) {
  return Cross(a, b, p) >= 0 && Cross(b, c, p) >= 0 && Cross(c, a, p) >= 0;
}

// Ear clipping of a simple polygon; vertices on a straight run are dropped without a
// triangle. False when the outline cannot be filled (it crosses itself).
bool Triangulate(const std::vector<vec2>& outline, std::vector<cAreaTriangle>& out) {
  std::vector<vek::u32> left;
  for (vek::u32 i = 0; i < outline.size(); ++i) left.push_back(i);
  double area = 0;
  for (size_t i = 0; i < outline.size(); ++i)
    area += Cross(vec2(0, 0), outline[i], outline[(i + 1) % outline.size()]);
  if (area < 0) std::reverse(left.begin(), left.end());  // work counter-clockwise
  while (left.size() > 3) {
    bool clipped = false;
    for (size_t i = 0; i < left.size() && !clipped; ++i) {
      const vek::u32 ia = left[(i + left.size() - 1) % left.size()], ib = left[i],
                     ic = left[(i + 1) % left.size()];
      const vec2 &a = outline[ia], &b = outline[ib], &c = outline[ic];
      const double turn = Cross(a, b, c);
      if (turn < 0) continue;
      bool empty = true;
      for (vek::u32 j : left)
        if (j != ia && j != ib && j != ic && InTriangle(outline[j], a, b, c)) empty = false;
      if (!empty) continue;
      if (turn > 0) out.push_back({ia, ib, ic});
      left.erase(left.begin() + static_cast<long>(i));
      clipped = true;
    }
    if (!clipped) return false;
  }
  if (left.size() == 3 && Cross(outline[left[0]], outline[left[1]], outline[left[2]]) > 0)
    out.push_back({left[0], left[1], left[2]});
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: islandgen <island.txt> <island.pts> <island.dat>\n");
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::fprintf(stderr, "islandgen: can't read %s\n", argv[1]);
    return 1;
  }
  cIslandPaths paths;
  std::vector<std::string> areaNames;
  struct Placement {
    int level;
    std::string name;
    vec2 offset;
    int line;
  };
  std::vector<Placement> placements;
  vec2 map(0, 0);
  std::string text;
  while (std::getline(in, text)) {
    ++g_Line;
    const size_t hash = text.find('#');
    if (hash != std::string::npos) text.erase(hash);
    std::istringstream line(text);
    std::string word;
    if (!(line >> word)) continue;
    float x = 0, y = 0, x2 = 0, y2 = 0;
    if (word == "map") {
      if (!(line >> map.x >> map.y)) Fail("map needs a width and a height");
    } else if (word == "area") {
      std::string name;
      if (!(line >> name)) Fail("area needs a name");
      paths.areas.emplace_back();
      areaNames.push_back(name);
    } else if (word == "point") {
      if (paths.areas.empty() || !(line >> x >> y)) Fail("point needs an area and x y");
      else paths.areas.back().outline.push_back({x, y});
    } else if (word == "walkway") {
      if (!(line >> x >> y >> x2 >> y2)) Fail("walkway needs x1 y1 x2 y2");
      paths.walkways.push_back({x, y});
      paths.walkways.push_back({x2, y2});
    } else if (word == "ship") {
      if (!(line >> x >> y)) Fail("ship needs x y");
      paths.shipKeys.push_back({x, y});
    } else if (word == "marker") {
      if (!(line >> x >> y)) Fail("marker needs x y");
      paths.markers.push_back({x, y});
    } else if (word == "building") {
      Placement p{0, "", {}, g_Line};
      if (!(line >> p.level >> p.name >> p.offset.x >> p.offset.y))
        Fail("building needs a level, a name and dx dy");
      placements.push_back(p);
    } else {
      Fail("unknown word '" + word + "'");
    }
    std::string rest;
    if (line >> rest) Fail("unexpected '" + rest + "'");
  }
  g_Line = 0;

  auto onMap = [&](const vec2& p) { return p.x >= 0 && p.y >= 0 && p.x <= map.x && p.y <= map.y; };
  if (map.x <= 0 || map.y <= 0) Fail("no map size");
  for (size_t a = 0; a < paths.areas.size(); ++a) {
    cIslandArea& area = paths.areas[a];
    for (const vec2& p : area.outline)
      if (!onMap(p)) Fail("area " + areaNames[a] + " leaves the map");
    if (area.outline.size() < 3 || !Triangulate(area.outline, area.triangles))
      Fail("area " + areaNames[a] + " has no simple outline");
  }
  cIslandWalkers ground;
  for (const cIslandArea& area : paths.areas)
    ground.AddRegion(area.outline.data(), static_cast<vek::u32>(area.outline.size()));
  ground.SetLinks(paths.walkways);
  for (size_t k = 0; k + 1 < paths.walkways.size(); k += 2) {
    const vek::u32 a = ground.FindRegion(paths.walkways[k]);
    const vek::u32 b = ground.FindRegion(paths.walkways[k + 1]);
    if (a == ground.GetRegionCount() || b == ground.GetRegionCount() || a == b)
      Fail("walkway " + std::to_string(k / 2) + " does not lead from one area into another");
  }
  for (const vec2& p : {kLanding, cIslandWalkers::ArrivalTarget(), cIslandWalkers::GuardedPoint()})
    if (ground.FindRegion(p) == ground.GetRegionCount())
      Fail("the point " + std::to_string(p.x) + " " + std::to_string(p.y) + " lies on no area");
  cWalker& arriving = ground.AddWalker(kLanding);
  if (!ground.RouteToArrival(arriving)) Fail("no walkways lead from the pier to the town");
  if (paths.shipKeys.size() < 2) Fail("the ships need a path of two points or more");
  if (paths.markers.size() != kLevels) Fail("there must be one marker per level (45)");
  for (const vec2& p : paths.markers)
    if (!onMap(p)) Fail("a marker lies off the map");

  std::vector<cIslandBuildingRecord> buildings;
  std::vector<bool> levelHasBuilding(kLevels, false);
  for (const Placement& p : placements) {
    g_Line = p.line;
    const vek::i32 row = FindBuildingTemplateRow(p.name);
    if (row < 0) {
      Fail("no building '" + p.name + "' in the catalogue");
      continue;
    }
    if (p.level < 0 || p.level >= kLevels || p.level >= static_cast<int>(paths.markers.size())) {
      Fail("no level " + std::to_string(p.level));
      continue;
    }
    if (levelHasBuilding[p.level]) Fail("level " + std::to_string(p.level) + " has two buildings");
    levelHasBuilding[p.level] = true;
    cIslandBuildingRecord r;
    r.name = p.name;
    r.number = static_cast<vek::u32>(buildings.size());
    r.kind = BuildingTemplateRows()[row].factory ? kIslandKindFactory : kIslandKindHouse;
    r.position = paths.markers[p.level] + p.offset;
    if (!onMap(r.position)) Fail("the building lies off the map");
    buildings.push_back(r);
  }
  g_Line = 0;
  for (int level = 0; level < kLevels; ++level)
    if (!levelHasBuilding[level]) Fail("level " + std::to_string(level) + " has no building");
  if (g_Failed) return 1;

  vek::cBitStream pts, dat;
  WriteIslandPaths(pts, paths);
  WriteIslandBuildings(dat, buildings);
  if (vek::cDataManager::WriteBinary(&pts, argv[2]) != vek::cDataManager::Ok ||
      vek::cDataManager::WriteBinary(&dat, argv[3]) != vek::cDataManager::Ok) {
    std::fprintf(stderr, "islandgen: can't write %s or %s\n", argv[2], argv[3]);
    return 1;
  }
  return 0;
}
