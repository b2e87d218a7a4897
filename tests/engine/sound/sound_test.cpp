#include "engine/sound/sound.h"

#include <gtest/gtest.h>

#include <memory>

#include "engine/sound/music.h"
#include "tests/engine/sound/sound_fixture.h"

namespace au = plat::audio;
using vektest::SoundFixture;

namespace {
int OrderOf(const vek::cMusic& m) {
  return int(au::ChannelGetPosition(m.GetChannel(), au::PosMode::Order) & 0xFFFF);
}
int RowOf(const vek::cMusic& m) {
  return int((au::ChannelGetPosition(m.GetChannel(), au::PosMode::Order) >> 16) & 0xFFFF);
}
}  // namespace

TEST_F(SoundFixture, UnknownSoundWarnsAtConstructionAndFirstPlayOnly) {
  vek::cSound s("nope");
  EXPECT_EQ(s.GetChannel(), 0u);
  EXPECT_FALSE(s.Play(false));
  EXPECT_FALSE(s.Play(true));
  EXPECT_FALSE(s.Play(false));
  EXPECT_EQ(Count("cSound: constructor: sound buffer not found 'nope'"), 1);
  EXPECT_EQ(Count("cSound: Play: invalid sound (id = 0)"), 1);
  EXPECT_FALSE(s.SetVolume(0.5f));
  EXPECT_FALSE(s.IsLooped());
  EXPECT_FALSE(s.FadeOut(1.0f));

  // The default item's name binds to item 0: no channel and no construction warning.
  vek::cSound d("unnamed");
  EXPECT_EQ(d.GetChannel(), 0u);
  EXPECT_EQ(Count("constructor: sound buffer not found"), 1);
}

TEST_F(SoundFixture, SoundsBindToTheirSampleAndTakeOverTheLongestPlaying) {
  // Two playbacks, loaded the way the reader loads samples.
  auto* b = AddSample("beep", vektest::MakeConstantWav(44100, 1000), 2, au::kOverPos);
  {
    vek::cSound first(b->name);
    ASSERT_NE(first.GetChannel(), 0u);
    EXPECT_EQ(first.GetIndex(), 1u);
    EXPECT_TRUE(first.Play(false));
  }  // a one-shot sound plays on after its object is gone
  Render(100);
  // The game's sound table: a sound made empty, bound by index, played once.
  for (int i = 0; i < 3; ++i) {
    vek::cSound s;
    s.Init(1);
    EXPECT_TRUE(s.Play(false));
    Render(100);
  }
  // Never more than two at once.
  EXPECT_TRUE(AllEqual(Render(10), 2000));
  vek::cSound past;
  past.Init(99);  // past the end: item 0, no channel, no warning
  EXPECT_EQ(past.GetChannel(), 0u);
  EXPECT_EQ(Count("Init: BASS_SampleGetChannel"), 0);
}

TEST_F(SoundFixture, DestroyingALoopedSoundStopsIt) {
  auto* looped = AddSample("rain", vektest::MakeConstantWav(100, 1000), 1, au::kLoop);
  auto* once = AddSample("drop", vektest::MakeConstantWav(44100, 500));
  std::uint32_t loopChannel, onceChannel;
  {
    vek::cSound a(looped->name), b(once->name);
    EXPECT_TRUE(a.IsLooped());
    EXPECT_FALSE(b.IsLooped());
    a.Play(true);
    b.Play(true);
    loopChannel = a.GetChannel();
    onceChannel = b.GetChannel();
    EXPECT_TRUE(AllEqual(Render(10), 1500));
  }
  EXPECT_EQ(au::ChannelIsActive(loopChannel), au::State::Stopped);
  EXPECT_EQ(au::ChannelIsActive(onceChannel), au::State::Playing);
  EXPECT_TRUE(AllEqual(Render(10), 500));
}

TEST_F(SoundFixture, FadeOutStopsTheSound) {
  auto* b = AddSample("water", vektest::MakeConstantWav(100, 1000), 1, au::kLoop);
  vek::cSound s(b->name);
  s.Play(true);
  EXPECT_TRUE(s.FadeOut(0.1f));
  Render(4410);
  EXPECT_EQ(au::ChannelIsActive(s.GetChannel()), au::State::Stopped);
  // The next use sets its volume and plays again.
  EXPECT_TRUE(s.SetVolume(0.5f));
  EXPECT_TRUE(s.Play(true));
  EXPECT_TRUE(AllEqual(Render(10), 500));
}

TEST_F(SoundFixture, ModuleMusicPlaysFromItsStartOrderAndLoopsItsRange) {
  AddModule("songs.mod", vektest::MakeModule(6));
  vek::cMusic* menu = new vek::cMusic("menu", "songs.mod", 2, 3, false);
  vek::cMusic* whole = new vek::cMusic("whole", "songs.mod", false);
  EXPECT_EQ(vek::GetSound()->FindMusic("menu"), menu);
  EXPECT_EQ(vek::GetSound()->FindMusic("nothing"), vek::GetSound()->GetMusics().Get(0));
  menu->SetLoop();
  ASSERT_TRUE(menu->Play());
  EXPECT_TRUE(menu->IsPlaying());
  std::vector<int> seen;
  for (int t = 0; t < 40; ++t) {
    Render(441);
    if (seen.empty() || seen.back() != OrderOf(*menu)) seen.push_back(OrderOf(*menu));
  }
  EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 5), (std::vector<int>{2, 3, 2, 3, 2}));

  // Playing again at the start order does not move it back to row 0.
  ASSERT_TRUE(menu->Pause());
  EXPECT_FALSE(menu->IsPlaying());
  while (OrderOf(*menu) != 2 || RowOf(*menu) == 0) {
    menu->Play();
    Render(441);
    menu->Pause();
  }
  const int row = RowOf(*menu);
  ASSERT_TRUE(menu->Play());
  EXPECT_EQ(RowOf(*menu), row);
  // Another music of the same module moves it to its own start.
  menu->Pause();
  ASSERT_TRUE(whole->Play());
  EXPECT_EQ(OrderOf(*whole), 0);
  EXPECT_EQ(RowOf(*whole), 0);
}

TEST_F(SoundFixture, MusicWithoutBufferWarnsOnEveryPlay) {
  vek::cMusic* m = new vek::cMusic("lost", "missing.mod", false);
  vek::cMusic* s = new vek::cMusic("gone.ogg", false);
  EXPECT_EQ(m->GetChannel(), 0u);
  EXPECT_FALSE(m->Play());
  EXPECT_FALSE(m->Play());
  EXPECT_FALSE(s->Play());
  EXPECT_EQ(Count("cMusic: Play: invalid music 'lost'"), 2);
  EXPECT_EQ(Count("cMusic: Play: invalid music 'gone.ogg'"), 1);
  EXPECT_FALSE(m->Pause());
  EXPECT_FALSE(m->IsPlaying());
  EXPECT_FALSE(m->SetVolume(1.0f));
  EXPECT_FALSE(m->Fade(true, 1.0f));
  m->SetLoop();
}

TEST_F(SoundFixture, PlayingWhileTheOutputIsPausedLeavesItPaused) {
  AddStream("calm.ogg", vektest::MakeOgg(44100, 2, 44100));
  vek::cMusic* m = new vek::cMusic("calm.ogg", false);
  vek::GetSound()->Pause();
  EXPECT_TRUE(m->Play());
  EXPECT_TRUE(vek::GetSound()->IsPaused());
  EXPECT_TRUE(AllEqual(Render(1000), 0));
  vek::GetSound()->Resume();
  EXPECT_FALSE(AllEqual(Render(1000), 0));
}

TEST_F(SoundFixture, MusicsCrossFadeAtTheGlobalMusicVolume) {
  AddModule("songs.mod", vektest::MakeModule(4));
  AddStream("calm.ogg", vektest::MakeOgg(44100, 2, 44100));
  vek::cMusic* current = new vek::cMusic("level", "songs.mod", false);
  vek::cMusic* next = new vek::cMusic("calm.ogg", false);
  vek::GetSound()->SetVolume(2, 0.5f);
  current->SetLoop();
  ASSERT_TRUE(current->Play());
  Render(4410);
  // The game's change of music: out over 1 s, then in over 1 s, looped and played.
  ASSERT_TRUE(current->Fade(false, 1.0f));
  ASSERT_TRUE(next->Fade(true, 1.0f));
  next->SetLoop();
  ASSERT_TRUE(next->Play());
  float v = -1;
  au::ChannelGetVolume(next->GetChannel(), &v);
  EXPECT_EQ(v, 0.0f);
  Render(22050);
  au::ChannelGetVolume(next->GetChannel(), &v);
  EXPECT_NEAR(v, 0.25f, 1e-3);
  au::ChannelGetVolume(current->GetChannel(), &v);
  EXPECT_NEAR(v, 0.5f, 1e-3);
  EXPECT_TRUE(current->IsPlaying());
  Render(22050);
  au::ChannelGetVolume(next->GetChannel(), &v);
  EXPECT_FLOAT_EQ(v, 0.5f);
  EXPECT_FALSE(current->IsPlaying());
  EXPECT_TRUE(next->IsPlaying());
  // The stream loops past its one second.
  Render(44100);
  EXPECT_TRUE(next->IsPlaying());
}
