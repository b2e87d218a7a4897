// The 45 levels: every row as the level designers wrote it, and the level set-up that
// applies a row to the profile.
#include <sstream>

#include "game/app/game_rules.h"
#include "game/app/level_table.h"
#include "tests/game/app/rules_fixture.h"

namespace vektest {
namespace {

// level|time limit|money|tasks "ware count[ @start]" joined by ";"|building|flags ("S": set-up flag)
const char* const kLevels[] = {
      "0|90|50|plant00 6|house00|1,2",
      "1|100|50|plant00 6;plant01 3|market00|",
      "2|110|35|plant00 8;plant01 4|factory00|",
      "3|110|40|product00 4;plant00 8|institute00|",
      "4|160|35|plant00 9;product00 5;plant02 4|market01|",
      "5|160|25|plant00 10;product00 5;plant02 5|animals00|4",
      "6|130|185|plant00 8;plant02 4;egg 4|house01|",
      "7|150|90|plant00 10;product00 5;plant02 5;egg 2|factory01|",
      "8|180|65|plant00 11;product00 6;product01 4;egg 3|house01|",
      "9|250|85|plant00 10;product01 8;plant03 10;egg 6|market01|",
      "10|180|160|egg 20;plant03 9|house01|S",
      "11|260|30|plant01 10;product01 9;plant03 8;egg 7|factory01_1|2",
      "12|260|140|plant01 10;product01_1 8;plant03 8;egg 9|house01|",
      "13|220|285|plant03 10;product01 6;egg 4;milk 4|market02|",
      "14|280|60|plant02 10;plant03 10;plant04 10;egg 9|house02|",
      "15|250|180|plant03 10;product01_1 8;plant04 8;milk 6|factory02|",
      "16|240|60|plant02 10;plant03 10;product02 8;egg 8|house02|",
      "17|180|580|egg 15;milk 10|market02|S",
      "18|250|80|plant03 10;product01_1 8;plant04 8;egg 6 @70;milk 2|house02|2",
      "19|230|120|plant05 12;product01 8;product02 8;milk 4 @80|factory02_1|",
      "20|320|80|plant03 12;product02_1 8;plant05 10;egg 12 @60;product01 4|house02|",
      "21|240|100|plant04 12;product01_1 8;plant05 10;milk 4 @60;egg 3|market03|",
      "22|200|440|plant04 9;product01 6;plant05 9;honey 4|house03|",
      "23|220|80|plant03 12;product02_1 10;egg 4 @80;plant06 8 @100|house03|",
      "24|230|120|plant05 10;product02 10;milk 5;plant06 12 @100;egg 3 @130|market03|",
      "25|260|100|plant04 12;egg 9 @20;plant06 12 @40;plant05 10 @70;honey 4 @90|house03|",
      "26|280|80|plant03 12;product02_1 8;plant06 10;egg 9;honey 2|factory03|",
      "27|260|120|plant05 12;product02 10;product03 8;milk 3 @40;egg 3|house03|",
      "28|250|80|plant03 12;product02_1 8;plant06 9;egg 6 @60;honey 2|market03|",
      "29|250|120|plant05 12;product03 9;milk 4 @40;honey 2 @70;plant04 12|house03|",
      "30|240|100|plant04 12;plant05 10;product03 9;milk 5;egg 2|house03|",
      "31|240|120|plant05 12;product03 9;plant07 6;milk 2 @40;honey 2 @60|market04|",
      "32|280|280|egg 12;plant05 12 @20;product03 6;product02_1 3 @100;plant07 6|house04|",
      "33|230|520|plant05 12;product03 10;plant07 10;milk 3;egg 3|factory03_1|",
      "34|230|390|honey 10;plant04 12 @10;product03_1 4 @50;egg 3 @80;plant07 6|house04|",
      "35|280|100|plant04 12;plant05 10;plant07 10;honey 3;egg 6;milk 1|market04|4",
      "36|240|540|nib 5;plant05 12;egg 8 @45;milk 3 @80;product03 4 @110;product02 4|house04|",
      "37|170|100|plant04 12;plant05 10 @30;plant06 8 @60;plant07 6 @90|house04|",
      "38|260|120|plant05 12;product02_1 8;milk 8 @40;plant06 6 @110;nib 2 @140|market05|",
      "39|240|300|plant07 12;product03_1 8;nib 10 @60;product02 6 @100;honey 2|house05|",
      "40|240|780|egg 12;milk 8;plant07 8 @30;product03 6 @50;plant05 8 @80|house05|",
      "41|240|580|nib 6;egg 6;plant05 12;honey 6 @50;product03 4 @80;product02 3|market05|",
      "42|220|100|plant04 12;product03_1 6;plant07 10;milk 2;honey 2;product02 3|house05|",
      "43|230|380|egg 30;milk 6;nib 6|house05|S",
      "44|330|120|plant05 12;product03_1 12;plant07 16;nib 9;honey 4;product02 6;egg 4|statue00|",
};

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, sep)) parts.push_back(part);
  if (!text.empty() && text.back() == sep) parts.emplace_back();
  return parts;
}

// Records what the set-up asks of the field and the windows.
struct RecordingWorld : iRulesWorld {
  void SwitchWindow(const vek::string& name, int mode) override { calls.push_back("switch " + name + " " + std::to_string(mode)); }
  void SendWindowMessage(const vek::string& w, int p1, int p2) override {
    calls.push_back("message " + w + " " + std::to_string(p1) + " " + std::to_string(p2));
  }
  void ResetTaskIndicators() override { calls.push_back("indicators"); }
  void UpdateToolbars() override { calls.push_back("toolbars"); }
  void RefillToolCellWater() override { calls.push_back("refill"); }
  bool IsBuildingBuilt(const vek::string& name) override { return institute && name == "institute00"; }
  vek::string GetText(const vek::string& key) override { return "<" + key + ">"; }
  std::vector<std::string> calls;
  bool institute = false;
};

class LevelTableTest : public RulesWorldFixture<RecordingWorld> {
 protected:
};

TEST_F(LevelTableTest, EveryLevelSetsUpItsRow) {
  ASSERT_EQ(std::size(kLevels), static_cast<size_t>(kLevelCount));
  for (const char* line : kLevels) {
    SCOPED_TRACE(line);
    const auto f = Split(line, '|');
    ASSERT_EQ(f.size(), 6u);
    const int level = std::stoi(f[0]);
    player.levelProgress = level;
    player.money = 9999;
    ASSERT_TRUE(rules.SetupLevelMissions(level));
    EXPECT_EQ(player.currentLevel, level);
    EXPECT_EQ(player.mission.timeLimit, std::stof(f[1]));
    EXPECT_EQ(player.money, std::stoi(f[2]));
    const auto tasks = Split(f[3], ';');
    ASSERT_EQ(player.mission.tasks.size(), tasks.size());
    for (size_t i = 0; i < tasks.size(); ++i) {
      const auto t = Split(tasks[i], ' ');
      const cMissionTask& task = player.mission.tasks[i];
      EXPECT_EQ(task.ware, host.wares.at(t[0])) << i;
      EXPECT_EQ(task.count, std::stoi(t[1])) << i;
      EXPECT_EQ(task.startTime, t.size() > 2 ? std::stof(t[2].substr(1)) : 0.0f) << i;
      EXPECT_EQ(task.kind, -1);
    }
    EXPECT_EQ(GetLevelBuilding(level), f[4]);
    EXPECT_EQ(player.mission.name, f[4]);  // the newest level opened is named by its building
    for (int flag = 1; flag <= 4; ++flag)
      EXPECT_EQ(rules.GetLevelFlag(flag), f[5].find(std::to_string(flag)) != std::string::npos) << flag;
    EXPECT_EQ(rules.GetSetupFlag(), f[5] == "S");
    EXPECT_FALSE(GetLevelBuildingHint(level).empty());
  }
  EXPECT_EQ(GetLevelBuilding(45), "");
  EXPECT_EQ(GetLevelBuilding(-1), "");
}

TEST_F(LevelTableTest, SetUpOfTheSelectedLevelKeepsTheRunningState) {
  player.selectedLevel = 18;
  player.money = 77;
  player.elapsedTime = 12.0f;
  player.activeTasks.resize(2);
  ASSERT_TRUE(rules.SetupLevelMissions(-1));
  EXPECT_EQ(player.currentLevel, 18);
  EXPECT_EQ(player.mission.tasks.size(), 5u);
  EXPECT_EQ(player.mission.tasks[3].startTime, 70.0f);
  EXPECT_EQ(player.money, 77);
  EXPECT_EQ(player.elapsedTime, 12.0f);
  EXPECT_EQ(player.activeTasks.size(), 2u);
  EXPECT_EQ(player.mission.name, "");  // not the newest level
  EXPECT_EQ(world.calls, (std::vector<std::string>{"indicators", "message garden 2 20"}));

  world.calls.clear();
  ASSERT_TRUE(rules.SetupLevelMissions(45));
  EXPECT_EQ(player.mission.timeLimit, 0.0f);
  EXPECT_TRUE(player.mission.tasks.empty());
  EXPECT_EQ(player.money, 0);
  EXPECT_EQ(world.calls.back(), "switch mission_start 2");
}

TEST_F(LevelTableTest, InstituteAndWaterPumpAddToTheSetUp) {
  world.institute = true;
  struct Case {
    int level;
    bool flag3;
  };
  // Flag 3 comes with the institute on levels without flags and on levels with flag 2.
  for (const Case& c : {Case{1, true}, Case{0, true}, Case{5, false}, Case{11, true}, Case{10, true}}) {
    rules.SetupLevelMissions(c.level);
    EXPECT_EQ(rules.GetLevelFlag(3), c.flag3) << c.level;
  }
  host.pumpState = 1;
  world.calls.clear();
  rules.SetupLevelMissions(2);
  EXPECT_EQ(std::count(world.calls.begin(), world.calls.end(), "refill"), 0);
  player.hintFlags[1] = 1;
  rules.SetupLevelMissions(2);
  EXPECT_EQ(std::count(world.calls.begin(), world.calls.end(), "refill"), 1);
  rules.SetupLevelMissions(-1);
  EXPECT_EQ(std::count(world.calls.begin(), world.calls.end(), "refill"), 1);
}

TEST_F(LevelTableTest, BuildingHintKeys) {
  EXPECT_EQ(GetBuildingHintKey("house03"), "HintConstructHouse03");
  EXPECT_EQ(GetBuildingHintKey("factory01_1"), "HintConstructFactory01_1");
  EXPECT_EQ(GetBuildingHintKey("institute00"), "HintConstructInstitute00");
  EXPECT_EQ(GetBuildingHintKey("statue00"), "HintConstructStatue00");
  EXPECT_EQ(GetBuildingHintKey("statue01"), "");
  EXPECT_EQ(GetLevelBuildingHint(44), "<HintConstructStatue00>");
  EXPECT_EQ(GetLevelBuildingHint(45), "");
}

}  // namespace
}  // namespace vektest
