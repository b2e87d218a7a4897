#pragma once
// A field with the gardener, its three tools, the car and the pump on the headless harness
// (test sheets of known frame counts: start areas 3 frames at 30 per second, work areas 4,
// "water_put" and "weed_work" a single frame).
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "game/world/animal.h"
#include "game/world/animal_product.h"
#include "game/world/car.h"
#include "game/world/gardener.h"
#include "game/world/hive.h"
#include "game/world/level.h"
#include "game/world/plant.h"
#include "game/world/pump.h"
#include "game/world/tools.h"
#include "game/world/ware_manager.h"
#include "tests/support/world_harness.h"

namespace vektest {

class GardenerFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world.LoadTestSheets());
    world.BuildWares();
    RegisterPlantMakers();
    RegisterToolMakers();
    RegisterCarMakers();
    RegisterPumpMakers();
    RegisterHiveMakers();
    RegisterGardenerMaker();
    RegisterAnimalMakers();
    MakeField();
  }
  void TearDown() override {
    level.reset();
    for (vek::u32 k = 0; k < e_KindCount; ++k) cLevel::SetMaker(static_cast<eFieldKind>(k), nullptr);
  }
  // A new field (after the services were set as the test wants them).
  void MakeField() {
    level.reset();
    level = std::make_unique<cLevel>();
    level->Clear();
    level->BuildFixedObjects();
    level->PlaceFixedDefaults();
    gardener = dynamic_cast<cGardener*>(level->GetGardener());
    ASSERT_NE(gardener, nullptr);
    can = dynamic_cast<cToolWater*>(level->FindObjectAt(kNoCell, e_TypeToolWater));
    weed = dynamic_cast<cToolWeed*>(level->FindObjectAt(kNoCell, e_TypeToolWeed));
    bin = dynamic_cast<cToolBin*>(level->FindObjectAt(kNoCell, e_TypeToolBin));
    ASSERT_TRUE(can && weed && bin);
    Run(2);  // new -> start -> idle
    ASSERT_EQ(gardener->GetState(), 3);
  }

  void Run(int steps) { world.Run(*level, steps); }
  // Steps until the condition holds; the number of steps, or -1 past the limit.
  int RunUntil(const std::function<bool()>& done, int limit = 3000) {
    for (int n = 0; n < limit; ++n) {
      if (done()) return n;
      Run(1);
    }
    return done() ? limit : -1;
  }
  // Steps until the gardener is idle with nothing queued.
  int RunIdle(int limit = 3000) {
    return RunUntil([this] { return gardener->GetState() == 3 && gardener->GetTasks().empty(); }, limit);
  }
  vek::u32 Ware(const char* name) const { return static_cast<vek::u32>(g_pWareManager->GetWareId(name)); }
  vek::i32 Price(const char* name) const { return g_pWareManager->GetWare(Ware(name)).GetPrice(); }
  cObject* Hole(const cCell& c) {
    cObject* h = level->Make(e_KindHole);
    h->SetCell(c);
    return h;
  }
  cPlant* Plant(const char* sort, const cCell& c) {
    auto* p = new cPlant(Ware(sort), level.get());
    p->SetCell(c);
    return p;
  }
  // A grown plant that asks for stage (0 water, 1 weeds, 2 ripe).
  cPlant* AskingPlant(const char* sort, const cCell& c, vek::i32 stage) {
    cPlant* p = Plant(sort, c);
    p->SetState(1);
    p->SetGrowth(1.0f);
    p->OnStageChange(stage);
    return p;
  }
  // The gardener takes the tool (walking there).
  void Take(cObject* tool) {
    gardener->AddTaskObject(tool->GetId());
    ASSERT_GE(RunIdle(), 0);
    ASSERT_EQ(gardener->GetHeldTool(), tool->GetId());
  }
  bool ShowsSprite(const char* sheet, const char* area) const {
    const cSprite r = FindSprite(sheet, area);
    return r.texture != 0 && gardener->GetTexture() == r.texture && gardener->GetFrames() == r.frames;
  }
  int CountPlants() {
    int n = 0;
    for (cObject* o : level->GetRegistry()) n += o->IsType(e_TypePlant) && o->GetState() != 2 ? 1 : 0;
    return n;
  }

  WorldHarness world;
  std::unique_ptr<cLevel> level;
  cGardener* gardener = nullptr;
  cToolWater* can = nullptr;
  cToolWeed* weed = nullptr;
  cToolBin* bin = nullptr;
};

}  // namespace vektest
