// The holes of a new layout: made hidden while the holes animation runs (the holes the field
// had keep showing), then shown together, each with its burst of particles.
#include <gtest/gtest.h>

#include <memory>

#include "engine/core/path_tokens.h"
#include "game/world/level.h"
#include "game/world/plant.h"
#include "tests/support/temp_dir.h"
#include "tests/support/world_harness.h"

namespace {

class HolesRevealTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world.LoadTestSheets());
    world.BuildWares();
    RegisterPlantMakers();
    vek::SetPathToken(vek::e_AppPath, tmp.path());
    world.services.profilePath = "{AppPath}/";
    world.services.layouts = {{{1, 1}, {1, 2}}, {{1, 1}, {1, 2}, {2, 5}, {3, 6}}};
    level = std::make_unique<cLevel>();
    level->Clear();
    level->Load(0);  // the first layout, shown
  }
  void TearDown() override {
    level.reset();
    for (eFieldKind k : {e_KindPlant, e_KindHole}) cLevel::SetMaker(k, nullptr);
    vek::SetPathToken(vek::e_AppPath, savedAppPath);
  }
  std::vector<cHole*> Holes(bool shown) {
    std::vector<cHole*> out;
    for (cObject* o : level->GetRegistry())
      if (auto* h = dynamic_cast<cHole*>(o); h && h->m_bShown == shown) out.push_back(h);
    return out;
  }
  vek::u32 Bursts() { return world.services.particles->GetPool(3).GetEmitterCount(); }

  vektest::WorldHarness world;
  vektest::TempDir tmp;
  std::string savedAppPath = vek::GetPathToken(vek::e_AppPath);
  std::unique_ptr<cLevel> level;
};

TEST_F(HolesRevealTest, NewHolesWaitHiddenForTheAnimationAndComeInWithABurstEach) {
  ASSERT_EQ(Holes(true).size(), 2u);
  ASSERT_TRUE(Holes(false).empty());

  world.services.layoutIndex = 1;
  world.services.holesAnimationRunning = true;
  level->Load(0);
  const std::vector<cHole*> hidden = Holes(false);
  ASSERT_EQ(hidden.size(), 2u);  // the layout's two new holes; the kept two still show
  EXPECT_EQ(Holes(true).size(), 2u);
  for (cHole* h : hidden) EXPECT_EQ(h->GetRect().w, 0.0f);  // nothing to click or point at

  const vek::u32 before = Bursts();
  level->ShowHiddenHoles();
  EXPECT_TRUE(Holes(false).empty());
  EXPECT_EQ(Holes(true).size(), 4u);
  EXPECT_EQ(Bursts(), before + 2);
  level->ShowHiddenHoles();  // nothing left to show
  EXPECT_EQ(Bursts(), before + 2);
}

TEST_F(HolesRevealTest, WithoutTheAnimationEveryNewHoleShowsAtOnce) {
  world.services.layoutIndex = 1;
  level->Clear();
  level->Load(0);
  EXPECT_EQ(Holes(true).size(), 4u);
  EXPECT_TRUE(Holes(false).empty());
}

TEST_F(HolesRevealTest, ALargerLayoutTakenInPlayAddsItsHolesAndKeepsThePlants) {
  cHole* first = Holes(true).front();
  cObject* plant = level->Make(e_KindPlant);
  plant->SetCell(first->GetCell());
  const vek::u32 plantId = plant->GetId();
  ASSERT_EQ(first->GetPlantId(), plantId);

  world.services.layoutIndex = 1;
  ASSERT_TRUE(level->AddLayoutHoles());
  EXPECT_EQ(Holes(true).size(), 4u);
  EXPECT_TRUE(level->IsObjectValid(plantId));
  EXPECT_EQ(first->GetPlantId(), plantId);
  ASSERT_TRUE(level->AddLayoutHoles());  // nothing doubled
  EXPECT_EQ(Holes(true).size(), 4u);

  // During the holes animation the new ones wait hidden, as on a level start.
  world.services.layoutIndex = 0;
  level->Clear();
  level->Load(0);
  world.services.layoutIndex = 1;
  world.services.holesAnimationRunning = true;
  ASSERT_TRUE(level->AddLayoutHoles());
  EXPECT_EQ(Holes(true).size(), 2u);
  EXPECT_EQ(Holes(false).size(), 2u);
}

}  // namespace
