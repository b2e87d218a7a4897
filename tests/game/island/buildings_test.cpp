// The island's building chain driven headless with a fake island.
#include <gtest/gtest.h>

#include <random>
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

TEST(Buildings, FactoryWorksItsTimeInFixedStepsPerWare) {
  cFakeIsland island;
  cFactory f("factory00", "", &island);
  f.SetInput("apple");
  f.SetOutput("juice", 7.0f);
  EXPECT_EQ(f.GetWorkSteps(), 210);
  f.SetFrames(1);
  f.SetState(2);
  f.AddInput(2);
  EXPECT_EQ(f.GetState(), 3);
  for (int i = 0; i < 209; ++i) f.Step();
  EXPECT_EQ(f.GetProduced(), 0);
  f.Step();
  EXPECT_EQ(f.GetProduced(), 1);
  EXPECT_EQ(f.GetState(), 3);  // the second ware goes straight in
  for (int i = 0; i < 210; ++i) f.Step();
  EXPECT_EQ(f.GetProduced(), 2);
  EXPECT_EQ(f.GetState(), 2);

  cFactory copy("factory00", "", &island);
  copy.CopyFrom(f);
  EXPECT_EQ(copy.GetInput(), "apple");
  EXPECT_EQ(copy.GetOutput(), "juice");
  EXPECT_EQ(copy.GetWorkSteps(), 210);
  EXPECT_EQ(copy.GetCategory(), 3);
}
