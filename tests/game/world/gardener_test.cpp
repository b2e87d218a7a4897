#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/game/world/gardener_fixture.h"

namespace {

using vektest::GardenerFixture;

class GardenerTest : public GardenerFixture {};

// Ids of the queued tasks after the first one.
std::vector<vek::u32> QueuedAfterFirst(const cGardener* g) {
  std::vector<vek::u32> ids;
  for (size_t k = 1; k < g->GetTasks().size(); ++k) ids.push_back(g->GetTasks()[k].id);
  return ids;
}

TEST_F(GardenerTest, QueueDedupeAndHoleRedirect) {
  cObject* hole = Hole({1, 1});
  cPlant* a = Plant("plant00", {1, 1});
  cPlant* b = Plant("plant00", {2, 2});
  cObject* empty = Hole({3, 3});
  const vek::u32 A = a->GetId(), B = b->GetId(), H = hole->GetId(), E = empty->GetId();
  const vek::u32 kSeed = 0xFFFFu;  // stands for a seed action in the clicks
  const vek::u32 tomato = Ware("plant00");
  struct Case {
    const char* name;
    std::vector<vek::u32> clicks;
    std::vector<vek::u32> queued;
    vek::i32 busyA;
  } cases[] = {
      {"same plant twice in a row", {A, A}, {A}, 1},
      {"A B A", {A, B, A}, {A, B, A}, 2},
      {"hole holding a plant", {H}, {A}, 1},
      {"hole, then its plant", {H, A}, {A}, 1},
      {"a seed action between", {A, kSeed, A}, {A, tomato, A}, 2},
      {"empty hole", {E, E}, {E}, 0},
      {"unknown id", {99999}, {}, 0},
  };
  for (const Case& c : cases) {
    gardener->ReleaseTaskTargets();
    gardener->AddTaskCell({0, 0});  // a first task: later clicks are not checked against the tools
    for (vek::u32 id : c.clicks) {
      if (id == kSeed) gardener->AddTaskAction(tomato);
      else gardener->AddTaskObject(id);
    }
    EXPECT_EQ(QueuedAfterFirst(gardener), c.queued) << c.name;
    EXPECT_EQ(a->GetBusy(), c.busyA) << c.name;
  }
  gardener->ReleaseTaskTargets();
  EXPECT_TRUE(gardener->GetTasks().empty());
  EXPECT_EQ(a->GetBusy(), 0);
  EXPECT_EQ(gardener->GetState(), 3);
}

TEST_F(GardenerTest, TaskChecksAndTheNeedBubble) {
  cPlant* p = AskingPlant("plant00", {2, 2}, 0);
  const char* none = "";
  struct Case {
    const char* name;
    cObject* tool;  // held; null for none
    vek::i32 water, binItems;
    vek::i32 stage;
    bool accepted;
    const char* need;
  } cases[] = {
      {"no tool, wants water", nullptr, 0, 0, 0, false, "tool_water"},
      {"bin, wants water", bin, 0, 0, 0, false, "tool_water"},
      {"bin, wants weeding", bin, 0, 0, 1, false, "tool_weed"},
      {"can, ripe", can, 2, 0, 2, false, "tool_bin"},
      {"empty can, wants water", can, 0, 0, 0, false, "water_pump"},
      {"full bin, ripe", bin, 0, 3, 2, false, "stock"},
      {"can, wants water", can, 1, 0, 0, true, none},
      {"weeding tool, wants weeding", weed, 0, 0, 1, true, none},
      {"bin, ripe", bin, 0, 0, 2, true, none},
      {"bin, growing", bin, 0, 0, -1, true, none},
  };
  for (const Case& c : cases) {
    gardener->DropTool();
    if (c.tool) {
      ASSERT_TRUE(gardener->TakeTool(c.tool->GetId())) << c.name;
    }
    can->SetAmount(c.water);
    while (bin->GetCount() > 0) bin->TakeFirstItem();
    for (int k = 0; k < c.binItems; ++k) bin->AddItem(Ware("plant00"));
    if (c.stage == -1) p->Tend();
    else p->OnStageChange(c.stage);
    gardener->HideNeed();
    EXPECT_EQ(gardener->CanDoTask({p->GetId(), p->GetCell()}), c.accepted) << c.name;
    if (c.need[0] == 0) {
      EXPECT_FALSE(gardener->IsNeedShown()) << c.name;
    } else {
      const cSprite icon = FindSprite("icons00", c.need);
      ASSERT_TRUE(gardener->IsNeedShown()) << c.name;
      EXPECT_EQ(gardener->GetNeedFrame().x, icon.frames[0].x) << c.name;
    }
  }
}

TEST_F(GardenerTest, OnlyTaskThatCannotBeDoneIsNotQueued) {
  Take(bin);
  cPlant* p = AskingPlant("plant00", {2, 2}, 0);
  gardener->AddTaskObject(p->GetId());
  EXPECT_TRUE(gardener->GetTasks().empty());
  EXPECT_EQ(p->GetBusy(), 0);
  ASSERT_TRUE(gardener->IsNeedShown());
  EXPECT_EQ(gardener->GetNeedFrame().x, FindSprite("icons00", "tool_water").frames[0].x);
  Run(88);
  EXPECT_TRUE(gardener->IsNeedShown());
  Run(3);
  EXPECT_FALSE(gardener->IsNeedShown());  // three seconds

  // Behind another task the click is queued, and dropped when it comes up.
  gardener->AddTaskCell({4, 4});
  gardener->AddTaskObject(p->GetId());
  EXPECT_EQ(gardener->GetTasks().size(), 2u);
  ASSERT_GE(RunIdle(), 0);
  EXPECT_EQ(gardener->GetCell(), (cCell{4, 4}));
  EXPECT_EQ(p->GetState(), 3);
  EXPECT_EQ(p->GetStage(), 0);
  EXPECT_EQ(p->GetBusy(), 0);
}

TEST_F(GardenerTest, WalkSpeedByUpgradeAndDirectionSprites) {
  const vek::f32 speeds[4] = {280.0f, 310.0f, 340.0f, 370.0f};
  const vek::f32 distance = 3.0f * level->GetCellSize().x;
  for (vek::i32 upgrade = 0; upgrade < 4; ++upgrade) {
    world.services.upgrades[0] = upgrade;
    MakeField();
    gardener->AddTaskCell({5, 8});
    ASSERT_GE(RunUntil([this] { return gardener->GetState() == 1; }), 0);
    const int steps = RunUntil([this] { return gardener->GetState() != 1; });
    EXPECT_NEAR(steps, std::ceil(distance / speeds[upgrade] * 30.0f), 1.0) << upgrade;
    EXPECT_EQ(gardener->GetCell(), (cCell{5, 8}));
  }

  // Faster from the current point on when the speed is raised during a walk.
  world.services.upgrades[0] = 0;
  MakeField();
  gardener->AddTaskCell({5, 8});
  ASSERT_GE(RunUntil([this] { return gardener->GetState() == 1; }), 0);
  Run(6);
  gardener->SetSpeed(560.0f);
  const vek::f32 left = distance - 280.0f * 6.0f / 30.0f;
  EXPECT_NEAR(RunUntil([this] { return gardener->GetState() != 1; }), std::ceil(left / 560.0f * 30.0f), 1.0);

  struct Case {
    cCell from, to;
    bool withBin;
    const char* sheet;
    const char* area;
  } cases[] = {
      {{5, 5}, {5, 8}, false, "gard00", "r"}, {{5, 8}, {5, 2}, false, "gard01", "l"},
      {{5, 2}, {7, 2}, false, "gard01", "u"}, {{7, 2}, {2, 2}, false, "gard00", "d"},
      {{2, 2}, {2, 5}, true, "gard02", "r"},  {{2, 5}, {2, 3}, true, "gard03", "l"},
      {{2, 3}, {6, 4}, true, "gard03", "u"},  {{6, 4}, {1, 3}, true, "gard02", "d"},
  };
  MakeField();
  for (const auto& c : cases) {
    if (c.withBin && gardener->GetHeldTool() == 0) {
      bin->SetCell(gardener->GetCell());
      Take(bin);
    }
    ASSERT_EQ(gardener->GetCell(), c.from);
    gardener->AddTaskCell(c.to);
    ASSERT_GE(RunUntil([this] { return gardener->GetState() == 1; }), 0);
    EXPECT_TRUE(ShowsSprite(c.sheet, c.area)) << c.sheet << " " << c.area;
    ASSERT_GE(RunIdle(), 0);
  }
  EXPECT_TRUE(ShowsSprite("gard02", "d"));  // idle with the bin
}

TEST_F(GardenerTest, TakingAndPuttingDownTools) {
  Take(can);
  EXPECT_TRUE(can->IsTaken());
  EXPECT_EQ(gardener->GetHeldToolKind(), 0);
  EXPECT_EQ(can->GetPosition().y, gardener->GetPosition().y + 15.0f);
  EXPECT_EQ(world.services.sounds.back(), 7);
  EXPECT_EQ(world.services.hintSteps, (std::vector<std::pair<vek::i32, vek::i32>>{{1, 0}}));

  // The seed goes with taking a tool; the can is put down beside the bin, whose cell is taken.
  gardener->SetSeed(Ware("plant00"));
  Take(bin);
  EXPECT_EQ(gardener->GetSeed(), kNoWare);
  EXPECT_FALSE(can->IsTaken());
  EXPECT_NE(can->GetCell(), bin->GetCell());
  EXPECT_TRUE(level->IsCellInside(can->GetCell()));
  EXPECT_EQ(world.services.hintSteps, (std::vector<std::pair<vek::i32, vek::i32>>{{1, 0}, {0, 6}, {10, 0}, {6, 0}, {8, 0}}));

  // Sowing a hole puts the tool down beside it (the hole stands on the cell too); selecting
  // grass puts it down on the gardener's own cell when nothing else stands there.
  world.services.money = 100;
  cObject* hole = Hole({0, 7});
  gardener->AddTaskAction(Ware("plant00"));
  gardener->AddTaskObject(hole->GetId());
  ASSERT_GE(RunIdle(), 0);
  EXPECT_EQ(gardener->GetHeldTool(), 0u);
  EXPECT_FALSE(bin->IsTaken());
  EXPECT_NE(bin->GetCell(), (cCell{0, 7}));
  EXPECT_TRUE(level->IsCellInside(bin->GetCell()));
  gardener->AddTaskCell({2, 7});
  ASSERT_GE(RunIdle(), 0);
  Take(weed);
  const cCell here = gardener->GetCell();
  gardener->AddTaskAction(Ware("grass"));
  ASSERT_GE(RunIdle(), 0);
  EXPECT_EQ(weed->GetCell(), here);
  EXPECT_FALSE(weed->IsTaken());

  // No water on the level: the can cannot be taken.
  world.services.waterFlag = 0;
  MakeField();
  gardener->AddTaskObject(can->GetId());
  ASSERT_GE(RunIdle(), 0);
  EXPECT_EQ(gardener->GetHeldTool(), 0u);
  EXPECT_FALSE(can->IsTaken());
}

TEST_F(GardenerTest, SowingHolesWithOneSeed) {
  world.services.money = 100;
  const vek::u32 tomato = Ware("plant00");
  const vek::i32 price = Price("plant00");
  const cCell cells[3] = {{1, 1}, {1, 3}, {2, 5}};
  gardener->AddTaskAction(tomato);
  for (const cCell& c : cells) gardener->AddTaskObject(Hole(c)->GetId());
  ASSERT_GE(RunIdle(), 0);
  EXPECT_EQ(world.services.money, 100 - 3 * price);
  for (const cCell& c : cells) EXPECT_EQ(level->FindObjectAt(c, e_TypePlant)->GetWareId(), tomato);
  EXPECT_EQ(gardener->GetSeed(), tomato);  // stays selected
  EXPECT_EQ(level->GetTexts().m_Items.back().text, "-$" + std::to_string(price));
  EXPECT_EQ(std::count(world.services.sounds.begin(), world.services.sounds.end(), 3), 3);

  // A ripe plant in the hole is replaced; the new seed is paid once.
  cObject* full = Hole({3, 1});
  const vek::u32 ripe = AskingPlant("plant00", {3, 1}, 2)->GetId();
  const vek::u32 olive = Ware("plant01");
  const vek::i32 before = world.services.money;
  gardener->AddTaskAction(olive);
  gardener->AddTaskObject(full->GetId());
  ASSERT_GE(RunIdle(), 0);
  EXPECT_EQ(world.services.money, before - Price("plant01"));
  EXPECT_FALSE(level->IsObjectValid(ripe));
  EXPECT_EQ(level->FindObjectAt({3, 1}, e_TypePlant)->GetWareId(), olive);
  EXPECT_TRUE(world.services.hint11Marked);
}

TEST_F(GardenerTest, SowingWhenMoneyRunsShort) {
  const vek::u32 tomato = Ware("plant00");
  // Short when the task comes up: nothing is sown and the seed is cleared.
  world.services.money = Price("plant00") - 1;
  gardener->AddTaskAction(tomato);
  gardener->AddTaskObject(Hole({1, 1})->GetId());
  ASSERT_GE(RunIdle(), 0);
  EXPECT_EQ(CountPlants(), 0);
  EXPECT_EQ(gardener->GetSeed(), kNoWare);

  // Short when the work ends: nothing sown or paid, the end animation plays all the same.
  world.services.money = Price("plant00");
  gardener->AddTaskAction(tomato);
  gardener->AddTaskObject(level->FindObjectAt({1, 1}, e_TypeHole)->GetId());
  ASSERT_GE(RunUntil([this] { return gardener->GetState() == 5; }), 0);
  world.services.money = 0;
  ASSERT_GE(RunUntil([this] { return gardener->GetState() != 5; }), 0);
  EXPECT_EQ(gardener->GetState(), 6);
  ASSERT_GE(RunIdle(), 0);
  EXPECT_EQ(CountPlants(), 0);
}

TEST_F(GardenerTest, GrassAndFlowersOnBareCellsOnly) {
  world.services.money = 500;
  Take(can);
  const vek::u32 grass = Ware("grass");
  cObject* hole = Hole({1, 1});
  Plant("plant00", {2, 2});
  gardener->AddTaskAction(grass);
  gardener->AddTaskCell({3, 3});  // bare: sown
  gardener->AddTaskCell({2, 2});  // a plant stands there: dropped
  gardener->AddTaskObject(hole->GetId());  // never into a hole
  ASSERT_GE(RunIdle(), 0);
  EXPECT_EQ(gardener->GetHeldTool(), 0u);  // put down when the grass was selected
  EXPECT_EQ(level->FindObjectAt({3, 3}, e_TypePlant)->GetWareId(), grass);
  EXPECT_EQ(level->FindObjectAt({2, 2}, e_TypePlant)->GetWareId(), Ware("plant00"));
  EXPECT_EQ(level->FindObjectAt({1, 1}, e_TypePlant), level->GetFirstObject());
  EXPECT_EQ(world.services.money, 500 - Price("grass"));
}

// Steps spent in the work state: the second bounce of a ping-pong over n frames comes after
// 2n - 1 frame advances of duration / 2n each.
int WorkSteps(vek::f32 duration, int frames) {
  return static_cast<int>(std::ceil(duration * (2.0f * frames - 1.0f) / (2.0f * frames) * 30.0f - 1e-4f));
}

TEST_F(GardenerTest, WorkDurationsByUpgradeLevel) {
  const vek::f32 water[4] = {1.1f, 0.8f, 0.6f, 0.4f};
  const vek::f32 bin[4] = {0.9f, 0.7f, 0.5f, 0.4f};
  for (vek::i32 upgrade = 0; upgrade < 4; ++upgrade) {
    world.services.upgrades[3] = upgrade;
    world.services.upgrades[5] = upgrade;
    world.services.money = 100;
    MakeField();
    Take(can);
    can->SetAmount(1);
    AskingPlant("plant00", {5, 4}, 0);
    gardener->AddTaskObject(level->FindObjectAt({5, 4}, e_TypePlant)->GetId());
    ASSERT_GE(RunUntil([this] { return gardener->GetState() == 8; }), 0);
    EXPECT_NEAR(RunUntil([this] { return gardener->GetState() != 8; }), WorkSteps(water[upgrade], 4), 1) << upgrade;

    gardener->AddTaskAction(Ware("plant00"));
    gardener->AddTaskObject(Hole({4, 4})->GetId());
    ASSERT_GE(RunUntil([this] { return gardener->GetState() == 5; }), 0);
    EXPECT_NEAR(RunUntil([this] { return gardener->GetState() != 5; }), WorkSteps(bin[upgrade], 4), 1) << upgrade;
  }
}

TEST_F(GardenerTest, WateringWeedingAndHarvesting) {
  cPlant* p = AskingPlant("plant00", {5, 3}, 0);
  Take(can);
  can->SetAmount(2);
  gardener->AddTaskObject(p->GetId());
  std::vector<vek::i32> states;
  RunUntil([&] {
    if (states.empty() || states.back() != gardener->GetState()) states.push_back(gardener->GetState());
    return states.size() > 1 && gardener->GetState() == 3;
  });
  EXPECT_EQ(states, (std::vector<vek::i32>{3, 1, 7, 8, 9, 3}));
  EXPECT_EQ(can->GetAmount(), 1);
  EXPECT_EQ(p->GetStage(), 2);  // tended; full grown, so ripe at once

  // The weeding area has a single frame: the work counts as played at once.
  p->OnStageChange(1);
  Take(weed);
  gardener->AddTaskObject(p->GetId());
  ASSERT_GE(RunUntil([this] { return gardener->GetState() == 11; }), 0);
  EXPECT_LE(RunUntil([this] { return gardener->GetState() != 11; }), 1);
  ASSERT_GE(RunIdle(200), 0);
  EXPECT_EQ(p->GetStage(), 2);

  p->OnStageChange(2);
  Take(bin);
  gardener->AddTaskObject(p->GetId());
  ASSERT_GE(RunIdle(), 0);
  EXPECT_EQ(bin->GetItems(), (std::vector<vek::u32>{Ware("plant00")}));
  EXPECT_EQ(world.services.produced, (std::vector<vek::i32>{static_cast<vek::i32>(Ware("plant00"))}));
  EXPECT_LT(p->GetGrowth(), 0.1f);  // a new cycle
  EXPECT_EQ(p->GetState(), 1);
}

TEST_F(GardenerTest, RightClickStopsTheWorkWithoutItsEffect) {
  cPlant* p = AskingPlant("plant00", {5, 3}, 0);
  Take(can);
  can->SetAmount(2);
  gardener->AddTaskObject(p->GetId());
  ASSERT_GE(RunUntil([this] { return gardener->GetState() == 8; }), 0);
  Run(5);
  gardener->ReleaseTaskTargets();
  gardener->ClearSeed();
  EXPECT_EQ(gardener->GetState(), 3);
  EXPECT_EQ(gardener->GetWorkTarget(), 0u);
  Run(60);
  EXPECT_EQ(can->GetAmount(), 2);
  EXPECT_EQ(p->GetState(), 3);
  EXPECT_EQ(p->GetStage(), 0);  // still asking for water
  // Its work had started: it waits for the gardener however long it takes, and is watered
  // when he comes back.
  const vek::u32 id = p->GetId();
  Run(30 * 90);
  ASSERT_TRUE(level->IsObjectValid(id));
  EXPECT_EQ(p->GetState(), 3);
  gardener->AddTaskObject(id);
  ASSERT_GE(RunIdle(600), 0);
  EXPECT_EQ(can->GetAmount(), 1);
  EXPECT_NE(p->GetStage(), 0);
}

TEST_F(GardenerTest, FillingTheCanAtThePump) {
  struct Case {
    vek::i32 money;
    vek::i32 units;
  } cases[] = {{20, 3}, {12, 2}, {5, 1}};
  for (const Case& c : cases) {
    world.services.money = c.money;
    MakeField();
    Take(can);
    ASSERT_EQ(can->GetCapacity(), 3);
    gardener->AddTaskObject(level->GetPumpId());
    ASSERT_EQ(gardener->GetTasks().size(), 1u);
    cObject* pump = level->FindObject(level->GetPumpId());
    ASSERT_GE(RunUntil([this] { return gardener->GetState() == 26; }), 0);
    EXPECT_EQ(pump->GetState(), 3);
    const int steps = RunUntil([this] { return gardener->GetState() != 26; });
    EXPECT_NEAR(steps, 9 * c.units, c.units) << c.money;  // 0.3 s a unit
    ASSERT_GE(RunIdle(100), 0);  // the one-frame "water_put" area does not hold it up
    EXPECT_EQ(pump->GetState(), 1);
    EXPECT_EQ(can->GetAmount(), c.units) << c.money;
    EXPECT_EQ(world.services.money, c.money - 5 * c.units) << c.money;
    EXPECT_EQ(level->GetTexts().Size(), static_cast<size_t>(c.units));
  }
  // Clicked again from where the last filling left the gardener (beside the pump, no walk
  // needed): it fills on at once instead of waiting for a walk that never moves.
  world.services.money = 10;
  gardener->AddTaskObject(level->GetPumpId());
  ASSERT_GE(RunIdle(200), 0);
  EXPECT_EQ(can->GetAmount(), 3);
  EXPECT_EQ(world.services.money, 0);

  // Too little money or a full can: the pump is not even queued.
  world.services.money = 4;
  gardener->AddTaskObject(level->GetPumpId());
  EXPECT_TRUE(gardener->GetTasks().empty());

  // Put down beside the pump (off the grid) the can lands on a free cell near it.
  gardener->AddTaskAction(Ware("grass"));
  ASSERT_GE(RunIdle(), 0);
  EXPECT_FALSE(can->IsTaken());
  EXPECT_GE(can->GetCell().j, level->GetGrid().columns - 2);
  EXPECT_NE(level->GetCellValue(can->GetCell().i, can->GetCell().j), 0.0f);
}

}  // namespace
