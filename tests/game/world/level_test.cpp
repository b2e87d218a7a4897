#include <gtest/gtest.h>

#include "engine/core/log.h"
#include "engine/sound/sound_manager.h"
#include "platform/audio.h"
#include "tests/engine/core/captured_log.h"
#include "game/world/level.h"
#include "tests/game/world/test_objects.h"
#include "tests/support/world_harness.h"

namespace {

using vektest::TypedObject;

class LevelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world.LoadTestSheets());
    level = std::make_unique<cLevel>();
    level->Clear();
    world.services.calls.clear();
  }
  vektest::WorldHarness world;
  std::unique_ptr<cLevel> level;
};

TEST_F(LevelTest, Geometry) {
  const vek::vec2 size = level->GetCellSize();
  EXPECT_FLOAT_EQ(size.x, 74.0f);
  EXPECT_FLOAT_EQ(size.y, 67.5f);
  EXPECT_EQ(level->CellToPos(0, 0), (vek::vec2{167.0f, 130.1f}));
  EXPECT_EQ(level->CellToPos(8, 0), (vek::vec2{}));  // outside the grid
  const struct {
    vek::f32 x, y;
    cCell cell;
  } points[] = {
      {130.0f, 300.0f, kNoCell}, {870.0f, 300.0f, kNoCell}, {300.0f, 670.0f, kNoCell}, {300.0f, 130.0f, kNoCell},
      {131.0f, 131.0f, {0, 0}},  {869.0f, 669.0f, {7, 9}},  {167.0f, 130.1f, {0, 0}},  {500.0f, 400.0f, {4, 5}},
  };
  for (const auto& p : points) EXPECT_EQ(level->PointToCell(p.x, p.y), p.cell) << p.x << "," << p.y;
  level->GetGrid().Clear();
  EXPECT_EQ(level->PointToCell(500.0f, 400.0f), kNoCell);
  EXPECT_EQ(level->GetCellSize(), (vek::vec2{}));
}

TEST_F(LevelTest, ClearLeavesTheDefaultGridAndOnlyTheNullObject) {
  new TypedObject(level.get(), e_TypeHole);
  level->SetCellValue(1, 1, 0.0f);
  level->Clear();
  EXPECT_EQ(level->GetGrid().rows, 8);
  EXPECT_EQ(level->GetGrid().columns, 10);
  for (vek::f32 v : level->GetGrid().values) EXPECT_EQ(v, 1.0f);
  EXPECT_EQ(level->GetRegistry().Size(), 1u);
  EXPECT_EQ(level->GetFirstObject()->GetType(), 0u);
  EXPECT_EQ((new TypedObject(level.get(), e_TypeHole))->GetId(), 1u);
}

TEST_F(LevelTest, FindObjectAtWithMasks) {
  auto* hole = new TypedObject(level.get(), e_TypeHole);
  auto* plant = new TypedObject(level.get(), e_TypePlant);
  auto* goat = new TypedObject(level.get(), e_TypeGoat);
  hole->SetCell(2, 3);
  plant->SetCell(2, 3);
  goat->SetCell(5, 5);
  cObject* none = level->GetFirstObject();
  EXPECT_EQ(level->FindObjectAt({2, 3}, 0), hole);  // the first registered at the cell
  EXPECT_EQ(level->FindObjectAt({2, 3}, e_TypePlant), plant);
  EXPECT_EQ(level->FindObjectAt({2, 3}, e_TypeAnimal), none);
  EXPECT_EQ(level->FindObjectAt(kNoCell, e_TypeAnimal), goat);  // the sentinel matches any cell
  EXPECT_EQ(level->FindObjectAt(kNoCell, e_TypeGoat), goat);
  EXPECT_EQ(level->FindObjectAt(kNoCell, e_TypeGardener), none);  // no gardener on the field
  EXPECT_EQ(level->ObjectsAtCell({2, 3}), (std::vector<cObject*>{hole, plant}));
  EXPECT_TRUE(level->IsCellFree({0, 0}));
  EXPECT_FALSE(level->IsCellFree({2, 3}));
  level->SetCellValue(0, 0, 0.0f);
  EXPECT_FALSE(level->IsCellFree({0, 0}));
}

TEST_F(LevelTest, FindFreeCellRings) {
  auto block = [&](cCell c) { level->SetCellValue(c.i, c.j, 0.0f); };
  // Ring 1 around (2, 2): every free neighbour, nearest to (4, 4) wins.
  block({2, 2});
  EXPECT_EQ(level->FindFreeCell({2, 2}), (cCell{3, 3}));
  EXPECT_EQ(level->FindFreeCell({5, 5}), (cCell{5, 5}));  // free itself
  // Only (0, 9) free, searched from (0, 0): nine rings away, beyond the row count. Every ring
  // up to the larger side is searched, so the free cell is found.
  for (vek::i32 i = 0; i < 8; ++i)
    for (vek::i32 j = 0; j < 10; ++j)
      if (!(i == 0 && j == 9)) block({i, j});
  EXPECT_EQ(level->FindFreeCell({0, 0}), (cCell{0, 9}));
  block({0, 9});
  EXPECT_EQ(level->FindFreeCell({0, 0}), (cCell{0, 0}));  // nothing free: the cell itself
}

TEST_F(LevelTest, QueuedNullObjectIsNeverDeleted) {
  auto* a = new TypedObject(level.get(), e_TypeEgg);
  const vek::u32 id = a->GetId();
  level->QueueRemove(0);
  level->QueueRemove(id);
  level->QueueRemove(id);  // queued twice: deleted once
  level->DeleteQueuedObjects();
  EXPECT_FALSE(level->IsObjectValid(id));
  EXPECT_EQ(level->GetRegistry().Size(), 1u);
  EXPECT_TRUE(level->GetDrawList().empty());
}

TEST_F(LevelTest, StepOrderAndDepthSort) {
  auto* low = new TypedObject(level.get(), e_TypeHole);
  auto* high = new TypedObject(level.get(), e_TypeHole);
  low->SetPosition(300.0f, 150.0f);
  high->SetPosition(300.0f, 500.0f);
  level->Step();
  EXPECT_EQ(world.services.calls,
            (std::vector<std::string>{"CheckHints", "UpdateShips", "UpdateMission", "StepIslandEffects"}));
  // The largest depth comes first (drawn first, behind). The sort runs every third step of
  // the process, so other tests' steps decide which of the next three sorts.
  level->Step();
  level->Step();
  EXPECT_EQ(level->GetDrawList(), (std::vector<cObject*>{high, low}));
  EXPECT_EQ(low->GetState(), 0);

  world.services.calls.clear();
  world.services.playMode = 2;  // after the level: objects rest
  level->Step();
  EXPECT_EQ(world.services.calls, (std::vector<std::string>{"CheckHints", "UpdateShips"}));
}

TEST_F(LevelTest, UpdateScrollsTheSkyAndMovesTexts) {
  level->GetTexts().Add("+$5", {400.0f, 300.0f});
  world.Run(*level, 30);
  EXPECT_NEAR(level->GetSkyOffset(), 0.01f, 1e-5f);
  ASSERT_EQ(level->GetTexts().Size(), 1u);
  world.Run(*level, 31);
  EXPECT_EQ(level->GetTexts().Size(), 0u);
}

TEST_F(LevelTest, ActivationWithoutMusicOpensTheWindowsAndPlaysNothing) {
  level->Activate();
  EXPECT_EQ(world.services.calls,
            (std::vector<std::string>{"HideAllWindows", "SwitchWindow garden 2", "SwitchWindow score 2"}));
  EXPECT_EQ(world.services.music[1], nullptr);
  world.services.calls.clear();
  level->Deactivate();
  EXPECT_EQ(world.services.calls, (std::vector<std::string>{"CloseHint", "ClearShips"}));
}

TEST_F(LevelTest, ActivationWithAnEmptyMusicListPlaysNothing) {
  vektest::CapturedLog log;
  plat::audio::SetOutputKind(plat::audio::OutputKind::Offline);
  ASSERT_TRUE(vek::CreateSoundManager());
  level->Activate();
  EXPECT_EQ(world.services.music[1], nullptr);
  EXPECT_NE(log.Text().find("Activate: no level music loaded"), std::string::npos);
  vek::DestroySoundManager();
  plat::audio::Free();
  plat::audio::SetOutputKind(plat::audio::OutputKind::Device);
}

}  // namespace
