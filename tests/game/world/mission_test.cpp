#include <gtest/gtest.h>

#include <map>

#include "game/world/mission.h"
#include "game/world/particles.h"
#include "game/world/ware_manager.h"
#include "tests/support/world_harness.h"

namespace {

class FakeIndicator : public iTaskIndicator {
 public:
  int GetMoveState() const override { return state; }
  void SetText(const vek::string& t) override { text = t; }
  void SetIcon(const vek::string& s, const vek::string& a) override {
    sheet = s;
    area = a;
  }
  bool IsChecked() const override { return checked; }
  void SetChecked(bool c) override {
    checked = c;
    ++checkChanges;
  }
  void StartMoveIn() override { state = 1; }
  void StartMoveOut() override { state = 3; }
  void SnapToTarget() override { state = 2; }
  vek::rectf GetRect() const override { return {100.0f, 20.0f, 40.0f, 30.0f}; }

  int state = 2;
  vek::string text, sheet, area;
  bool checked = false;
  int checkChanges = 0;
};

// The island's factories as a map output -> input.
class FakeChain : public iChainItems {
 public:
  void* FindParkedItem() override {
    for (auto& item : items)
      if (item.parked) return &item;
    return nullptr;
  }
  void ShowFactoryOf(void* item, vek::i32 ware) override {
    auto* i = static_cast<Item*>(item);
    i->parked = false;
    i->ware = ware;
  }
  void Hide(void* item) override { static_cast<Item*>(item)->parked = true; }
  vek::i32 GetFactoryInput(vek::i32 ware) override {
    auto it = factories.find(ware);
    return it == factories.end() ? 1000 : it->second;
  }
  struct Item {
    bool parked = true;
    vek::i32 ware = -1;
  };
  Item items[4];
  std::map<vek::i32, vek::i32> factories;
};

class MissionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    world.BuildWares();
    lookups = 0;
    SetTaskIndicatorFinder([this](const vek::string& window, const vek::string& name) -> iTaskIndicator* {
      ++lookups;
      if (window != "score" || name.size() != 5 || name.compare(0, 4, "task") != 0) return nullptr;
      const int k = name[4] - '0';
      return k >= 0 && k < present ? &controls[k] : nullptr;
    });
    SetChainItems(&chain);
  }
  void TearDown() override {
    SetTaskIndicatorFinder(nullptr);
    SetChainItems(nullptr);
  }
  cMissionTask Task(const char* name, vek::i32 count, vek::f32 start = 0.0f) {
    cMissionTask t;
    InitMissionTask(t, name, count, start);
    return t;
  }

  vektest::WorldHarness world;
  FakeIndicator controls[4];
  int present = 4;
  int lookups = 0;
  FakeChain chain;
};

TEST_F(MissionTest, InitByNameGivesWareOrAnimalKind) {
  const struct {
    const char* name;
    vek::i32 kind, ware;
  } rows[] = {{"peacock", 3, 1000}, {"ostrich", 0, 1000}, {"hive", 2, 1000}, {"plant03", -1, 3}, {"Goat", -1, 1000}, {"", -1, 1000}};
  for (const auto& r : rows) {
    const cMissionTask t = Task(r.name, 5, 7.5f);
    EXPECT_EQ(t.kind, r.kind) << r.name;
    EXPECT_EQ(t.ware, r.ware) << r.name;
    EXPECT_EQ(t.count, 5);
    EXPECT_FLOAT_EQ(t.startTime, 7.5f);
    EXPECT_EQ(t.indicator, nullptr);
  }
  cMission m;
  AddMissionTaskByName(m, "goat", 2, 0.0f);
  AddMissionTaskByName(m, "plant00", 9, 30.0f);
  ASSERT_EQ(m.tasks.size(), 2u);
  EXPECT_EQ(m.tasks[0].kind, 1);
  EXPECT_EQ(m.tasks[1].ware, 0);
  m.timeLimit = 10.0f;
  m.done = 1;
  ResetMission(m);
  EXPECT_TRUE(m.tasks.empty());
  EXPECT_EQ(m.done, 0);
  EXPECT_EQ(m.timeLimit, 0.0f);
}

TEST_F(MissionTest, StartTimeAgainstLevelTime) {
  const struct {
    vek::f32 start, now;
    bool met;
  } rows[] = {{0.0f, 0.0f, true}, {30.0f, 29.9f, false}, {30.0f, 30.0f, true}, {1e-8f, 0.0f, true}};
  for (const auto& r : rows) {
    world.services.missionTime = r.now;
    EXPECT_EQ(IsTaskTimeMet(Task("plant00", 1, r.start)), r.met) << r.start << " at " << r.now;
  }
}

TEST_F(MissionTest, FindPassesOverEmptyTasks) {
  std::vector<cMissionTask> tasks = {Task("nothing", 1), Task("plant03", 2), Task("goat", 3), Task("hive", 4)};
  ASSERT_TRUE(tasks[0].IsEmpty());
  EXPECT_EQ(FindMissionTask(tasks, 1000), &tasks[2]);
  EXPECT_EQ(FindMissionTask(tasks, 3), &tasks[1]);
  EXPECT_EQ(FindMissionTask(tasks, 4), nullptr);
  EXPECT_EQ(FindMissionTaskByKind(tasks, 2), &tasks[3]);
  EXPECT_EQ(FindMissionTaskByKind(tasks, -1), &tasks[1]);
  tasks[2].kind = -1;
  EXPECT_EQ(FindMissionTaskByKind(tasks, 1), nullptr);
  EXPECT_EQ(FindMissionTask(tasks, 1000), &tasks[3]);
}

TEST_F(MissionTest, TaskInfoByWareThenAnimal) {
  world.services.texts["Goat"] = "Ziege";
  vek::string text = "keep", sheet, area = "keep";
  vek::i32 count = 0;
  cMissionTask t = Task("plant01", 4);
  t.kind = 1;  // the ware decides
  GetTaskInfo(t, text, sheet, area, count);
  EXPECT_EQ(sheet, "icons00");
  EXPECT_EQ(area, "plant01");
  EXPECT_EQ(text, "Olive");
  EXPECT_EQ(count, 4);
  GetTaskInfo(Task("goat", 2), text, sheet, area, count);
  EXPECT_EQ(area, "goat");
  EXPECT_EQ(text, "Ziege");
  GetTaskInfo(Task("peacock", 1), text, sheet, area, count);
  EXPECT_EQ(text, "Peacock");  // no entry in the text table: the default
  text = area = "keep";
  GetTaskInfo(Task("nothing", 6), text, sheet, area, count);
  EXPECT_EQ(text, "keep");
  EXPECT_EQ(area, "keep");
  EXPECT_EQ(count, 6);
  cMissionTask odd = Task("nothing", 1);
  odd.kind = 7;
  GetTaskInfo(odd, text, sheet, area, count);
  EXPECT_EQ(text, "");
  EXPECT_EQ(area, "keep");
}

TEST_F(MissionTest, UpdateControlClampsAndChecksOnce) {
  cMissionTask t = Task("plant00", 3);
  UpdateTaskControl(t);  // unbound: nothing
  t.indicator = &controls[0];
  UpdateTaskControl(t);
  EXPECT_EQ(controls[0].text, "x3");
  EXPECT_FALSE(controls[0].checked);
  t.count = -2;
  UpdateTaskControl(t);
  UpdateTaskControl(t);
  EXPECT_EQ(controls[0].text, "x0");
  EXPECT_TRUE(controls[0].checked);
  EXPECT_EQ(controls[0].checkChanges, 1);
}

TEST_F(MissionTest, FifthTaskWaitsForAParkedIndicator) {
  std::vector<cMissionTask> tasks = {Task("plant00", 3), Task("goat", 0), Task("plant02", 1), Task("hive", 2), Task("plant04", 5)};
  BindTaskControls(tasks);
  EXPECT_EQ(lookups, 4);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(tasks[static_cast<size_t>(k)].indicator, &controls[k]) << k;
    EXPECT_EQ(controls[k].state, 1) << k;
  }
  EXPECT_EQ(tasks[4].indicator, nullptr);
  EXPECT_EQ(controls[0].text, "x3");
  EXPECT_EQ(controls[0].area, "plant00");
  EXPECT_EQ(controls[1].area, "goat");
  EXPECT_TRUE(controls[1].checked);  // nothing to go: checked at once
  EXPECT_FALSE(controls[0].checked);
  EXPECT_EQ(std::count(world.services.calls.begin(), world.services.calls.end(), "ShowTraining 4"), 4);

  // Task 1 is bought out: once its indicator is at rest it bursts, sounds and leaves.
  tasks[1].kind = -1;
  BindTaskControls(tasks);
  EXPECT_EQ(tasks.size(), 5u);  // still moving in
  controls[1].state = 0;
  BindTaskControls(tasks);
  ASSERT_EQ(tasks.size(), 4u);
  EXPECT_EQ(controls[1].state, 3);
  EXPECT_FALSE(controls[1].checked);
  EXPECT_EQ(world.services.sounds, (std::vector<vek::i32>{26}));
  EXPECT_EQ(tasks[3].indicator, nullptr);
  controls[1].state = 2;
  BindTaskControls(tasks);
  EXPECT_EQ(tasks[3].indicator, &controls[1]);
  EXPECT_EQ(lookups, 4);  // looked up once
}

TEST_F(MissionTest, MissingIndicatorsLeaveTasksUnbound) {
  present = 1;
  world.services.levelStartDone = false;
  std::vector<cMissionTask> tasks = {Task("plant00", 3), Task("plant01", 1)};
  BindTaskControls(tasks);
  EXPECT_EQ(tasks[0].indicator, &controls[0]);
  EXPECT_EQ(tasks[1].indicator, nullptr);
  EXPECT_EQ(GetScoreTaskControl(3), nullptr);
  EXPECT_EQ(GetScoreTaskControl(9), nullptr);
  EXPECT_TRUE(world.services.calls.empty());  // no training before the level-start tween ends
}

TEST_F(MissionTest, FactoryChainOfAProduct) {
  const vek::i32 juice = g_pWareManager->GetWareId("product03_1");
  const vek::i32 pulp = g_pWareManager->GetWareId("product00");
  chain.factories[juice] = pulp;
  chain.factories[pulp] = 0;
  std::vector<cMissionTask> tasks = {Task("product03_1", 2), Task("product00", 1), Task("plant00", 1)};
  BindTaskControls(tasks);
  EXPECT_EQ(tasks[0].indicator2, &chain.items[0]);
  EXPECT_EQ(chain.items[0].ware, pulp);
  EXPECT_EQ(tasks[0].chain, &chain.items[1]);
  EXPECT_EQ(chain.items[1].ware, juice);
  EXPECT_EQ(tasks[1].indicator2, nullptr);  // its input is a plant
  EXPECT_EQ(tasks[1].chain, &chain.items[2]);
  EXPECT_EQ(tasks[2].chain, nullptr);  // a plant has no chain
  tasks[0].ware = 1000;
  controls[0].state = 0;
  BindTaskControls(tasks);
  EXPECT_TRUE(chain.items[0].parked);
  EXPECT_TRUE(chain.items[1].parked);
  EXPECT_FALSE(chain.items[2].parked);
}

}  // namespace
