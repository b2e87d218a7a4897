// The engine on the real platform (offscreen window, SDL's dummy audio device) plays a sample
// and a module of the data set while its main loop runs.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/app/game.h"
#include "engine/files/data_manager.h"
#include "engine/files/filename.h"
#include "engine/gui/widget.h"
#include "engine/sound/music.h"
#include "engine/sound/sound.h"
#include "engine/sound/sound_manager.h"
#include "platform/audio.h"
#include "platform/window.h"
#include "tests/support/temp_dir.h"

namespace {

class Player : public vek::cWidget {
 public:
  Player() : vek::cWidget("player") {}
  void Update(float) override {
    if (++frames == 1) {
      clickPlayed = click.Play(true);
      musicPlayed = music->Play();
    }
    if (frames == 2) musicPlaying = music->IsPlaying();
    if (frames == 30) vek::g_pGame->Exit(0);
  }
  vek::cSound click{"click"};
  vek::cMusic* music = nullptr;
  int frames = 0;
  bool clickPlayed = false, musicPlayed = false, musicPlaying = false;
};

TEST(SoundLoop, SampleAndModulePlayOnTheDummyDevice) {
  vektest::TempDir tmp;
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  setenv("XDG_DATA_HOME", tmp.path().c_str(), 1);
  plat::SetWindow(nullptr);

  auto* game = new vek::cGame();
  vek::cGame::cSettings s;
  s.title = s.appName = "Orchardia";
  game->Init(s);
  ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
  EXPECT_EQ(plat::audio::CurrentOutput(), plat::audio::OutputKind::Device)
      << plat::audio::FallbackReason();

  const std::string dir = std::string(VEK_TEST_BIN_DIR) + "/data/sounds/";
  vek::cDataManager::cSampleRecord sample;
  ASSERT_EQ(vek::cDataManager::ReadSoundBuffer(vek::filename(dir + "click.wav"), &sample),
            vek::cDataManager::Ok);
  new vek::cSoundManager::cSoundBuffer(sample.handle, "click", false);
  vek::cDataManager::cModuleRecord module;
  ASSERT_EQ(vek::cDataManager::ReadMusicBuffer(vek::filename(dir + "music_menu.mod"), &module),
            vek::cDataManager::Ok);
  new vek::cSoundManager::cMusicBuffer(module.handle, "music", false);

  auto* player = new Player();
  player->music = new vek::cMusic("menu", "music", false);
  game->SetFocusWidget("player");
  EXPECT_EQ(game->Run(), 0);
  EXPECT_TRUE(player->clickPlayed);
  EXPECT_TRUE(player->musicPlayed);
  EXPECT_TRUE(player->musicPlaying);

  game->DestroyWindow();
  game->Shutdown();
  delete game;
  const std::string log = vektest::ReadFileText(tmp.path() + "/Kelvra/Orchardia/_log.html");
  EXPECT_EQ(log.find("class='error'"), std::string::npos) << log;
  EXPECT_EQ(log.find("class='warning'"), std::string::npos) << log;
  plat::GetWindow().Shutdown();
  plat::SetWindow(nullptr);
}

}  // namespace
