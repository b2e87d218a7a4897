#include <gtest/gtest.h>

#include <memory>

#include "engine/files/data_manager.h"
#include "tests/engine/sound/sound_fixture.h"

namespace au = plat::audio;
using vek::cDataManager;
using vektest::SoundFixture;

TEST_F(SoundFixture, SampleRecordsAskForOneToTwentyPlaybacks) {
  ASSERT_TRUE(vektest::WriteFileText(tmp / "beep.wav", vektest::MakeConstantWav(100, 1000)));
  struct Case {
    std::uint32_t asked, loaded;
  };
  for (const Case& c : {Case{0, 1}, Case{1, 1}, Case{7, 7}, Case{20, 20}, Case{50, 20}}) {
    SCOPED_TRACE(c.asked);
    cDataManager::cSampleRecord record;
    record.maxPlaybacks = c.asked;
    ASSERT_EQ(cDataManager::ReadSoundBuffer(tmp / "beep.wav", &record), cDataManager::Ok);
    au::SampleInfo info;
    ASSERT_TRUE(au::SampleGetInfo(record.handle, info));
    EXPECT_EQ(info.maxPlaybacks, c.loaded);
    EXPECT_EQ(info.flags & au::kOverPos, au::kOverPos);
    au::SampleFree(record.handle);
  }
}

TEST_F(SoundFixture, ReadersReportMissingEmptyAndUndecodableFiles) {
  ASSERT_TRUE(vektest::WriteFileText(tmp / "empty.wav", ""));
  ASSERT_TRUE(vektest::WriteFileText(tmp / "junk.bin", std::string(300, 'j')));
  cDataManager::cSampleRecord sample;
  cDataManager::cModuleRecord module;
  cDataManager::cStreamRecord stream;
  struct Case {
    std::string file;
    cDataManager::cResult result;
  };
  for (const Case& c : {Case{"missing.wav", cDataManager::FileNotFound},
                        Case{"empty.wav", cDataManager::InternalError},
                        Case{"junk.bin", cDataManager::NoOutput}}) {
    SCOPED_TRACE(c.file);
    const vek::filename name = tmp / c.file;
    std::size_t mark = Mark();
    EXPECT_EQ(cDataManager::ReadSoundBuffer(name, &sample), c.result);
    EXPECT_EQ(cDataManager::ReadMusicBuffer(name, &module), c.result);
    EXPECT_EQ(cDataManager::ReadStreamBuffer(name, &stream), c.result);
    EXPECT_EQ(sample.handle, 0u);
    EXPECT_EQ(module.handle, 0u);
    EXPECT_EQ(stream.handle, 0u);
    EXPECT_EQ(stream.data, nullptr);
    const std::string text = Since(mark);
    const bool warns = c.result == cDataManager::NoOutput;
    EXPECT_EQ(text.find("cDataManager: ReadSoundBuffer: BASS_SampleLoad " + name.path) != std::string::npos, warns);
    EXPECT_EQ(text.find("cDataManager: ReadMusicBuffer: " + name.path) != std::string::npos, warns);
    EXPECT_EQ(text.find("cDataManager: ReadStreamBuffer: " + name.path) != std::string::npos, warns);
  }
  EXPECT_EQ(cDataManager::ReadSoundBuffer(tmp / "junk.bin", nullptr), cDataManager::NoOutput);
  EXPECT_EQ(cDataManager::ReadMusicBuffer(tmp / "junk.bin", nullptr), cDataManager::NoOutput);
  EXPECT_EQ(cDataManager::ReadStreamBuffer(tmp / "junk.bin", nullptr), cDataManager::NoOutput);
}

TEST_F(SoundFixture, LoadedModuleAndStreamPlay) {
  ASSERT_TRUE(vektest::WriteFileText(tmp / "tune.mod", vektest::MakeModule(3)));
  ASSERT_TRUE(vektest::WriteFileText(tmp / "calm.ogg", vektest::MakeOgg(44100, 2, 4410)));
  cDataManager::cModuleRecord module;
  cDataManager::cStreamRecord stream;
  ASSERT_EQ(cDataManager::ReadMusicBuffer(tmp / "tune.mod", &module), cDataManager::Ok);
  ASSERT_EQ(cDataManager::ReadStreamBuffer(tmp / "calm.ogg", &stream), cDataManager::Ok);
  ASSERT_NE(stream.data, nullptr);
  // The buffer objects own what the readers returned.
  new vek::cSoundManager::cMusicBuffer(module.handle, "tune.mod", false);
  new vek::cSoundManager::cStreamBuffer(stream.handle, "calm.ogg", stream.data, false);
  EXPECT_EQ(au::ChannelGetLength(module.handle, au::PosMode::Order), 3u);
  EXPECT_EQ(au::ChannelGetLength(stream.handle, au::PosMode::Byte), 4410u * 4);
  au::ChannelPlay(module.handle, true);
  au::ChannelPlay(stream.handle, true);
  EXPECT_FALSE(AllEqual(Render(2000), 0));
}

TEST_F(SoundFixture, WriteWavHeaderAndData) {
  const vektest::Bytes source =
      vektest::MakeWav(44100, 2, 16, 30000, [](int f, int c) { return c ? -(f % 1000) : f % 1000; });
  ASSERT_TRUE(vektest::WriteFileText(tmp / "ramp.wav", source));
  ASSERT_TRUE(vektest::WriteFileText(tmp / "tone.ogg", vektest::MakeOgg(22050, 2, 22050)));
  struct Case {
    std::string file;
    bool mono;
    std::uint16_t channels;
    std::uint32_t rate;
    std::uint32_t frames;
  };
  for (const Case& c : {Case{"ramp.wav", false, 2, 44100, 30000}, Case{"ramp.wav", true, 1, 44100, 30000},
                        Case{"tone.ogg", false, 2, 22050, 22050}, Case{"tone.ogg", true, 1, 22050, 22050}}) {
    SCOPED_TRACE(c.file + (c.mono ? " mono" : " stereo"));
    const std::string out = tmp / "out.wav";
    ASSERT_EQ(cDataManager::WriteWAV(tmp / c.file, vek::filename(out), c.mono), cDataManager::Ok);
    const vektest::Bytes w = vektest::ReadFileText(out);
    ASSERT_GE(w.size(), 44u);
    const std::uint16_t align = std::uint16_t(c.channels * 2);
    EXPECT_EQ(w.substr(0, 4), "RIFF");
    EXPECT_EQ(vektest::ReadU32(w, 4), w.size() - 8);
    EXPECT_EQ(w.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(vektest::ReadU32(w, 16), 16u);
    EXPECT_EQ(vektest::ReadU16(w, 20), 1u);
    EXPECT_EQ(vektest::ReadU16(w, 22), c.channels);
    EXPECT_EQ(vektest::ReadU32(w, 24), c.rate);
    EXPECT_EQ(vektest::ReadU32(w, 28), c.rate * align);
    EXPECT_EQ(vektest::ReadU16(w, 32), align);
    EXPECT_EQ(vektest::ReadU16(w, 34), 16u);
    EXPECT_EQ(w.substr(36, 4), "data");
    EXPECT_EQ(vektest::ReadU32(w, 40), w.size() - 44);
    EXPECT_EQ(w.size() - 44, std::size_t(c.frames) * align);
    if (c.file == "ramp.wav") {
      // Frame 123: 123 and -123, or their mean 0 in mono.
      EXPECT_EQ(std::int16_t(vektest::ReadU16(w, 44 + 123 * align)), c.mono ? 0 : 123);
      if (!c.mono) {
        EXPECT_EQ(w.substr(44), source.substr(44));
      }
    }
  }
  EXPECT_EQ(Count("WriteWAV"), 0);
}

TEST_F(SoundFixture, WriteWavFailuresWarnAndLeaveNoFile) {
  ASSERT_TRUE(vektest::WriteFileText(tmp / "ramp.wav", vektest::MakeConstantWav(100, 5)));
  ASSERT_TRUE(vektest::WriteFileText(tmp / "keep.wav", "old"));
  EXPECT_EQ(cDataManager::WriteWAV(tmp / "none.ogg", vek::filename(tmp / "keep.wav"), false),
            cDataManager::NoOutput);
  EXPECT_EQ(Count("cDataManager: WriteWAV: BASS_StreamCreateFile " + (tmp / "none.ogg")), 1);
  EXPECT_EQ(vektest::ReadFileText(tmp / "keep.wav"), "old");
  // Archives are read only.
  const vek::filename inZip(tmp / "pack.zip/out.wav");
  EXPECT_EQ(cDataManager::WriteWAV(tmp / "ramp.wav", inZip, false), cDataManager::NoOutput);
  EXPECT_EQ(Count("cDataManager: WriteWAV: file not opened " + inZip.path), 1);
}

TEST_F(SoundFixture, TheDataSetsSoundsAndMusicLoadAndPlay) {
  const std::string dir = std::string(VEK_TEST_BIN_DIR) + "/data/sounds/";
  for (const char* name : {"click.wav", "typing.wav", "mouse_in.wav", "hint.wav", "goal_done.wav"}) {
    SCOPED_TRACE(name);
    cDataManager::cSampleRecord record;
    ASSERT_EQ(cDataManager::ReadSoundBuffer(dir + name, &record), cDataManager::Ok);
    au::Handle ch = au::SampleGetChannel(record.handle, false);
    au::ChannelPlay(ch, true);
    EXPECT_FALSE(AllEqual(Render(400), 0));
    au::SampleFree(record.handle);
  }
  cDataManager::cModuleRecord music;
  ASSERT_EQ(cDataManager::ReadMusicBuffer(dir + "music_menu.mod", &music), cDataManager::Ok);
  EXPECT_GE(au::ChannelGetLength(music.handle, au::PosMode::Order), 4u);
  au::ChannelPlay(music.handle, true);
  EXPECT_FALSE(AllEqual(Render(44100), 0));
  au::MusicFree(music.handle);
}
