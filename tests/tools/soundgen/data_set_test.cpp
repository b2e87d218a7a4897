// The sounds and music the build made for the data set: every effect the game plays exists,
// sounds through the engine's offline output as long and as loud as its file, and is queued by
// the loading fragment; every module passes the check and plays in the engine's mixer.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/files/data_manager.h"
#include "engine/files/filename.h"
#include "engine/sound/music.h"
#include "engine/core/path_tokens.h"
#include "engine/sound/sound.h"
#include "tests/engine/sound/sound_fixture.h"
#include "tests/support/script_engine_fixture.h"
#include "tools/soundgen/recipe_text.h"
#include "tools/soundgen/sound_check.h"
#include "tools/soundgen/synth.h"

namespace {

namespace au = plat::audio;

const std::string kSounds = std::string(VEK_TEST_BIN_DIR) + "/data/sounds/";

// The names the game plays: its sound table in id order, then the interface's three.
const std::vector<std::string> kGameSounds = {
    "market_sold", "goal_done",    "level_success",  "seed",         "water",
    "weed",        "harvest",      "tool_take",      "water_repair", "stock_open",
    "stock_out",   "take_seed",    "new_sort",       "area_click",   "goat_hungry",
    "goat_idle",   "ostrich_hungry", "ostrich_idle", "peacock_hungry", "peacock_idle",
    "goat_milk",   "hive_open",    "put_car",        "salute",       "factory_work",
    "money_inc",   "good",         "ship_beep",      "construction", "bee",
    "hint",        "click",        "mouse_in",       "typing"};
const std::vector<std::string> kMusics = {"music_menu", "music0", "music1"};

std::vector<soundgen::EffectRecipe> Recipes() {
  std::string text, error;
  std::vector<soundgen::EffectRecipe> recipes;
  EXPECT_TRUE(soundgen::ReadFile(std::string(VEK_SOURCE_DIR) + "/assets/sounds/effects.txt", text));
  EXPECT_TRUE(soundgen::ParseEffects(text, recipes, error)) << error;
  return recipes;
}

TEST(SoundDataSet, EveryGameSoundHasARecipeAndAFileAndNothingElse) {
  std::set<std::string> made;
  for (const auto& r : Recipes()) made.insert(r.name);
  EXPECT_EQ(made, std::set<std::string>(kGameSounds.begin(), kGameSounds.end()));
  for (const std::string& name : kGameSounds) {
    std::string bytes;
    int rate = 0;
    std::vector<std::int16_t> pcm;
    EXPECT_TRUE(soundgen::ReadFile(kSounds + name + ".wav", bytes) && soundgen::ParseWav(bytes, rate, pcm))
        << name;
  }
}

using SoundDataSetRender = vektest::SoundFixture;

// Each effect played by the engine (sample buffer, cSound, offline output at 44100 Hz) lasts
// as long as its file and is as loud; the mixer neither cuts, stretches nor colours it.
TEST_F(SoundDataSetRender, EachEffectRendersWithItsFilesLengthAndLoudness) {
  constexpr std::size_t kBlock = 64;
  for (const auto& recipe : Recipes()) {
    SCOPED_TRACE(recipe.name);
    std::string bytes;
    int rate = 0;
    std::vector<std::int16_t> file;
    ASSERT_TRUE(soundgen::ReadFile(kSounds + recipe.name + ".wav", bytes));
    ASSERT_TRUE(soundgen::ParseWav(bytes, rate, file));
    vek::cDataManager::cSampleRecord record;
    record.maxPlaybacks = 2;
    ASSERT_EQ(vek::cDataManager::ReadSoundBuffer(kSounds + recipe.name + ".wav", &record), vek::cDataManager::Ok);
    // The manager owns the buffer from here on.
    new vek::cSoundManager::cSoundBuffer(record.handle, recipe.name, false);
    vek::cSound sound(recipe.name);
    ASSERT_TRUE(sound.Play(true));
    std::vector<std::int16_t> left, right;
    while (au::ChannelIsActive(sound.GetChannel()) == au::State::Playing && left.size() < 10u * 44100u) {
      const auto block = Render(kBlock);
      for (std::size_t i = 0; i < kBlock; ++i) {
        left.push_back(block[2 * i]);
        right.push_back(block[2 * i + 1]);
      }
    }
    const double fileMs = double(file.size()) * 1000.0 / rate;
    EXPECT_NEAR(double(left.size()) * 1000.0 / 44100.0, fileMs, 1000.0 * kBlock / 44100.0);
    EXPECT_EQ(left, right);
    EXPECT_NEAR(soundgen::LoudnessDb(left, 44100), soundgen::LoudnessDb(file, rate), 0.1);
  }
}

// The loading fragment, run the way loading.lua runs it (through the engine's script host
// from the data folder), queues every effect with its file and the three musics by their
// names; every file it names is in the data folder.
using SoundDataSetScript = vektest::ScriptEngineFixture;

TEST_F(SoundDataSetScript, LoadingFragmentQueuesEverySoundAndMusic) {
  ASSERT_TRUE(Run(R"lua(
    sounds, playbacks, musics = {}, {}, {}
    local item = {}
    function item:SetParameters(n) playbacks[#sounds] = n end
    function cLoadSound(path, flag)
      assert(flag == false)
      sounds[#sounds + 1] = path
      return item
    end
    function cLoadMusic(name, path, first, last, flag)
      assert(first == 0 and last == 0 and flag == false)
      musics[#musics + 1] = name .. "=" .. path
    end
  )lua"));
  vek::SetPathToken(vek::e_StaticPath, std::string(VEK_TEST_BIN_DIR) + "/data");
  ASSERT_EQ(Eval("GetScript():LoadFile(filename(\"{StaticPath}/conf/loading_sounds.lua\"))"), "true");

  std::vector<std::string> expected;
  for (const std::string& n : kGameSounds) expected.push_back("{StaticPath}/sounds/" + n + ".wav");
  std::vector<std::string> sounds = vektest::LuaStrings(L, "sounds");
  std::sort(expected.begin(), expected.end());
  std::sort(sounds.begin(), sounds.end());
  EXPECT_EQ(sounds, expected);
  const std::vector<std::string> musics = vektest::LuaStrings(L, "musics");
  EXPECT_EQ(musics, (std::vector<std::string>{"music_menu={StaticPath}/sounds/music_menu.mod",
                                              "music0={StaticPath}/sounds/music0.mod",
                                              "music1={StaticPath}/sounds/music1.mod"}));
  EXPECT_EQ(Eval("(function() for _, n in pairs(playbacks) do if n < 1 or n > 20 then return n end end return 0 end)()"),
            "0");
  std::string bytes;
  for (const std::string& path : sounds) EXPECT_TRUE(soundgen::ReadFile(vek::NativePath(vek::filename(path).path), bytes)) << path;
  for (const std::string& m : musics) {
    const std::string path = m.substr(m.find('=') + 1);
    EXPECT_TRUE(soundgen::ReadFile(vek::NativePath(vek::filename(path).path), bytes)) << path;
  }
}

// Each module passes the build's check and, loaded by the engine as the game loads it, plays
// from its first order, moves through its orders and keeps sounding after its loop.
TEST_F(SoundDataSetRender, EachModulePassesTheCheckAndLoopsInTheEngine) {
  for (const std::string& m : kMusics) {
    SCOPED_TRACE(m);
    std::string bytes;
    ASSERT_TRUE(soundgen::ReadFile(kSounds + m + ".mod", bytes));
    const soundgen::ModuleMeasure measure = soundgen::MeasureModule(bytes);
    EXPECT_EQ(soundgen::CheckModule(measure, 60, 120), std::vector<std::string>{});
    EXPECT_EQ(measure.channels, 4);

    vek::cDataManager::cModuleRecord record;
    ASSERT_EQ(vek::cDataManager::ReadMusicBuffer(kSounds + m + ".mod", &record), vek::cDataManager::Ok);
    new vek::cSoundManager::cMusicBuffer(record.handle, m, false);  // owned by the manager
    auto* music = new vek::cMusic(m, m, 0, 0, false);
    music->SetLoop();
    ASSERT_TRUE(music->Play());
    EXPECT_EQ(au::ChannelGetLength(record.handle, au::PosMode::Order), std::uint64_t(measure.orders));
    // Past the loop point: still playing, back in the first orders, and not silent.
    const std::size_t frames = std::size_t((measure.secondsToLoop + 3.0) * 44100.0);
    std::vector<std::int16_t> tail;
    for (std::size_t done = 0; done < frames; done += 44100) {
      tail = Render(44100);
    }
    EXPECT_TRUE(music->IsPlaying());
    EXPECT_LE(au::ChannelGetPosition(record.handle, au::PosMode::Order) & 0xFFFF, 1u);
    EXPECT_GT(soundgen::LoudnessDb(tail, 44100), -40.0);
    music->Pause();
  }
}

}  // namespace
