#pragma once
// A sound manager on the offline output, logging into a temporary folder.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/log.h"
#include "engine/core/path_tokens.h"
#include "engine/sound/sound_manager.h"
#include "platform/audio.h"
#include "tests/support/sound_fixtures.h"
#include "tests/support/temp_dir.h"

namespace vektest {

class SoundFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    vek::SetPathToken(vek::e_AppPath, tmp.path());
    vek::CreateLogHolder(1024.0f, 768.0f);
    plat::audio::SetOutputKind(plat::audio::OutputKind::Offline);
    if (createManager) {
      ASSERT_TRUE(vek::CreateSoundManager());
    }
  }
  void TearDown() override {
    if (vek::GetSound()) vek::DestroySoundManager();
    plat::audio::Free();
    vek::DestroyLogHolder();
    plat::audio::SetOutputKind(plat::audio::OutputKind::Device);
  }

  // The log so far as plain text: markup removed, entities decoded, one line per entry.
  std::string Log() const {
    std::string html = ReadFileText(tmp / "_log.html");
    std::string text;
    for (std::size_t i = 0; i < html.size(); ++i) {
      if (html[i] == '<') {
        i = html.find('>', i);
        if (i == std::string::npos) break;
        continue;
      }
      if (html[i] == '&') {
        static const std::pair<const char*, char> kEntities[] = {
            {"&nbsp;", ' '}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&amp;", '&'}, {"&#39;", '\''}};
        bool done = false;
        for (const auto& [name, c] : kEntities) {
          if (html.compare(i, std::strlen(name), name) == 0) {
            text += c;
            i += std::strlen(name) - 1;
            done = true;
            break;
          }
        }
        if (done) continue;
      }
      text += html[i];
    }
    return text;
  }
  int Count(const std::string& needle) const {
    std::string log = Log();
    int n = 0;
    for (std::size_t at = log.find(needle); at != std::string::npos; at = log.find(needle, at + 1)) ++n;
    return n;
  }
  // Log text written after the mark.
  std::string Since(std::size_t mark) const { return Log().substr(mark); }
  std::size_t Mark() const { return Log().size(); }

  std::vector<std::int16_t> Render(std::size_t frames) {
    std::vector<std::int16_t> out(frames * 2);
    EXPECT_EQ(plat::audio::Render(out.data(), frames), frames);
    return out;
  }

  // Buffers loaded from bytes and registered under a name.
  vek::cSoundManager::cSoundBuffer* AddSample(const std::string& name, const Bytes& b,
                                              std::uint32_t max = 1, std::uint32_t flags = 0) {
    std::uint32_t h = plat::audio::SampleLoad(b.data(), b.size(), max, flags);
    EXPECT_NE(h, 0u);
    return new vek::cSoundManager::cSoundBuffer(h, name, false);
  }
  vek::cSoundManager::cMusicBuffer* AddModule(const std::string& name, const Bytes& b) {
    std::uint32_t h = plat::audio::MusicLoad(b.data(), b.size(), plat::audio::kPrescan);
    EXPECT_NE(h, 0u);
    return new vek::cSoundManager::cMusicBuffer(h, name, false);
  }
  vek::cSoundManager::cStreamBuffer* AddStream(const std::string& name, const Bytes& b) {
    auto* data = new vek::u8[b.size()];
    std::memcpy(data, b.data(), b.size());
    std::uint32_t h = plat::audio::StreamCreateMemory(data, b.size(), plat::audio::kPrescan);
    EXPECT_NE(h, 0u);
    return new vek::cSoundManager::cStreamBuffer(h, name, data, false);
  }

  static bool AllEqual(const std::vector<std::int16_t>& v, int value) {
    for (auto s : v) {
      if (s != value) return false;
    }
    return true;
  }

  bool createManager = true;
  TempDir tmp;
};

}  // namespace vektest
