// The title menus played on the real program with mouse and keyboard events (offscreen video,
// dummy audio, its own folders): a fresh install asks for a name, the new player is greeted,
// the options change the music volume and the window mode, and the game ends through the exit
// question. A second start finds the player and the options. Each screen is saved under
// build/screenshots/ with the game's own screenshot key.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Centres of the controls in window pixels (top-left origin) of a 1024 x 768 window, from the
// window files' positions (bottom-left origin): buttons are 56 high.
struct Point {
  int x, y;
};
constexpr Point kProfileAddOk{302 + 98, 768 - (282 + 28)};
constexpr Point kProfileSelectPlay{392 + 120, 768 - (128 + 28)};
constexpr Point kMainOptions{392 + 120, 768 - (156 + 28)};
constexpr Point kMainExit{392 + 120, 768 - (86 + 28)};
constexpr Point kOptionsBack{392 + 120, 768 - (72 + 28)};
constexpr Point kOptionsWindowed{250 + 20, 768 - (212 + 20)};
// A quarter along the music groove (x 510, width 260; 24 high at y 278).
constexpr Point kOptionsMusicQuarter{510 + 65, 768 - (278 + 12)};
constexpr Point kMessageBoxOk{302 + 98, 768 - (262 + 28)};

class TitleMenus : public ::testing::Test {
 protected:
  std::vector<std::string> Env() const {
    return {"SDL_VIDEODRIVER=offscreen",
            "SDL_AUDIODRIVER=dummy",
            "XDG_DATA_HOME=" + tmp.path() + "/data",
            "XDG_CONFIG_HOME=" + tmp.path() + "/config",
            "XDG_RUNTIME_DIR=" + tmp.path(),
            "HOME=" + tmp.path() + "/home",
            "LD_PRELOAD=" VEK_INPUT_FEED_LIBRARY,
            "VEK_INPUT_FEED=" + Feed()};
  }
  std::string Feed() const { return tmp.path() + "/input.txt"; }
  std::string AppDir() const { return tmp.path() + "/data/Kelvra/Orchardia"; }
  std::string Desktop() const { return tmp.path() + "/home/Desktop"; }
  std::string Log() const { return vektest::ReadFileText(AppDir() + "/_log.html"); }
  std::string Settings() const { return vektest::ReadFileText(AppDir() + "/conf/settings.lua"); }
  std::string LogTail() const {
    const std::string log = Log();
    return log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
  }
  // The offscreen driver draws on the processor: on a busy machine the splash and the
  // loading screen take long, hence the long waits.
  bool WaitForLog(const std::string& line, double seconds = 600.0) {
    return vektest::WaitFor(seconds, [&] { return Log().find(line) != std::string::npos; });
  }
  void Send(const std::string& line) {
    std::ofstream(Feed(), std::ios::app) << line << "\n";
  }
  void Click(Point p, int settleFrames = 20) {
    Send("click " + std::to_string(p.x) + " " + std::to_string(p.y));
    Send("wait " + std::to_string(settleFrames));
  }
  // The game's screenshot key; the picture goes to build/screenshots/title_<name>.png. It also
  // tells that every command sent before it has been played.
  void Shot(const std::string& name) {
    std::set<fs::path> before;
    if (fs::exists(Desktop()))
      for (const auto& e : fs::directory_iterator(Desktop())) before.insert(e.path());
    Send("key printscreen");
    Send("wait 2");
    fs::path taken;
    ASSERT_TRUE(vektest::WaitFor(240.0, [&] {
      if (!fs::exists(Desktop())) return false;
      for (const auto& e : fs::directory_iterator(Desktop()))
        if (!before.count(e.path()) && e.path().extension() == ".png" && fs::file_size(e.path()) > 0) {
          taken = e.path();
          return true;
        }
      return false;
    })) << name << "\n" << LogTail();
    const fs::path out = fs::path(VEK_BUILD_DIR) / "screenshots";
    fs::create_directories(out);
    // Written whole before it is named: wait until the size holds still.
    std::uintmax_t size = 0;
    vektest::WaitFor(10.0, [&] {
      const std::uintmax_t now = fs::file_size(taken);
      const bool still = now == size;
      size = now;
      return still;
    });
    fs::copy_file(taken, out / ("title_" + name + ".png"), fs::copy_options::overwrite_existing);
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
};

TEST_F(TitleMenus, NewPlayerOptionsAndExitThenASecondStartKeepsThem) {
  {
    vektest::ChildProcess game;
    game.SetStderrFile(tmp / "first.txt");
    ASSERT_TRUE(game.Start(vektest::GameBinary(), Env()));
    ASSERT_TRUE(WaitForLog("Game initialization complete. Run game...")) << LogTail();
    Send("wait 30");
    // A fresh install: the profile creation comes up with the account's name in the field.
    Shot("1_new_player");
    for (int i = 0; i < 16; ++i) Send("key backspace");
    Send("text Ann");
    Send("wait 5");
    Shot("2_name_typed");
    Click(kProfileAddOk, 30);
    Shot("3_profiles");
    Click(kProfileSelectPlay, 30);
    Shot("4_main_menu");

    Click(kMainOptions, 30);
    Shot("5_options");
    // The music knob dragged to a quarter of its groove.
    Send("down " + std::to_string(kOptionsMusicQuarter.x) + " " + std::to_string(kOptionsMusicQuarter.y));
    Send("wait 3");
    Send("move " + std::to_string(kOptionsMusicQuarter.x + 1) + " " + std::to_string(kOptionsMusicQuarter.y));
    Send("wait 3");
    Send("up " + std::to_string(kOptionsMusicQuarter.x) + " " + std::to_string(kOptionsMusicQuarter.y));
    Send("wait 10");
    Click(kOptionsWindowed, 60);
    Shot("6_options_changed");
    Click(kOptionsBack, 60);
    Click(kMainExit, 60);
    Shot("7_exit_question");
    Click(kMessageBoxOk);
    EXPECT_EQ(game.Wait(180.0), 0) << LogTail() << vektest::ReadFileText(tmp / "first.txt");
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
    fs::remove(Feed());  // a new program reads the command file from its start
    vektest::ChildProcess game;
    game.SetStderrFile(tmp / "second.txt");
    ASSERT_TRUE(game.Start(vektest::GameBinary(), Env()));
    ASSERT_TRUE(WaitForLog("Game initialization complete. Run game...")) << LogTail();
    EXPECT_NE(Log().find("Found 1 Player profiles"), std::string::npos);
    Send("wait 30");
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
