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
