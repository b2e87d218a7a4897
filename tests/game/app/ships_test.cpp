// Ships to the island and the water pump's opening.
#include "game/app/hints.h"
#include "game/app/ships.h"
#include "tests/game/app/rules_fixture.h"

namespace vektest {
namespace {

struct ShipWorld : iRulesWorld {
  void* AddShipEmitter() override { return &emitters[next++]; }
  void FinishEmitter(void* e) override { finished.insert(e); }
  void AddPeople(int n) override { arrived.push_back(n); }
  void PlaySound(int id) override { sounds.push_back(id); }
  void BurstAt(const vek::string& what, int n) override { bursts.push_back(what + " " + std::to_string(n)); }
  bool FindTarget(const vek::string& target, vek::f32* rect) override {
    if (target != "ship" || !shipTarget) return false;
    rect[0] = rect[1] = rect[2] = rect[3] = 1.0f;
    return true;
  }
  int emitters[16] = {};
  int next = 0;
  bool shipTarget = false;
  std::set<void*> finished;
  std::vector<int> arrived, sounds;
  std::vector<std::string> bursts;
};

class ShipsTest : public RulesFixture {
 protected:
  void SetUp() override {
    RulesFixture::SetUp();
    SetRulesWorld(&world);
    SetCurrentPlayer(&player);
  }
  void TearDown() override {
    SetCurrentPlayer(nullptr);
    RulesFixture::TearDown();
  }
  ShipWorld world;
  cPlayer player{"plr000"};
  cHints hints;
};

TEST_F(ShipsTest, AShipWithPeopleSoundsOnceAndHandsThemOverOnce) {
  cShips ships;
  ships.Add(3, &hints);
  int steps = 0, hornAt = 0;
  while (!ships.List().empty() && steps < 1000) {
    ships.Update();
    ++steps;
    if (!hornAt && !world.sounds.empty()) hornAt = steps;
  }
  EXPECT_NEAR(hornAt, 50, 1);  // a quarter of the way
  EXPECT_NEAR(steps, 200, 1);
  EXPECT_EQ(world.sounds, std::vector<int>{27});
  EXPECT_EQ(world.arrived, std::vector<int>{3});
  EXPECT_EQ(world.finished.size(), 1u);
}

TEST_F(ShipsTest, SceneryShipsAreSilentAndTheTipSpeedsTheFirstShip) {
  cShips ships;
  ships.Add(0, &hints);
  EXPECT_EQ(ships.List()[0].speed, cShips::kSceneSpeed);  // no ship to point at yet: no tip
  world.shipTarget = true;
  ships.Add(2, &hints);
  EXPECT_EQ(ships.List()[0].speed, 2.0f * cShips::kSceneSpeed);
  for (int i = 0; i < 1000; ++i) ships.Update();
  EXPECT_EQ(world.arrived, std::vector<int>{2});
  EXPECT_EQ(world.sounds, std::vector<int>{27});
  ships.Clear();
  EXPECT_TRUE(ships.List().empty());
  EXPECT_EQ(world.finished.size(), 2u);
}

TEST_F(ShipsTest, TheWaterPumpOpensOnce) {
  cShips::OpenWaterPump();
  cShips::OpenWaterPump();
  EXPECT_EQ(host.pumpState, 1);
  EXPECT_EQ(world.bursts, (std::vector<std::string>{"can 50", "pump 50"}));
  EXPECT_EQ(world.sounds, std::vector<int>{12});
}

}  // namespace
}  // namespace vektest
