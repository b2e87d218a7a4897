// The island's first factory in the real program, played as a player plays it: only input
// events through its window, the places to click asked of the running game (its test
// queries). Level 3 is played from its marker to its end, where the factory is built; level 4
// asks for the factory's product: the sort it is made of is grown, sold to the factory with the
// car, the factory started from the garden bar's row, and its product comes back to the car and
// counts for the mission. Level 5, the first played with the institute standing, ends in the
// upgrades window, where an upgrade is bought from the bank and kept in the profile.
// Screenshots of each stage go to build/screenshots/factory_*.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <sstream>
#include <string>

#include "engine/core/path_tokens.h"
#include "game/app/player.h"
#include "game/world/object.h"
#include "tests/support/playthrough.h"

namespace {

using playthrough::ChainRow;
using playthrough::FieldObject;
using playthrough::Played;
using playthrough::Profile;

class PlaythroughFactory : public playthrough::GameRun {
 protected:
  void SetUp() override { shotPrefix = "factory_"; }
};

// Level 3 from a profile with two levels won: from its island marker through the mission card,
// the field played until the mission is met, the mission's end, and back on the island where
// the profile is one level further.
TEST_F(PlaythroughFactory, Level3IsPlayedToItsEndAndBackOnTheIslandOneLevelFurther) {
  const auto started = std::chrono::steady_clock::now();
  MakeProfile(2, 150);
  Start();
  OpenLevelFromIsland(2);
  Shot("01_level3_mission_start");
  EXPECT_EQ(GetProfile().level, 2);
  Click("mission_start", "ok");
  ASSERT_TRUE(q.WaitGone("mission_start")) << Ask("shown");
  shotName = "02_level3_field_busy";
  const Played played = PlayField(150.0, true);
  EXPECT_GE(played.harvested, 12);
  EXPECT_GE(played.sales, 1);
  EXPECT_GE(Produced("plant00"), 8);
  EXPECT_GE(Produced("plant01"), 4);
  ASSERT_TRUE(q.WaitShown("mission_finish", 60.0)) << Ask("shown") << " " << Ask("tasks") << " | " << Ask("player") << " | " << Ask("bin") << " | " << Ask("item garden plants 1") << " | " << Ask("objects " + std::to_string(e_TypePlant)) << " | " << Ask("gardener");
  Shot("03_level3_mission_finish");
  ASSERT_NO_FATAL_FAILURE(LeaveFinishToIsland());
  // Back on the island the player clicks the level's factory while the after-level sequence
  // plays; the sequence opens the next level.
  q.WaitSettled();
  Shot("04_level3_back_on_island");
  const Profile paid = GetProfile();
  EXPECT_GT(paid.bank, 150) << "the level's payment went to the bank";
  EXPECT_NO_FATAL_FAILURE(BuildLevelHouse(2, 3));
  Shot("05_level3_factory_built");
  const Profile after = GetProfile();
  EXPECT_EQ(after.progress, 3);
  EXPECT_LT(after.bank, paid.bank) << "the factory was paid from the bank";
  std::cerr << "level 3 played in " << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()
            << " s: " << played.watered << " watered, " << played.weeded << " weeded, " << played.harvested
            << " harvested, " << played.sales << " sales\n";
  EndGame();
  vek::SetPathToken(vek::e_AppPath, AppDir());
  cPlayer saved("plr000");
  ASSERT_TRUE(saved.Load());
  EXPECT_EQ(saved.levelProgress, 3);
}

// Level 4 asks for the factory's product: the factory's row slides into the garden bar, the
// sort it takes is grown and sold to it with the car, the row's button starts it, and each
// unit made flies back to the car and counts for the mission.
TEST_F(PlaythroughFactory, Level4FeedsTheFactoryAndItsProductCountsForTheMission) {
  const auto started = std::chrono::steady_clock::now();
  // The factory lesson: hint_3_*.png.
  lessonShots = {3};
  MakeProfile(3, 200);
  Start();
  OpenLevelFromIsland(3);
  Shot("06_level4_mission_start");
  Click("mission_start", "ok");
  ASSERT_TRUE(q.WaitGone("mission_start")) << Ask("shown");
  // The mission binds the factory making its product to a row of the bar.
  ChainRow row;
  ASSERT_TRUE(vektest::WaitFor(30.0, [&] {
    AnswerHint();
    for (const auto& c : Chains())
      if (c.output == "product00" && c.rowState == 0) row = c;
    return row.output == "product00";
  })) << Ask("chain 0") << " | " << Ask("tasks");
  EXPECT_EQ(row.input, "plant01");
  const int wanted = Tasks()["product00"].second;
  ASSERT_GT(wanted, 0);
  shotName = "07_level4_field_busy";
  factoryShotName = "08_level4_factory_started";
  const Played played = PlayField(150.0, true);
  // Each unit made counts once: the mission ends only when all it wanted were made.
  ASSERT_TRUE(q.WaitShown("mission_finish", 60.0)) << Ask("shown") << " " << Ask("tasks") << " " << Ask("chain 0");
  // The factory lesson has the player start it once; the play-through the other times.
  const bool lesson = std::find(lessonsSeen.begin(), lessonsSeen.end(), "TrainingFactory1") != lessonsSeen.end();
  EXPECT_TRUE(lesson) << "the factory lesson was followed to its end";
  EXPECT_GE(played.factoryRuns + (lesson ? 1 : 0), wanted);
  EXPECT_GE(Produced("product00"), wanted) << "the factory made every unit the mission counted";
  EXPECT_GE(Produced("plant01"), wanted) << "grown to feed it";
  const auto tasks = Tasks();
  const int left = tasks.count("product00") ? tasks.at("product00").second : 0;
  EXPECT_EQ(left, 0);
  Shot("09_level4_mission_finish");
  std::cerr << "level 4 played in " << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()
            << " s: " << played.harvested << " harvested, " << played.sales << " sales, " << played.factoryRuns
            << " factory runs, product00 made " << Produced("product00") << ", left " << left << "\n";
  EndGame();
}

// Level 5 is the first level played with the institute standing (level 4's building): its
// finish opens the upgrades window, and the player buys the cheapest upgrade on offer from the
// bank. The upgrade's level rises by one, the bank pays its price, and both are in the profile
// saved when the game ends.
TEST_F(PlaythroughFactory, Level5WithTheInstituteStandingBuysAnUpgradeFromTheBank) {
  const auto started = std::chrono::steady_clock::now();
  MakeProfile(4, 900);
  Start();
  OpenLevelFromIsland(4);
  Click("mission_start", "ok");
  ASSERT_TRUE(q.WaitGone("mission_start")) << Ask("shown");
  // Left for the main menu at once and continued: the level comes back on the beds it was
  // started with (the layout this level gives, on both ways into it).
  auto beds = [&] {
    std::vector<std::pair<int, int>> out;
    for (const auto& o : Objects(e_TypeHole)) out.emplace_back(o.x, o.y);
    std::sort(out.begin(), out.end());
    return out;
  };
  q.Frames(10);
  const auto started5 = beds();
  ASSERT_FALSE(started5.empty());
  ASSERT_NO_FATAL_FAILURE(LeaveLevelThroughEscape("btEnd"));
  ASSERT_NO_FATAL_FAILURE(ContinueLevelFromMenu());
  q.Frames(10);
  EXPECT_EQ(beds(), started5) << started5.size() << " beds when started";
  EXPECT_EQ(GetProfile().level, 4);
  shotName = "10_level5_field_busy";
  factoryShotName = "11_level5_factory_started";
  const Played played = PlayField(200.0, true);
  ASSERT_TRUE(q.WaitShown("mission_finish", 60.0)) << Ask("shown") << " " << Ask("tasks") << " " << Ask("chain 0");
  // The payment counted to its end, then Ok: the upgrades window follows.
  q.Frames(450);
  const auto before = PlayerNow();
  ASSERT_FALSE(before.upgrades.empty()) << Ask("player");
  for (int i = 0; i < 3 && Shown("mission_finish"); ++i) {
    Click("mission_finish", "ok");
    q.Frames(20);
  }
  ASSERT_TRUE(q.WaitGone("mission_finish")) << Ask("shown");
  ASSERT_TRUE(q.WaitShown("up", 30.0)) << Ask("shown") << " " << Ask("player");
  q.Frames(30);
  Shot("12_level5_upgrades");
  // Done stays disabled until an offer is chosen; choosing shows the upgrade's next level
  // but buys nothing yet.
  Click("up", "ch0");
  q.Frames(10);
  Shot("13_level5_upgrade_chosen");
  EXPECT_EQ(PlayerNow().bank, before.bank) << "nothing is paid before Done";
  Click("up", "done");
  q.Frames(10);
  Shot("14_level5_upgrade_bought");
  const auto bought = PlayerNow();
  int risen = 0, rises = 0;
  for (size_t u = 0; u < bought.upgrades.size() && u < before.upgrades.size(); ++u)
    if (bought.upgrades[u] != before.upgrades[u]) {
      EXPECT_EQ(bought.upgrades[u], before.upgrades[u] + 1) << Ask("player");
      risen = static_cast<int>(u);
      ++rises;
    }
  EXPECT_EQ(rises, 1) << "one upgrade bought: " << Ask("player");
  EXPECT_LT(bought.bank, before.bank) << "the bank paid for it: " << Ask("player");
  ASSERT_TRUE(q.WaitGone("up", 30.0)) << Ask("shown");
  ASSERT_TRUE(q.WaitFocus("island")) << Ask("focus");
  std::cerr << "level 5 played in " << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()
            << " s: " << played.harvested << " harvested, " << played.sales << " sales, " << played.factoryRuns
            << " factory runs; upgrade " << risen << " bought for " << before.bank - bought.bank << "\n";
  // The after-level sequence: the level's building bought, and the next level opens.
  ASSERT_NO_FATAL_FAILURE(BuildLevelHouse(4, 5));
  const auto won = PlayerNow();
  EXPECT_EQ(won.upgrades, bought.upgrades);
  EndGame();
  vek::SetPathToken(vek::e_AppPath, AppDir());
  cPlayer saved("plr000");
  ASSERT_TRUE(saved.Load());
  EXPECT_EQ(saved.levelProgress, 5);
  ASSERT_TRUE(saved.LoadGame(5));
  EXPECT_EQ(saved.upgradeLevels, bought.upgrades);
  EXPECT_EQ(saved.bank, won.bank);

  // A new start continues at level 6 with the upgrade and the bank the player had.
  Start();
  OpenLevelFromIsland(5);
  Shot("15_level6_mission_start");
  const auto again = PlayerNow();
  EXPECT_EQ(again.upgrades, bought.upgrades) << Ask("player");
  EXPECT_EQ(again.bank, won.bank) << Ask("player");
  EXPECT_EQ(GetProfile().level, 5);
}

}  // namespace
