#pragma once
// The people of the island: small figures that walk in from the harbour along a chain of
// ground regions, then stroll at random inside their region, now and then crossing into a
// neighbouring one by a link, and fade while they pass behind a building.
#include <list>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/types.h"
#include "engine/core/vec.h"

struct cWalker {
  vek::f32 t = 0.0f;           // distance travelled along the route
  vek::vec2 position;          // corner of the figure's quad
  vek::vec2 size;
  bool facingFront = false;    // the current route step goes towards lower y
  vek::u32 frame = 0;
  vek::f32 frameTimer = 1.0f;
  vek::f32 alpha = 1.0f;
  // The route and the route distance of each point (distance 0 is 0). It grows as a plan
  // needs it, so a long chain of regions never runs out of room.
  std::vector<vek::vec2> points;
  std::vector<vek::f32> distances;
};

class cIslandWalkers {
 public:
  // Where people arriving by ship walk to, and the point whose region no stroll may enter
  // by a link.
  static vek::vec2 ArrivalTarget() { return {290.0f, 1588.0f}; }
  static vek::vec2 GuardedPoint() { return {345.0f, 1824.0f}; }

  // The figure's size and the frame counts and time of its two facings.
  void SetFigure(const vek::vec2& size, vek::u32 frontFrames, vek::u32 backFrames,
                 vek::f32 frameTime);

  // Regions: polygons in island coordinates with their common bounding box.
  const std::vector<vek::vec2>& AddRegion(const vek::vec2* points, vek::u32 count);
  void ClearRegions();
  // The first region holding the point; the number of regions when none does.
  vek::u32 FindRegion(const vek::vec2& p) const;
  const vek::rectf& GetBounds() const { return m_Bounds; }
  vek::u32 GetRegionCount() const { return static_cast<vek::u32>(m_Regions.size()); }

  // Links: points 2k and 2k + 1 lead from one region into another. A last point without a
  // partner is ignored.
  void SetLinks(std::vector<vek::vec2> points);
  void ClearLinks();
  // The first link k (as the index of its first point, 2k) from region a into region b; the
  // number of link points when none.
  vek::u32 FindLink(vek::u32 a, vek::u32 b) const;

  // Buildings register their rectangles; walkers inside one fade out.
  vek::rectf* AddObstacle();
  void RemoveObstacle(const vek::rectf* slot);
  vek::u32 GetObstacleCount() const { return static_cast<vek::u32>(m_Obstacles.size()); }

  cWalker& AddWalker(const vek::vec2& position);
  void ClearWalkers() { m_Walkers.clear(); }
  std::list<cWalker>& GetWalkers() { return m_Walkers; }
  const std::list<cWalker>& GetWalkers() const { return m_Walkers; }

  // Plans the walk in from the harbour: a depth-first chain of regions from the walker's to
  // the arrival target's, the nearest link of each step, then the target; covered four
  // times as fast as a stroll. False when either end lies in no region or no chain joins them.
  bool RouteToArrival(cWalker& w);
  // Plans a stroll to the target inside the walker's region (through a link when the target
  // lies near one). False when the target lies in no region or in another region.
  bool RouteToStroll(cWalker& w, const vek::vec2& target);
  // A random point within the radius of the centre, or the centre when that point lies in no
  // region.
  vek::vec2 RandomPointNear(const vek::vec2& centre, vek::f32 radius) const;

  // Moves every walker, fades it behind buildings, plans its next stroll at the route's end
  // and turns its frames.
  void Update(vek::f32 dt);

 private:
  // The guarded link's first point index; the number of link points while none is known.
  vek::u32 GuardedLink();
  // The region of each link point, worked out again after the regions or links change.
  const std::vector<vek::u32>& LinkRegions() const;
  bool FindChain(vek::u32 from, vek::u32 to, std::vector<vek::u32>& chain,
                 std::vector<bool>& seen) const;

  std::vector<std::vector<vek::vec2>> m_Regions;
  vek::rectf m_Bounds;
  std::vector<vek::vec2> m_Links;
  std::list<vek::rectf> m_Obstacles;
  std::list<cWalker> m_Walkers;
  vek::vec2 m_Size;
  vek::u32 m_FrontFrames = 0;
  vek::u32 m_BackFrames = 0;
  vek::f32 m_FrameTime = 0.1f;
  mutable std::vector<vek::u32> m_LinkRegions;
  mutable bool m_LinkRegionsKnown = false;
  // Found once per set of regions and links.
  bool m_GuardKnown = false;
  vek::u32 m_Guarded = 0;
};
