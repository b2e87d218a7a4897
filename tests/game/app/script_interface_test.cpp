// The game's script interface and its small services: the text table and its safe formats,
// the checked control cast, the name predicates, sprite sheets and sprite records, the settings
// record, the sound table and the high-score table.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/files/image.h"
#include "engine/gui/gui.h"
#include "engine/render/texture.h"
#include "engine/render/texture_info.h"
#include "engine/script/script.h"
#include "engine/sound/sound_manager.h"
#include "game/app/highscores.h"
#include "game/app/locale_gd.h"
#include "game/app/sprite.h"
#include "tests/support/garden_fixture.h"

namespace {

class ScriptInterfaceTest : public vektest::GardenFixture {
 protected:
  void SetUp() override {
    GardenFixture::SetUp();
    StartGarden();
  }
};

TEST(FillPlaceholder, OnlyTheFirstPlaceholderIsFilled) {
  struct Case {
    const char* text;
    const char* out;
  };
  for (const Case c : {Case{"Delete player '%s'?", "Delete player 'Ann'?"}, Case{"no placeholder", "no placeholder"},
                       Case{"%s and %s", "Ann and %s"}, Case{"%i people", "Ann people"}, Case{"100%% sure %s", "100% sure Ann"},
                       Case{"%-10s|%n%p", "Ann|%n%p"}, Case{"bad %", "bad %"}, Case{"%", "%"}, Case{"%ld %d", "Ann %d"}}) {
    EXPECT_EQ(FillPlaceholder(c.text, "Ann"), c.out) << c.text;
  }
  EXPECT_EQ(FillPlaceholder("+%i people", 12), "+12 people");
}

TEST_F(ScriptInterfaceTest, TextTableDefaultsAndScriptFields) {
  cLocaleGD fresh;
  EXPECT_EQ(fresh.ErrorWindowMode, "Can't set windowed mode");
  EXPECT_EQ(fresh.Tomato, "Tomato");
  EXPECT_EQ(fresh.Rate4, "Rate4");
  EXPECT_EQ(fresh.AwardUp, "AwardUp");
  EXPECT_EQ(sizeof(cLocaleGD), kLocaleGDCount * sizeof(vek::string));
  vek::GetScript()->RegisterVar<cLocaleGD>("locale", &fresh);
  EXPECT_EQ(Eval("locale.ErrorWindowMode"), "Can't set windowed mode");
  ASSERT_TRUE(Run("locale.TrainingPlants12 = 'Done'"));
  EXPECT_EQ(fresh.TrainingPlants12, "Done");
}

TEST_F(ScriptInterfaceTest, FreeFunctionsAndSettings) {
  struct Case {
    const char* call;
    const char* result;
  };
  for (const Case c : {Case{"IsInt('uiCount')", "true"}, Case{"IsInt('nAge')", "true"}, Case{"IsInt('iX')", "true"},
                       Case{"IsInt('u')", "false"}, Case{"IsInt('')", "false"}, Case{"IsString('st')", "false"},
                       Case{"IsString('strName')", "true"}, Case{"IsFloat('')", "false"}, Case{"IsFloat('fSpeed')", "true"},
                       Case{"IsArray('arr')", "true"}, Case{"IsArray('ar')", "false"}}) {
    EXPECT_EQ(Eval(c.call), c.result) << c.call;
  }
  // The checked cast: an image control comes back, any other control gives nil.
  ASSERT_TRUE(Run("w = cWindow(theGUI) img = cImageCtrl('i', w) lbl = cLabelCtrl('l', w)"));
  EXPECT_EQ(Eval("luaToImageCtrl(w:GetControl(w:FindControl('i'))) ~= nil"), "true");
  EXPECT_EQ(Eval("luaToImageCtrl(w:GetControl(w:FindControl('l')))"), "nil");
  // The settings record is the application's own.
  EXPECT_EQ(Eval("theGame.m_Settings.fMouseSpeed"), "0.30000001192093");
  ASSERT_TRUE(Run("theGame.m_Settings.fMouseSpeed = 0.5 theGame.m_Settings.iCheatMode = 2"));
  EXPECT_EQ(garden->m_Settings.fMouseSpeed, 0.5f);
  EXPECT_EQ(garden->m_Settings.iCheatMode, 2);
  EXPECT_EQ(Eval("theGame:GetMoney()"), "0");
  EXPECT_EQ(Eval("cResult.FileNotFound"), "2");
  // A script-made widget belongs to the engine's widget list, not to the collector.
  ASSERT_TRUE(Run("local w = _G['vek::cWidget']('scripted') w = nil collectgarbage('collect')"));
  bool listed = false;
  for (vek::cWidget* w : game->GetWidgets()) listed = listed || w->GetName() == "scripted";
  EXPECT_TRUE(listed);
}

TEST_F(ScriptInterfaceTest, SpriteSheetsAndRecords) {
  vek::cImage image(vek::e_PixARGB, 256, 128, 1);
  new vek::cTexture("sheet", false, &image);
  new vek::cTexture("bare", false, &image);
  ASSERT_TRUE(Run("local s = cTextureInfo('sheet', false) "
                  "whole = s:AddNode('whole') "
                  "s:AddNode('cell', recti(0, 0, 64, 64)) "
                  "s:AddNode('walk', recti(0, 64, 128, 64), 4, 2, 10) "
                  "s:AddNode('still', rectf(0.5, 0, 0.5, 0.5), 1, 1, 0) "
                  "collectgarbage('collect')"));
  EXPECT_EQ(Eval("whole"), "0");
  cSprite sprite;
  FindSprite(sprite, "sheet", "whole");
  EXPECT_EQ(sprite.frameCount, 1u);
  EXPECT_FLOAT_EQ(sprite.width, 256.0f);
  EXPECT_FLOAT_EQ(sprite.secondsPerFrame, 1.0f / 30.0f);
  FindSprite(sprite, "sheet", "cell");
  EXPECT_FLOAT_EQ(sprite.width, 64.0f);
  EXPECT_FLOAT_EQ(sprite.height, 64.0f);
  FindSprite(sprite, "sheet", "walk");
  EXPECT_EQ(sprite.frameCount, 8u);
  EXPECT_FLOAT_EQ(sprite.width, 32.0f);
  EXPECT_FLOAT_EQ(sprite.height, 32.0f);
  EXPECT_FLOAT_EQ(sprite.secondsPerFrame, 0.1f);
  FindSprite(sprite, "sheet", "still");
  EXPECT_FLOAT_EQ(sprite.secondsPerFrame, 1.0f / 30.0f);
  EXPECT_NE(sprite.texture, 0u);
  // Unknown texture, texture without a sheet, sheet without the area: no sprite.
  for (auto [texture, area] : {std::pair{"nothing", "whole"}, std::pair{"bare", "whole"}, std::pair{"sheet", "run"}}) {
    FindSprite(sprite, texture, area);
    EXPECT_EQ(sprite.texture, 0u) << texture << " " << area;
    EXPECT_EQ(sprite.frames, nullptr);
    EXPECT_EQ(sprite.frameCount, 0u);
    EXPECT_EQ(sprite.width, 0.0f);
  }
}

TEST_F(ScriptInterfaceTest, MedalSpritesComeFromTheHouseSheetOnceItIsThere) {
  cGameRules& rules = garden->Rules();
  // Asked before the sheet is loaded: no sprite, and nothing wrong kept.
  EXPECT_EQ(rules.GetMedalSprite(0).texture, 0u);
  vek::cImage image(vek::e_PixARGB, 64, 32, 1);
  new vek::cTexture("houses05", false, &image);
  ASSERT_TRUE(Run("local s = cTextureInfo('houses05', false) "
                  "s:AddNode('gold', recti(0, 0, 16, 16)) s:AddNode('silver', recti(16, 0, 16, 16)) "
                  "s:AddNode('bronze', recti(32, 0, 16, 16))"));
  for (auto [medal, x] : {std::pair{0, 0.0f}, std::pair{1, 0.25f}, std::pair{2, 0.5f}, std::pair{3, 0.0f}, std::pair{-1, 0.0f}}) {
    const cSprite& s = rules.GetMedalSprite(medal);
    EXPECT_NE(s.texture, 0u) << medal;
    EXPECT_FLOAT_EQ(s.Frame().x, x) << medal;
    EXPECT_FLOAT_EQ(s.width, 16.0f) << medal;
  }
  EXPECT_EQ(&rules.GetMedalSprite(7), &rules.GetMedalSprite(0));
}

TEST_F(ScriptInterfaceTest, SoundTable) {
  vek::cSoundManager* sm = vek::GetSound();
  ASSERT_NE(sm, nullptr);
  Mark();
  garden->ParseResources();
  std::string log = LogSinceMark();
  EXPECT_NE(log.find("ParseResources: sound not loaded: 0"), std::string::npos);
  EXPECT_NE(log.find("ParseResources: sound not loaded: 30"), std::string::npos);
  new vek::cSoundManager::cSoundBuffer(0, "click", false, sm);
  new vek::cSoundManager::cSoundBuffer(0, "harvest", false, sm);
  new vek::cSoundManager::cSoundBuffer(0, "moo", false, sm);
  Mark();
  garden->ParseResources();
  log = LogSinceMark();
  EXPECT_EQ(log.find("click"), std::string::npos);
  EXPECT_NE(log.find("ParseResources: unusable sound found: moo"), std::string::npos);
  EXPECT_EQ(log.find("sound not loaded: 6\n"), std::string::npos);
  EXPECT_NE(garden->GetSoundTable()[6], 0);
  // Ids outside the table do nothing.
  garden->PlaySound(31);
  garden->PlaySound(-1);
}

// A row that is its score.
class ScoreRow : public cHighscoreRow {
 public:
  explicit ScoreRow(int s = 0) : score(s) {}
  bool IsLess(const cHighscoreRow& o) const override { return score < static_cast<const ScoreRow&>(o).score; }
  bool ParseText(vek::string&) override { return false; }
  bool Read(vek::cBitStream&) override { return false; }
  void AppendUploadText(vek::string&) const override {}
  void Write(vek::cBitStream&) const override {}
  vek::string GetText() const override { return std::to_string(score); }
  int score;
};

TEST_F(ScriptInterfaceTest, HighscoreTableKeepsTheBestTwenty) {
  for (int i = 1; i <= 20; ++i) garden->AddHighscore(new ScoreRow(i * 10));
  EXPECT_EQ(garden->GetHighscores().size(), 20u);
  EXPECT_EQ(garden->AddHighscore(new ScoreRow(5)), -1);
  EXPECT_EQ(garden->GetLastHighscoreRank(), -1);
  EXPECT_EQ(garden->GetHighscores().size(), 20u);
  EXPECT_EQ(garden->AddHighscore(new ScoreRow(200)), 0);  // ties ahead of the old best
  const vek::strlist text = garden->GetHighscoreText();
  EXPECT_EQ(text.front(), "200");
  EXPECT_EQ(text.back(), "20");
  // The game's own factory gives no row: nothing is uploaded.
  EXPECT_EQ(garden->CreateHighscoreRow(), nullptr);
  EXPECT_TRUE(garden->IsTransferNotRunning());
  EXPECT_FALSE(garden->IsTransferStarted());
}

TEST_F(ScriptInterfaceTest, HighscoreFileIsWrittenEmptyAndReadBack) {
  garden->OnSplashEnd();  // a loading widget for the base's end of loading
  garden->cMiddle::OnLoadingComplete();
  EXPECT_NE(LogText().find("Highscores not found"), std::string::npos);
  EndGarden();
  ASSERT_TRUE(std::filesystem::exists(App("conf/highscore.dat")));
  EXPECT_EQ(std::filesystem::file_size(App("conf/highscore.dat")), 0u);
  StartGarden();
  garden->cMiddle::OnLoadingComplete();
  EXPECT_NE(LogText().find("Highscores loaded. 0 row(s) found"), std::string::npos);
}

}  // namespace
