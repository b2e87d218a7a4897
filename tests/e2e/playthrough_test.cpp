// The real program played as a player plays it: only input events through its window, the
// places to click asked of the running game (its test queries), screenshots of every stage
// under build/screenshots/. A fresh install makes its profile and reaches the main menu; a run
// killed without warning starts again with the last completed save, and Exit ends the game.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>

#include "tests/support/game_queries.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class Playthrough : public ::testing::Test {
 protected:
  std::string AppDir() const { return tmp.path() + "/data/Kelvra/Orchardia"; }
  std::string Log() const { return vektest::ReadFileText(AppDir() + "/_log.html"); }
  std::string Socket() const { return tmp.path() + "/q.sock"; }

  // Starts the game, connects to its test queries and skips the opening slides; back once the
  // main menu's road is over.
  void Start() {
    std::error_code ignored;
    fs::remove(AppDir() + "/_log.html", ignored);
    q.Close();
    ASSERT_TRUE(game.Start(vektest::GameBinary(),
                           {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "XDG_DATA_HOME=" + tmp.path() + "/data",
                            "XDG_RUNTIME_DIR=" + tmp.path(), "HOME=" + tmp.path() + "/home",
                            "XDG_CONFIG_HOME=" + tmp.path() + "/config", "ORCHARDIA_TEST_QUERY=" + Socket()}));
    ASSERT_TRUE(q.Connect(Socket(), 120.0)) << Socket();
    // Every frame one fixed step, unpaced: the game as fast as this machine draws it.
    ASSERT_EQ(q.Ask("clock steps"), "ok");
    ASSERT_TRUE(q.SkipSplash()) << q.Ask("focus");
    ASSERT_TRUE(vektest::WaitFor(240.0, [&] { return Log().find("Run game...") != std::string::npos; })) << Log();
  }

  std::string Ask(const std::string& line) { return q.Ask(line); }
  bool Shown(const std::string& window) { return q.Shown(window); }
  bool WaitShown(const std::string& window) { return q.WaitShown(window); }
  void Click(const std::string& window, const std::string& control) {
    ASSERT_TRUE(q.Click(window, control)) << window << "." << control << " " << Ask("shown");
  }
  std::string Tree() const {
    std::string out;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(AppDir(), ec)) out += e.path().string() + "\n";
    return out;
  }
  // The profile file of the first player; empty when there is none.
  std::string ProfileSave() const {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(AppDir() + "/profile", ec))
      if (fs::exists(e.path() / "player.dat")) return (e.path() / "player.dat").string();
    return {};
  }
  // The frame on screen, as build/screenshots/playthrough_<stage>.png.
  void Shot(const std::string& stage) {
    ASSERT_TRUE(q.Shot(tmp.path() + "/home/Desktop", "playthrough_" + stage)) << stage;
  }

  vektest::TempDir tmp;
  vektest::ChildProcess game;
  vektest::GameQueries q;
};

TEST_F(Playthrough, FreshInstallToTheMainMenuThenAKilledRunStartsFromItsSave) {
  Start();
  // A fresh install asks who is playing; the new profile is made by name.
  ASSERT_TRUE(WaitShown("profile_select")) << Ask("shown");
  Shot("01_profile_select");
  Click("profile_select", "btAdd");
  ASSERT_TRUE(WaitShown("profile_add")) << Ask("shown");
  // The field offers the account's name: erased, then the player's own typed.
  for (int i = 0; i < 24; ++i) EXPECT_EQ(Ask("key Backspace"), "ok");
  EXPECT_EQ(Ask("text Ann"), "ok");
  Shot("02_profile_add");
  Click("profile_add", "ok");
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return !Shown("profile_add"); })) << Ask("shown");
  Shot("03_profile_made");
  Click("profile_select", "btOk");
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return !Shown("profile_select") && Shown("main"); })) << Ask("shown");
  Shot("04_main_menu");
  const std::string saved = ProfileSave();
  ASSERT_FALSE(saved.empty()) << "no profile was saved:\n" << Tree();
  const std::string before = vektest::ReadFileText(saved);

  // Killed without warning; the next start finds the profile as it was last saved.
  game.Signal(SIGKILL);
  EXPECT_EQ(game.Wait(30.0), -1);
  Start();
  EXPECT_NE(Log().find("Found 1 Player profiles"), std::string::npos) << Log();
  EXPECT_EQ(Log().find("class='error'"), std::string::npos) << Log();
  EXPECT_EQ(vektest::ReadFileText(saved), before);
  // The profile is chosen again (the killed run may not have kept it as the last player).
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return Shown("main") || Shown("profile_select"); })) << Ask("shown");
  if (Shown("profile_select")) Click("profile_select", "btOk");
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return !Shown("profile_select") && Shown("main"); })) << Ask("shown");
  Shot("05_after_kill");
  // Ended from the menu: Exit, the question answered, and the game closes with 0.
  Click("main", "btExit");
  ASSERT_TRUE(WaitShown("messagebox")) << Ask("shown");
  Shot("06_exit_question");
  Click("messagebox", "ok");
  EXPECT_EQ(game.Wait(120.0), 0) << Ask("shown");
}

}  // namespace
