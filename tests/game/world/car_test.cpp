#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "engine/render/texture_info.h"
#include "game/world/car.h"
#include "game/world/level.h"
#include "tests/game/world/test_objects.h"
#include "tests/support/world_harness.h"

namespace {

class CarTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(world.LoadTestSheets());
    RegisterCarMakers();
    cLevel::SetMaker(e_KindGardener, [](cLevel* l) -> cObject* { return new vektest::RecordingGardener(l); });
    level = std::make_unique<cLevel>();
    level->Clear();
    level->BuildFixedObjects();
    car = static_cast<cCar*>(level->FindObject(level->GetCarId()));
    gardener = static_cast<vektest::RecordingGardener*>(level->GetGardener());
    world.Run(*level, 1);
  }
  void TearDown() override {
    level.reset();
    for (eFieldKind k : {e_KindCar, e_KindCarBack, e_KindGardener}) cLevel::SetMaker(k, nullptr);
  }
  // Steps until the car's state changes; the steps taken (limit + 1 when it never did).
  int StepsToChange(int limit = 400) {
    const vek::i32 from = car->GetState();
    for (int n = 1; n <= limit; ++n) {
      world.Run(*level, 1);
      if (car->GetState() != from) return n;
    }
    return limit + 1;
  }
  void Load(vek::i32 earnings) {
    world.services.carLoad = {3, 4};
    world.services.saleEarnings = earnings;
  }

  vektest::WorldHarness world;
  std::unique_ptr<cLevel> level;
  cCar* car = nullptr;
  vektest::RecordingGardener* gardener = nullptr;
};

TEST_F(CarTest, DeliveryRunsTheWholeCycle) {
  ASSERT_EQ(car->GetState(), cCar::e_Parked);
  EXPECT_FLOAT_EQ(car->GetCarX(), cCar::kParkedX);
  const cObject* back = level->FindObject(level->GetCarBackId());
  EXPECT_EQ(back->GetPosition(), (vek::vec2{90.0f, 320.0f}));
  EXPECT_GT(StepsToChange(60), 60);  // nothing loaded: it stays

  world.services.money = 10;
  Load(45);
  EXPECT_EQ(StepsToChange(), 1);
  EXPECT_EQ(car->GetState(), cCar::e_Selling);
  EXPECT_EQ(world.services.money, 55);  // paid as the board opens
  ASSERT_EQ(level->GetTexts().Size(), 1u);
  EXPECT_EQ(level->GetTexts().m_Items.back().text, "+$45");
  EXPECT_TRUE(world.services.carLoad.empty());
  EXPECT_NE(std::find(world.services.hintSteps.begin(), world.services.hintSteps.end(), std::make_pair(0, 10)),
            world.services.hintSteps.end());
  EXPECT_EQ(world.services.sounds, std::vector<vek::i32>{9});

  // Four board frames at 10 a second: the once-forward play ends 0.4 s on.
  EXPECT_EQ(StepsToChange(), 12);
  EXPECT_EQ(car->GetState(), cCar::e_Leaving);
  EXPECT_EQ(world.services.sounds.back(), 10);
  EXPECT_TRUE(car->GetWheel().IsPlaying());
  // Off the left edge: -(board width 100 + car width 150), 180 units at 160 a second.
  const int away = StepsToChange();
  EXPECT_NEAR(away, 34, 1);
  EXPECT_FLOAT_EQ(car->GetCarX(), -250.0f);
  EXPECT_EQ(level->FindObject(level->GetCarBackId())->GetPosition().x, -90.0f);
  EXPECT_EQ(car->GetState(), cCar::e_Returning);
  EXPECT_NEAR(StepsToChange(), 34, 1);
  EXPECT_FLOAT_EQ(car->GetCarX(), cCar::kParkedX);
  EXPECT_EQ(car->GetState(), cCar::e_Closing);
  EXPECT_FALSE(car->GetWheel().IsPlaying());
  EXPECT_EQ(StepsToChange(), 12);
  EXPECT_EQ(car->GetState(), cCar::e_Parked);

  // A sale that earns nothing tells the field nothing.
  const size_t texts = level->GetTexts().Size();
  Load(0);
  EXPECT_EQ(StepsToChange(), 1);
  EXPECT_EQ(world.services.money, 55);
  EXPECT_EQ(level->GetTexts().Size(), texts);
}

TEST_F(CarTest, BlockersHoldTheCarWhereItIs) {
  // Wares in flight clear by themselves (0.8 s); the others are cleared by the test.
  struct Case {
    const char* name;
    void (*block)(CarTest&);
    void (*unblock)(CarTest&);
    vek::i32 at;  // the state the blocker holds
  } cases[] = {
      {"a ware flying to the car", [](CarTest& t) { t.level->AddTransfer(4, 2, 0, 0, 0); }, nullptr, cCar::e_Parked},
      {"the gardener's first task is the car",
       [](CarTest& t) { t.gardener->tasks.push_back({t.car->GetId(), {}}); },
       [](CarTest& t) { t.gardener->tasks.clear(); }, cCar::e_Parked},
      {"the gardener empties the bin", [](CarTest& t) { t.gardener->SetState(28); },
       [](CarTest& t) { t.gardener->SetState(3); }, cCar::e_Parked},
      {"the load is refused", [](CarTest& t) { t.world.services.carLoadAccepted = false; },
       [](CarTest& t) { t.world.services.carLoadAccepted = true; }, cCar::e_Parked},
      {"a ware leaving for away", [](CarTest& t) { t.level->AddTransfer(4, 0, 0, 1, 0); }, nullptr,
       cCar::e_Leaving},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    while (car->GetState() != cCar::e_Parked) world.Run(*level, 1);
    if (c.at == cCar::e_Leaving) {
      Load(10);
      EXPECT_EQ(StepsToChange(), 1);
      StepsToChange();
      ASSERT_EQ(car->GetState(), cCar::e_Leaving);
    }
    const vek::f32 x = car->GetCarX();
    c.block(*this);
    world.Run(*level, 1);  // a ware in flight sets out
    if (c.at == cCar::e_Parked) Load(10);
    EXPECT_GT(StepsToChange(20), 20);
    EXPECT_EQ(car->GetState(), c.at);
    EXPECT_FLOAT_EQ(car->GetCarX(), x);
    if (c.unblock) c.unblock(*this);
    else
      while (!level->GetTransfers().empty()) world.Run(*level, 1);
    world.Run(*level, 1);
    if (c.at == cCar::e_Parked) EXPECT_EQ(car->GetState(), cCar::e_Selling);
    else EXPECT_LT(car->GetCarX(), x);
  }
}

TEST_F(CarTest, ShortBoardArtNeverHoldsTheCar) {
  vek::cTextureInfo* info = vek::FindTextureInfo("car");
  ASSERT_NE(info, nullptr);
  auto& item = info->m_Items[info->FindIndex("bort")];
  const auto frames = item.frames;
  for (size_t keep : {size_t{1}, size_t{0}}) {
    SCOPED_TRACE(keep);
    item.frames.resize(keep);  // none at all: the area reads as missing
    level = std::make_unique<cLevel>();
    level->Clear();
    level->BuildFixedObjects();
    car = static_cast<cCar*>(level->FindObject(level->GetCarId()));
    world.Run(*level, 1);
    Load(5);
    EXPECT_EQ(StepsToChange(), 1);
    EXPECT_EQ(StepsToChange(), 1);  // the board's animation counts as ended at once
    EXPECT_EQ(car->GetState(), cCar::e_Leaving);
    StepsToChange();
    StepsToChange();
    EXPECT_EQ(StepsToChange(), 1);
    EXPECT_EQ(car->GetState(), cCar::e_Parked);
  }
  item.frames = frames;
}

}  // namespace
