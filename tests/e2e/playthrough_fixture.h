#pragma once
// What the play-through tests of later levels share: profiles written as a player leaves them,
// the real program started with its own folders and test queries on the step clock, and the
// numbers the game reports of its field objects and profile.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <string>

#include "engine/core/path_tokens.h"
#include "game/app/player.h"
#include "tests/support/game_queries.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace playthrough {

// A field object as the game reports it: its rectangle in window pixels, state, need and ware.
struct FieldObject {
  int x = 0, y = 0, w = 0, h = 0, state = 0, stage = 0, ware = 0;
  int CentreX() const { return x + w / 2; }
  int CentreY() const { return y + h / 2; }
};

// The profile's numbers as the game reports them.
struct Profile {
  int progress = -1, money = -1, bank = -1, level = -1, animalKinds = -2;
};

class GameRun : public ::testing::Test {
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

  // A profile as a player leaves it after winning `progress` levels: its grades and times,
  // the money and bank earned, and the snapshot of the next level.
  void MakeProfile(int progress, int bank, int animalKinds = -1) {
    vek::SetPathToken(vek::e_AppPath, AppDir());
    cPlayer player("plr000");
    player.GetName() = "Ann";
    player.levelProgress = progress;
    for (int i = 0; i < progress; ++i) {
      player.timeGrades.push_back(i % 3);
      player.levelTimes.push_back(80.0f + 5.0f * static_cast<float>(i));
    }
    player.bank = bank;
    player.animalKinds = animalKinds;
    ASSERT_TRUE(player.SaveGame(progress));
    ASSERT_TRUE(player.WriteProfile());
  }

  // Starts the game, connects to its test queries on the step clock and skips the opening
  // slides; back once the game has gone on past its loading.
  void StartGame() {
    std::error_code ignored;
    std::filesystem::remove(AppDir() + "/_log.html", ignored);
    q.Close();
    ASSERT_TRUE(game.Start(vektest::GameBinary(),
                           {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy", "XDG_DATA_HOME=" + tmp.path() + "/data",
                            "XDG_RUNTIME_DIR=" + tmp.path(), "HOME=" + tmp.path() + "/home",
                            "XDG_CONFIG_HOME=" + tmp.path() + "/config", "ORCHARDIA_TEST_QUERY=" + Socket()}));
    ASSERT_TRUE(q.Connect(Socket(), 120.0)) << Socket();
    ASSERT_EQ(q.Ask("clock steps"), "ok");
    ASSERT_TRUE(q.SkipSplash()) << q.Ask("focus");
    ASSERT_TRUE(vektest::WaitFor(240.0, [&] { return Log().find("Run game...") != std::string::npos; })) << Log();
  }

  vektest::TempDir tmp;
  vektest::ChildProcess game;
  vektest::GameQueries q;
};

}  // namespace playthrough
