// The island screens of the real program, played with input events only and the places to
// click asked of the running game (its test queries): a new profile's first start plays the
// opening comic, skipped with clicks, and lands on the island with its first tip; a profile
// with levels behind it opens both statistics windows from the island window. Screenshots
// of each stage go to build/screenshots/island_*.png.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "engine/core/path_tokens.h"
#include "game/app/player.h"
#include "tests/support/game_queries.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class IslandFlow : public ::testing::Test {
 protected:
  void TearDown() override {
    q.Close();
    if (game.Running()) {
      game.Signal(SIGTERM);
      game.Wait(60.0);
    }
  }
  std::string AppDir() const { return tmp.path() + "/data/Kelvra/Orchardia"; }
  std::string Log() const { return vektest::ReadFileText(AppDir() + "/_log.html"); }
  std::string Socket() const { return tmp.path() + "/q.sock"; }

  // A profile as the profile windows leave it, with `progress` levels won.
  void MakeProfile(int progress) {
    vek::SetPathToken(vek::e_AppPath, AppDir());
    cPlayer player("plr000");
    player.GetName() = "Ann";
    player.levelProgress = progress;
    for (int i = 0; i < progress; ++i) player.timeGrades.push_back(i % 3);
    ASSERT_TRUE(player.WriteProfile());
  }

  // Starts the game, connects to its test queries and skips the opening slides, then waits for
  // its main menu; false (the test is skipped) when the program answers no queries.
  bool Start() {
    EXPECT_TRUE(game.Start(vektest::GameBinary(), vektest::GameEnv(tmp.path(), Socket())));
    if (!q.Connect(Socket(), 120.0)) return false;
    EXPECT_EQ(q.Ask("clock steps"), "ok");
    EXPECT_TRUE(q.SkipSplash()) << q.Ask("focus");
    EXPECT_TRUE(vektest::WaitFor(300.0, [&] { return Log().find("Run game...") != std::string::npos; })) << Log();
    return true;
  }

  std::string Ask(const std::string& line) { return q.Ask(line); }
  bool Shown(const std::string& window) { return q.Shown(window); }
  bool WaitShown(const std::string& window, double seconds = 60.0) { return q.WaitShown(window, seconds); }
  bool WaitFocus(const std::string& widget) { return q.WaitFocus(widget); }
  void Click(const std::string& window, const std::string& control) {
    ASSERT_TRUE(q.Click(window, control)) << window << "." << control << " " << Ask("shown");
  }
  void Shot(const std::string& stage) {
    ASSERT_TRUE(q.Shot(tmp.path() + "/home/Desktop", "island_" + stage)) << stage;
  }
  void EndCleanly() {
    game.Signal(SIGTERM);
    EXPECT_EQ(game.Wait(120.0), 0);
    const std::string log = Log();
    EXPECT_EQ(log.find("class='error'"), std::string::npos) << log;
  }

  vektest::TempDir tmp;
  vektest::ChildProcess game;
  vektest::GameQueries q;
};

TEST_F(IslandFlow, FirstStartPlaysTheOpeningComicThenTheIslandWithItsFirstTip) {
  MakeProfile(0);
  if (!Start()) GTEST_SKIP() << "the program answers no test queries";
  ASSERT_TRUE(WaitShown("main")) << Ask("shown");
  EXPECT_EQ(Ask("focus"), "ok island");  // the menu stands over the island map
  Shot("01_main_menu");

  Click("main", "btStart");
  ASSERT_TRUE(WaitFocus("comics")) << Ask("focus");
  ASSERT_TRUE(WaitShown("comics")) << Ask("shown");
  EXPECT_TRUE(vektest::WaitFor(10.0, [&] { return !Shown("main"); })) << Ask("shown");
  Shot("02_opening_comic");
  // Each click turns a page; the last one leads to the island.
  for (int page = 0; page < 4 && Ask("focus") == "ok comics"; ++page) {
    Click("comics", "next");
    usleep(500000);
  }
  ASSERT_TRUE(WaitFocus("island")) << Ask("focus");
  ASSERT_TRUE(WaitShown("island")) << Ask("shown");
  // The map's first tip points at the first level's place.
  ASSERT_TRUE(WaitShown("hint", 30.0)) << Ask("shown");
  Shot("03_island_first_tip");
  EndCleanly();
}

TEST_F(IslandFlow, TheIslandWindowOpensBothStatistics) {
  MakeProfile(3);
  if (!Start()) GTEST_SKIP() << "the program answers no test queries";
  ASSERT_TRUE(WaitShown("main")) << Ask("shown");
  Click("main", "btStart");
  ASSERT_TRUE(WaitShown("island")) << Ask("shown");
  EXPECT_EQ(Ask("focus"), "ok island");
  Shot("04_island_window");

  Click("island", "but_rate");
  ASSERT_TRUE(WaitShown("stat_garden")) << Ask("shown");
  Shot("05_stat_garden");
  Click("stat_garden", "ok");
  ASSERT_TRUE(vektest::WaitFor(30.0, [&] { return !Shown("stat_garden"); })) << Ask("shown");

  Click("island", "but_island_rate");
  ASSERT_TRUE(WaitShown("stat_island")) << Ask("shown");
  Shot("06_stat_island");
  Click("stat_island", "ok");
  ASSERT_TRUE(vektest::WaitFor(30.0, [&] { return !Shown("stat_island"); })) << Ask("shown");
  EXPECT_TRUE(Shown("island"));
  EndCleanly();
}

}  // namespace
