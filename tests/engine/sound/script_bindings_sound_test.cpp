#include <gtest/gtest.h>

#include "engine/app/script_bindings.h"
#include "engine/sound/sound_manager.h"
#include "platform/audio.h"
#include "tests/engine/script/script_fixture.h"
#include "tests/support/sound_fixtures.h"

namespace au = plat::audio;

namespace {

class SoundBindings : public vektest::ScriptFixture {
 protected:
  void SetUp() override {
    ScriptFixture::SetUp();
    au::SetOutputKind(au::OutputKind::Offline);
    ASSERT_TRUE(vek::CreateSoundManager());
    ASSERT_TRUE(vek::RegisterEngine(script));
  }
  void TearDown() override {
    vek::DestroySoundManager();
    au::SetOutputKind(au::OutputKind::Device);
    ScriptFixture::TearDown();
  }
};

}  // namespace

TEST_F(SoundBindings, ManagerVolumesAndThreeDSettings) {
  EXPECT_EQ(Eval("GetSound().e_All .. GetSound().e_Sound .. GetSound().e_Music"), "012");
  EXPECT_EQ(Eval("cSoundManager.e_Music"), "2");
  ASSERT_TRUE(Run("s = GetSound(); s:SetVolume(s.e_Music, 0.25)"));
  EXPECT_EQ(Eval("s:GetVolume(2)"), "0.25");
  EXPECT_EQ(au::GetConfig(au::Config::StreamVolume), 2500u);
  ASSERT_TRUE(Run("ok = sound(0.5, 0.75)"));
  EXPECT_EQ(Eval("ok"), "true");
  EXPECT_EQ(Eval("s:GetVolume(s.e_Sound) .. ' ' .. s:GetVolume(s.e_Music)"), "0.5 0.75");
  EXPECT_EQ(Eval("s:SetSettings3D(2, 0.5, 1, false)"), "true");
  ASSERT_TRUE(Run("ok, d, r, p = s:GetSettings3D()"));
  EXPECT_EQ(Eval("tostring(ok) .. ' ' .. d .. ' ' .. r .. ' ' .. p"), "true 2 0.5 1");
  EXPECT_EQ(Eval("s:Dump(s.e_Sound)"), "true");
  EXPECT_NE(Log().find("Sound Buffers."), std::string::npos);
}

TEST_F(SoundBindings, SaveWavExpandsTheDestination) {
  vek::SetPathToken(vek::e_UserPath, tmp.path());
  const std::string source = tmp / "in.wav";
  ASSERT_TRUE(vektest::WriteFileText(source, vektest::MakeConstantWav(500, 7, 22050, 2)));
  ASSERT_TRUE(Run("ok = luaSaveWAV('" + source + "', '{UserPath}/Out.WAV', true)"));
  EXPECT_EQ(Eval("ok"), "true");
  const std::string out = vektest::ReadFileText(tmp / "out.wav");
  ASSERT_EQ(out.size(), 44u + 500 * 2);
  EXPECT_EQ(vektest::ReadU16(out, 22), 1u);
  EXPECT_EQ(Eval("luaSaveWAV('" + tmp / "none.ogg" + "', '{UserPath}/x.wav', false)"), "false");
}
