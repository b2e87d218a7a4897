#pragma once
// The island screen's windows and the comic pages built from the data folder's window files
// over the title windows, with game services that record what the windows asked for.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/core/vec.h"
#include "game/app/garden_services.h"
#include "game/windows/island_windows.h"
#include "game/windows/title_windows.h"
#include "tests/game/windows/title_fixture.h"
#include "tests/support/sprite_sheets.h"

class cIsland;

namespace islandtest {

class RecordingServices : public cNullGardenServices {
 public:
  void PlaySound(vek::i32 index) override { calls.push_back("PlaySound " + std::to_string(index)); }
  bool NextHintStep(vek::i32 hint, vek::i32 step) override {
    calls.push_back("NextHintStep " + std::to_string(hint) + " " + std::to_string(step));
    return false;
  }
  void EndTraining(vek::i32 step) override { calls.push_back("EndTraining " + std::to_string(step)); }
  void ClearTrainingStep() override { calls.push_back("ClearTrainingStep"); }
  vek::string GetText(const vek::string& field) override { return field; }
  vek::u32 GetShipCount() override { return static_cast<vek::u32>(ships.size()); }
  cShipView GetShip(vek::u32 i) override { return ships[i]; }

  std::vector<std::string> calls;
  std::vector<cShipView> ships;
};

// Makes the island map widget (the engine's widget list owns it) with one level place per
// point, and gives its view offset; defined apart, as it sees the island's classes.
cIsland* AddTestIsland(const std::vector<vek::vec2>& places, vek::vec2* viewOffset = nullptr);
// A sheet `texture` of w x h pixels whose areas are {name, x, y, w, h} in pixels.
struct cArea {
  const char* name;
  int x, y, w, h;
};
void AddTestSheet(const std::string& texture, int w, int h, const std::vector<cArea>& areas);

class IslandFixture : public titletest::TitleFixture {
 protected:
  void SetUp() override {
    TitleFixture::SetUp();
    sprites = std::make_unique<vektest::HeadlessSprites>();
    SetGardenServices(&services);
    for (const char* name : {"hint", "hint_mp", "island", "edit", "stat_garden", "stat_island", "comics",
                             "comics00", "comics01", "comics02"})
      ASSERT_NE(CreateGameWindow(name, MakeIslandWindowFunction(name)), nullptr) << name;
  }
  void TearDown() override {
    TitleFixture::TearDown();
    sprites.reset();
    SetGardenServices(nullptr);
  }
  // Sends a message to the named window's function as the GUI would.
  int Send(const std::string& window, vek::u32 message, vek::u32 p1 = 0, vek::u32 p2 = 0) {
    vek::cWindow* w = Window(window);
    return w->GetFunction()->Call(w, message, p1, p2);
  }
  vek::u32 Id(const std::string& window, const std::string& control) const {
    return Window(window)->FindControl(control);
  }

  RecordingServices services;
  // The sheet registry for the test sheets.
  std::unique_ptr<vektest::HeadlessSprites> sprites;
};

}  // namespace islandtest
