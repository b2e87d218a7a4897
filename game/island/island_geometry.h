#pragma once
// The island map's geometry rules: rectangles against ground areas, the level markers' hit
// boxes, which markers and dots the player's progress shows, scroll limits, and the meshes
// and walker ground made from the island's areas.
#include <string_view>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/types.h"
#include "engine/core/vec.h"
#include "engine/render/quad_batch.h"
#include "game/island/island_files.h"

class cIslandWalkers;

// The island's modes.
enum eIslandMode : vek::i32 {
  e_islNone = 0,        // no island screen
  e_islMap = 1,         // the map between levels
  e_islAfterLevel = 2,  // the after-level sequence
  e_islShowAll = 3,     // every marker and dot
  e_islAreas = 4,       // the ground areas drawn over the map
  e_islShowAll2 = 5,
};

inline constexpr vek::f32 kIslandScreenWidth = 1024.0f;
inline constexpr vek::f32 kIslandScreenHeight = 768.0f;

// Strict: rectangles that only touch do not overlap.
bool RectsOverlap(const vek::rectf& a, const vek::rectf& b);
// All four corners inside the area's outline.
bool IsRectInArea(const vek::rectf& r, const cIslandArea& area);
// The first area holding the rectangle; the number of areas when none does.
vek::u32 FindAreaForRect(const vek::rectf& r, const std::vector<cIslandArea>& areas);

// Whether a mode shows every marker and dot whatever the progress.
bool ShowsAllMarkers(vek::i32 mode);
// The first open marker (index not above the progress, or any in the show-all modes) whose
// box, 18 units either side and 30 above and below, holds p strictly; -1 when none.
vek::i32 FindMarkerAt(const std::vector<vek::vec2>& markers, const vek::vec2& p,
                      vek::i32 progress, vek::i32 mode);
// How many markers are drawn: those up to the progress (all in the show-all modes).
vek::u32 VisibleMarkerCount(vek::u32 markers, vek::i32 progress, vek::i32 mode);
// How many dots are drawn: dot i while i / k + 1 does not exceed the progress, with k the
// dots per segment (at least 1); none with fewer than two markers or two dots, or in mode 0.
vek::u32 VisibleDotCount(vek::u32 dots, vek::u32 markers, vek::i32 progress, vek::i32 mode);

// Whether the cursor and wheel scroll the map: always in the views 3 to 5; on the map only
// from progress 7 on and while no training step but the scrolling one (3) is active.
bool CanScroll(vek::i32 mode, vek::i32 progress, vek::i32 trainingStep);
// The scroll offset kept within [0, map - screen]; the lower bound first, so a map smaller
// than the screen gives the (negative) upper bound.
vek::vec2 ClampScroll(const vek::vec2& scroll, const vek::vec2& mapSize);
// The offset that puts the map point in the middle of the screen, clamped.
vek::vec2 ScrollToward(const vek::vec2& point, const vek::vec2& mapSize);

// The area's triangles as vertices, three per triangle, white, with texture coordinates of
// the area texture's size (0 where the size is not positive).
std::vector<vek::cVertex2D> BuildAreaMesh(const cIslandArea& area, vek::f32 textureWidth,
                                          vek::f32 textureHeight);
// The walkers' ground: one region per area outline and the walkways as links.
void FillWalkerGround(cIslandWalkers& walkers, const cIslandPaths& paths);

// The place of a building: the index of the marker nearest to its centre among the levels
// whose building has its name (levelBuildings[i] names level i's building); at equal distance
// the lower level; -1 when no level has such a building.
vek::i32 FindHousePlace(const vek::vec2& centre, std::string_view name,
                        const std::vector<vek::vec2>& markers,
                        const std::vector<vek::string>& levelBuildings);

// Where new people appear. Arriving by ship (mode 0): person i at the landing place, each 20
// units further down the pier. Otherwise one or none at the arrival point, and a crowd at the
// centres of the built buildings, drawn at random (at the arrival point when none is built).
std::vector<vek::vec2> PeoplePlaces(vek::i32 count, vek::i32 mode,
                                    const std::vector<vek::vec2>& builtCentres);
