#include "engine/sound/sound_manager.h"

#include <gtest/gtest.h>

#include "engine/sound/music.h"
#include "engine/sound/sound.h"
#include "tests/engine/sound/sound_fixture.h"

namespace au = plat::audio;
using vektest::SoundFixture;

TEST_F(SoundFixture, CreateAndDestroyLogAndKeepOneManager) {
  vek::cSoundManager* first = vek::GetSound();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Count("CreateSoundManager: Ok"), 1);
  // Slot 0 of every container holds the default item.
  EXPECT_EQ(first->GetSoundBuffers().Get(0)->name, "unnamed");
  EXPECT_EQ(first->GetMusicBuffers().Get(0)->name, "unnamed");
  EXPECT_EQ(first->GetStreamBuffers().Get(0)->name, "unnamed");
  EXPECT_EQ(first->GetMusics().Get(0)->name, "unnamed");
  EXPECT_EQ(first->GetSoundBuffers().Count(), 1u);

  EXPECT_FALSE(vek::CreateSoundManager());
  EXPECT_EQ(Count("CreateSoundManager: Manager already exists"), 1);
  EXPECT_EQ(vek::GetSound(), first);

  EXPECT_TRUE(vek::DestroySoundManager());
  EXPECT_EQ(Count("DestroySoundManager: Ok"), 1);
  EXPECT_EQ(vek::GetSound(), nullptr);
  EXPECT_FALSE(vek::DestroySoundManager());
  EXPECT_EQ(Count("DestroySoundManager: Manager does not exist"), 1);
  EXPECT_FALSE(vek::cSoundManager::DumpConfig());
  EXPECT_EQ(Count("DumpConfig: info is unavailable - sound manager was not initialized"), 1);
}

TEST_F(SoundFixture, VolumeTable) {
  vek::cSoundManager* sm = vek::GetSound();
  AddModule("tune", vektest::MakeModule(2));
  vek::cMusic* playing = new vek::cMusic("playing", "tune", false);
  AddStream("calm", vektest::MakeOgg(44100, 2, 4410));
  vek::cMusic* paused = new vek::cMusic("calm", false);
  ASSERT_TRUE(playing->Play());
  ASSERT_TRUE(paused->Play());
  ASSERT_TRUE(paused->Pause());
  paused->SetVolume(0.75f);

  struct Case {
    int kind;
    float volume;
    std::uint32_t sample, music, stream;
    bool warns;
  };
  const Case cases[] = {
      {2, 1.5f, 10000, 10000, 10000, true},   // out of range: nothing changes
      {1, -0.1f, 10000, 10000, 10000, true},
      {0, 0.5f, 10000, 10000, 10000, false},  // kind 0: nothing, no warning
      {3, 0.5f, 10000, 10000, 10000, false},
      {1, 0.3f, 3000, 10000, 10000, false},
      {2, 0.25f, 3000, 2500, 2500, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind * 1000 + int(c.volume * 100));
    const int before = Count("SetVolume: volume invalid");
    sm->SetVolume(c.kind, c.volume);
    EXPECT_EQ(Count("SetVolume: volume invalid") - before, c.warns ? 1 : 0);
    EXPECT_EQ(au::GetConfig(au::Config::SampleVolume), c.sample);
    EXPECT_EQ(au::GetConfig(au::Config::MusicVolume), c.music);
    EXPECT_EQ(au::GetConfig(au::Config::StreamVolume), c.stream);
  }
  // The playing music took the volume; the paused one kept its own.
  float v = 0;
  au::ChannelGetVolume(playing->GetChannel(), &v);
  EXPECT_FLOAT_EQ(v, 0.25f);
  au::ChannelGetVolume(paused->GetChannel(), &v);
  EXPECT_FLOAT_EQ(v, 0.75f);
  EXPECT_FLOAT_EQ(sm->GetVolume(0), 0.25f);
  EXPECT_FLOAT_EQ(sm->GetVolume(2), 0.25f);
  EXPECT_FLOAT_EQ(sm->GetVolume(1), 0.3f);
}

TEST_F(SoundFixture, ThreeDSettingsApplyOnlyWhatIsPending) {
  vek::cSoundManager* sm = vek::GetSound();
  EXPECT_TRUE(sm->Set3DSettings(2.0f, 0.5f, 1.5f, true));
  EXPECT_FALSE(sm->Is3DPending());
  EXPECT_TRUE(sm->Set3DSettings(3.0f, 0.5f, 1.5f, false));
  EXPECT_TRUE(sm->Is3DPending());
  EXPECT_TRUE(sm->Set3DSettings(4.0f, 0.25f, 1.0f, true));
  EXPECT_FALSE(sm->Is3DPending());
  float d = 0, r = 0, p = 0;
  EXPECT_TRUE(sm->Get3DSettings(&d, &r, &p));
  EXPECT_EQ(d, 4.0f);
  EXPECT_EQ(r, 0.25f);
  EXPECT_EQ(p, 1.0f);
  // A 3-D sample's channel gets the manager's (unchanged) attributes and marks them pending.
  auto* b = AddSample("pos", vektest::MakeConstantWav(100, 1), 1, au::k3D);
  vek::cSound s(b->name);
  EXPECT_NE(s.GetChannel(), 0u);
  EXPECT_TRUE(sm->Is3DPending());
}

TEST_F(SoundFixture, DumpsListTheirKindsOnly) {
  vek::cSoundManager* sm = vek::GetSound();
  AddSample("click", vektest::MakeConstantWav(1024, 1));  // 2 Kb of 16-bit sound
  AddSample("pos", vektest::MakeConstantWav(512, 1), 1, au::k3D);
  AddModule("tune.mod", vektest::MakeModule(2));
  new vek::cMusic("menu", "tune.mod", 1, 2, false);
  AddStream("calm.ogg", vektest::MakeOgg(44100, 2, 1024));
  sm->SetVolume(1, 0.5f);

  std::size_t mark = Mark();
  EXPECT_TRUE(sm->Dump(3));
  std::string text = Since(mark);
  EXPECT_EQ(text.find("Sound Buffers."), std::string::npos);
  EXPECT_EQ(text.find("Music Buffers."), std::string::npos);
  EXPECT_NE(text.find("Stream Buffers."), std::string::npos);
  EXPECT_NE(text.find("  |  1 | " + std::string(55, ' ') + "calm.ogg |       4.0  |"), std::string::npos);
  EXPECT_NE(text.find("Stream buffers count: 1. All Stream buffers size: 4.0"), std::string::npos);
  EXPECT_EQ(text.find("occuped"), std::string::npos);
  EXPECT_NE(text.find("Settings:\nVolumes: sound 0.500, music 1.000\n"), std::string::npos);

  mark = Mark();
  EXPECT_TRUE(sm->Dump(0));
  text = Since(mark);
  EXPECT_NE(text.find("Sound Buffers. Blue Buffers - mono for using 3D."), std::string::npos);
  EXPECT_NE(text.find("  |  1 |                  click |       2.0  |"), std::string::npos);
  EXPECT_NE(text.find("  |  2 |                    pos |       1.0  |"), std::string::npos);
  EXPECT_NE(text.find("Sound buffers count: 2. All buffers size (Kb): 3.0"), std::string::npos);
  EXPECT_NE(text.find("  |  1 |                   menu |           1  |           2  |"), std::string::npos);
  EXPECT_NE(text.find("Musics count: 1"), std::string::npos);
  EXPECT_NE(text.find("Stream Buffers."), std::string::npos);
  EXPECT_NE(text.find("Sound manager occuped"), std::string::npos);
  // The 3-D buffer is shown in blue.
  EXPECT_NE(vektest::ReadFileText(tmp / "_log.html").find("pos</span>"), std::string::npos);

  mark = Mark();
  EXPECT_TRUE(vek::cSoundManager::DumpConfig());
  text = Since(mark);
  EXPECT_NE(text.find("Sound System:\n  Offline render\n  Driver: offline\n  Total hardware memory: 0\n"),
            std::string::npos);
  EXPECT_NE(text.find("  The maximum Buffer rate supported by the hardware: 44100\n  EAX: disabled\n"),
            std::string::npos);
}

TEST_F(SoundFixture, PauseAndResumeTheOutput) {
  vek::cSoundManager* sm = vek::GetSound();
  auto* b = AddSample("hum", vektest::MakeConstantWav(44100, 1000));
  vek::cSound s(b->name);
  ASSERT_TRUE(s.Play(true));
  EXPECT_TRUE(AllEqual(Render(10), 1000));
  sm->Pause();
  EXPECT_TRUE(sm->IsPaused());
  EXPECT_TRUE(AllEqual(Render(10), 0));
  EXPECT_TRUE(sm->Resume());
  EXPECT_FALSE(sm->IsPaused());
  EXPECT_TRUE(AllEqual(Render(10), 1000));
}

class FailedSoundManager : public SoundFixture {
 protected:
  void SetUp() override {
    createManager = false;
    SoundFixture::SetUp();
    // The library is taken already: the manager's start fails.
    ASSERT_TRUE(au::Init(1, 44100));
  }
};

TEST_F(FailedSoundManager, KeepsTheSingletonAndEveryOperationIsHarmless) {
  EXPECT_FALSE(vek::CreateSoundManager());
  EXPECT_EQ(Count("cSoundManager: Init: BASS_Init"), 1);
  EXPECT_EQ(Count("CreateSoundManager: Init"), 1);
  vek::cSoundManager* sm = vek::GetSound();
  ASSERT_NE(sm, nullptr);
  au::Free();  // now no library at all
  vek::cSound s("unnamed");
  EXPECT_FALSE(s.Play(false));
  EXPECT_FALSE(vek::GetSound()->GetMusics().Get(0)->Play());
  sm->SetVolume(1, 0.5f);
  EXPECT_EQ(Count("SetVolume: BASS_SetConfig( BASS_CONFIG_GVOL_SAMPLE )"), 1);
  EXPECT_EQ(sm->GetVolume(1), 0.0f);
  EXPECT_FALSE(sm->Set3DSettings(1, 1, 1, true));
  EXPECT_TRUE(sm->Dump(0));
  EXPECT_FALSE(vek::cSoundManager::DumpConfig());
  EXPECT_EQ(Count("DumpConfig: BASS_GetInfo"), 1);
  EXPECT_FALSE(sm->Resume());
  EXPECT_TRUE(vek::DestroySoundManager());
  EXPECT_EQ(Count("Free: BASS_Free"), 1);
}
