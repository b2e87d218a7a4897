#include <gtest/gtest.h>

#include <algorithm>

#include "game/world/level.h"
#include "tests/game/world/test_objects.h"
#include "tests/support/world_harness.h"

namespace {

using vektest::TypedObject;

class ObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world.LoadTestSheets());
    level = std::make_unique<cLevel>();
    level->Clear();
    level->SetBatch(&batch);
  }
  // {min x, min y, width, height} of quad k in the batch.
  vek::rectf Quad(vek::u32 k) const {
    const vek::cVertex2D* v = batch.GetVertices() + vek::kQuadVertices * k;
    vek::f32 x0 = v[0].x, x1 = v[0].x, y0 = v[0].y, y1 = v[0].y;
    for (vek::u32 i = 1; i < vek::kQuadVertices; ++i) {
      x0 = std::min(x0, v[i].x), x1 = std::max(x1, v[i].x);
      y0 = std::min(y0, v[i].y), y1 = std::max(y1, v[i].y);
    }
    return {x0, y0, x1 - x0, y1 - y0};
  }

  vektest::WorldHarness world;
  vek::cQuadBatch batch;
  std::unique_ptr<cLevel> level;
};

TEST_F(ObjectTest, StateChangesAskTheHookOnlyOnChangeAndFirstStepStarts) {
  auto* o = new TypedObject(level.get(), e_TypePlant);
  EXPECT_EQ(o->GetState(), -1);
  EXPECT_TRUE(o->changes.empty());  // nothing in the constructor
  o->SetState(-1);
  EXPECT_TRUE(o->changes.empty());
  level->UpdateObjects();
  EXPECT_EQ(o->GetState(), 0);
  ASSERT_EQ(o->changes.size(), 1u);
  EXPECT_EQ(o->changes[0], std::make_pair(-1, 0));
  // State 2 queues the removal; the field deletes the object after its pass.
  const vek::u32 id = o->GetId();
  o->SetState(2);
  level->DeleteQueuedObjects();
  EXPECT_FALSE(level->IsObjectValid(id));
}

TEST_F(ObjectTest, TypeMasks) {
  TypedObject goat(level.get(), e_TypeGoat);
  const struct {
    const cObject* o;
    vek::u32 mask;
    bool match;
  } cases[] = {
      {level->GetFirstObject(), 0, true},     {level->GetFirstObject(), e_TypeAnimal, false},
      {&goat, 0, true},                       {&goat, e_TypeAnimal, true},
      {&goat, e_TypeGoat, true},              {&goat, e_TypeOstrich, false},
      {&goat, e_TypeHole, false},
  };
  for (const auto& c : cases) EXPECT_EQ(c.o->IsType(c.mask), c.match) << std::hex << c.mask;
}

TEST_F(ObjectTest, BusyMarkersAndMirroredRect) {
  TypedObject o(level.get(), e_TypeHive, -40.0f, 30.0f);
  o.SetPosition(100.0f, 200.0f);
  const vek::rectf r = o.GetRect();
  EXPECT_FLOAT_EQ(r.x, 120.0f);
  EXPECT_FLOAT_EQ(r.w, -40.0f);
  o.DecBusy();
  EXPECT_EQ(o.GetBusy(), 0);
  for (int i = 0; i < 3; ++i) o.IncBusy();
  batch.Clear();
  o.Draw();  // no sprite: only the three markers, placed from the normalised rect {80, 200, 40, 30}
  ASSERT_EQ(batch.GetVertexCount(), 3 * vek::kQuadVertices);
  const vek::f32 mw = cObject::GetMarker().width;
  ASSERT_EQ(mw, 32.0f);
  for (vek::u32 k = 0; k < 3; ++k) {
    const vek::rectf q = Quad(k);
    EXPECT_FLOAT_EQ(q.x + q.w, 120.0f + 0.25f * k * mw) << k;
    EXPECT_FLOAT_EQ(q.y, 200.0f);
  }
}

TEST_F(ObjectTest, SpriteLookupAndHitTest) {
  TypedObject o(level.get(), e_TypeHole);
  EXPECT_TRUE(o.SetSprite("images00", "hole", 0));
  EXPECT_FLOAT_EQ(o.GetWidth(), 74.0f);
  EXPECT_FLOAT_EQ(o.GetHeight(), 68.0f);
  o.SetPosition(200.0f, 100.0f);
  EXPECT_TRUE(o.HitTest({200.0f, 130.0f}));
  EXPECT_FALSE(o.HitTest({163.0f, 130.0f}));  // on the left edge
  EXPECT_FALSE(o.SetSprite("images00", "no such area", 0));
  EXPECT_EQ(o.GetTexture(), 0u);
  EXPECT_FALSE(o.HitTest({200.0f, 100.0f}));  // zero-sized: matches nothing
}

TEST_F(ObjectTest, RecordWritesTheCellAndOffFieldIsTheSentinel) {
  TypedObject o(level.get(), e_TypeToolBin);
  o.SetCell(3, 7);
  vek::cBitStream s;
  o.Write(s);
  o.SetPosition(5.0f, 5.0f);  // off the field
  o.Write(s);
  EXPECT_EQ(s.GetBytes(), (std::vector<vek::u8>{3, 0, 0, 0, 7, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  TypedObject back(level.get(), e_TypeToolBin);
  back.Read(s);
  EXPECT_EQ(back.GetCell(), (cCell{3, 7}));
  back.Read(s);
  EXPECT_EQ(back.GetPosition(), (vek::vec2{0.0f, 0.1f}));  // the off-grid point
}

TEST_F(ObjectTest, ProgressRingTurnsFromGreenToRed) {
  const struct {
    vek::f32 progress;
    vek::u32 color;
  } cases[] = {{0.0f, 0xFF00FF00u}, {0.25f, 0xFF7FFF00u}, {0.75f, 0xFFFF7F00u}, {1.0f, 0xFFFF0000u}};
  for (const auto& c : cases) {
    batch.Clear();
    level->DrawProgressRing(c.progress, 20.0f, {300.0f, 300.0f});
    const vek::u32 disc = 32 * vek::kQuadVertices;
    if (c.progress == 0.0f) {
      EXPECT_EQ(batch.GetVertexCount(), disc);  // an empty arc draws nothing over the disc
      continue;
    }
    ASSERT_EQ(batch.GetVertexCount(), disc + 32 * vek::kQuadVertices) << c.progress;
    const vek::cVertex2D& first = batch.GetVertices()[disc];
    EXPECT_EQ(first.color, c.color) << c.progress;
    EXPECT_NEAR(first.x, 300.0f, 1e-3f);  // the arc starts at the top
    EXPECT_GT(first.y, 300.0f);
  }
}

}  // namespace
