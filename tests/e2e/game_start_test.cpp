// The real program on the offscreen video driver with dummy audio and its own folders: from
// the start through the splash and the loading screen to the main menu with a clean log, an
// end by SIGTERM at every stage with exit code 0, and a second start that finds the profile
// and the settings of the first.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>

#include "engine/core/path_tokens.h"
#include "game/app/player.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

class GameStart : public ::testing::Test {
 protected:
  std::vector<std::string> Env() const {
    return {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "XDG_DATA_HOME=" + tmp.path() + "/data",
            "XDG_RUNTIME_DIR=" + tmp.path(), "HOME=" + tmp.path() + "/home"};
  }
  std::string AppDir() const { return tmp.path() + "/data/Kelvra/Orchardia"; }
  std::string Log() const { return vektest::ReadFileText(AppDir() + "/_log.html"); }
  // The offscreen driver draws on the processor: on a busy machine the splash's and the
  // loading screen's paced frames take minutes, hence the long waits.
  bool WaitForLog(const std::string& line, double seconds = 600.0) {
    return vektest::WaitFor(seconds, [&] { return Log().find(line) != std::string::npos; });
  }
  // Starts the game, waits for the log line, ends it with SIGTERM; true when it ended with 0.
  // The previous run's log goes first: its lines would satisfy the wait before the new process
  // has even reached its signal handlers, and a SIGTERM then ends it by the default action.
  void RunUntilThenTerminate(const std::string& line) {
    std::error_code ignored;
    fs::remove(AppDir() + "/_log.html", ignored);
    vektest::ChildProcess game;
    ASSERT_TRUE(game.Start(vektest::GameBinary(), Env()));
    ASSERT_TRUE(WaitForLog(line)) << line << "\n" << Log();
    game.Signal(SIGTERM);
    EXPECT_EQ(game.Wait(180.0), 0) << line << "\n" << Log().substr(Log().size() > 3000 ? Log().size() - 3000 : 0);
    const std::string log = Log();
    EXPECT_NE(log.find("</html>"), std::string::npos) << "the log was closed";
    EXPECT_EQ(log.find("class='error'"), std::string::npos) << log;
  }

  vektest::TempDir tmp;
};

TEST_F(GameStart, EveryStageEndsCleanlyOnSigterm) {
  // The main menu last: its log holds the whole road.
  for (const char* stage : {"Show splash screen...", "Start loading...", "Game initialization complete. Run game..."}) {
    RunUntilThenTerminate(stage);
  }
  const std::string log = Log();
  size_t at = 0;
  for (const char* line : {"Start game initialization...", "Show splash screen...", "End splash screen",
                           "Start loading...", "Loading complete. Finish game initialization...",
                           "Game initialization complete. Run game..."}) {
    const size_t next = log.find(line, at);
    ASSERT_NE(next, std::string::npos) << line;
    at = next + 1;
  }
  // A fresh install: no profile was made, so nothing was written for one.
  EXPECT_FALSE(fs::exists(AppDir() + "/conf/settings.lua"));
  EXPECT_TRUE(!fs::exists(AppDir() + "/profile") || fs::is_empty(AppDir() + "/profile"));
  // The game's own folders are made for this user alone.
  for (const char* folder : {"", "/conf", "/cache", "/profile"}) {
    const fs::perms perms = fs::status(AppDir() + folder).permissions();
    EXPECT_EQ(perms & fs::perms::all, fs::perms::owner_all) << AppDir() + folder;
  }
}

TEST_F(GameStart, ASecondStartFindsTheProfileAndTheSettings) {
  // A profile as the profile window leaves it.
  vek::SetPathToken(vek::e_AppPath, AppDir());
  {
    cPlayer player("plr000");
    player.GetName() = "Ann";
    ASSERT_TRUE(player.WriteProfile());
  }
  RunUntilThenTerminate("Game initialization complete. Run game...");
  EXPECT_NE(Log().find("Found 1 Player profiles"), std::string::npos);
  const std::string settings = vektest::ReadFileText(AppDir() + "/conf/settings.lua");
  EXPECT_NE(settings.find("player = \"Ann\""), std::string::npos) << settings;
  EXPECT_NE(settings.find("Settings = {"), std::string::npos);
  // The profile is written; its game is not, while the island map is the screen (a game
  // between levels was saved when its level ended).
  EXPECT_TRUE(fs::exists(AppDir() + "/profile/plr000/player.dat"));
  EXPECT_FALSE(fs::exists(AppDir() + "/profile/plr000/save.dat"));
  const auto firstWrite = fs::last_write_time(AppDir() + "/conf/settings.lua");

  RunUntilThenTerminate("Game initialization complete. Run game...");
  const std::string log = Log();
  EXPECT_NE(log.find("Found 1 Player profiles"), std::string::npos);
  EXPECT_EQ(log.find("Can't find payer"), std::string::npos);
  EXPECT_GE(fs::last_write_time(AppDir() + "/conf/settings.lua"), firstWrite);
}

}  // namespace
