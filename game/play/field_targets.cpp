#include "game/play/field_targets.h"

#include <algorithm>
#include <sstream>

#include "game/world/level.h"
#include "game/world/object.h"
#include "game/world/plant.h"
#include "game/world/ware_manager.h"

namespace {

void Put(const vek::rectf& r, vek::f32* rect) {
  rect[0] = r.x;
  rect[1] = r.y;
  rect[2] = r.w;
  rect[3] = r.h;
}

// A plant is pointed at inside its picture: the leaves, not the empty corners.
vek::rectf PlantRect(const cObject& plant) {
  vek::rectf r = plant.GetRect();
  return {r.x + 12.0f, r.y + 12.0f - 18.0f, r.w - 24.0f, r.h - 24.0f};
}

// The n-th object of the type in the field's order; null when there are fewer.
cObject* NthOfType(cLevel& level, vek::u32 type, int n) {
  if (n < 0) return nullptr;
  for (cObject* o : level.GetRegistry())
    if (o->IsType(type) && n-- == 0) return o;
  return nullptr;
}

cObject* FirstPlant(cLevel& level, bool (*fits)(const cPlant&, int), int arg) {
  for (cObject* o : level.GetRegistry())
    if (auto* p = dynamic_cast<cPlant*>(o); p && fits(*p, arg)) return p;
  return nullptr;
}

bool IsSort(const cPlant& p, const char* name) {
  return g_pWareManager && g_pWareManager->GetWare(p.GetWareId()).GetName() == name;
}

bool IsFree(cLevel& level, const cCell& c) {
  return level.IsCellInside(c) && level.FindObjectAt(c, 0) == level.GetFirstObject();
}

bool PutCell(cLevel& level, const cCell& c, vek::f32* rect) {
  const vek::vec2 p = level.CellToPos(c.i, c.j);
  const vek::vec2 s = level.GetCellSize();
  Put({p.x - s.x * 0.5f, p.y, s.x, s.y}, rect);
  return true;
}

}  // namespace

bool FindFieldTarget(cLevel& level, const vek::string& target, vek::f32* rect) {
  if (!rect) return false;
  std::istringstream words(target);
  std::string first, second;
  words >> first >> second;
  int n = -1;
  const auto put = [&](const cObject* o) {
    if (o) Put(o->GetRect(), rect);
    return o != nullptr;
  };

  if (first == "hole" && std::istringstream(second) >> n) return put(NthOfType(level, e_TypeHole, n));
  if (first == "plant" && second == "stage") {
    if (!(words >> n)) return false;
    cObject* p = FirstPlant(level, [](const cPlant& p, int stage) { return p.GetStage() == stage; }, n);
    if (p) Put(PlantRect(*p), rect);
    return p != nullptr;
  }
  if (first == "plant" && std::istringstream(second) >> n) {
    cObject* p = NthOfType(level, e_TypePlant, n);
    if (p) Put(PlantRect(*p), rect);
    return p != nullptr;
  }
  if (target == "plant00 hole") {
    cObject* p = FirstPlant(level, [](const cPlant& p, int) { return IsSort(p, "plant00"); }, 0);
    cObject* hole = p ? level.FindObjectAt(p->GetCell(), e_TypeHole) : nullptr;
    return hole != level.GetFirstObject() && put(hole);
  }
  if (target == "tool weed") return put(NthOfType(level, e_TypeToolWeed, 0));
  if (target == "can") return put(NthOfType(level, e_TypeToolWater, 0));
  if (target == "bin") return put(NthOfType(level, e_TypeToolBin, 0));
  if (target == "car") return level.IsObjectValid(level.GetCarId()) && put(level.FindObject(level.GetCarId()));
  if (target == "pump") return level.IsObjectValid(level.GetPumpId()) && put(level.FindObject(level.GetPumpId()));
  if (target == "egg") return put(NthOfType(level, e_TypeEgg, 0));
  if (target == "goat") return put(NthOfType(level, e_TypeGoat, 0));
  if (target == "hive") return put(NthOfType(level, e_TypeHive, 0));
  if (target == "free cell") {
    // Rows from the second up, each from the right (past the tools' column) to the left.
    for (int i = 1; i < level.GetGrid().rows; ++i)
      for (int j = 8; j >= 0; --j)
        if (IsFree(level, {i, j})) return PutCell(level, {i, j}, rect);
    return false;
  }
  if (target == "free cell hive") {
    const cObject* hive = NthOfType(level, e_TypeHive, 0);
    const cCell at = hive ? hive->GetCell() : kNoCell;
    if (!hive || !level.IsCellInside(at)) return false;
    for (int i = at.i; i < level.GetGrid().rows; ++i)
      for (int j = std::max(0, at.j - 2); j < level.GetGrid().columns; ++j)
        if (IsFree(level, {i, j})) return PutCell(level, {i, j}, rect);
    return false;
  }
  if (target == "bin corner") {
    const cObject* bin = NthOfType(level, e_TypeToolBin, 0);
    if (!bin) return false;
    const vek::rectf r = bin->GetRect();
    Put({r.x + r.w, r.y, 0.0f, 0.0f}, rect);
    return true;
  }
  if (target == "flowers") {
    const cObject* p = FirstPlant(level, [](const cPlant& p, int) { return IsSort(p, "flowers") && p.GetStage() == 0; }, 0);
    if (!p) return false;
    const vek::rectf r = p->GetRect();
    Put({r.x, r.y, r.w, 0.0f}, rect);  // its foot: the tip points at a lower corner
    return true;
  }
  return false;
}
