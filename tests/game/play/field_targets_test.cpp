#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "game/play/field_targets.h"
#include "game/world/animal.h"
#include "game/world/level.h"
#include "game/world/plant.h"
#include "game/world/tools.h"
#include "game/world/ware_manager.h"
#include "tests/game/world/test_objects.h"
#include "tests/support/world_harness.h"

namespace {

using vektest::StagedPlant;

class FieldTargetsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world.LoadTestSheets());
    world.BuildWares();
    RegisterPlantMakers();
    RegisterToolMakers();
    level = std::make_unique<cLevel>();
    level->Clear();
  }
  void TearDown() override {
    level.reset();
    for (eFieldKind k : {e_KindPlant, e_KindHole, e_KindToolWater, e_KindToolWeed, e_KindToolBin})
      cLevel::SetMaker(k, nullptr);
  }
  cObject* Put(eFieldKind kind, const cCell& cell) {
    cObject* o = level->Make(kind);
    o->SetCell(cell);
    return o;
  }
  cPlant* Plant(const char* sort, const cCell& cell, vek::i32 stage) {
    auto* p = new StagedPlant(static_cast<vek::u32>(g_pWareManager->GetWareId(sort)), level.get(), stage);
    p->SetCell(cell);
    return p;
  }
  bool Find(const std::string& name, vek::rectf* r) {
    vek::f32 rect[4] = {-1.0f, -1.0f, -1.0f, -1.0f};
    const bool found = FindFieldTarget(*level, name, rect);
    *r = {rect[0], rect[1], rect[2], rect[3]};
    return found;
  }
  static void ExpectRect(const vek::rectf& got, const vek::rectf& want, const char* what) {
    EXPECT_FLOAT_EQ(got.x, want.x) << what;
    EXPECT_FLOAT_EQ(got.y, want.y) << what;
    EXPECT_FLOAT_EQ(got.w, want.w) << what;
    EXPECT_FLOAT_EQ(got.h, want.h) << what;
  }
  static vek::rectf Shrunk(const vek::rectf& r) { return {r.x + 12.0f, r.y - 6.0f, r.w - 24.0f, r.h - 24.0f}; }

  vektest::WorldHarness world;
  std::unique_ptr<cLevel> level;
};

TEST_F(FieldTargetsTest, EveryNamedObjectGivesItsRectangle) {
  cObject* hole0 = Put(e_KindHole, {2, 2});
  cObject* hole1 = Put(e_KindHole, {2, 4});
  cObject* weed = Put(e_KindToolWeed, {5, 3});
  cObject* can = Put(e_KindToolWater, {5, 4});
  cObject* bin = Put(e_KindToolBin, {5, 5});
  cPlant* olive = Plant("plant01", {2, 2}, 1);
  cPlant* tomato = Plant("plant00", {2, 4}, 0);
  cPlant* flowers = Plant("flowers", {6, 6}, 0);

  const struct {
    const char* name;
    vek::rectf want;
  } kCases[] = {
      {"hole 0", hole0->GetRect()},
      {"hole 1", hole1->GetRect()},
      {"tool weed", weed->GetRect()},
      {"can", can->GetRect()},
      {"bin", bin->GetRect()},
      // Plants: a little inside their picture, by the field's order and by stage.
      {"plant 0", Shrunk(olive->GetRect())},
      {"plant 1", Shrunk(tomato->GetRect())},
      {"plant stage 1", Shrunk(olive->GetRect())},
      {"plant stage 0", Shrunk(tomato->GetRect())},
      // The hole under the first "plant00", not the first hole of all.
      {"plant00 hole", hole1->GetRect()},
      {"bin corner", {bin->GetRect().x + bin->GetRect().w, bin->GetRect().y, 0.0f, 0.0f}},
      {"flowers", {flowers->GetRect().x, flowers->GetRect().y, flowers->GetRect().w, 0.0f}},
  };
  for (const auto& c : kCases) {
    vek::rectf r;
    ASSERT_TRUE(Find(c.name, &r)) << c.name;
    ExpectRect(r, c.want, c.name);
  }
}

TEST_F(FieldTargetsTest, AnObjectThatIsNotThereIsNotFound) {
  Put(e_KindHole, {2, 2});
  Plant("plant01", {2, 2}, 1);
  vek::rectf r;
  for (const char* name : {"hole 1", "hole -1", "hole", "plant 1", "plant stage 0", "plant00 hole", "tool weed",
                           "can", "bin", "car", "pump", "egg", "goat", "hive", "free cell hive", "bin corner",
                           "flowers", "nothing at all", ""})
    EXPECT_FALSE(Find(name, &r)) << name;
}

TEST_F(FieldTargetsTest, FreeCellScansRowsUpwardAndColumnsFromTheRight) {
  const vek::vec2 size = level->GetCellSize();
  auto cellRect = [&](int i, int j) {
    const vek::vec2 p = level->CellToPos(i, j);
    return vek::rectf{p.x - size.x * 0.5f, p.y, size.x, size.y};
  };
  vek::rectf r;
  // Row 0 is never offered; in row 1 column 8 comes first.
  Put(e_KindHole, {0, 8});
  ASSERT_TRUE(Find("free cell", &r));
  ExpectRect(r, cellRect(1, 8), "1 8");
  Put(e_KindHole, {1, 8});
  Put(e_KindHole, {1, 7});
  ASSERT_TRUE(Find("free cell", &r));
  ExpectRect(r, cellRect(1, 6), "1 6");
  // Column 9 is never offered: a field full but for it has no free cell.
  for (int i = 1; i < cLevel::kRows; ++i)
    for (int j = 0; j <= 8; ++j)
      if (level->FindObjectAt({i, j}, 0) == level->GetFirstObject()) Put(e_KindHole, {i, j});
  EXPECT_FALSE(Find("free cell", &r));
}

}  // namespace
