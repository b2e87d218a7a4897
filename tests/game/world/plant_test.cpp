#include <gtest/gtest.h>

#include <memory>

#include "game/world/level.h"
#include "game/world/particles.h"
#include "game/world/plant.h"
#include "tests/support/world_harness.h"

namespace {

class PlantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(world.LoadTestSheets());
    RegisterPlantMakers();
    level = std::make_unique<cLevel>();
    level->Clear();
    sort = new cSort("sprout", "Sprout");  // the ware manager owns it
    sort->m_GrowthTime = 1.0f;
  }
  void TearDown() override {
    level.reset();
    cLevel::SetMaker(e_KindPlant, nullptr);
    cLevel::SetMaker(e_KindHole, nullptr);
  }
  cPlant* NewPlant(const cCell& cell = {1, 1}) {
    auto* p = new cPlant(static_cast<vek::u32>(sort->GetId()), level.get());
    p->SetCell(cell);
    return p;
  }
  // Steps until the plant leaves the growing state (or the limit).
  static void GrowUp(cPlant* p) {
    for (int i = 0; i < 200 && (p->GetState() < 3); ++i) p->Update();
  }
  vektest::WorldHarness world;
  std::unique_ptr<cLevel> level;
  cSort* sort = nullptr;
};

TEST_F(PlantTest, NeedScheduleBySortPeriods) {
  struct Case {
    vek::i32 water, weed;
    std::vector<vek::i32> stages;  // the stage each new plant enters when grown
  } cases[] = {
      {2, 3, {2, 0, 1, 2, 0, 1, 2, 0, 1}},
      {0, 0, {2, 2, 2, 2}},
      {1, 0, {0, 0, 0}},
      {0, 2, {2, 1, 2, 1}},
  };
  for (const Case& c : cases) {
    sort->m_NeedPeriods = {c.water, c.weed};
    sort->m_NeedCounters = {0, 0};
    for (size_t n = 0; n < c.stages.size(); ++n) {
      cPlant* p = NewPlant();
      GrowUp(p);
      EXPECT_EQ(p->GetState(), 3);
      EXPECT_EQ(p->GetStage(), c.stages[n]) << "water " << c.water << " weed " << c.weed << " plant " << n + 1;
      p->SetState(2);
    }
  }
}

TEST_F(PlantTest, GrowthStepsThroughTheFramesAndIsClamped) {
  cPlant* p = NewPlant();
  EXPECT_EQ(p->GetAnimation().m_Count, 5);
  struct {
    vek::f32 g;
    vek::f32 expect;
    vek::i32 frame;
  } cases[] = {{0.0f, 0.0f, 0}, {0.3f, 0.3f, 1}, {0.74f, 0.74f, 2}, {1.0f, 1.0f, 4}, {1.5f, 1.0f, 4}, {-0.1f, 1.0f, 4}};
  for (const auto& c : cases) {
    p->SetGrowth(c.g);
    EXPECT_FLOAT_EQ(p->GetGrowth(), c.expect) << c.g;
    EXPECT_EQ(p->GetAnimation().m_Frame, c.frame) << c.g;
  }
}

TEST_F(PlantTest, CareTendRipenAndHarvest) {
  sort->m_NeedPeriods = {1, 0};
  cPlant* p = NewPlant();
  GrowUp(p);
  ASSERT_EQ(p->GetStage(), 0);
  EXPECT_EQ(p->Harvest(), kNoWare);  // unripe: no ware, nothing changes
  EXPECT_EQ(p->GetState(), 3);
  EXPECT_FLOAT_EQ(p->GetGrowth(), 1.0f);
  for (int i = 0; i < 30; ++i) p->Update();
  EXPECT_NEAR(p->GetProgress(), 1.0f / 60.0f, 1e-4f);
  p->Tend();
  EXPECT_EQ(p->GetState(), 1);
  p->Update();
  EXPECT_EQ(p->GetStage(), 2);  // already full grown: ripe at the next step
  EXPECT_FLOAT_EQ(p->GetProgress(), 0.0f);
  for (int i = 0; i < 30 * 70; ++i) p->Update();
  EXPECT_EQ(p->GetState(), 3);  // a ripe plant waits without limit
  EXPECT_EQ(p->Harvest(), static_cast<vek::u32>(sort->GetId()));
  EXPECT_EQ(p->GetState(), 0);
  EXPECT_FLOAT_EQ(p->GetGrowth(), 0.0f);
}

TEST_F(PlantTest, WithersAfterAMinuteUnlessWorkStarted) {
  sort->m_NeedPeriods = {1, 0};
  for (bool inWork : {false, true}) {
    cPlant* p = NewPlant();
    GrowUp(p);
    p->SetInWork(inWork);
    for (int i = 0; i < 30 * 60 - 2; ++i) p->Update();
    EXPECT_EQ(p->GetState(), 3);
    for (int i = 0; i < 4; ++i) p->Update();
    EXPECT_EQ(p->GetState(), inWork ? 3 : 2) << inWork;
  }
}

TEST_F(PlantTest, DoesNotWitherWhileALessonHoldsTheField) {
  sort->m_NeedPeriods = {1, 0};
  cPlant* p = NewPlant();
  GrowUp(p);
  ASSERT_EQ(p->GetStage(), 0);
  for (int i = 0; i < 30 * 30; ++i) p->Update();
  // Three minutes with the lesson waiting: the minute's wait stands still.
  world.services.fieldHeld = true;
  for (int i = 0; i < 30 * 180; ++i) p->Update();
  EXPECT_EQ(p->GetState(), 3);
  EXPECT_NEAR(p->GetProgress(), 0.5f, 1e-3f);
  // It goes on where it stood once the lesson lets go.
  world.services.fieldHeld = false;
  for (int i = 0; i < 30 * 30 - 2; ++i) p->Update();
  EXPECT_EQ(p->GetState(), 3);
  for (int i = 0; i < 4; ++i) p->Update();
  EXPECT_EQ(p->GetState(), 2);
}

TEST_F(PlantTest, HoleFindsOnlyLivePlantsOnItsCell) {
  cObject* hole = level->Make(e_KindHole);
  ASSERT_TRUE(hole->IsType(e_TypeHole));
  hole->SetCell(2, 3);
  auto* h = static_cast<cHole*>(hole);
  EXPECT_EQ(h->GetPlantId(), 0u);
  NewPlant({2, 4});
  EXPECT_EQ(h->GetPlantId(), 0u);
  cPlant* p = NewPlant({2, 3});
  EXPECT_EQ(h->GetPlantId(), p->GetId());
  p->SetState(2);
  EXPECT_EQ(h->GetPlantId(), 0u);
  h->m_bShown = false;
  EXPECT_FLOAT_EQ(h->GetRect().w, 0.0f);
}

TEST_F(PlantTest, RecordRoundTripAndUnknownSort) {
  cPlant* p = NewPlant({3, 2});
  p->SetGrowth(0.5f);
  vek::cBitStream s;
  ASSERT_TRUE(p->Write(s));
  cObject* q = level->Make(e_KindPlant);
  ASSERT_TRUE(q->Read(s));
  EXPECT_EQ(q->GetWareId(), static_cast<vek::u32>(sort->GetId()));
  EXPECT_FLOAT_EQ(static_cast<cPlant*>(q)->GetGrowth(), 0.5f);
  EXPECT_EQ(q->GetCell(), (cCell{3, 2}));

  vek::cBitStream bad;
  bad.WriteInt(999);
  bad.WriteFloat(0.5f);
  EXPECT_FALSE(level->Make(e_KindPlant)->Read(bad));
}

// An animal that has chosen a plant to eat.
class Eater : public cObject {
 public:
  Eater(cLevel* level, vek::u32 food) : cObject(level), food(food) {}
  vek::u32 GetType() const override { return e_TypeOstrich; }
  vek::u32 GetFood() const override { return food; }
  vek::u32 food;
};

TEST_F(PlantTest, HintStepsOfTheCycle) {
  sort->m_NeedPeriods = {1, 0};
  auto& steps = world.services.hintSteps;
  cPlant* p = NewPlant();
  p->Update();
  p->Update();
  EXPECT_EQ(steps, (std::vector<std::pair<vek::i32, vek::i32>>{{0, 3}, {0, 2}, {0, 1}, {11, 1}}));
  GrowUp(p);
  steps.clear();
  p->Tend();
  EXPECT_EQ(steps, (std::vector<std::pair<vek::i32, vek::i32>>{{0, 5}, {1, 2}}));
  p->Update();
  steps.clear();
  p->Harvest();
  EXPECT_EQ(steps, (std::vector<std::pair<vek::i32, vek::i32>>{{0, 9}, {0, 8}, {0, 7}}));

  // The training plant asks for weeding at once, before it has grown at all.
  world.services.advanceHint = 0;
  world.services.advanceStep = 2;
  cPlant* trainee = NewPlant();
  trainee->Update();
  trainee->Update();
  EXPECT_EQ(trainee->GetState(), 3);
  EXPECT_EQ(trainee->GetStage(), 1);
  EXPECT_FLOAT_EQ(trainee->GetGrowth(), 0.0f);
}

TEST_F(PlantTest, FlowersAskForWaterUntilTheTrainingIsDone) {
  auto* flowers = new cSort("flowers", "Flowers");
  flowers->m_GrowthTime = 0.2f;
  for (bool trained : {false, true}) {
    SCOPED_TRACE(trained);
    world.services.trainingDone[cPlant::kFlowersTraining] = trained;
    world.services.calls.clear();
    flowers->m_NeedCounters = {1, 0};
    auto* p = new cPlant(static_cast<vek::u32>(flowers->GetId()), level.get());
    GrowUp(p);
    EXPECT_EQ(p->GetStage(), trained ? 2 : 0);
    if (trained) continue;
    EXPECT_EQ(flowers->m_NeedCounters[0], 0);
    EXPECT_EQ(world.services.calls, std::vector<std::string>{"ShowTraining 9"});
    p->Tend();  // watering them ends the training step and its hint
    EXPECT_EQ(world.services.calls,
              (std::vector<std::string>{"ShowTraining 9", "Hide hint", "ShowTraining -1"}));
    EXPECT_EQ(world.services.trainingStep, -1);
  }
}

TEST_F(PlantTest, RipeningBurstsExceptForGroundSorts) {
  auto* grass = new cSort("grass", "Grass");
  cParticlePool& pool = world.services.particles->GetPool(1);
  for (cSort* s : {sort, grass}) {
    const vek::u32 before = pool.GetEmitterCount();
    auto* p = new cPlant(static_cast<vek::u32>(s->GetId()), level.get());
    GrowUp(p);
    ASSERT_EQ(p->GetStage(), 2);
    EXPECT_EQ(pool.GetEmitterCount(), before + (s == sort ? 1u : 0u)) << s->GetName();
  }
}

TEST_F(PlantTest, EaterIsKeptOnlyWhileTheAnimalStillWantsThePlant) {
  sort->m_GrowthTime = 10.0f;
  cPlant* p = NewPlant();
  p->Update();
  p->Update();
  ASSERT_EQ(p->GetState(), 1);
  auto* fond = new Eater(level.get(), p->GetId());
  auto* fickle = new Eater(level.get(), 12345);
  struct Case {
    vek::u32 eater;
    vek::u32 after;
    bool grows;  // a gone eater ends the step before the plant grows
  } cases[] = {{fond->GetId(), fond->GetId(), true}, {fickle->GetId(), 0, true}, {9999, 0, false}};
  for (const Case& c : cases) {
    p->SetEater(c.eater);
    const vek::f32 g = p->GetGrowth();
    p->Update();
    EXPECT_EQ(p->GetEater(), c.after) << c.eater;
    EXPECT_EQ(p->GetGrowth() > g, c.grows) << c.eater;
  }
}

}  // namespace
