#include <gtest/gtest.h>

#include <map>

#include "engine/gui/list_ctrl.h"
#include "game/world/field_economy.h"
#include "tests/game/world/animal_fixture.h"

namespace {

using vektest::AnimalFieldTest;
using vektest::RecordingGardener;
using vektest::TypedObject;

// The garden window's three shop rows, as plain lists of items.
class EconomyTest : public AnimalFieldTest {
 protected:
  void SetUp() override {
    AnimalFieldTest::SetUp();
    for (auto [name, count] : {std::pair{"plants", 8u}, {"grass", 2u}, {"animals", 4u}}) {
      auto list = std::make_unique<vek::cListCtrl>(name, nullptr);
      for (unsigned k = 0; k < count; ++k) list->AddItem(k, new vek::cCtrl("item", nullptr), k);
      lists[name] = std::move(list);
    }
    lists["animals"]->SetPos(500.0f, 20.0f, 0);
    lists["animals"]->SetSize(268.0f, 60.0f, 0);
    SetFieldControlFinder([this](const vek::string& window, const vek::string& control) -> vek::cCtrl* {
      if (window != "garden" || missing == control) return nullptr;
      auto it = lists.find(control);
      return it == lists.end() ? nullptr : it->second.get();
    });
  }
  bool Enabled(const char* list, unsigned k) { return !lists[list]->GetItem(k)->GetState(vek::cCtrl::e_Disabled); }
  std::string Row(const char* list) {
    std::string s;
    for (unsigned k = 0; k < lists[list]->GetItemCount(); ++k) s += Enabled(list, k) ? '1' : '0';
    return s;
  }
  TypedObject* AddCar(vek::i32 state = 1) {
    auto* car = new TypedObject(level.get(), e_TypeCar, 100.0f, 60.0f);
    car->SetPosition(200.0f, 300.0f);
    car->SetState(state);
    return car;
  }
  // Frames of the field until the transfer list holds n records (or the limit).
  int FramesUntilCount(size_t n, int limit) {
    for (int f = 1; f <= limit; ++f) {
      world.Run(*level, 1);
      if (level->GetTransfers().size() == n) return f;
    }
    return -1;
  }

  std::map<std::string, std::unique_ptr<vek::cListCtrl>> lists;
  std::string missing;
};

TEST_F(EconomyTest, BuyingAtExactlyTheMoneySucceedsAndOneLessDoesNot) {
  const struct {
    vek::i32 kind, money;
    bool bought;
    vek::i32 moneyAfter;
    vek::u32 type;
    vek::i32 sound;
  } cases[] = {
      {0, 100, true, 0, e_TypeOstrich, 17}, {0, 99, false, 99, e_TypeOstrich, -1},
      {1, 500, true, 300, e_TypeGoat, 15},  {3, 400, true, 0, e_TypePeacock, 19},
      {2, 300, true, 0, e_TypeHive, 29},    {3, 0, false, 0, e_TypePeacock, -1},
  };
  for (const auto& c : cases) {
    level->Clear();
    auto& s = world.services;
    s.money = c.money;
    s.sounds.clear();
    s.animalsBought.clear();
    s.decKinds.clear();
    s.hintSteps.clear();
    EXPECT_EQ(level->BuyAnimal(c.kind), c.bought) << c.kind << " with " << c.money;
    EXPECT_EQ(s.money, c.moneyAfter);
    EXPECT_EQ(CountOfType(c.type), c.bought ? 1u : 0u);
    if (!c.bought) {
      EXPECT_TRUE(s.sounds.empty());
      EXPECT_EQ(level->GetTexts().Size(), 0u);
      continue;
    }
    cObject* o = level->FindObjectAt(kNoCell, c.type);
    EXPECT_EQ(o->GetState(), c.type == e_TypeHive ? 3 : 8);
    EXPECT_EQ(s.sounds, std::vector<vek::i32>{c.sound});
    EXPECT_EQ(s.animalsBought, std::vector<vek::i32>{c.kind});
    EXPECT_EQ(s.decKinds, std::vector<vek::i32>{c.kind});
    EXPECT_EQ(s.hintSteps, (std::vector<std::pair<vek::i32, vek::i32>>{{4, 0}, {7, 0}, {9, 0}, {12, 0}}));
    ASSERT_EQ(level->GetTexts().Size(), 1u);
    const auto& text = level->GetTexts().m_Items.back();
    EXPECT_EQ(text.text, "-$" + std::to_string(s.animalPrices[c.kind]));
    EXPECT_FLOAT_EQ(text.position.x, 500.0f + (static_cast<vek::f32>(c.kind) + 0.5f) * 67.0f - 3.0f);
    EXPECT_FLOAT_EQ(text.position.y, 98.0f);
  }
}

TEST_F(EconomyTest, AnimalsComeOnTheirCellsAndOnlyTheFirstStartsQuickly) {
  world.services.money = 1000;
  ASSERT_TRUE(level->BuyAnimal(0));
  ASSERT_TRUE(level->BuyAnimal(0));
  ASSERT_TRUE(level->BuyAnimal(1));
  std::vector<cAnimal*> animals;
  for (cObject* o : level->GetRegistry())
    if (auto* a = dynamic_cast<cAnimal*>(o)) animals.push_back(a);
  ASSERT_EQ(animals.size(), 3u);
  EXPECT_TRUE(animals[0]->IsQuickStart());
  EXPECT_FALSE(animals[1]->IsQuickStart());
  EXPECT_FALSE(animals[2]->IsQuickStart());
  EXPECT_EQ(animals[0]->GetCell(), (cCell{1, 7}));
  EXPECT_EQ(animals[2]->GetCell(), (cCell{6, 7}));
  // Appearing waits for the field to have the focus.
  world.services.fieldFocused = false;
  world.Run(*level, 30);
  EXPECT_EQ(animals[0]->GetState(), 8);
  world.services.fieldFocused = true;
  world.Run(*level, 30);
  EXPECT_EQ(animals[0]->GetState(), 8) << "0.5 s of delay, then the growth at 1.5 a second";
  ASSERT_TRUE(RunUntil([&] { return animals[0]->GetState() == 1; }, 10));
}

TEST_F(EconomyTest, WithoutTheAnimalsRowTheAnimalIsBoughtWithoutAPriceText) {
  missing = "animals";
  world.services.money = 300;
  EXPECT_TRUE(level->BuyAnimal(1));
  EXPECT_EQ(world.services.money, 100);
  EXPECT_EQ(CountOfType(e_TypeGoat), 1u);
  EXPECT_EQ(level->GetTexts().Size(), 0u);
}

TEST_F(EconomyTest, WithoutTheGamesOwnPricesTheBalanceTableHolds) {
  auto& s = world.services;
  for (vek::i32& p : s.animalPrices) p = -1;
  s.balance.goatPrice = 120;
  s.money = 119;
  EXPECT_FALSE(level->BuyAnimal(1));
  s.money = 120;
  EXPECT_TRUE(level->BuyAnimal(1));
  EXPECT_EQ(s.money, 0);
  EXPECT_EQ(level->GetTexts().m_Items.back().text, "-$120");
}

TEST_F(EconomyTest, AFieldHoldsTwoHivesAndAThirdCostsNothing) {
  AddGrass({0, 4});
  world.services.money = 1000;
  EXPECT_TRUE(level->BuyAnimal(2));
  EXPECT_TRUE(level->BuyAnimal(2));
  EXPECT_EQ(world.services.money, 400);
  EXPECT_FALSE(level->BuyAnimal(2));
  EXPECT_EQ(world.services.money, 400) << "no place, no payment";
  EXPECT_EQ(level->AddHive(), 0u);
  EXPECT_EQ(CountOfType(e_TypeHive), 2u);
  EXPECT_EQ(CountOfType(e_TypeBee), 2u);
  EXPECT_NE(level->FindObjectAt({0, 4}, e_TypeHive), level->GetFirstObject());
  EXPECT_NE(level->FindObjectAt({2, 4}, e_TypeHive), level->GetFirstObject());
  for (vek::i32 row : {0, 1, 2, 3}) EXPECT_EQ(level->GetCellValue(row, 4), 0.0f) << row;
  level->DeleteQueuedObjects();
  EXPECT_EQ(level->FindObjectAt({0, 4}, e_TypePlant), level->GetFirstObject()) << "the grass under the hive is gone";
}

TEST_F(EconomyTest, ShopRowsFollowMoneyUnlocksAndWhatStandsOnTheField) {
  auto& s = world.services;
  struct Case {
    const char* name;
    vek::i32 money, highest, ostriches, hives, mode;
    const char *plants, *grass, *animals;
  } cases[] = {
      {"poor", 0, 7, 0, 0, 0, "00000000", "00", "0000"},
      {"price met exactly", 15, 7, 0, 0, 0, "11100000", "00", "0000"},
      {"locked sorts", 1000, 1, 0, 0, 0, "11000000", "00", "1111"},
      {"grass needs an animal", 1000, 7, 1, 0, 0, "11111111", "10", "1111"},
      {"flowers need a hive", 1000, 7, 0, 1, 0, "11111111", "01", "1111"},
      {"grass price not met", 19, 7, 1, 1, 0, "11100000", "00", "0000"},
      {"two hives", 1000, 7, 1, 2, 0, "11111111", "11", "1101"},
      {"after the level", 0, 0, 0, 0, 2, "11111111", "11", "1111"},
      {"after the level, two hives", 0, 0, 0, 2, 2, "11111111", "11", "1101"},
  };
  for (const Case& c : cases) {
    s.money = c.money;
    s.highestPlant = c.highest;
    s.playMode = c.mode;
    level->m_KindCounts[0] = c.ostriches;
    level->m_KindCounts[1] = c.hives;
    level->UpdateToolbars();
    EXPECT_EQ(Row("plants"), c.plants) << c.name;
    EXPECT_EQ(Row("grass"), c.grass) << c.name;
    EXPECT_EQ(Row("animals"), c.animals) << c.name;
  }
  level->m_KindCounts[0] = level->m_KindCounts[1] = 0;
  // A missing row: nothing changes.
  missing = "grass";
  s.money = 0;
  s.playMode = 0;
  level->UpdateToolbars();
  EXPECT_EQ(Row("animals"), "1101");
}

TEST_F(EconomyTest, TransferTimingAndTargets) {
  const vek::i32 egg = static_cast<vek::i32>(Ware("egg"));
  world.services.houseRects[5] = {100.0f, 100.0f, 40.0f, 40.0f};
  world.services.houseRects[7] = {300.0f, 100.0f, 40.0f, 40.0f};
  struct Case {
    const char* name;
    vek::i32 source, sourceId, target, targetId;
    int frames;  // frames until the record is gone: the start frame, then the flight
    bool toCar, toFactory;
  } cases[] = {
      {"factory to car", 2, 5, 0, 0, 25, true, false},
      {"factory to factory", 2, 5, 2, 7, 13, false, true},
      {"factory to no factory", 2, 5, 2, 0, 13, false, false},
      {"car away", 0, 0, 1, 0, 25, false, false},
      {"car to car", 0, 0, 0, 0, 1, false, false},
      {"factory away", 2, 5, 1, 0, 1, false, false},
      {"unknown house", 2, 99, 0, 0, 25, true, false},
  };
  for (const Case& c : cases) {
    level->Clear();
    AddCar();
    auto& s = world.services;
    s.carLoad.clear();
    s.decWares.clear();
    s.factoryInputs.clear();
    level->AddTransfer(egg, c.source, c.sourceId, c.target, c.targetId);
    EXPECT_EQ(level->CountTransfers(egg), 1) << c.name << ": counted before it starts";
    const int frames = FramesUntilCount(0, 60);
    EXPECT_GE(frames, c.frames) << c.name;
    EXPECT_LE(frames, c.frames + 1) << c.name;
    EXPECT_EQ(s.carLoad, c.toCar ? std::vector<vek::i32>{egg} : std::vector<vek::i32>{}) << c.name;
    EXPECT_EQ(s.decWares, c.toCar ? std::vector<vek::i32>{egg} : std::vector<vek::i32>{}) << c.name;
    EXPECT_EQ(s.factoryInputs, c.toFactory ? std::vector<vek::u32>{7} : std::vector<vek::u32>{}) << c.name;
  }
}

TEST_F(EconomyTest, WaresForTheCarWaitWhileItIsAwayAndAwayWaresLeaveApart) {
  const vek::i32 egg = static_cast<vek::i32>(Ware("egg")), milk = static_cast<vek::i32>(Ware("milk"));
  TypedObject* car = AddCar(3);
  level->AddTransfer(egg, 2, 5, 0, 0);
  world.Run(*level, 60);
  EXPECT_EQ(level->CountTransfers(egg), 1);
  EXPECT_FALSE(level->GetTransfers().front().IsStarted());
  car->SetState(1);
  EXPECT_GT(FramesUntilCount(0, 60), 0);

  // Two away records queued together: the second starts once the first has flown 0.3 s.
  level->AddTransfer(egg, 0, 0, 1, 0);
  level->AddTransfer(milk, 0, 0, 1, 0);
  const size_t flyers = world.services.flyers->Size();
  world.Run(*level, 1);
  EXPECT_TRUE(level->GetTransfers().front().IsStarted());
  EXPECT_FALSE(level->GetTransfers().back().IsStarted());
  EXPECT_EQ(world.services.flyers->Size(), flyers + 1);
  int frames = 0;
  while (!level->GetTransfers().back().IsStarted() && frames < 60) {
    world.Run(*level, 1);
    ++frames;
  }
  EXPECT_GE(level->GetTransfers().front().value, 0.3f - 1e-4f);
  EXPECT_LE(level->GetTransfers().front().value, 0.3f + 2.0f / 30.0f);
  EXPECT_EQ(level->CountTransfers(milk), 1) << "started records are counted too";
}

TEST_F(EconomyTest, SaleMoneyStandsBesideTheCar) {
  level->ShowSaleMoney(120);
  EXPECT_EQ(level->GetTexts().Size(), 0u) << "no car on the field";
  TypedObject* car = AddCar();
  level->ShowSaleMoney(120);
  ASSERT_EQ(level->GetTexts().Size(), 1u);
  const vek::rectf r = car->GetRect();
  EXPECT_EQ(level->GetTexts().m_Items.back().text, "+$120");
  EXPECT_FLOAT_EQ(level->GetTexts().m_Items.back().position.x, r.x + r.w);
  EXPECT_FLOAT_EQ(level->GetTexts().m_Items.back().position.y, r.y + r.h * 0.5f);
  car->SetSize(0.0f, 0.0f);
  level->ShowSaleMoney(5);
  EXPECT_FLOAT_EQ(level->GetTexts().m_Items.back().position.x, car->GetPosition().x);
}

TEST_F(EconomyTest, NeedFlagsCalmAnimalsTendPlantsAndClearProducts) {
  auto& s = world.services;
  cMissionTask eggs;
  eggs.ware = static_cast<vek::i32>(Ware("egg"));
  eggs.count = 2;
  s.tasks = {eggs};
  auto* o = Add<cOstrich>({1, 7});
  auto* g = Add<cGoat>({6, 7});
  cPlant* grass = AddGrass({5, 5});
  world.Run(*level, 2);
  o->SetState(3);
  g->SetState(3);
  world.Run(*level, 1);
  ASSERT_NE(g->GetFood(), 0u);
  auto* lonely = new cEgg(level.get(), {0, 0});
  auto* nib = new cNib(level.get(), {0, 1});
  cPlant* tomato = static_cast<cPlant*>(level->FindObject(level->AddPlant(0, {4, 0})));
  tomato->OnStageChange(0);  // waits for water
  const vek::u32 emitters = CountEmitters();
  level->UpdateNeedFlags(nullptr);
  EXPECT_TRUE(o->IsNeeded());
  EXPECT_EQ(o->GetState(), 3);
  EXPECT_FALSE(g->IsNeeded());
  EXPECT_EQ(g->GetState(), 1);
  EXPECT_EQ(g->GetFood(), 0u);
  EXPECT_EQ(grass->GetEater(), 0u) << "the goat's grass is free again";
  EXPECT_NE(lonely->GetState(), 2) << "eggs are still wanted";
  EXPECT_EQ(nib->GetState(), 2);
  EXPECT_EQ(tomato->GetState(), 1) << "tended as if watered";
  EXPECT_GE(CountEmitters(), emitters + 3);

  // Only the objects of the given task: the egg task used up.
  s.tasks[0].count = 0;
  g->SetNeeded(true);
  level->UpdateNeedFlags(&s.tasks[0]);
  EXPECT_FALSE(o->IsNeeded());
  EXPECT_EQ(o->GetState(), 1);
  EXPECT_TRUE(g->IsNeeded()) << "milk has no task: not the given one";
  EXPECT_EQ(lonely->GetState(), 2);
}

TEST_F(EconomyTest, SeedChoiceGoesToTheGardenerUnlessATrainingHintMoves) {
  auto& s = world.services;
  EXPECT_FALSE(level->SelectSeed(Ware("grass"))) << "no gardener";
  level->BuildFixedObjects();
  auto* g = static_cast<RecordingGardener*>(level->FindObject(level->GetGardenerId()));
  s.training = true;
  s.hintIndex = 2;
  s.hintAnimating = true;
  EXPECT_FALSE(level->SelectSeed(Ware("grass")));
  s.money = 1000;
  EXPECT_FALSE(level->BuyAnimal(0));
  EXPECT_EQ(s.money, 1000);
  s.hintAnimating = false;
  EXPECT_TRUE(level->SelectSeed(Ware("grass")));
  EXPECT_EQ(g->log.back(), "seed " + std::to_string(Ware("grass")));
  EXPECT_EQ(s.sounds.back(), 11);
  EXPECT_EQ(s.hintSteps, (std::vector<std::pair<vek::i32, vek::i32>>{{4, 0}, {0, 0}, {5, 0}}));
  s.hintSteps.clear();
  EXPECT_TRUE(level->SelectSeed(Ware("flowers")));
  EXPECT_EQ(s.hintSteps, (std::vector<std::pair<vek::i32, vek::i32>>{{4, 0}, {0, 0}, {9, 1}}));
}

}  // namespace
