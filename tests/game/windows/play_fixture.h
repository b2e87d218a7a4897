#pragma once
// The play windows built from the data folder's window files over the title windows, with
// the built sheets they show, a current player, a few wares and a game host that records
// what the windows asked of the game.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "game/app/game_rules.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/windows/play_host.h"
#include "game/windows/play_windows.h"
#include "game/world/effects.h"
#include "game/world/ware_manager.h"
#include "tests/game/windows/title_fixture.h"
#include "tests/support/sprite_sheets.h"

namespace playtest {

class RecordingPlayHost : public cPlayHost {
 public:
  bool HasLevel() override { return hasLevel; }
  void SelectSeed(vek::i32 ware) override { calls.push_back("SelectSeed " + std::to_string(ware)); }
  void BuyAnimal(vek::i32 kind) override { calls.push_back("BuyAnimal " + std::to_string(kind)); }
  void UpdateToolbars() override { calls.push_back("UpdateToolbars"); }
  void PlaySound(vek::i32 id) override { sounds.push_back(id); }
  void NextHintStep(vek::i32 hint, vek::i32 step) override {
    calls.push_back("NextHintStep " + std::to_string(hint) + " " + std::to_string(step));
  }
  void ShowTraining(vek::i32 step) override { calls.push_back("ShowTraining " + std::to_string(step)); }
  cFlyerList* GetFlyers() override { return &flyers; }
  iChainFactory* FindFactoryMaking(vek::i32 ware) override {
    for (iChainFactory* f : factories)
      if (f->GetOutputWare() == ware) return f;
    return nullptr;
  }
  bool Called(const std::string& call) const {
    for (const std::string& c : calls)
      if (c == call) return true;
    return false;
  }

  bool hasLevel = true;
  std::vector<std::string> calls;
  std::vector<vek::i32> sounds;
  std::vector<iChainFactory*> factories;
  cFlyerList flyers{nullptr, nullptr};
};

class PlayFixture : public titletest::TitleFixture {
 protected:
  void SetUp() override {
    TitleFixture::SetUp();
    sprites = std::make_unique<vektest::HeadlessSprites>();
    for (const char* sheet : {"texture/gui/icons01.png", "texture/gui/gui_plants.png", "texture/gui/gui_ups00.png", "texture/gui/gui_ups01.png", "texture/world/peacock01.png"}) ASSERT_TRUE(sprites->Load(sheet)) << sheet;
    CreateWareManager();
    for (const char* name : {"plant07", "plant00", "plant02", "plant05", "grass", "plant01", "plant04", "plant06",
                             "plant03", "flowers"})
      new cSort(name, vek::string("Sort ") + name);
    for (const char* name : {"product00", "product01", "product01_1"}) new cProduct(name, vek::string("Product ") + name);
    player.currentLevel = 0;
    SetCurrentPlayer(&player);
    SetPlayHost(&play);
    new vek::cWidget("garden");
    new vek::cWidget("island");
    CreatePlayWindows();
  }
  void TearDown() override {
    TitleFixture::TearDown();
    SetPlayHost(nullptr);
    SetCurrentPlayer(nullptr);
    DestroyWareManager();
    sprites.reset();
  }
  vek::i32 Ware(const char* name) const { return g_pWareManager->GetWareId(name); }
  std::string Text(const std::string& window, const std::string& control) const {
    auto* label = Control<vek::cLabelCtrl>(window, control);
    return label ? label->GetText() : "<missing>";
  }
  bool Visible(const std::string& window, const std::string& control) const {
    vek::cCtrl* c = Control<vek::cCtrl>(window, control);
    return c && c->GetState(vek::cCtrl::e_Visibility);
  }
  void Focus(const char* widget) { game->SetFocusWidget(widget); }
  static cMissionTask Task(vek::i32 ware, vek::i32 count, vek::f32 start = 0.0f, vek::i32 kind = -1) {
    cMissionTask t;
    t.ware = ware;
    t.count = count;
    t.startTime = start;
    t.kind = kind;
    return t;
  }

  std::unique_ptr<vektest::HeadlessSprites> sprites;
  cPlayer player{"plr000"};
  RecordingPlayHost play;
};

}  // namespace playtest
