// The island's building chain driven headless with a fake island.
#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <random>
#include <string>
#include <vector>

#include "game/island/buildings.h"

namespace {

class cFakeIsland : public iBuildingOwner {
 public:
  vek::i32 mode = 2;
  bool newest = true;
  int comics = 0;
  std::vector<vek::vec2> fireworks;
  std::vector<std::pair<int, vek::f32>> stages;
  std::mt19937 rng{7};

  vek::i32 GetMode() const override { return mode; }
  vek::f32 RandomFloat(vek::f32 lo, vek::f32 hi) override {
    return std::uniform_real_distribution<vek::f32>(lo, hi)(rng);
  }
  void AddFirework(const vek::vec2& c) override { fireworks.push_back(c); }
  void StartComics() override { ++comics; }
  bool IsNewestLevelBuilding(const cHouse&) const override { return newest; }
  void StartAfterLevelStage(int stage, vek::f32 s) override { stages.emplace_back(stage, s); }

  // Factories and the game around them.
  std::vector<cFactory*> factories;
  std::vector<std::string> wanted;  // wares the mission's active tasks ask for
  std::vector<std::pair<std::string, cFactory*>> transfers;
  std::vector<std::string> messages, texts;
  std::vector<std::pair<int, int>> hints;
  std::vector<int> sounds;
  int trainingEnded = 0;
  vek::i32 bank = 0;
  cFactory* FindFactoryByInput(const vek::string& ware) const override {
    for (cFactory* f : factories)
      if (f->GetInput() == ware) return f;
    return nullptr;
  }
  bool HasMissionTask(const vek::string& ware) const override {
    return std::find(wanted.begin(), wanted.end(), ware) != wanted.end();
  }
  void AddTransfer(const vek::string& ware, cFactory&, cFactory* to) override { transfers.emplace_back(ware, to); }
  void SendWindowMessage(const vek::string& w, vek::i32 p1, vek::i32) override {
    messages.push_back(w + " " + std::to_string(p1));
  }
  void NextHintStep(vek::i32 hint, vek::i32 step) override { hints.emplace_back(hint, step); }
  void PlaySound(vek::i32 i) override { sounds.push_back(i); }
  vek::string GetText(const vek::string& key) override {
    return key == "IncPeople" ? "+%i people" : key == "IncMarket" ? "+%i market" : "";
  }
  void AddFloatingText(const vek::string& t, const vek::vec2&) override { texts.push_back(t); }
  void EndTrainingOnClick() override { ++trainingEnded; }
  vek::i32 GetBank() const override { return bank; }
  void SetBank(vek::i32 b) override { bank = b; }
  std::list<vek::rectf> anchors;
  vek::rectf* AddAnchor() override { return &anchors.emplace_back(); }
  void RemoveAnchor(const vek::rectf* a) override { anchors.remove_if([&](const vek::rectf& r) { return &r == a; }); }
};

void StepUntil(cHouse& h, vek::i32 state, int maxSteps) {
  for (int i = 0; i < maxSteps && h.GetState() != state; ++i) h.Step();
}

}  // namespace

TEST(Buildings, TypeCategoryAndStageFrames) {
  struct Case {
    const char* name;
    vek::i32 category, stage0, stage1;
  } cases[] = {
      {"house00", 1, 6, 4},   {"houses01", 1, 6, 4},   {"market00", 2, 6, 4}, {"institute00", 4, 6, 4},
      {"animals00", 5, 6, 4}, {"statue00", 7, 3, 4},   {"statue01", 7, 6, 4}, {"well00", 0, 6, 4},
  };
  for (const Case& c : cases) {
    cHouse h(c.name, "", nullptr);
    EXPECT_EQ(h.GetType(), 3u);
    EXPECT_EQ(h.GetCategory(), c.category) << c.name;
    EXPECT_EQ(h.GetStageFrame(0), c.stage0) << c.name;
    EXPECT_EQ(h.GetStageFrame(1), c.stage1) << c.name;
    EXPECT_EQ(h.GetStageFrame(2), 0) << c.name;
    EXPECT_EQ(h.GetState(), -1);
  }
  cFactory f("house00", "", nullptr);  // a factory is category 3 whatever its name
  EXPECT_EQ(f.GetType(), 4u);
  EXPECT_EQ(f.GetCategory(), 3);
}

TEST(Buildings, BuyPaysWhatTheBankHoldsAndStartsConstruction) {
  struct Case {
    vek::i32 bank, cost, left;
  } cases[] = {{3, 3, 0}, {40, 35, 5}, {60, 50, 10}};
  for (const Case& c : cases) {
    cFakeIsland island;
    cHouse h("house00", "", &island);
    h.SetPrice(50);
    h.SetState(0);
    vek::i32 bank = c.bank;
    EXPECT_EQ(h.Buy(bank), c.cost) << "bank " << c.bank;
    EXPECT_EQ(bank, c.left);
    EXPECT_EQ(h.GetState(), 1);
  }
}

TEST(Buildings, ConstructionCompletesWhateverTheAnimationLength) {
  // Seven frames reach the built frame; three and one frames never do but still complete.
  for (vek::i32 frames : {7, 3, 1, 0}) {
    cFakeIsland island;
    cHouse h("house00", "", &island);
    h.SetFrames(frames, 10.0f);
    h.SetState(0);
    vek::i32 bank = 100;
    h.SetPrice(10);
    h.Buy(bank);
    StepUntil(h, 2, 300);
    EXPECT_EQ(h.GetState(), 2) << frames << " frames";
    // Completion goes on with the after-level sequence's fifth stage, not its first.
    ASSERT_EQ(island.stages.size(), 1u);
    EXPECT_EQ(island.stages[0].first, 4);
  }
}

TEST(Buildings, NothingIsProcessedInModeZeroOrWithoutAnIsland) {
  cFakeIsland island;
  island.mode = 0;
  cHouse h("house00", "", &island);
  h.SetFrames(1);
  h.SetState(0);
  vek::i32 bank = 100;
  h.Buy(bank);
  for (int i = 0; i < 10; ++i) h.Step();
  EXPECT_EQ(h.GetState(), 1);
  cHouse tmpl("house00", "", nullptr);
  tmpl.SetState(1);
  tmpl.Step();
  EXPECT_EQ(tmpl.GetState(), 1);
}

TEST(Buildings, StatueFiresSixFireworksThenTheComicsOnce) {
  cFakeIsland island;
  cHouse statue("statue00", "", &island);
  statue.SetSize(60.0f, 90.0f);
  statue.SetFrames(1);
  statue.SetState(0);
  vek::i32 bank = 0;
  statue.Buy(bank);
  int comicsStep = -1;
  for (int i = 0; i < 30 * 10; ++i) {
    statue.Step();
    if (island.comics == 1 && comicsStep < 0) {
      comicsStep = i;
      EXPECT_EQ(island.fireworks.size(), 6u);  // the comics follow the last firework
    }
  }
  EXPECT_EQ(island.fireworks.size(), 6u);
  EXPECT_EQ(island.comics, 1);
  // The comics end; fireworks started again (another completion) do not reopen them.
  statue.StartFireworks(6);
  for (int i = 0; i < 30 * 10; ++i) statue.Step();
  EXPECT_EQ(island.comics, 1);

  cFakeIsland other;
  cHouse house("house00", "", &other);
  house.SetFrames(1);
  house.SetState(0);
  house.Buy(bank);
  for (int i = 0; i < 30 * 5; ++i) house.Step();
  EXPECT_EQ(other.fireworks.size(), 3u);
  EXPECT_EQ(other.comics, 0);
}

TEST(Buildings, ContainsIsStrictAndIsNearNeedsAllCorners) {
  cBuild b("house00", nullptr);
  b.SetPosition(10.0f, 20.0f);
  b.SetSize(30.0f, 40.0f);
  EXPECT_TRUE(b.Contains(11.0f, 21.0f));
  EXPECT_FALSE(b.Contains(10.0f, 30.0f));  // on the edge
  EXPECT_FALSE(b.Contains(40.0f, 30.0f));
  EXPECT_TRUE(b.Overlaps({39.0f, 59.0f, 5.0f, 5.0f}));
  EXPECT_FALSE(b.Overlaps({40.0f, 20.0f, 5.0f, 5.0f}));  // touching only
  EXPECT_TRUE(b.IsNear({25.0f, 40.0f}, 25.0f));
  EXPECT_FALSE(b.IsNear({10.0f, 20.0f}, 49.0f));  // three corners, not the fourth (50 away)
}

// A built factory of the olive chain on the fake island.
cFactory& Built(cFakeIsland& island, std::list<cFactory>& store, const char* name, const char* in, const char* out,
                vek::f32 seconds) {
  cFactory& f = store.emplace_back(name, "", &island);
  f.SetInput(in);
  f.SetOutput(out, seconds);
  f.SetFrames(1);
  f.SetState(2);
  island.factories.push_back(&f);
  return f;
}

TEST(Buildings, FactoryRunTakesItsWorkTimeAndOneUnitPerActivation) {
  cFakeIsland island;
  std::list<cFactory> store;
  cFactory& f = Built(island, store, "factory00", "plant01", "product00", 7.0f);
  EXPECT_EQ(f.GetWorkSteps(), 210);
  // Idle without stock: nothing happens and the window hears nothing.
  EXPECT_FALSE(f.Activate());
  EXPECT_TRUE(island.messages.empty());
  f.AddInput(2);
  EXPECT_EQ(f.GetStock(), 2);
  EXPECT_EQ(f.GetState(), 2);  // arriving wares wait for the player
  ASSERT_TRUE(f.Activate());
  EXPECT_EQ(f.GetState(), 3);
  for (int i = 0; i < 209; ++i) f.Step();
  EXPECT_EQ(f.GetProduced(), 0);
  f.Step();
  EXPECT_EQ(f.GetProduced(), 1);
  EXPECT_EQ(f.GetStock(), 1);
  EXPECT_EQ(f.GetState(), 2);  // one unit per run
  for (int i = 0; i < 300; ++i) f.Step();
  EXPECT_EQ(f.GetProduced(), 1);
  // A run stopped half-way loses its time and keeps its unit.
  ASSERT_TRUE(f.Activate());
  for (int i = 0; i < 100; ++i) f.Step();
  EXPECT_TRUE(f.Deactivate());
  EXPECT_FALSE(f.Deactivate());
  EXPECT_EQ(f.GetStock(), 1);
  EXPECT_FLOAT_EQ(f.GetWorkTimer().current, 0.0f);
  EXPECT_EQ(island.hints, (std::vector<std::pair<int, int>>{{3, 0}, {3, 1}, {3, 1}}));

  // No work time: runs of one second.
  cFactory& quick = Built(island, store, "factory09", "x", "y", 0.0f);
  quick.AddInput(1);
  quick.Activate();
  for (int i = 0; i < 29; ++i) quick.Step();
  EXPECT_EQ(quick.GetProduced(), 0);
  quick.Step();
  EXPECT_EQ(quick.GetProduced(), 1);
}

TEST(Buildings, ProductsFollowTheChainOnlyWhileTheMissionWantsTheNextProduct) {
  struct Case {
    bool nextFactory;
    std::vector<std::string> wanted;
    bool toNext;
  } cases[] = {
      {true, {"product01_1"}, true},  // lemonade wanted: the juice goes on
      {true, {"product01"}, false},   // only juice wanted: the car sells it
      {true, {}, false},
      {false, {"product01_1"}, false},  // no lemonade factory on the island
  };
  for (const Case& c : cases) {
    cFakeIsland island;
    island.wanted = c.wanted;
    std::list<cFactory> store;
    cFactory& juice = Built(island, store, "factory01", "plant02", "product01", 1.0f);
    cFactory* lemonade = c.nextFactory ? &Built(island, store, "factory01_1", "product01", "product01_1", 1.0f) : nullptr;
    juice.AddInput(1);
    juice.Activate();
    for (int i = 0; i < 30; ++i) juice.Step();
    ASSERT_EQ(island.transfers.size(), 1u);
    EXPECT_EQ(island.transfers[0].first, "product01");
    EXPECT_EQ(island.transfers[0].second, c.toNext ? lemonade : nullptr);
  }
}

TEST(Buildings, FactoryCopyKeepsTheStockAndStatesRoundTrip) {
  cFakeIsland island;
  std::list<cFactory> store;
  cFactory& f = Built(island, store, "factory00", "plant01", "product00", 7.0f);
  f.SetPrice(60);
  cFactory copy("factory00", "", &island);
  copy.SetStock(4);
  copy.CopyFrom(f);
  EXPECT_EQ(copy.GetInput(), "plant01");
  EXPECT_EQ(copy.GetOutput(), "product00");
  EXPECT_EQ(copy.GetWorkSteps(), 210);
  EXPECT_EQ(copy.GetCategory(), 3);
  EXPECT_EQ(copy.GetPrice(), 60);
  EXPECT_EQ(copy.GetStock(), 4);

  vek::cBitStream out;
  copy.WriteState(out);
  cHouse house("house00", "", &island);
  EXPECT_TRUE(house.WriteState(out));  // houses keep nothing per player
  vek::cBitStream in;
  in.SetData(out.GetBytes().data(), out.GetByteCount());
  EXPECT_EQ(in.GetByteCount(), 4u);
  cFactory back("factory00", "", &island);
  back.ReadState(in);
  EXPECT_EQ(back.GetStock(), 4);
}

TEST(Buildings, RecordRegistersOneAnchorThatTheBuildingGivesBack) {
  cFakeIsland island;
  vek::cBitStream out;
  {
    cHouse h("house00", "", &island);
    h.SetPosition(12.5f, -3.0f);
    h.Write(out);
  }
  EXPECT_EQ(out.GetByteCount(), 8u);
  {
    vek::cBitStream in;
    in.SetData(out.GetBytes().data(), out.GetByteCount());
    cHouse h("house00", "", &island);
    h.Read(in);
    EXPECT_EQ(h.GetPosition(), vek::vec2(12.5f, -3.0f));
    ASSERT_EQ(island.anchors.size(), 1u);
    EXPECT_EQ(h.GetAnchor(), &island.anchors.front());
  }
  EXPECT_TRUE(island.anchors.empty());
}

TEST(Buildings, ClicksTextsAndCompletionEffects) {
  cFakeIsland island;
  island.bank = 60;
  cHouse house("house01", "", &island);
  house.SetFrames(1);
  house.SetValue(2);
  house.SetPrice(50);
  house.SetState(0);
  house.OnEvent(48, 1);  // not available: ignored
  EXPECT_EQ(island.trainingEnded, 0);
  house.SetAvailable(true);
  house.OnEvent(32, 0);
  house.OnEvent(48, 0);
  EXPECT_EQ(house.GetState(), 0);
  house.OnEvent(48, 1);
  EXPECT_EQ(island.trainingEnded, 1);
  EXPECT_EQ(house.GetState(), 1);
  EXPECT_EQ(island.bank, 10);
  house.Step();
  EXPECT_EQ(house.GetState(), 2);
  EXPECT_EQ(island.texts, (std::vector<std::string>{"-$50", "+2 people"}));
  EXPECT_EQ(island.sounds.front(), 13);  // the click, then the construction
  EXPECT_NE(std::find(island.sounds.begin(), island.sounds.end(), 28), island.sounds.end());

  // Set straight to built (the island's refresh): none of the completion effects.
  cFakeIsland quiet;
  cHouse market("market00", "", &quiet);
  market.SetState(2);
  EXPECT_TRUE(quiet.texts.empty());
  EXPECT_EQ(market.GetFireworksLeft(), 0);

  cFakeIsland zoo;
  cHouse animals("animals00", "", &zoo);
  animals.SetFrames(1);
  animals.SetState(0);
  animals.Buy();
  animals.Step();
  EXPECT_EQ(zoo.messages, (std::vector<std::string>{"garden 1"}));
}

TEST(Buildings, SpritesNeedTheirSheet) {
  cHouse h("house00", "", nullptr);
  EXPECT_FALSE(h.AddSprite("houses00", "house00"));  // no textures at all
  EXPECT_TRUE(h.GetSprites().empty());
  EXPECT_FALSE(h.SetSprite(0));
  EXPECT_EQ(h.GetCurrentSprite().texture, 0u);
  EXPECT_EQ(h.GetCurrentSprite().count, 0u);
}
