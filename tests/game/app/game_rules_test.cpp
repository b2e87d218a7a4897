// Money, upgrades, grades, ratings and the mission step on the current profile.
#include "game/app/game_rules.h"
#include "game/app/level_table.h"
#include "tests/game/app/rules_fixture.h"

namespace vektest {
namespace {

struct FakeWorld : iRulesWorld {
  void UpdateToolbars() override { ++toolbars; }
  void ApplyUpgrade(int u, int level) override { applied.push_back({u, level}); }
  int CountBuiltBuildings() override { return buildings; }
  vek::string GetText(const vek::string& key) override { return key; }
  void SwitchWindow(const vek::string& name, int mode) override { windows.push_back(name + " " + std::to_string(mode)); }
  int GetActiveHint() override { return hint; }
  int GetCarState() override { return car; }
  void ClearLevel() override { ++cleared; }
  void LaunchShip() override { ++ships; }
  void BindTaskControls(std::vector<cMissionTask>& tasks) override {
    // Finished tasks leave the list at once here.
    std::erase_if(tasks, [](const cMissionTask& t) { return t.IsEmpty(); });
  }
  int toolbars = 0, buildings = 0, hint = -1, car = 1, cleared = 0, ships = 0;
  std::vector<std::pair<int, int>> applied;
  std::vector<std::string> windows;
};

class GameRulesTest : public RulesWorldFixture<FakeWorld> {
 protected:
  void Steps(int n) {
    for (int i = 0; i < n; ++i) rules.UpdateMission();
  }
  void Pending(std::vector<float> starts) {
    player.mission.Clear();
    player.activeTasks.clear();
    player.nextPendingTask = 0;
    player.elapsedTime = 0.0f;
    for (float s : starts) player.mission.tasks.push_back({-1, 0, 1, nullptr, nullptr, nullptr, s});
  }
};

TEST_F(GameRulesTest, MoneyAndBank) {
  rules.SetMoney(-5);
  EXPECT_EQ(player.money, 0);
  rules.SetMoney(100);
  const int refreshed = world.toolbars;
  rules.SpendMoney(101);
  EXPECT_EQ(player.money, 100);
  EXPECT_EQ(world.toolbars, refreshed);
  rules.SpendMoney(100);
  EXPECT_EQ(player.money, 0);
  EXPECT_EQ(world.toolbars, refreshed + 1);
  player.bank = 50;
  rules.SpendBank(60);
  EXPECT_EQ(player.bank, 50);
  rules.SpendBank(50);
  EXPECT_EQ(player.bank, 0);
}

TEST_F(GameRulesTest, UpgradePricesAndSale) {
  struct Case {
    int upgrade, level, price;
    bool can;
  };
  for (const Case& c : {Case{0, 0, 200, true}, Case{0, 2, 1000, true}, Case{0, 3, 0, false}, Case{2, 1, 700, true},
                        Case{2, 2, 0, false}, Case{5, 1, 500, true}, Case{4, 0, 150, true}, Case{6, 0, 0, true},
                        Case{-1, 0, 0, false}}) {
    if (c.upgrade >= 0 && c.upgrade < 6) player.upgradeLevels[c.upgrade] = c.level;
    EXPECT_EQ(rules.GetUpgradePrice(c.upgrade), c.price) << c.upgrade << " " << c.level;
    EXPECT_EQ(rules.CanBuyUpgrade(c.upgrade), c.can) << c.upgrade << " " << c.level;
  }
  player.upgradeLevels = {0, 0, 0, 0, 0, 0};
  EXPECT_EQ(rules.GetUpgradesForSale(), (std::vector<int>{2, 4, 0, 3, 1, 5}));
  player.upgradeLevels = {1, 0, 2, 1, 1, 3};  // prices 600, 300, -, 400, 400, -
  EXPECT_EQ(rules.GetUpgradesForSale(), (std::vector<int>{1, 3, 4, 0}));
  rules.BuyUpgrade(1);
  rules.BuyUpgrade(5);  // at the top already
  EXPECT_EQ(player.upgradeLevels[1], 1);
  EXPECT_EQ(world.applied, (std::vector<std::pair<int, int>>{{1, 1}}));
  EXPECT_EQ(player.bank, 0);  // the window pays, not the purchase
}

TEST_F(GameRulesTest, TimeGradeAndClock) {
  struct Case {
    float limit, elapsed;
    int grade;
    float fill;
  };
  for (const Case& c : {Case{0, 500, 0, 0}, Case{100, 50, 0, 0.5f}, Case{100, 100, 0, 0}, Case{100, 125, 1, 0.5f},
                        Case{100, 150, 2, 0}, Case{100, 400, 2, 0}}) {
    player.mission.timeLimit = c.limit;
    player.elapsedTime = c.elapsed;
    EXPECT_EQ(rules.GetTimeGrade(), c.grade) << c.limit << " " << c.elapsed;
    EXPECT_FLOAT_EQ(rules.GetTimeGradeProgress(), c.fill) << c.limit << " " << c.elapsed;
  }
}

TEST_F(GameRulesTest, Ratings) {
  struct Case {
    int count;
    const char* text;
    int progress;
    bool below;
  };
  for (const Case& c : {Case{0, "Rate0", 0, true}, Case{7, "Rate1", 2, true}, Case{20, "Rate4", 5, true},
                        Case{21, "Rate4", 5, false}}) {
    player.timeGrades.assign(static_cast<size_t>(c.count), 0);
    player.timeGrades.push_back(1);  // a level out of time does not count
    vek::string text;
    int progress = -1;
    EXPECT_EQ(rules.GetRate(&text, &progress), c.below);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(progress, c.progress);
  }
  for (const Case& c : {Case{0, "IslandRate0", 0, true}, Case{15, "IslandRate1", 5, true},
                        Case{40, "IslandRate4", 10, true}, Case{41, "IslandRate4", 10, false}}) {
    world.buildings = c.count;
    vek::string text;
    int progress = -1;
    EXPECT_EQ(rules.GetIslandRate(&text, &progress), c.below);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(progress, c.progress);
  }
  EXPECT_STREQ(cGameRules::GetMedalArea(1), "silver");
  EXPECT_STREQ(cGameRules::GetMedalArea(2), "bronze");
  EXPECT_STREQ(cGameRules::GetMedalArea(7), "gold");
}

TEST_F(GameRulesTest, FinishedLevelsKeepTheirGradeForTheRating) {
  player.timeGrades.clear();
  rules.RecordTimeGrade(0, 0);
  int filled = -1;
  rules.GetRate(nullptr, &filled);
  EXPECT_EQ(filled, 1) << "a gold level fills the first star";
  // A replay keeps the better grade; a worse one does not take the star away.
  rules.RecordTimeGrade(0, 2);
  rules.RecordTimeGrade(1, 1);
  rules.RecordTimeGrade(1, 0);
  EXPECT_EQ(player.timeGrades, (std::vector<vek::i32>{0, 0}));
  // A profile whose list stops short: the levels between count as bronze, not gold.
  rules.RecordTimeGrade(4, 0);
  EXPECT_EQ(player.timeGrades, (std::vector<vek::i32>{0, 0, 2, 2, 0}));
  // Out of range levels and grades.
  rules.RecordTimeGrade(-1, 0);
  rules.RecordTimeGrade(45, 0);
  rules.RecordTimeGrade(5, 7);
  EXPECT_EQ(player.timeGrades, (std::vector<vek::i32>{0, 0, 2, 2, 0, 2}));
  rules.GetRate(nullptr, &filled);
  EXPECT_EQ(filled, 3);
}

TEST_F(GameRulesTest, WavyPathAlternatesAcrossTheLine) {
  const auto keys = cGameRules::BuildWavyPath(0, 0, 100, 0, 2.0f, 2, 10.0f);
  ASSERT_EQ(keys.size(), 4u);
  EXPECT_FLOAT_EQ(keys[1].x, 25.0f);
  EXPECT_FLOAT_EQ(keys[1].y, 10.0f);
  EXPECT_FLOAT_EQ(keys[1].time, 0.5f);
  EXPECT_FLOAT_EQ(keys[2].x, 75.0f);
  EXPECT_FLOAT_EQ(keys[2].y, -10.0f);
  EXPECT_FLOAT_EQ(keys[3].x, 100.0f);
  EXPECT_FLOAT_EQ(keys[3].time, 2.0f);
  EXPECT_EQ(cGameRules::BuildWavyPath(0, 0, 0, 0, 1.0f, 0, 5.0f).size(), 2u);
}

TEST_F(GameRulesTest, TasksAreIssuedOneAStepUpToFour) {
  Pending({0, 0, 0, 0, 0});
  for (size_t n = 1; n <= 4; ++n) {
    rules.UpdateMission();
    EXPECT_EQ(player.activeTasks.size(), n);
  }
  Steps(10);
  EXPECT_EQ(player.activeTasks.size(), 4u);
  player.activeTasks[0] = cMissionTask();  // finished: retired once the indicators are bound
  Steps(30);
  EXPECT_EQ(player.activeTasks.size(), 4u);
  EXPECT_EQ(player.nextPendingTask, 5);
}

TEST_F(GameRulesTest, LateTasksWaitForTheirTime) {
  Pending({0, 70});
  rules.UpdateMission();
  ASSERT_EQ(player.activeTasks.size(), 1u);
  Steps(30 * 69);
  EXPECT_EQ(player.activeTasks.size(), 1u);
  while (player.elapsedTime < 70.0f) {
    EXPECT_EQ(player.activeTasks.size(), 1u);
    rules.UpdateMission();
  }
  rules.UpdateMission();
  EXPECT_EQ(player.activeTasks.size(), 2u);
}

TEST_F(GameRulesTest, TheClockStandsWithoutTasksDuringAHintAndWhenDone) {
  Pending({});
  Steps(30);
  EXPECT_EQ(player.elapsedTime, 0.0f);  // no task: the level is over at once
  EXPECT_EQ(player.mission.done, 1);
  Pending({0});
  rules.UpdateMission();
  const float t = player.elapsedTime;
  world.hint = 2;
  Steps(30);
  EXPECT_EQ(player.elapsedTime, t);
  world.hint = -1;
  Steps(30);
  EXPECT_GT(player.elapsedTime, t);
  player.mission.done = 1;
  const float done = player.elapsedTime;
  Steps(30);
  EXPECT_EQ(player.elapsedTime, done);
}

// Every issued task finished before the next one's start time: the next one comes at once
// rather than the level waiting on a clock that stands still.
TEST_F(GameRulesTest, FinishingEarlyNeverFreezesALevel) {
  rules.SetupLevelMissions(37);
  ASSERT_EQ(player.mission.tasks.size(), 4u);
  Steps(30);
  ASSERT_EQ(player.activeTasks.size(), 1u);
  player.activeTasks[0] = cMissionTask();
  for (int i = 0; i < 3; ++i) {
    Steps(2);
    EXPECT_LT(player.elapsedTime, 2.0f);  // far before the tasks' start times
    ASSERT_EQ(player.activeTasks.size(), 1u) << i;
    player.activeTasks[0] = cMissionTask();
  }
  Steps(2);
  EXPECT_EQ(player.mission.done, 1);
  EXPECT_EQ(world.windows.back(), "mission_finish 2");
  EXPECT_EQ(world.cleared, 1);
  EXPECT_TRUE(DiskFileLayer().Exists(ProfileDir() + "save.dat"));
}

TEST_F(GameRulesTest, TheLevelEndsOnlyWithTheCarAtHome) {
  Pending({0});
  rules.UpdateMission();
  player.activeTasks.clear();
  world.car = 0;
  Steps(5);
  EXPECT_EQ(player.mission.done, 0);
  world.car = 1;
  rules.UpdateMission();
  EXPECT_EQ(player.mission.done, 1);
}

TEST_F(GameRulesTest, CountersAndTaskCountDown) {
  rules.CountProduced(12);
  EXPECT_EQ(player.produced.size(), 13u);
  EXPECT_EQ(player.produced[12], 1);
  rules.CountProduced(-3);
  rules.CountAnimalBought(-1);
  EXPECT_EQ(player.produced.size(), 13u);
  EXPECT_TRUE(player.animalsBought.empty());
  rules.CountAnimalBought(2);
  EXPECT_EQ(player.animalsBought, (std::vector<int>{0, 0, 1}));

  player.activeTasks = {{-1, 5, 2, nullptr, nullptr, nullptr, 0}, {1, kNoWare, 1, nullptr, nullptr, nullptr, 0}};
  rules.DecWareTask(5);
  EXPECT_EQ(player.activeTasks[0].count, 1);
  rules.DecKindTask(1);
  EXPECT_TRUE(player.activeTasks[1].IsEmpty());
  EXPECT_EQ(rules.FindTaskForWare(5), &player.activeTasks[0]);
  EXPECT_EQ(rules.FindTaskForWare(kNoWare), nullptr);
}

TEST_F(GameRulesTest, LevelResultAndTheLevelsUnlocks) {
  player.currentLevel = 10;
  player.levelTimes.assign(4, 1.0f);
  player.elapsedTime = 123.0f;
  player.mission.timeLimit = 100.0f;
  player.carLoad = {1, 2};
  rules.FinishLevel();
  ASSERT_EQ(player.levelTimes.size(), 11u);
  EXPECT_EQ(player.levelTimes[10], 123.0f);
  EXPECT_EQ(player.levelTimes[5], 0.0f);
  EXPECT_TRUE(player.carLoad.empty());
  EXPECT_EQ(rules.GetLastTimeGrade(), 1);
  struct Case {
    int level, sorts, holes;
  };
  for (const Case& c : {Case{0, 0, 0}, Case{3, 1, 1}, Case{12, 3, 3}, Case{31, 7, 4}, Case{44, 7, 4}}) {
    EXPECT_EQ(cGameRules::SortsForLevel(c.level), c.sorts) << c.level;
    EXPECT_EQ(cGameRules::HolesForLevel(c.level, 5), c.holes) << c.level;
  }
  EXPECT_EQ(cGameRules::HolesForLevel(31, 3), 2);
  EXPECT_EQ(cGameRules::HolesForLevel(31, 0), 4);
}

TEST_F(GameRulesTest, ShipsComeEveryFiftySecondsFromLevelOneOn) {
  Pending({0});
  player.currentLevel = 0;
  Steps(30 * 60);
  EXPECT_EQ(world.ships, 0);
  player.currentLevel = 1;
  Steps(30 * 50 + 1);
  EXPECT_EQ(world.ships, 1);
}

}  // namespace
}  // namespace vektest

namespace vektest {
namespace {

struct LevelWorld : FakeWorld {
  int GetIslandMode() override { return mode; }
  int GetHolesLayoutCount() override { return layouts; }
  int GetTrainingStep() override { return training; }
  bool HasGardener() override { return gardener; }
  bool HasPlantSort(int offset) override { return offset <= 7; }
  void PlaySound(int id) override { sounds.push_back(id); }
  bool IsShipUnderway() override { return underway; }
  int SumHouseValues() override { return houses; }
  int CountPeople() override { return people; }
  void SendShip(int n) override { sent.push_back(n); }
  void AddLayoutHoles() override { fieldLayouts.push_back(CurrentPlayer()->holesLayout); }
  std::vector<int> fieldLayouts;
  int mode = 0, layouts = 5, training = -1, houses = 0, people = 0;
  bool gardener = true, underway = false;
  std::vector<int> sounds, sent;
};

class LevelFlowTest : public GameRulesTest {
 protected:
  void SetUp() override {
    GameRulesTest::SetUp();
    SetRulesWorld(&level);
  }
  LevelWorld level;
};

TEST_F(LevelFlowTest, AwardsStopAtTheirLimits) {
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(rules.AwardNextAnimal());
  EXPECT_EQ(player.animalKinds, 2);
  EXPECT_TRUE(rules.AwardNextAnimal());
  EXPECT_EQ(player.animalKinds, 3);
  EXPECT_FALSE(rules.AwardNextAnimal());
  EXPECT_EQ(level.sounds, std::vector<int>(4, 12));
  player.holesLayout = 4;
  EXPECT_FALSE(rules.NextHolesLayout());
  EXPECT_EQ(player.holesLayout, 4);
  player.holesLayout = 3;
  EXPECT_TRUE(rules.NextHolesLayout());
  player.lastSort = 6;
  EXPECT_TRUE(rules.AwardNextSort());
  EXPECT_FALSE(rules.AwardNextSort());
  EXPECT_EQ(player.lastSort, 7);
}

TEST_F(LevelFlowTest, ClampToBank) {
  player.bank = 100;
  EXPECT_EQ(rules.ClampToBank(120), 95);
  EXPECT_EQ(rules.ClampToBank(100), 100);
  player.bank = 3;
  EXPECT_EQ(rules.ClampToBank(120), 3);
}

TEST_F(LevelFlowTest, IslandQuestions) {
  struct Case {
    int mode, progress, training;
    bool ready, progressed;
  };
  for (const Case& c : {Case{2, 0, 1, true, true}, Case{1, 7, -1, true, true}, Case{1, 7, 3, true, true},
                        Case{1, 7, 1, false, true}, Case{1, 6, -1, false, true}, Case{0, 9, -1, false, true},
                        Case{1, 0, -1, false, false}}) {
    level.mode = c.mode;
    level.training = c.training;
    player.levelProgress = c.progress;
    EXPECT_EQ(rules.IsIslandReady(), c.ready) << c.mode << " " << c.progress << " " << c.training;
    EXPECT_EQ(rules.HasIslandProgress(), c.progressed) << c.mode << " " << c.progress;
  }
}

TEST_F(LevelFlowTest, AdvancingTakesTheNewLevelsSnapshotAndStartingLoadsIt) {
  player.levelProgress = 3;
  player.selectedLevel = 3;
  player.money = 40;
  player.bank = 500;
  player.holesLayout = 1;  // the layout level 3 was played with
  ASSERT_TRUE(rules.AdvanceIsland());
  EXPECT_EQ(player.levelProgress, 4);
  EXPECT_EQ(player.selectedLevel, -1);
  EXPECT_TRUE(DiskFileLayer().Exists(ProfileDir() + "4/save.dat"));

  player.bank = 0;
  level.houses = 5;
  level.people = 2;
  ASSERT_TRUE(rules.StartLevel(4));
  EXPECT_EQ(player.bank, 500);  // from the snapshot
  EXPECT_EQ(player.currentLevel, 4);
  EXPECT_EQ(player.money, 35);   // the level's starting money
  EXPECT_EQ(player.lastSort, 2);
  EXPECT_EQ(player.holesLayout, 2);
  // The field takes the level's larger layout at once, not only once the game is continued.
  EXPECT_EQ(level.fieldLayouts, std::vector<int>{2});
  EXPECT_EQ(level.sent, std::vector<int>{3});
  EXPECT_EQ(level.windows.back(), "garden 1");

  // Left during play and continued: the same level on the same layout.
  level.mode = 2;
  ASSERT_TRUE(player.SaveGame(-1));
  player.holesLayout = 0;
  ASSERT_TRUE(rules.StartLevel(-1));
  EXPECT_EQ(player.currentLevel, 4);
  EXPECT_EQ(player.holesLayout, 2);
  EXPECT_EQ(level.fieldLayouts, (std::vector<int>{2, 2}));

  level.gardener = false;
  EXPECT_FALSE(rules.AdvanceIsland());
  EXPECT_EQ(player.levelProgress, 5);
}

TEST_F(LevelFlowTest, ShipsWaitForRoomAndForTheShipUnderWay) {
  level.houses = 4;
  level.people = 4;
  rules.CheckShips();
  level.houses = 6;
  level.underway = true;
  rules.CheckShips();
  EXPECT_TRUE(level.sent.empty());
  level.underway = false;
  rules.CheckShips();
  EXPECT_EQ(level.sent, std::vector<int>{2});
}

}  // namespace
}  // namespace vektest

namespace vektest {
namespace {

// plant 1 -> factory -> product 10 -> factory -> product 20; ware 5 goes nowhere.
struct MarketWorld : FakeWorld {
  bool IsPlantSort(vek::i32 w) override { return w < 5; }
  vek::i32 GetWarePrice(vek::i32 w) override { return w * 2 + 1; }
  vek::i32 GetFactoryProduct(vek::i32 input) override { return input == 1 ? 10 : input == 10 ? 20 : -1; }
  vek::i32 GetFactoryStock(vek::i32 input) override { return input == 1 ? stock : 0; }
  bool AddFactoryInput(vek::i32 w) override {
    inputs.push_back(w);
    return GetFactoryProduct(w) >= 0;
  }
  void PlaySound(int id) override { sounds.push_back(id); }
  int stock = 0;
  std::vector<int> inputs, sounds;
};

class CarLoadTest : public GameRulesTest {
 protected:
  void SetUp() override {
    GameRulesTest::SetUp();
    SetRulesWorld(&market);
  }
  MarketWorld market;
};

TEST_F(CarLoadTest, TheLoadKeepsOnlyWhatTasksStillNeed) {
  player.activeTasks = {{-1, 20, 2, nullptr, nullptr, nullptr, 0}, {-1, 3, 1, nullptr, nullptr, nullptr, 0}};
  market.stock = 1;
  player.carLoad = {5, 1, 1, 1, 3, 3};
  for (int ware : player.carLoad) rules.DecWareTask(ware);  // as the gardener loads them
  rules.PrepareCarLoad();
  // Ware 5: no task, no factory. Plant 1 serves task 20 two steps on; one unit is in the
  // factory already, so one more is wanted. Ware 3: one wanted.
  EXPECT_EQ(player.carLoad, (std::vector<int>{kNoWare, 1, kNoWare, kNoWare, 3, kNoWare}));
  EXPECT_EQ(rules.FindTaskForWare(1), &player.activeTasks[0]);
  EXPECT_EQ(rules.FindTaskForWare(10), nullptr);  // not a plant sort
  EXPECT_EQ(rules.CountChainUnits(1), 1);
}

TEST_F(CarLoadTest, TheUnitsThatCompleteATaskArePaidAndEndIt) {
  // Each unit loaded counts its task down at once: the units that bring the count to 0 are
  // the ones the task wanted, and the sale pays for them and ends the task.
  struct Case {
    int wanted;
    std::vector<int> load, kept;
    int count;  // the task's count after the loading
  };
  for (const Case& c : {Case{1, {3}, {3}, 0}, Case{2, {3, 3}, {3, 3}, 0},
                        Case{2, {3, 3, 3}, {3, 3, kNoWare}, -1}, Case{3, {3, 3}, {3, 3}, 1}}) {
    player.activeTasks = {{-1, 3, c.wanted, nullptr, nullptr, nullptr, 0}};
    player.carLoad.clear();
    for (int ware : c.load) {
      player.carLoad.push_back(ware);
      rules.DecWareTask(ware);
    }
    ASSERT_EQ(player.activeTasks[0].count, c.count);
    rules.PrepareCarLoad();
    EXPECT_EQ(player.carLoad, c.kept) << c.wanted << " of " << c.load.size();
    const auto paid = static_cast<int>(std::count(c.kept.begin(), c.kept.end(), 3));
    EXPECT_EQ(rules.SellCarLoad(), paid * 7) << c.wanted << " of " << c.load.size();
    EXPECT_EQ(player.activeTasks[0].IsEmpty(), c.count <= 0) << c.wanted << " of " << c.load.size();
  }
}

TEST_F(CarLoadTest, SellingPaysForTasksAndFeedsTheFactories) {
  player.activeTasks = {{-1, 3, 1, nullptr, nullptr, nullptr, 0}, {-1, 4, 2, nullptr, nullptr, nullptr, 0}};
  player.carLoad = {3, 1, kNoWare, 4};
  rules.DecWareTask(3);  // the gardener loaded them: the task counts down
  rules.DecWareTask(4);
  EXPECT_EQ(rules.SellCarLoad(), 7 + 9);
  EXPECT_EQ(market.inputs, std::vector<int>{1});
  EXPECT_EQ(player.activeTasks[0].ware, kNoWare);  // done
  EXPECT_EQ(player.activeTasks[1].ware, 4);        // one more wanted
  EXPECT_TRUE(player.carLoad.empty());
  EXPECT_EQ(market.sounds, std::vector<int>{0});
  EXPECT_EQ(rules.SellCarLoad(), 0);
  EXPECT_EQ(market.sounds.size(), 1u);
}

}  // namespace
}  // namespace vektest
