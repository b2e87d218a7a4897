#pragma once
// A field with the animal, plant and test-gardener makers, the test sheets and the wares.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "game/world/animal.h"
#include "game/world/animal_product.h"
#include "game/world/field_economy.h"
#include "game/world/level.h"
#include "game/world/plant.h"
#include "game/world/ware_manager.h"
#include "tests/game/world/test_objects.h"
#include "tests/support/world_harness.h"

namespace vektest {

class AnimalFieldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world.LoadTestSheets());
    world.BuildWares();
    RegisterPlantMakers();
    RegisterAnimalMakers();
    cLevel::SetMaker(e_KindGardener, [](cLevel* l) -> cObject* { return new RecordingGardener(l); });
    level = std::make_unique<cLevel>();
    level->Clear();
  }
  void TearDown() override {
    SetFieldControlFinder(nullptr);
    level.reset();
    for (eFieldKind k : {e_KindPlant, e_KindHole, e_KindOstrich, e_KindPeacock, e_KindGoat, e_KindGardener, e_KindHive,
                         e_KindBee})
      cLevel::SetMaker(k, nullptr);
  }

  vek::u32 Ware(const char* name) const { return static_cast<vek::u32>(g_pWareManager->GetWareId(name)); }
  cPlant* AddGrass(const cCell& cell) {
    return static_cast<cPlant*>(level->FindObject(level->AddPlant(Ware("grass"), cell)));
  }
  template <class T>
  T* Add(const cCell& cell) {
    auto* a = new T(level.get());
    a->SetCell(cell);
    return a;
  }
  // Runs fixed steps and frames until the condition holds; false when the limit passes first.
  bool RunUntil(const std::function<bool()>& done, int limit) {
    for (int i = 0; i < limit; ++i) {
      if (done()) return true;
      world.Run(*level, 1);
    }
    return done();
  }
  vek::u32 CountEmitters() {
    vek::u32 n = 0;
    for (vek::u32 p = 0; p < cParticles::kPoolCount; ++p) n += world.services.particles->GetPool(p).GetEmitterCount();
    return n;
  }
  vek::u32 CountOfType(vek::u32 type) const {
    vek::u32 n = 0;
    for (cObject* o : level->GetRegistry())
      if (o->GetType() == type) ++n;
    return n;
  }

  WorldHarness world;
  std::unique_ptr<cLevel> level;
};

}  // namespace vektest
