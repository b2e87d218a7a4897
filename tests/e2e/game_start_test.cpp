// The real program on the offscreen video driver with dummy audio and its own folders: from
// the start through the splash and the loading screen to the main menu with a clean log, an
// end by SIGTERM at every stage with exit code 0 (each stage with a hostile settings file in
// place, refused with one line), and a second start that finds the profile and the settings of
// the first.
#include <gtest/gtest.h>
#include <signal.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <regex>

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
  // The seconds from the start to the line and from SIGTERM to the end are kept in `took`.
  void RunUntilThenTerminate(const std::string& line) {
    std::error_code ignored;
    fs::remove(AppDir() + "/_log.html", ignored);
    vektest::ChildProcess game;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(game.Start(vektest::GameBinary(), Env()));
    ASSERT_TRUE(WaitForLog(line)) << line << "\n" << Log();
    const auto signalled = std::chrono::steady_clock::now();
    game.Signal(SIGTERM);
    EXPECT_EQ(game.Wait(180.0), 0) << line << "\n" << Log().substr(Log().size() > 3000 ? Log().size() - 3000 : 0);
    const auto end = std::chrono::steady_clock::now();
    took = {std::chrono::duration<double>(signalled - start).count(),
            std::chrono::duration<double>(end - signalled).count()};
    std::printf("%s: %.2f s to the line, %.2f s to the end\n", line.c_str(), took.first, took.second);
    const std::string log = Log();
    EXPECT_NE(log.find("</html>"), std::string::npos) << "the log was closed";
    EXPECT_EQ(log.find("class='error'"), std::string::npos) << log;
  }

  // Plants a settings file with that text, mode and owner (tests run as root give it away).
  void PlantSettings(const std::string& text, mode_t mode, uid_t owner) {
    const std::string path = AppDir() + "/conf/settings.lua";
    // The folders as an earlier run of the game left them: for this user alone.
    fs::create_directories(AppDir() + "/conf");
    for (const std::string& folder : {AppDir(), AppDir() + "/conf"})
      fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
    fs::remove(path);
    ASSERT_TRUE(vektest::WriteFileText(path, text));
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    if (owner != ::geteuid()) {
      ASSERT_EQ(::chown(path.c_str(), owner, owner), 0);
    }
  }

  vektest::TempDir tmp;
  std::pair<double, double> took;
};

TEST_F(GameStart, EveryStageEndsCleanlyOnSigterm) {
  // Each stage finds a hostile settings file: one that never ends, another user's that would
  // run a command, one that others may write. Each start refuses it in one line naming it,
  // goes on with the defaults, and never writes over it (no profile exists).
  const std::string marker = tmp.path() + "/marker";
  const std::string values = "Settings = { windowed = true, width = 640 }\n";
  const bool root = ::geteuid() == 0;
  const struct {
    const char* stage;
    std::string settings;
    mode_t mode;
    uid_t owner;
    const char* why;
  } stages[] = {
      {"Show splash screen...", values + "function WriteSettings() while true do end end\nwhile true do end\n", 0644,
       ::geteuid(), "settings.lua:3: the script ran too long and was stopped"},
      {"Start loading...", values + "os.execute('touch " + marker + "')\n", 0644,
       root ? uid_t(65534) : ::geteuid(), root ? "it belongs to another user (uid 65534)" : "attempt to index global"},
      // The main menu last: its log holds the whole road.
      {"Game initialization complete. Run game...", values, 0666, ::geteuid(), "other users may write it (mode 666)"},
  };
  const std::string settingsPath = AppDir() + "/conf/settings.lua";
  for (const auto& s : stages) {
    SCOPED_TRACE(s.stage);
    PlantSettings(s.settings, s.mode, s.owner);
    RunUntilThenTerminate(s.stage);
    const std::string log = Log();
    const std::string refusal = "Settings file " + settingsPath + " not used: ";
    EXPECT_EQ(log.find(refusal), log.rfind(refusal)) << "one line";
    const size_t at = log.find(refusal);
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_NE(log.find(s.why, at), std::string::npos) << log.substr(at, 300);
    EXPECT_LT(at, log.find("Show splash screen..."));
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_EQ(vektest::ReadFileText(settingsPath), s.settings);
    // A hang would never get here; a loaded machine gets its time. The splash comes right
    // after the settings are read; the later stages wait for paced frames.
    if (&s == &stages[0]) {
      EXPECT_LT(took.first, 60.0);
    }
    EXPECT_LT(took.second, 30.0);
  }
  fs::remove(settingsPath);
  const std::string log = Log();
  size_t at = 0;
  for (const char* line : {"Start game initialization...", "Show splash screen...", "End splash screen",
                           "Start loading...", "Loading complete. Finish game initialization...",
                           "Game initialization complete. Run game..."}) {
    const size_t next = log.find(line, at);
    ASSERT_NE(next, std::string::npos) << line;
    at = next + 1;
  }
  // The game's own pictures load without a word about their sizes.
  EXPECT_EQ(log.find("NPOT texture"), std::string::npos) << log;
  // A fresh install: no profile was made, so nothing was written for one.
  EXPECT_FALSE(fs::exists(settingsPath));
  EXPECT_TRUE(!fs::exists(AppDir() + "/profile") || fs::is_empty(AppDir() + "/profile"));
  // The game's own folders are made for this user alone (the first two were planted above).
  for (const char* folder : {"/cache", "/profile"}) {
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
  // Each number as the shortest text that reads back to it.
  EXPECT_TRUE(std::regex_search(settings, std::regex("\n  gamma = [0-9.]{1,4},\n"))) << settings;
  EXPECT_NE(settings.find("  mouseSpeed = 0.3,\n"), std::string::npos) << settings;
  EXPECT_EQ(settings.find("0000"), std::string::npos) << settings;
  EXPECT_EQ(settings.find("9999"), std::string::npos) << settings;
  // The profile is written; its game is not, while the island map is the screen (a game
  // between levels was saved when its level ended).
  EXPECT_TRUE(fs::exists(AppDir() + "/profile/plr000/player.dat"));
  EXPECT_FALSE(fs::exists(AppDir() + "/profile/plr000/save.dat"));
  const auto firstWrite = fs::last_write_time(AppDir() + "/conf/settings.lua");

  // A settings file that redefines the game's WriteSettings as an endless loop: its values are
  // used, the game's own writer still writes the file at the end, and the end is prompt.
  {
    std::FILE* f = std::fopen((AppDir() + "/conf/settings.lua").c_str(), "a");
    ASSERT_NE(f, nullptr);
    std::fputs("function WriteSettings(path) while true do end end\n", f);
    std::fclose(f);
  }
  RunUntilThenTerminate("Game initialization complete. Run game...");
  EXPECT_LT(took.second, 30.0);
  EXPECT_EQ(vektest::ReadFileText(AppDir() + "/conf/settings.lua"), settings);
  const std::string log = Log();
  EXPECT_EQ(log.find("Settings file "), std::string::npos) << "the file was used";
  EXPECT_NE(log.find("Found 1 Player profiles"), std::string::npos);
  EXPECT_EQ(log.find("Can't find payer"), std::string::npos);
  EXPECT_GE(fs::last_write_time(AppDir() + "/conf/settings.lua"), firstWrite);
}

}  // namespace
