// A round of the field played by the gardener from the player's clicks: sow and pay, let the
// plant grow, harvest into the bin, load the car and sell; then a plant that needs weeding.
#include <gtest/gtest.h>

#include "tests/game/world/gardener_fixture.h"

namespace {

using vektest::GardenerFixture;

class GardenerScenarioTest : public GardenerFixture {};

TEST_F(GardenerScenarioTest, SowGrowHarvestSellThenWeed) {
  auto& s = world.services;
  const vek::u32 tomato = Ware("plant00");
  const vek::i32 price = Price("plant00");
  cSort& sort = g_pWareManager->GetSort(tomato);
  sort.m_NeedPeriods = {0, 2};  // every second tomato asks for weeding
  sort.m_NeedCounters = {0, 0};
  s.money = 20;
  s.saleEarnings = 7;
  cObject* holeA = Hole({2, 2});
  cObject* holeB = Hole({2, 6});

  // Sow: the seed is picked, the hole clicked; the price is paid when the work ends.
  gardener->AddTaskAction(tomato);
  gardener->AddTaskObject(holeA->GetId());
  ASSERT_GE(RunUntil([this] { return gardener->GetState() == 5; }), 0);
  EXPECT_EQ(s.money, 20);
  ASSERT_GE(RunUntil([this] { return gardener->GetState() == 6; }), 0);
  EXPECT_EQ(s.money, 20 - price);
  ASSERT_EQ(level->GetTexts().Size(), 1u);
  EXPECT_EQ(level->GetTexts().m_Items.front().text, "-$5");
  auto* plant = dynamic_cast<cPlant*>(level->FindObjectAt({2, 2}, e_TypePlant));
  ASSERT_NE(plant, nullptr);
  ASSERT_GE(RunIdle(), 0);

  // Grow: three seconds to ripe; this first tomato needs nothing on the way.
  const int grow = RunUntil([plant] { return plant->GetState() == 3; });
  EXPECT_NEAR(grow, 90, 4);
  EXPECT_EQ(plant->GetStage(), 2);

  // Harvest: a right click lets the seed go; with empty hands the ripe plant asks for the bin
  // and is not queued.
  EXPECT_EQ(gardener->GetSeed(), tomato);
  level->OnEvent(4, 1);
  EXPECT_EQ(gardener->GetSeed(), kNoWare);
  gardener->AddTaskObject(plant->GetId());
  EXPECT_TRUE(gardener->GetTasks().empty());
  EXPECT_TRUE(gardener->IsNeedShown());
  Take(bin);
  gardener->AddTaskObject(plant->GetId());
  ASSERT_GE(RunIdle(), 0);
  EXPECT_EQ(bin->GetItems(), (std::vector<vek::u32>{tomato}));
  EXPECT_EQ(s.produced, (std::vector<vek::i32>{static_cast<vek::i32>(tomato)}));
  EXPECT_EQ(plant->GetState(), 1);  // growing again

  // Load the car: the bin goes into the load, the car sells it and drives off and back.
  cObject* car = level->FindObject(level->GetCarId());
  gardener->AddTaskByType(e_TypeCar);
  ASSERT_GE(RunUntil([this] { return gardener->GetState() == 29; }), 0);
  EXPECT_EQ(bin->GetCount(), 0);
  EXPECT_EQ(s.carLoad, (std::vector<vek::i32>{static_cast<vek::i32>(tomato)}));
  EXPECT_EQ(car->GetState(), 1);  // it waits while the gardener is at it
  ASSERT_GE(RunUntil([car] { return car->GetState() == 3; }), 0);
  EXPECT_EQ(s.money, 20 - price + 7);
  EXPECT_TRUE(s.carLoad.empty());
  ASSERT_GE(RunUntil([car] { return car->GetState() == 1; }), 0);

  // The tomato grows again and this time asks for weeding: the bin will not do (the bubble
  // names the weeding tool), the weeding tool will.
  ASSERT_GE(RunUntil([plant] { return plant->GetState() == 3; }), 0);
  EXPECT_EQ(plant->GetStage(), 1);
  gardener->AddTaskObject(plant->GetId());
  EXPECT_TRUE(gardener->GetTasks().empty());
  ASSERT_TRUE(gardener->IsNeedShown());
  EXPECT_EQ(gardener->GetNeedFrame().x, FindSprite("icons00", "tool_weed").frames[0].x);
  Take(weed);
  gardener->AddTaskObject(plant->GetId());
  ASSERT_GE(RunUntil([this] { return gardener->GetState() == 11; }), 0);
  ASSERT_GE(RunIdle(), 0);
  Run(1);
  EXPECT_EQ(plant->GetStage(), 2);  // weeded, and full grown: ripe
  EXPECT_EQ(s.money, 20 - price + 7);

  // A second hole sown with a new pick of the seed: paid once more.
  gardener->AddTaskObject(holeB->GetId());  // no seed selected: refused at once
  EXPECT_TRUE(gardener->GetTasks().empty());
  gardener->AddTaskAction(tomato);
  gardener->AddTaskObject(holeB->GetId());
  ASSERT_GE(RunIdle(), 0);
  EXPECT_EQ(s.money, 20 - 2 * price + 7);
  EXPECT_EQ(level->FindObjectAt({2, 6}, e_TypePlant)->GetWareId(), tomato);
  EXPECT_FALSE(weed->IsTaken());  // put down for the sowing
}

vek::i32 g_ClickX = 0, g_ClickY = 0;
bool ReadClick(vek::i32* x, vek::i32* y) {
  *x = g_ClickX;
  *y = g_ClickY;
  return true;
}

// The gardener never takes a click itself: a tool it stands on or in front of is taken
// wherever the tool's picture is clicked.
TEST_F(GardenerScenarioTest, AToolBehindTheIdleGardenerIsStillClickable) {
  const struct {
    const char* what;
    vek::i32 gardenerRowOffset;  // 0 on the tool's cell, -1 on the cell in front of it
    vek::f32 fy;                 // the click's height in the tool's rectangle
  } cases[] = {
      {"on its cell, low", 0, 0.2f},     {"on its cell, middle", 0, 0.5f},     {"on its cell, high", 0, 0.9f},
      {"in front of it, low", -1, 0.2f}, {"in front of it, middle", -1, 0.5f}, {"in front of it, high", -1, 0.9f},
  };
  for (const auto& c : cases) {
    MakeField();
    level->SetCursorReader(&ReadClick);
    weed->SetCell(5, 6);
    gardener->SetCell(5 + c.gardenerRowOffset, 6);
    Run(2);
    gardener->SetSize(80.0f, 120.0f);  // as tall as the game's art: it stands over the tool
    weed->SetSize(56.0f, 48.0f);
    ASSERT_EQ(gardener->GetHeldToolKind(), -1);
    const vek::rectf r = weed->GetRect();
    ASSERT_GT(r.w, 0.0f);
    g_ClickX = static_cast<vek::i32>(r.x + r.w * 0.5f);
    g_ClickY = static_cast<vek::i32>(768.0f - (r.y + r.h * c.fy));
    level->OnEvent(4, 0);
    ASSERT_GE(RunIdle(), 0) << c.what;
    EXPECT_EQ(gardener->GetHeldTool(), weed->GetId()) << c.what;
  }
}

}  // namespace
