#include "game/island/island_geometry.h"

#include <algorithm>

#include "engine/core/random.h"
#include "game/island/island_walkers.h"

using vek::f32;
using vek::i32;
using vek::u32;
using vek::vec2;

bool RectsOverlap(const vek::rectf& a, const vek::rectf& b) {
  return b.x < a.x + a.w && a.y < b.y + b.h && a.x < b.x + b.w && b.y < a.y + a.h;
}

bool IsRectInArea(const vek::rectf& r, const cIslandArea& area) {
  const vec2 corners[4] = {{r.x, r.y}, {r.x + r.w, r.y}, {r.x + r.w, r.y + r.h}, {r.x, r.y + r.h}};
  for (const vec2& c : corners)
    if (!vek::PointInPolygon(area.outline, c)) return false;
  return true;
}

u32 FindAreaForRect(const vek::rectf& r, const std::vector<cIslandArea>& areas) {
  for (u32 i = 0; i < areas.size(); ++i)
    if (IsRectInArea(r, areas[i])) return i;
  return static_cast<u32>(areas.size());
}

bool ShowsAllMarkers(i32 mode) { return mode == e_islShowAll || mode == e_islShowAll2; }

i32 FindMarkerAt(const std::vector<vec2>& markers, const vec2& p, i32 progress, i32 mode) {
  const bool all = ShowsAllMarkers(mode);
  for (u32 i = 0; i < markers.size(); ++i) {
    if (!all && static_cast<i32>(i) > progress) break;
    const vec2& m = markers[i];
    if (m.x - 18.0f < p.x && p.x < m.x + 18.0f && m.y - 30.0f < p.y && p.y < m.y + 30.0f)
      return static_cast<i32>(i);
  }
  return -1;
}

u32 VisibleMarkerCount(u32 markers, i32 progress, i32 mode) {
  if (ShowsAllMarkers(mode)) return markers;
  if (progress < 0) return 0;
  return std::min(markers, static_cast<u32>(progress) + 1);
}

u32 VisibleDotCount(u32 dots, u32 markers, i32 progress, i32 mode) {
  if (mode == e_islNone || markers < 2 || dots < 2) return 0;
  if (ShowsAllMarkers(mode)) return dots;
  // Fewer dots than segments would give a divisor of 0: count one dot per segment then.
  const u32 perSegment = std::max(1u, dots / (markers - 1));
  u32 shown = 0;
  while (shown < dots && static_cast<i32>(shown / perSegment) + 1 <= progress) ++shown;
  return shown;
}

bool CanScroll(i32 mode, i32 progress, i32 trainingStep) {
  if (mode == e_islShowAll || mode == e_islAreas || mode == e_islShowAll2) return true;
  return mode == e_islMap && progress >= 7 && (trainingStep == -1 || trainingStep == 3);
}

vec2 ClampScroll(const vec2& scroll, const vec2& mapSize) {
  return vec2(std::min(std::max(scroll.x, 0.0f), mapSize.x - kIslandScreenWidth),
              std::min(std::max(scroll.y, 0.0f), mapSize.y - kIslandScreenHeight));
}

vec2 ScrollToward(const vec2& point, const vec2& mapSize) {
  return ClampScroll(point - vec2(kIslandScreenWidth / 2, kIslandScreenHeight / 2), mapSize);
}

std::vector<vek::cVertex2D> BuildAreaMesh(const cIslandArea& area, f32 textureWidth,
                                          f32 textureHeight) {
  std::vector<vek::cVertex2D> mesh;
  mesh.reserve(area.triangles.size() * 3);
  for (const cAreaTriangle& t : area.triangles) {
    for (u32 index : {t.a, t.b, t.c}) {
      if (index >= area.outline.size()) continue;  // never from a checked file
      const vec2& p = area.outline[index];
      vek::cVertex2D v;
      v.x = p.x;
      v.y = p.y;
      v.color = 0xFFFFFFFFu;
      v.u = textureWidth > 0.0f ? p.x / textureWidth : 0.0f;
      v.v = textureHeight > 0.0f ? p.y / textureHeight : 0.0f;
      mesh.push_back(v);
    }
  }
  return mesh;
}

void FillWalkerGround(cIslandWalkers& walkers, const cIslandPaths& paths) {
  walkers.ClearRegions();
  for (const cIslandArea& area : paths.areas)
    walkers.AddRegion(area.outline.data(), static_cast<u32>(area.outline.size()));
  walkers.SetLinks(paths.walkways);
}

vek::i32 FindHousePlace(const vec2& centre, std::string_view name, const std::vector<vec2>& markers,
                        const std::vector<vek::string>& levelBuildings) {
  i32 best = -1;
  f32 bestDistance = 0.0f;
  const size_t levels = std::min(markers.size(), levelBuildings.size());
  for (size_t i = 0; i < levels; ++i) {
    if (levelBuildings[i] != name) continue;
    const vec2 d = markers[i] - centre;
    const f32 d2 = d.x * d.x + d.y * d.y;
    if (best < 0 || d2 < bestDistance) {
      best = static_cast<i32>(i);
      bestDistance = d2;
    }
  }
  return best;
}

std::vector<vec2> PeoplePlaces(i32 count, i32 mode, const std::vector<vec2>& builtCentres) {
  std::vector<vec2> places;
  if (count <= 0) return places;
  places.reserve(static_cast<size_t>(count));
  const vec2 arrival(290.0f, 1588.0f);
  for (i32 i = 0; i < count; ++i) {
    if (mode == 0) {
      places.emplace_back(412.0f, 1971.0f - 20.0f * static_cast<f32>(i));
    } else if (count < 2 || builtCentres.empty()) {
      places.push_back(arrival);
    } else {
      const u32 r = vek::Random(0, static_cast<u32>(builtCentres.size()) - 1);
      places.push_back(builtCentres[r]);
    }
  }
  return places;
}
