// The title menus played on the real program with mouse and keyboard events (offscreen video,
// dummy audio, its own folders), the places to click asked of the running game (its test
// queries): a fresh install asks for a name, the new player is greeted, the options change the
// music volume and the window mode, and the game ends through the exit question. A second
// start finds the player and the options. Each screen is saved as build/screenshots/title_*.png.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <sstream>

#include "tests/support/game_queries.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class TitleMenus : public ::testing::Test {
 protected:
  std::vector<std::string> Env() const { return vektest::GameEnv(tmp.path(), Socket()); }
  std::string Socket() const { return tmp.path() + "/q.sock"; }
  std::string AppDir() const { return tmp.path() + "/data/Kelvra/Orchardia"; }
  std::string Log() const { return vektest::ReadFileText(AppDir() + "/_log.html"); }
  std::string Settings() const { return vektest::ReadFileText(AppDir() + "/conf/settings.lua"); }
  std::string LogTail() const {
    const std::string log = Log();
    return log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
  }
  // Starts the game, connects to its test queries, skips the opening slides and waits for the
  // game to run its frames. The offscreen driver draws on the processor: on a busy machine the
  // loading takes long.
  void Start(vektest::ChildProcess& game, const std::string& stderrFile) {
    game.SetStderrFile(tmp / stderrFile);
    ASSERT_TRUE(game.Start(vektest::GameBinary(), Env()));
    ASSERT_TRUE(q.Connect(Socket(), 120.0)) << LogTail();
    // Every frame one fixed step, unpaced: the game as fast as this machine draws it.
    ASSERT_EQ(q.Ask("clock steps"), "ok");
    ASSERT_TRUE(q.SkipSplash()) << q.Ask("focus") << "\n" << LogTail();
    ASSERT_TRUE(vektest::WaitFor(270.0, [&] {
      return Log().find("Game initialization complete. Run game...") != std::string::npos;
    })) << LogTail();
  }
  void Click(const std::string& window, const std::string& control) {
    ASSERT_TRUE(q.Click(window, control)) << window << "." << control << " " << q.Ask("shown");
  }
  void Shot(const std::string& name) {
    ASSERT_TRUE(q.Shot(tmp.path() + "/home/Desktop", "title_" + name)) << name << "\n" << LogTail();
  }
  void ExpectCleanLog() {
    const std::string log = Log();
    EXPECT_NE(log.find("</html>"), std::string::npos) << "the log was closed";
    EXPECT_EQ(log.find("class='error'"), std::string::npos) << log;
  }
  static double Number(const std::string& settings, const std::string& name) {
    const size_t at = settings.find(name + " = ");
    return at == std::string::npos ? -1.0 : std::stod(settings.substr(at + name.size() + 3));
  }

  vektest::TempDir tmp;
  vektest::GameQueries q;
};

TEST_F(TitleMenus, NewPlayerOptionsAndExitThenASecondStartKeepsThem) {
  {
    vektest::ChildProcess game;
    Start(game, "first.txt");
    // A fresh install: the profile creation comes up with the account's name in the field.
    ASSERT_TRUE(q.WaitShown("profile_add")) << q.Ask("shown");
    ASSERT_TRUE(q.WaitSettled());
    Shot("1_new_player");
    // With no player yet there is no way back: Escape says that a name is wanted first.
    ASSERT_EQ(q.Ask("key Escape"), "ok");
    ASSERT_TRUE(q.WaitShown("messagebox")) << q.Ask("shown");
    EXPECT_NE(q.Ask("words messagebox").find("needs a gardener"), std::string::npos) << q.Ask("words messagebox");
    Shot("1_name_wanted");
    ASSERT_EQ(q.Ask("key Escape"), "ok");
    ASSERT_TRUE(q.WaitGone("messagebox")) << q.Ask("shown");
    EXPECT_TRUE(q.Shown("profile_add")) << q.Ask("shown");
    for (int i = 0; i < 16; ++i) ASSERT_EQ(q.Ask("key Backspace"), "ok");
    ASSERT_EQ(q.Ask("text Ann"), "ok");
    Shot("2_name_typed");
    Click("profile_add", "ok");
    ASSERT_TRUE(q.WaitGone("profile_add")) << q.Ask("shown");
    ASSERT_TRUE(q.WaitShown("profile_select")) << q.Ask("shown");
    Shot("3_profiles");
    Click("profile_select", "btOk");
    ASSERT_TRUE(q.WaitGone("profile_select")) << q.Ask("shown");
    ASSERT_TRUE(q.WaitShown("main")) << q.Ask("shown");
    Shot("4_main_menu");

    Click("main", "btOptions");
    ASSERT_TRUE(q.WaitShown("options")) << q.Ask("shown");
    Shot("5_options");
    // The music knob dragged to a quarter of its groove.
    int x = 0, y = 0, w = 0, h = 0;
    {
      std::istringstream in(q.Ask("rect options slMusic"));
      std::string ok;
      ASSERT_TRUE(in >> ok >> x >> y >> w >> h && ok == "ok") << q.Ask("shown");
    }
    const std::string quarter = std::to_string(x + w / 4) + " " + std::to_string(y + h / 2);
    ASSERT_EQ(q.Ask("down " + quarter), "ok");
    q.Frames(1);
    ASSERT_EQ(q.Ask("move " + quarter), "ok");
    ASSERT_EQ(q.Ask("up " + quarter), "ok");
    // The window mode's box is the square at the check's left; its words run on to the right.
    {
      std::istringstream in(q.Ask("rect options cbWindowed"));
      std::string ok;
      ASSERT_TRUE(in >> ok >> x >> y >> w >> h && ok == "ok") << q.Ask("shown");
    }
    ASSERT_EQ(q.Ask("click " + std::to_string(x + h / 2) + " " + std::to_string(y + h / 2)), "ok");
    Shot("6_options_changed");
    Click("options", "btBack");
    ASSERT_TRUE(q.WaitGone("options")) << q.Ask("shown");
    Click("main", "btExit");
    ASSERT_TRUE(q.WaitShown("messagebox")) << q.Ask("shown");
    Shot("7_exit_question");
    Click("messagebox", "ok");
    EXPECT_EQ(game.Wait(180.0), 0) << LogTail() << vektest::ReadFileText(tmp / "first.txt");
    q.Close();
  }
  fs::copy_file(AppDir() + "/_log.html", tmp / "first_log.html");
  ExpectCleanLog();
  std::string settings = Settings();
  EXPECT_NE(settings.find("player = \"Ann\""), std::string::npos) << settings;
  EXPECT_NEAR(Number(settings, "musicVolume"), 0.25, 0.03) << settings;
  EXPECT_NE(settings.find("windowed = true"), std::string::npos) << settings;
  bool profile = false;
  for (const auto& e : fs::directory_iterator(AppDir() + "/profile")) profile = profile || fs::exists(e.path() / "player.dat");
  EXPECT_TRUE(profile);

  // Again: the player is selected and the options are back.
  {
    fs::remove(AppDir() + "/_log.html");
    vektest::ChildProcess game;
    Start(game, "second.txt");
    EXPECT_NE(Log().find("Found 1 Player profiles"), std::string::npos);
    ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return q.Shown("main") || q.Shown("profile_select"); }))
        << q.Ask("shown");
    Shot("8_second_start");
    game.Signal(SIGTERM);
    EXPECT_EQ(game.Wait(180.0), 0) << LogTail();
  }
  ExpectCleanLog();
  settings = Settings();
  EXPECT_NE(settings.find("player = \"Ann\""), std::string::npos) << settings;
  EXPECT_NEAR(Number(settings, "musicVolume"), 0.25, 0.03) << settings;
  EXPECT_NE(settings.find("windowed = true"), std::string::npos) << settings;
}

}  // namespace
