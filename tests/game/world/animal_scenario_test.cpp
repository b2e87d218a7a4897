// A field played through with an ostrich: bought, hungry, fed with grass, laying an egg, and
// at rest once the mission has its eggs.
#include <gtest/gtest.h>

#include "engine/gui/list_ctrl.h"
#include "game/world/field_economy.h"
#include "game/world/hive.h"
#include "tests/game/world/animal_fixture.h"

namespace {

using vektest::AnimalFieldTest;
constexpr int kPerSecond = 30;

TEST_F(AnimalFieldTest, OstrichScenarioHungerGrassEggAndTheMissionsEnd) {
  auto& s = world.services;
  vek::cListCtrl grassRow("grass", nullptr), animalsRow("animals", nullptr), plantsRow("plants", nullptr);
  for (unsigned k = 0; k < 4; ++k) animalsRow.AddItem(k, new vek::cCtrl("item", nullptr), k);
  for (unsigned k = 0; k < 2; ++k) grassRow.AddItem(k, new vek::cCtrl("item", nullptr), k);
  plantsRow.AddItem(0, new vek::cCtrl("item", nullptr), 0);
  animalsRow.SetPos(400.0f, 10.0f, 0);
  animalsRow.SetSize(268.0f, 64.0f, 0);
  SetFieldControlFinder([&](const vek::string&, const vek::string& name) -> vek::cCtrl* {
    return name == "grass" ? &grassRow : name == "animals" ? &animalsRow : name == "plants" ? &plantsRow : nullptr;
  });
  auto grassOn = [&] { return !grassRow.GetItem(0)->GetState(vek::cCtrl::e_Disabled); };

  cMissionTask eggs;
  eggs.ware = static_cast<vek::i32>(Ware("egg"));
  eggs.count = 1;
  s.tasks = {eggs};
  s.money = 150;
  level->BuildFixedObjects();
  level->UpdateToolbars();
  EXPECT_FALSE(grassOn()) << "no animal to eat grass yet";

  // 1. The ostrich is bought and appears.
  ASSERT_TRUE(level->BuyAnimal(cAnimal::e_KindOstrich));
  EXPECT_EQ(s.money, 50);
  EXPECT_EQ(level->GetTexts().m_Items.back().text, "-$100");
  EXPECT_TRUE(grassOn()) << "grass can be sown now";
  auto* ostrich = static_cast<cAnimal*>(level->FindObjectAt(kNoCell, e_TypeOstrich));
  EXPECT_EQ(ostrich->GetState(), 8);
  EXPECT_TRUE(ostrich->IsQuickStart());
  ASSERT_TRUE(RunUntil([&] { return ostrich->GetState() == 1; }, 2 * kPerSecond));
  EXPECT_FALSE(ostrich->IsQuickStart());
  EXPECT_FLOAT_EQ(ostrich->GetHungerTimer().target, 1.0f) << "the first ostrich gets hungry at once";
  EXPECT_FLOAT_EQ(ostrich->GetProductTimer().target, 1.8f);

  // 2. Hungry, with no grass: it searches and calls for food.
  ASSERT_TRUE(RunUntil([&] { return ostrich->GetState() == 3; }, 2 * kPerSecond));
  world.Run(*level, 2 * kPerSecond);
  EXPECT_EQ(ostrich->GetState(), 3);
  EXPECT_EQ(ostrich->GetFood(), 0u);
  EXPECT_TRUE(ostrich->GetStateTimer().IsRunning()) << "the search ring runs";

  // 3. Grass is sown in the pen (the gardener's work, paid here): the ostrich runs to it and eats it.
  cPlant* grass = AddGrass({2, 8});
  s.SpendMoney(20);
  const vek::u32 grassId = grass->GetId();
  world.Run(*level, 1);
  EXPECT_EQ(ostrich->GetFood(), grassId);
  EXPECT_FLOAT_EQ(ostrich->GetWalk().speed, 60.0f) << "it runs at three times its pace";
  ASSERT_TRUE(RunUntil([&] { return ostrich->GetState() == 4; }, 5 * kPerSecond));
  ASSERT_TRUE(RunUntil([&] { return ostrich->GetState() != 4; }, 2 * kPerSecond));
  EXPECT_EQ(ostrich->GetState(), 1);
  EXPECT_FALSE(level->IsObjectValid(grassId));
  EXPECT_GT(ostrich->GetHungerTimer().target, 16.0f) << "fed for a while";

  // 4. The egg comes soon after and lies near the ostrich while the mission wants it.
  ASSERT_TRUE(RunUntil([&] { return CountOfType(e_TypeEgg) == 1; }, 3 * kPerSecond));
  cObject* egg = level->FindObjectAt(kNoCell, e_TypeEgg);
  const cCell at = egg->GetCell();
  const cCell by = ostrich->GetCell();
  EXPECT_LE(std::abs(at.i - by.i), 1);
  EXPECT_LE(std::abs(at.j - by.j), 1);
  EXPECT_EQ(egg->GetWareId(), Ware("egg"));

  // 5. The egg is delivered: the task is done, the egg's kind is no longer needed.
  s.tasks[0].count = 0;
  level->UpdateNeedFlags(&s.tasks[0]);
  level->DeleteQueuedObjects();
  EXPECT_EQ(CountOfType(e_TypeEgg), 0u);
  EXPECT_FALSE(ostrich->IsNeeded());
  s.tasks.clear();  // the finished task leaves the list
  s.sounds.clear();
  world.Run(*level, 60 * kPerSecond);
  EXPECT_EQ(ostrich->GetState() == 3 || ostrich->GetState() == 6, false) << "neither hungry nor laying";
  EXPECT_EQ(CountOfType(e_TypeEgg), 0u);
  EXPECT_TRUE(s.sounds.empty()) << "no calls for a product nobody wants";
  EXPECT_EQ(s.money, 30);
}

TEST_F(AnimalFieldTest, HiveScenarioBeesHoneyTheMinuteLossAndTheTwoMinuteVanish) {
  RegisterHiveMakers();
  auto& s = world.services;
  vek::cListCtrl grassRow("grass", nullptr), animalsRow("animals", nullptr), plantsRow("plants", nullptr);
  for (unsigned k = 0; k < 4; ++k) animalsRow.AddItem(k, new vek::cCtrl("item", nullptr), k);
  for (unsigned k = 0; k < 2; ++k) grassRow.AddItem(k, new vek::cCtrl("item", nullptr), k);
  SetFieldControlFinder([&](const vek::string&, const vek::string& name) -> vek::cCtrl* {
    return name == "grass" ? &grassRow : name == "animals" ? &animalsRow : name == "plants" ? &plantsRow : nullptr;
  });
  auto flowersOn = [&] { return !grassRow.GetItem(1)->GetState(vek::cCtrl::e_Disabled); };
  cMissionTask honey;
  honey.ware = static_cast<vek::i32>(Ware("honey"));
  honey.count = 1;
  s.tasks = {honey};
  s.money = 350;
  level->BuildFixedObjects();
  level->UpdateToolbars();
  EXPECT_FALSE(flowersOn()) << "no hive for flowers yet";

  // 1. The hive is bought with its bee and appears once the field has the focus.
  s.fieldFocused = false;
  ASSERT_TRUE(level->BuyAnimal(cAnimal::e_KindHive));
  EXPECT_EQ(s.money, 50);
  EXPECT_EQ(s.sounds.back(), 29);
  EXPECT_TRUE(flowersOn());
  auto* hive = dynamic_cast<cHive*>(level->FindObjectAt(kNoCell, e_TypeHive));
  ASSERT_NE(hive, nullptr);
  const vek::u32 hiveId = hive->GetId();
  auto* bee = dynamic_cast<cBee*>(level->FindObjectAt(kNoCell, e_TypeBee));
  ASSERT_NE(bee, nullptr);
  const vek::u32 beeId = bee->GetId();
  EXPECT_EQ(bee->GetHiveId(), hiveId);
  EXPECT_EQ(hive->GetCell(), (cCell{0, 4}));
  world.Run(*level, 2 * kPerSecond);
  EXPECT_EQ(hive->GetState(), cHive::e_Appearing);
  s.fieldFocused = true;
  ASSERT_TRUE(RunUntil([&] { return hive->GetState() == cHive::e_Working; }, 2 * kPerSecond));

  // 2. Flowers are sown; once ripe the bee brings their honey home.
  cPlant* flowers = static_cast<cPlant*>(level->FindObject(level->AddPlant(Ware("flowers"), {3, 6})));
  s.SpendMoney(50);
  ASSERT_TRUE(RunUntil([&] { return bee->GetState() == cBee::e_Flying; }, 10 * kPerSecond));
  EXPECT_EQ(bee->GetTarget(), flowers->GetId());
  ASSERT_TRUE(RunUntil([&] { return hive->IsReady(); }, 30 * kPerSecond));
  EXPECT_EQ(hive->GetHoney(), 1);

  // 3. The flowers wither away; the honey nobody takes is lost after a minute.
  flowers->SetState(2);
  int steps = 0;
  ASSERT_TRUE(RunUntil([&] { return ++steps, hive->GetHoney() == 0; }, 70 * kPerSecond));
  EXPECT_NEAR(steps / 30.0f, 60.0f, 0.1f);

  // 4. With no flowers for two minutes the hive vanishes with its bee.
  steps = 0;
  ASSERT_TRUE(RunUntil([&] { return ++steps, hive->GetState() == cHive::e_Vanishing; }, 130 * kPerSecond));
  EXPECT_NEAR(steps / 30.0f, 120.0f, 0.2f);
  EXPECT_FALSE(level->IsObjectValid(beeId));
  ASSERT_TRUE(RunUntil([&] { return !level->IsObjectValid(hiveId); }, 2 * kPerSecond));
  EXPECT_EQ(level->CountKind(cAnimal::e_KindHive), 0);
  s.money = 100;
  level->UpdateToolbars();
  EXPECT_FALSE(flowersOn()) << "flowers serve no one without a hive";
}

}  // namespace

