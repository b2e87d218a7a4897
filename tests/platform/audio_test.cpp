#include "platform/audio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "tests/support/sound_fixtures.h"
#include "tests/support/temp_dir.h"

namespace au = plat::audio;
using vektest::Bytes;

namespace {

constexpr int kRate = 44100;

class OfflineAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    au::SetOutputKind(au::OutputKind::Offline);
    ASSERT_TRUE(au::Init(1, kRate));
  }
  void TearDown() override {
    au::Free();
    au::SetOutputKind(au::OutputKind::Device);
  }
  std::vector<std::int16_t> Render(std::size_t frames) {
    std::vector<std::int16_t> out(frames * 2, 12345);
    EXPECT_EQ(au::Render(out.data(), frames), frames);
    return out;
  }
  au::Handle LoadSample(const Bytes& b, std::uint32_t max = 1, std::uint32_t flags = 0) {
    return au::SampleLoad(b.data(), b.size(), max, flags);
  }
  au::Handle LoadModule(const Bytes& b) { return au::MusicLoad(b.data(), b.size(), au::kPrescan); }
  int Order(au::Handle music) {
    return int(au::ChannelGetPosition(music, au::PosMode::Order) & 0xFFFF);
  }
  // The orders a module passes through while `ms` milliseconds are rendered in 10 ms steps,
  // each change listed once.
  std::vector<int> OrdersDuring(au::Handle music, int ms) {
    std::vector<int> seen;
    for (int t = 0; t < ms; t += 10) {
      Render(kRate / 100);
      if (au::ChannelIsActive(music) != au::State::Playing) break;
      int o = Order(music);
      if (seen.empty() || seen.back() != o) seen.push_back(o);
    }
    return seen;
  }
};

bool AllEqual(const std::vector<std::int16_t>& v, int value) {
  for (auto s : v) {
    if (s != value) return false;
  }
  return true;
}

}  // namespace

TEST_F(OfflineAudio, SampleMixesExactlyAndEnds) {
  Bytes wav = vektest::MakeConstantWav(1000, 10000);
  au::Handle s = LoadSample(wav);
  ASSERT_NE(s, 0u);
  au::SampleInfo info;
  ASSERT_TRUE(au::SampleGetInfo(s, info));
  EXPECT_EQ(info.length, 2000u);
  EXPECT_EQ(info.channels, 1u);
  au::Handle ch = au::SampleGetChannel(s, false);
  ASSERT_NE(ch, 0u);
  EXPECT_EQ(au::ChannelIsActive(ch), au::State::Stopped);
  ASSERT_TRUE(au::ChannelPlay(ch, true));
  auto out = Render(1000);
  EXPECT_TRUE(AllEqual(out, 10000));
  EXPECT_EQ(au::ChannelIsActive(ch), au::State::Playing);
  out = Render(10);
  EXPECT_TRUE(AllEqual(out, 0));
  EXPECT_EQ(au::ChannelIsActive(ch), au::State::Stopped);
  // An ended channel plays again from its beginning.
  ASSERT_TRUE(au::ChannelPlay(ch, false));
  out = Render(10);
  EXPECT_TRUE(AllEqual(out, 10000));
}

TEST_F(OfflineAudio, ModuleStartsAtItsStartOrderAndLoopsBackAtItsEndOrder) {
  Bytes mod = vektest::MakeModule(6);
  au::Handle m = LoadModule(mod);
  ASSERT_NE(m, 0u);
  EXPECT_EQ(au::ChannelGetLength(m, au::PosMode::Order), 6u);
  EXPECT_GT(au::ChannelGetLength(m, au::PosMode::Byte), 0u);
  ASSERT_TRUE(au::ChannelSetPosition(m, 2, au::PosMode::Order));
  ASSERT_TRUE(au::MusicSetOrderRange(m, 2, 4));
  au::ChannelFlags(m, au::kLoop, au::kLoop);
  ASSERT_TRUE(au::ChannelPlay(m, false));
  // Each order lasts 4 ticks of 20 ms.
  std::vector<int> seen = OrdersDuring(m, 600);
  ASSERT_GE(seen.size(), 6u);
  EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 6), (std::vector<int>{2, 3, 4, 2, 3, 4}));
}

TEST_F(OfflineAudio, ModuleWithoutLoopEndsAfterItsEndOrderOrItsLastOrder) {
  Bytes mod = vektest::MakeModule(4);
  au::Handle m = LoadModule(mod);
  ASSERT_NE(m, 0u);
  ASSERT_TRUE(au::MusicSetOrderRange(m, 1, 2));
  ASSERT_TRUE(au::ChannelSetPosition(m, 1, au::PosMode::Order));
  ASSERT_TRUE(au::ChannelPlay(m, false));
  EXPECT_EQ(OrdersDuring(m, 400), (std::vector<int>{1, 2}));
  EXPECT_EQ(au::ChannelIsActive(m), au::State::Stopped);
  // The whole module, looped: past the last order it starts again.
  ASSERT_TRUE(au::MusicSetOrderRange(m, 0, -1));
  au::ChannelFlags(m, au::kLoop, au::kLoop);
  ASSERT_TRUE(au::ChannelPlay(m, true));
  std::vector<int> seen = OrdersDuring(m, 500);
  ASSERT_GE(seen.size(), 5u);
  EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 5), (std::vector<int>{0, 1, 2, 3, 0}));
  // Not looped: it ends after the last order.
  au::ChannelFlags(m, 0, au::kLoop);
  ASSERT_TRUE(au::ChannelPlay(m, true));
  EXPECT_EQ(OrdersDuring(m, 500), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_FALSE(au::ChannelSetPosition(m, 4, au::PosMode::Order));
}

TEST_F(OfflineAudio, TakeOverOfTheLongestPlayingChannel) {
  Bytes wav = vektest::MakeConstantWav(kRate, 1000);
  au::Handle over = LoadSample(wav, 2, au::kOverPos);
  au::Handle plain = LoadSample(wav, 1, 0);
  ASSERT_NE(over, 0u);
  au::Handle a = au::SampleGetChannel(over, false);
  au::Handle b = au::SampleGetChannel(over, false);
  ASSERT_NE(b, a);
  // b starts first, so b has been playing longest although a was made first.
  ASSERT_TRUE(au::ChannelPlay(b, false));
  Render(100);
  ASSERT_TRUE(au::ChannelPlay(a, false));
  Render(100);
  EXPECT_TRUE(AllEqual(Render(1), 2000));
  // Both playbacks busy: a new channel is not given when only new ones are asked for ...
  EXPECT_EQ(au::SampleGetChannel(over, true), 0u);
  // ... otherwise the one playing longest (b) is stopped and handed out again.
  au::Handle c = au::SampleGetChannel(over, false);
  EXPECT_EQ(c, b);
  EXPECT_EQ(au::ChannelIsActive(b), au::State::Stopped);
  EXPECT_EQ(au::ChannelGetPosition(b, au::PosMode::Byte), 0u);
  EXPECT_EQ(au::ChannelIsActive(a), au::State::Playing);
  // Without the override mode a busy sample gives no channel; a stopped one serves again.
  au::Handle p = au::SampleGetChannel(plain, false);
  ASSERT_TRUE(au::ChannelPlay(p, false));
  EXPECT_EQ(au::SampleGetChannel(plain, false), 0u);
  au::ChannelStop(p);
  EXPECT_EQ(au::SampleGetChannel(plain, false), p);
}

TEST_F(OfflineAudio, SlideToMinusOneEndsTheChannel) {
  au::Handle s = LoadSample(vektest::MakeConstantWav(kRate, 10000), 1, au::kLoop);
  au::Handle ch = au::SampleGetChannel(s, false);
  EXPECT_EQ(au::ChannelFlags(ch, 0, 0) & au::kLoop, au::kLoop);
  ASSERT_TRUE(au::ChannelPlay(ch, true));
  ASSERT_TRUE(au::ChannelSlideVolume(ch, -1.0f, 100));  // 4410 frames
  EXPECT_TRUE(au::ChannelIsSliding(ch));
  auto out = Render(2205);
  EXPECT_EQ(out[0], 10000);
  EXPECT_NEAR(out[2 * 2204], 5000, 5);
  float v = 0;
  au::ChannelGetVolume(ch, &v);
  EXPECT_NEAR(v, 0.5f, 1e-3);
  EXPECT_EQ(au::ChannelIsActive(ch), au::State::Playing);
  out = Render(2205);
  EXPECT_EQ(au::ChannelIsActive(ch), au::State::Stopped);
  EXPECT_FALSE(au::ChannelIsSliding(ch));
  EXPECT_TRUE(AllEqual(Render(100), 0));
  // A slide to a level keeps the channel playing at that level.
  au::ChannelSetVolume(ch, 0.0f);
  au::ChannelSlideVolume(ch, 0.25f, 10);
  au::ChannelPlay(ch, false);
  Render(441);
  EXPECT_TRUE(AllEqual(Render(10), 2500));
}

TEST_F(OfflineAudio, GlobalVolumeGroupsScaleTheirOwnChannels) {
  Bytes wav = vektest::MakeConstantWav(kRate, 8000);
  au::Handle sample = LoadSample(wav);
  au::Handle stream = au::StreamCreateMemory(wav.data(), wav.size(), 0);
  ASSERT_NE(stream, 0u);
  au::Handle ch = au::SampleGetChannel(sample, false);
  struct Case {
    au::Config option;
    std::uint32_t value;
    int expected;
  };
  // Sample 8000 + stream 8000, one group scaled at a time.
  const Case cases[] = {
      {au::Config::SampleVolume, 5000, 4000 + 8000},
      {au::Config::StreamVolume, 2500, 8000 + 2000},
      {au::Config::MusicVolume, 0, 16000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.option));
    for (auto o : {au::Config::SampleVolume, au::Config::MusicVolume, au::Config::StreamVolume})
      ASSERT_TRUE(au::SetConfig(o, 10000));
    ASSERT_TRUE(au::SetConfig(c.option, c.value));
    EXPECT_EQ(au::GetConfig(c.option), c.value);
    au::ChannelPlay(ch, true);
    au::ChannelPlay(stream, true);
    EXPECT_TRUE(AllEqual(Render(64), c.expected));
  }
  EXPECT_FALSE(au::SetConfig(au::Config::SampleVolume, 10001));
  // Modules follow the music volume.
  au::ChannelStop(ch);
  au::ChannelStop(stream);
  au::Handle m = LoadModule(vektest::MakeModule(2));
  au::SetConfig(au::Config::MusicVolume, 10000);
  au::ChannelPlay(m, true);
  EXPECT_FALSE(AllEqual(Render(2000), 0));
  au::SetConfig(au::Config::MusicVolume, 0);
  EXPECT_TRUE(AllEqual(Render(2000), 0));
}

TEST_F(OfflineAudio, PausedOutputStopsTheMixAndResumingContinuesIt) {
  au::Handle s = LoadSample(vektest::MakeWav(kRate, 1, 16, 4000, [](int f, int) { return f; }));
  au::Handle ch = au::SampleGetChannel(s, false);
  au::ChannelPlay(ch, true);
  auto out = Render(100);
  EXPECT_EQ(out[2 * 99], 99);
  ASSERT_TRUE(au::Pause());
  EXPECT_TRUE(AllEqual(Render(500), 0));
  EXPECT_EQ(au::ChannelIsActive(ch), au::State::Playing);
  ASSERT_TRUE(au::Start());
  out = Render(1);
  EXPECT_EQ(out[0], 100);
  // A paused channel holds its place too.
  au::ChannelPause(ch);
  EXPECT_EQ(au::ChannelIsActive(ch), au::State::Paused);
  EXPECT_TRUE(AllEqual(Render(50), 0));
  au::ChannelPlay(ch, false);
  EXPECT_EQ(Render(1)[0], 101);
}

TEST_F(OfflineAudio, TwoMusicsCrossFade) {
  Bytes ogg = vektest::MakeOgg(kRate, 2, kRate);
  au::Handle stream = au::StreamCreateMemory(ogg.data(), ogg.size(), au::kLoop);
  au::Handle module = LoadModule(vektest::MakeModule(4));
  ASSERT_NE(stream, 0u);
  ASSERT_NE(module, 0u);
  au::ChannelFlags(module, au::kLoop, au::kLoop);
  au::ChannelPlay(module, true);
  Render(4410);
  // The module fades out while the stream fades in, both over 200 ms.
  au::ChannelSlideVolume(module, -1.0f, 200);
  au::ChannelSetVolume(stream, 0.0f);
  au::ChannelSlideVolume(stream, 1.0f, 200);
  au::ChannelPlay(stream, false);
  Render(4410);
  float vm = 0, vs = 0;
  au::ChannelGetVolume(module, &vm);
  au::ChannelGetVolume(stream, &vs);
  EXPECT_NEAR(vm, 0.5f, 1e-3);
  EXPECT_NEAR(vs, 0.5f, 1e-3);
  EXPECT_EQ(au::ChannelIsActive(module), au::State::Playing);
  EXPECT_EQ(au::ChannelIsActive(stream), au::State::Playing);
  Render(4410);
  EXPECT_EQ(au::ChannelIsActive(module), au::State::Stopped);
  EXPECT_EQ(au::ChannelIsActive(stream), au::State::Playing);
  // The stream alone is heard: a sine of amplitude about 0.5 on both sides.
  auto out = Render(2000);
  int peak = 0;
  for (std::size_t i = 0; i < out.size(); i += 2) {
    EXPECT_EQ(out[i], out[i + 1]);
    peak = std::max(peak, std::abs(int(out[i])));
  }
  EXPECT_NEAR(peak, 16384, 1500);
}

TEST_F(OfflineAudio, WavFormatsAndRatesDecode) {
  struct Case {
    int bits, channels, rate, value, expected;
  };
  const Case cases[] = {
      {8, 1, kRate, 0x4000, 0x4000},   {16, 1, kRate, -1234, -1234},
      {24, 1, kRate, 20000, 20000},    {32, 1, kRate, -20000, -20000},
      {16, 2, kRate, 3000, 3000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    Bytes wav = vektest::MakeWav(c.rate, c.channels, c.bits, 100,
                                 [&](int, int ch) { return ch == 0 ? c.value : -c.value; });
    au::Handle s = LoadSample(wav);
    ASSERT_NE(s, 0u);
    au::Handle ch = au::SampleGetChannel(s, false);
    au::ChannelPlay(ch, true);
    auto out = Render(100);
    EXPECT_EQ(out[0], c.expected);
    EXPECT_EQ(out[1], c.channels == 2 ? -c.expected : c.expected);
    au::SampleFree(s);
    EXPECT_EQ(au::ChannelIsActive(ch), au::State::Stopped);
  }
  // A sample at half the output rate lasts twice as long, its steps interpolated.
  au::Handle half = LoadSample(vektest::MakeWav(22050, 1, 16, 100, [](int f, int) { return f * 100; }));
  au::Handle ch = au::SampleGetChannel(half, false);
  au::ChannelPlay(ch, true);
  auto out = Render(200);
  EXPECT_EQ(out[2 * 10], 500);
  EXPECT_EQ(out[2 * 11], 550);
  EXPECT_EQ(au::ChannelIsActive(ch), au::State::Playing);
  Render(2);
  EXPECT_EQ(au::ChannelIsActive(ch), au::State::Stopped);
}

TEST_F(OfflineAudio, DecodingStreamsDeliverTheWholeSoundInTheirOwnLayout) {
  vektest::TempDir dir;
  Bytes ogg = vektest::MakeOgg(22050, 2, 22050);
  ASSERT_TRUE(vektest::WriteFileText(dir / "tone.ogg", ogg));
  Bytes wav = vektest::MakeWav(kRate, 2, 16, 5000, [](int f, int c) { return c ? -f : f; });
  ASSERT_TRUE(vektest::WriteFileText(dir / "ramp.wav", wav));
  struct Case {
    std::string file;
    std::uint32_t flags;
    std::uint32_t rate, channels;
    std::uint64_t frames;
  };
  const Case cases[] = {
      {"tone.ogg", au::kDecode, 22050, 2, 22050},
      {"tone.ogg", au::kDecode | au::kMono, 22050, 1, 22050},
      {"ramp.wav", au::kDecode, kRate, 2, 5000},
      {"ramp.wav", au::kDecode | au::kMono, kRate, 1, 5000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + std::to_string(c.flags));
    au::Handle h = au::StreamCreateFile(dir / c.file, c.flags);
    ASSERT_NE(h, 0u);
    au::ChannelInfo info;
    ASSERT_TRUE(au::ChannelGetInfo(h, info));
    EXPECT_EQ(info.frequency, c.rate);
    EXPECT_EQ(info.channels, c.channels);
    EXPECT_EQ(au::ChannelGetLength(h, au::PosMode::Byte), c.frames * c.channels * 2);
    EXPECT_FALSE(au::ChannelPlay(h, false));
    std::vector<std::int16_t> all;
    std::vector<std::int16_t> block(10000);
    while (au::ChannelIsActive(h) == au::State::Playing) {
      int got = au::ChannelGetData(h, block.data(), 20000);
      if (got < 0) break;
      all.insert(all.end(), block.begin(), block.begin() + got / 2);
    }
    EXPECT_EQ(all.size(), c.frames * c.channels);
    EXPECT_EQ(au::ChannelGetData(h, block.data(), 20000), -1);
    if (c.file == "ramp.wav") {
      EXPECT_EQ(all[2 * 100], c.channels == 2 ? 100 : 0);
    }
    EXPECT_TRUE(au::StreamFree(h));
  }
  EXPECT_EQ(au::StreamCreateFile(dir / "missing.ogg", au::kDecode), 0u);
}

TEST_F(OfflineAudio, ShortOrLyingFilesAreRefused) {
  Bytes wav = vektest::MakeConstantWav(100, 1000);
  Bytes ogg = vektest::MakeOgg(kRate, 1, 4000);
  Bytes mod = vektest::MakeModule(2);
  auto patched = [](Bytes b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = char((v >> (8 * i)) & 0xFF);
    return b;
  };
  auto patched16 = [](Bytes b, std::size_t at, int v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
    return b;
  };
  const Bytes bad[] = {
      Bytes(),
      Bytes("RIFF"),
      wav.substr(0, 30),                // cut inside the format chunk
      wav.substr(0, 44),                // no sound data
      patched(wav, 16, 0xFFFFFFF0u),    // format chunk larger than the file
      patched16(wav, 22, 0),            // no channels
      patched16(wav, 22, 9),            // nine channels
      patched(wav, 24, 0),              // rate 0
      patched(wav, 24, 0x7FFFFFFFu),    // absurd rate
      patched16(wav, 32, 7),            // block size that does not match
      patched16(wav, 34, 12),           // 12-bit samples
      patched16(wav, 20, 2),            // compressed format
      ogg.substr(0, 60),
      ogg.substr(0, ogg.size() / 3) + Bytes(200, 'x'),
      Bytes("OggS") + Bytes(100, '\0'),
      mod.substr(0, 600),
      Bytes(2000, '\x55'),
  };
  int i = 0;
  for (const Bytes& b : bad) {
    SCOPED_TRACE(i++);
    au::Handle s = LoadSample(b);
    au::Handle m = au::MusicLoad(b.data(), b.size(), 0);
    au::Handle st = au::StreamCreateMemory(b.data(), b.size(), 0);
    // A truncated OGG may still hold a few whole pages: then it plays what it has.
    if (b.substr(0, 4) != "OggS") {
      EXPECT_EQ(s, 0u);
      EXPECT_EQ(st, 0u);
    }
    EXPECT_EQ(m, 0u);
    if (st) {
      au::ChannelPlay(st, false);
      Render(kRate);
    }
  }
  // A data chunk longer than the file keeps the sound that is there.
  au::Handle s = LoadSample(patched(wav, 40, 0x7FFFFFFFu));
  ASSERT_NE(s, 0u);
  au::SampleInfo info;
  au::SampleGetInfo(s, info);
  EXPECT_EQ(info.length, 200u);
}

TEST_F(OfflineAudio, ThirtyTwoSampleChannelsAndThreeDAttributes) {
  Bytes wav = vektest::MakeConstantWav(1000, 100);
  std::vector<au::Handle> channels;
  for (int i = 0; i < 4; ++i) {
    au::Handle s = LoadSample(wav, 8, i == 0 ? std::uint32_t(au::k3D) : 0u);
    for (int k = 0; k < 8; ++k) {
      au::Handle ch = au::SampleGetChannel(s, true);
      ASSERT_NE(ch, 0u);
      au::ChannelPlay(ch, false);
      channels.push_back(ch);
    }
  }
  EXPECT_TRUE(AllEqual(Render(10), 3200));
  // 3-D attributes belong to 3-D channels; negative values leave an attribute as it is.
  EXPECT_TRUE(au::ChannelSet3DAttributes(channels[0], 0, 2.0f, -1.0f, -1, -1, -1.0f));
  au::Attributes3D a;
  ASSERT_TRUE(au::ChannelGet3DAttributes(channels[0], a));
  EXPECT_EQ(a.minDistance, 2.0f);
  EXPECT_EQ(a.maxDistance, au::Attributes3D{}.maxDistance);
  EXPECT_FALSE(au::ChannelSet3DAttributes(channels[8], 0, -1.0f, -1.0f, -1, -1, -1.0f));
  float d = 0, r = 0, p = 0;
  ASSERT_TRUE(au::Set3DFactors(2.0f, -1.0f, 0.5f));
  ASSERT_TRUE(au::Get3DFactors(&d, &r, &p));
  EXPECT_EQ(d, 2.0f);
  EXPECT_EQ(r, 1.0f);
  EXPECT_EQ(p, 0.5f);
}

TEST(AudioOutput, CallsFailBeforeInitAndAfterFree) {
  au::SetOutputKind(au::OutputKind::Offline);
  Bytes wav = vektest::MakeConstantWav(100, 1000);
  EXPECT_EQ(au::SampleLoad(wav.data(), wav.size(), 1, 0), 0u);
  EXPECT_EQ(au::GetConfig(au::Config::MusicVolume), au::kConfigError);
  EXPECT_FALSE(au::Start());
  EXPECT_FALSE(au::Free());
  ASSERT_TRUE(au::Init(1, kRate));
  EXPECT_FALSE(au::Init(1, kRate));
  au::Handle s = au::SampleLoad(wav.data(), wav.size(), 1, 0);
  ASSERT_NE(s, 0u);
  ASSERT_TRUE(au::Free());
  // Everything went with the library.
  EXPECT_FALSE(au::SampleFree(s));
  au::SetOutputKind(au::OutputKind::Device);
}

TEST(AudioOutput, SdlDeviceOrNullFallbackPlaysInRealTime) {
  // The test environment selects SDL's dummy driver; a driver that does not exist makes the
  // device fail, and the library falls back to its null output with the reason kept.
  for (const char* driver : {"dummy", "no-such-driver"}) {
    SCOPED_TRACE(driver);
    setenv("SDL_AUDIODRIVER", driver, 1);
    au::SetOutputKind(au::OutputKind::Device);
    ASSERT_TRUE(au::Init(1, kRate));
    bool real = std::string(driver) == "dummy";
    EXPECT_EQ(au::CurrentOutput(), real ? au::OutputKind::Device : au::OutputKind::Null);
    EXPECT_EQ(au::FallbackReason().empty(), real);
    au::DeviceInfo info;
    ASSERT_TRUE(au::GetDeviceInfo(au::GetDevice(), info));
    EXPECT_EQ(info.driver, real ? "dummy" : "null");
    Bytes wav = vektest::MakeConstantWav(kRate / 20, 1000);  // 50 ms
    au::Handle s = au::SampleLoad(wav.data(), wav.size(), 1, 0);
    au::Handle ch = au::SampleGetChannel(s, false);
    ASSERT_TRUE(au::ChannelPlay(ch, true));
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (au::ChannelIsActive(ch) == au::State::Playing && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(au::ChannelIsActive(ch), au::State::Stopped);
    EXPECT_TRUE(au::Free());
  }
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}
