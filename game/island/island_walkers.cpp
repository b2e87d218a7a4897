#include "game/island/island_walkers.h"

#include <algorithm>
#include <cmath>

#include "engine/core/random.h"

using vek::f32;
using vek::u32;
using vek::vec2;

namespace {

// One draw of the game's generator in [0, 1).
f32 Draw() { return static_cast<f32>(vek::Random(0, 0x7FFF)) / 32768.0f; }

f32 Distance2(const vec2& a, const vec2& b) {
  const vec2 d = a - b;
  return d.x * d.x + d.y * d.y;
}

constexpr f32 kStrollRadius = 128.0f;
constexpr f32 kLinkReach = 64.0f;
constexpr f32 kWalkSpeed = 10.0f;

// Route distances; each step counts `scale` of its length, and a step that would count less
// than 0.01 counts 1.0 so that no two points share a distance.
void MeasureRoute(cWalker& w, f32 scale) {
  w.distances.assign(w.points.size(), 0.0f);
  for (size_t j = 1; j < w.points.size(); ++j) {
    f32 step = (w.points[j] - w.points[j - 1]).Length() * scale;
    if (step < 0.01f) step = 1.0f;
    w.distances[j] = w.distances[j - 1] + step;
  }
  w.t = 0.0f;
}

}  // namespace

void cIslandWalkers::SetFigure(const vec2& size, u32 frontFrames, u32 backFrames, f32 frameTime) {
  m_Size = size;
  m_FrontFrames = frontFrames;
  m_BackFrames = backFrames;
  m_FrameTime = frameTime;
}

const std::vector<vec2>& cIslandWalkers::AddRegion(const vec2* points, u32 count) {
  std::vector<vec2> region(points, points + count);
  for (u32 i = 0; i < count; ++i) {
    const vec2& p = points[i];
    if (m_Regions.empty() && i == 0) {
      m_Bounds = {p.x, p.y, 0.0f, 0.0f};
      continue;
    }
    const f32 x0 = std::min(m_Bounds.x, p.x), y0 = std::min(m_Bounds.y, p.y);
    const f32 x1 = std::max(m_Bounds.x + m_Bounds.w, p.x);
    const f32 y1 = std::max(m_Bounds.y + m_Bounds.h, p.y);
    m_Bounds = {x0, y0, x1 - x0, y1 - y0};
  }
  m_Regions.push_back(std::move(region));
  m_GuardKnown = false;
  m_LinkRegionsKnown = false;
  return m_Regions.back();
}

void cIslandWalkers::ClearRegions() {
  m_Regions.clear();
  m_Bounds = {};
  m_GuardKnown = false;
  m_LinkRegionsKnown = false;
}

u32 cIslandWalkers::FindRegion(const vec2& p) const {
  for (u32 i = 0; i < m_Regions.size(); ++i)
    if (vek::PointInPolygon(m_Regions[i], p)) return i;
  return static_cast<u32>(m_Regions.size());
}

void cIslandWalkers::SetLinks(std::vector<vec2> points) {
  if (points.size() % 2 != 0) points.pop_back();
  m_Links = std::move(points);
  m_GuardKnown = false;
  m_LinkRegionsKnown = false;
}

void cIslandWalkers::ClearLinks() {
  m_Links.clear();
  m_GuardKnown = false;
  m_LinkRegionsKnown = false;
}

const std::vector<u32>& cIslandWalkers::LinkRegions() const {
  if (!m_LinkRegionsKnown) {
    m_LinkRegions.resize(m_Links.size());
    for (size_t i = 0; i < m_Links.size(); ++i) m_LinkRegions[i] = FindRegion(m_Links[i]);
    m_LinkRegionsKnown = true;
  }
  return m_LinkRegions;
}

u32 cIslandWalkers::FindLink(u32 a, u32 b) const {
  const std::vector<u32>& regions = LinkRegions();
  for (u32 k = 0; k + 1 < m_Links.size(); k += 2)
    if (regions[k] == a && regions[k + 1] == b) return k;
  return static_cast<u32>(m_Links.size());
}

vek::rectf* cIslandWalkers::AddObstacle() {
  m_Obstacles.emplace_back();
  return &m_Obstacles.back();
}

void cIslandWalkers::RemoveObstacle(const vek::rectf* slot) {
  if (!slot) return;
  for (auto it = m_Obstacles.begin(); it != m_Obstacles.end(); ++it) {
    if (&*it == slot) {
      m_Obstacles.erase(it);
      return;
    }
  }
}

cWalker& cIslandWalkers::AddWalker(const vec2& position) {
  cWalker& w = m_Walkers.emplace_back();
  w.position = position;
  w.size = m_Size;
  w.points.assign(1, position);
  w.distances.assign(1, 0.0f);
  return w;
}

u32 cIslandWalkers::GuardedLink() {
  const u32 none = static_cast<u32>(m_Links.size());
  if (m_GuardKnown) return m_Guarded;
  // Only a guarded point that lies on the ground guards anything.
  const u32 region = FindRegion(GuardedPoint());
  if (region == m_Regions.size()) return none;
  const std::vector<u32>& regions = LinkRegions();
  for (u32 k = 0; k + 1 < m_Links.size(); k += 2) {
    if (regions[k + 1] == region) {
      m_GuardKnown = true;
      m_Guarded = k;
      return k;
    }
  }
  return none;
}

bool cIslandWalkers::RouteToStroll(cWalker& w, const vec2& target) {
  w.points.assign(1, w.position);
  if (Distance2(w.position, target) > 0.01f) {
    const u32 from = FindRegion(w.position);
    const u32 to = FindRegion(target);
    if (to == m_Regions.size() || from != to) {
      MeasureRoute(w, 1.0f);
      return false;
    }
    const u32 guarded = GuardedLink();
    for (u32 k = 0; k + 1 < m_Links.size(); k += 2) {
      if (k == guarded) continue;
      if (Distance2(target, m_Links[k]) <= kLinkReach * kLinkReach) {
        w.points.push_back(m_Links[k]);
        w.points.push_back(m_Links[k + 1]);
        break;
      }
    }
  }
  if (w.points.size() == 1) w.points.push_back(target);
  MeasureRoute(w, 1.0f);
  return true;
}

bool cIslandWalkers::FindChain(u32 from, u32 to, std::vector<u32>& chain,
                               std::vector<bool>& seen) const {
  chain.push_back(from);
  seen[from] = true;
  if (from == to) return true;
  // Candidates in region order; a region that was searched once is not searched again, so
  // the search stays linear in the number of regions and links.
  for (u32 r = 0; r < m_Regions.size(); ++r) {
    if (seen[r] || FindLink(from, r) == m_Links.size()) continue;
    if (FindChain(r, to, chain, seen)) return true;
  }
  chain.pop_back();
  return false;
}

bool cIslandWalkers::RouteToArrival(cWalker& w) {
  const vec2 target = ArrivalTarget();
  w.points.assign(1, w.position);
  if (Distance2(w.position, target) > 0.01f) {
    const u32 none = static_cast<u32>(m_Regions.size());
    const u32 from = FindRegion(w.position);
    const u32 to = FindRegion(target);
    if (from == none || to == none) {
      MeasureRoute(w, 1.0f);
      return false;
    }
    if (from != to) {
      std::vector<u32> chain;
      std::vector<bool> seen(m_Regions.size(), false);
      if (!FindChain(from, to, chain, seen)) {
        MeasureRoute(w, 1.0f);
        return false;
      }
      for (size_t m = 0; m + 1 < chain.size(); ++m) {
        const vec2 last = w.points.back();
        u32 best = static_cast<u32>(m_Links.size());
        f32 bestDistance = 0.0f;
        const std::vector<u32>& regions = LinkRegions();
        for (u32 k = 0; k + 1 < m_Links.size(); k += 2) {
          if (regions[k] != chain[m] || regions[k + 1] != chain[m + 1]) continue;
          const f32 d = Distance2(m_Links[k], last);
          if (best == m_Links.size() || d < bestDistance) {
            best = k;
            bestDistance = d;
          }
        }
        w.points.push_back(m_Links[best]);
        w.points.push_back(m_Links[best + 1]);
      }
    }
  }
  w.points.push_back(target);
  MeasureRoute(w, 0.25f);
  return true;
}

vec2 cIslandWalkers::RandomPointNear(const vec2& centre, f32 radius) const {
  const f32 a = 6.2831855f * Draw();
  const f32 d = radius * Draw();
  const vec2 p(centre.x + std::cos(a) * d, centre.y + std::sin(a) * d);
  return FindRegion(p) < m_Regions.size() ? p : centre;
}

void cIslandWalkers::Update(f32 dt) {
  for (cWalker& w : m_Walkers) {
    w.t += kWalkSpeed * dt;
    bool moving = false;
    for (size_t j = 1; j < w.points.size(); ++j) {
      if (w.distances[j] < w.t) continue;
      const f32 f = (w.t - w.distances[j - 1]) / (w.distances[j] - w.distances[j - 1]);
      w.position = w.points[j - 1] * (1.0f - f) + w.points[j] * f;
      w.facingFront = w.points[j].y < w.points[j - 1].y;
      const bool hidden = std::any_of(m_Obstacles.begin(), m_Obstacles.end(),
                                      [&](const vek::rectf& r) { return r.Contains(w.position); });
      if (hidden) {
        if (w.alpha > dt) w.alpha -= dt;
      } else if (w.alpha < 1.0f) {
        w.alpha = std::min(1.0f, w.alpha + dt);
      }
      moving = true;
      break;
    }
    if (!moving) {
      bool planned = false;
      for (int attempt = 1; attempt < 10 && !planned; ++attempt)
        planned = RouteToStroll(w, RandomPointNear(w.position, kStrollRadius));
      if (!planned) RouteToStroll(w, w.position);
    }
    w.frameTimer += dt;
    if (w.frameTimer > m_FrameTime) {
      const u32 frames = w.facingFront ? m_FrontFrames : m_BackFrames;
      w.frame = w.frame + 1 < frames ? w.frame + 1 : 0;
      w.frameTimer -= m_FrameTime;
    }
  }
}
