#pragma once
// The title windows built from the data folder's window files on the engine's GUI, with a
// window host that records what the game's flow was asked to do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/app/game.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/app/window_host.h"
#include "engine/core/path_tokens.h"
#include "engine/files/filename.h"
#include "engine/script/script.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/widget.h"
#include "game/windows/title_windows.h"
#include "game/windows/windows_bindings.h"
#include "tests/support/engine_fixture.h"

namespace titletest {

class RecordingHost : public cWindowHost {
 public:
  void StartLevel(int level) override { calls.push_back("StartLevel " + std::to_string(level)); }
  void SaveLevel() override { calls.push_back("SaveLevel"); }
  void EndLevel() override { calls.push_back("EndLevel"); }
  int GetCurrentLevel() const override { return currentLevel; }
  void CloseHint() override { calls.push_back("CloseHint"); }
  int GetIslandMode() const override { return islandMode; }
  void ShowIsland(int mode) override {
    islandMode = mode;
    calls.push_back("ShowIsland " + std::to_string(mode));
  }
  bool IsIslandReady() const override { return islandReady; }
  int GetIslandPlaceCount() const override { return placeCount; }
  void ScrollIslandToPlace(int place) override { calls.push_back("ScrollIslandToPlace " + std::to_string(place)); }
  void StartComics(int mode) override { calls.push_back("StartComics " + std::to_string(mode)); }
  void OnMessageBox(const vek::string& window) override {
    closed.push_back(window);
    cWindowHost::OnMessageBox(window);
  }

  std::vector<std::string> calls;
  std::vector<std::string> closed;  // the windows the application was told had closed
  int currentLevel = 3;
  int islandMode = 0;
  bool islandReady = false;
  int placeCount = 0;
};

class TitleFixture : public vektest::EngineFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // One fixed step of the GUI: posted messages arrive, every shown window gets its timer.
  void Step(int steps = 1);
  // Enough steps for any fade to end.
  void Settle() { Step(30); }
  // A click on the named control of the named window, delivered as a player's click is.
  void Click(const std::string& window, const std::string& control);
  void Key(vek::u32 key) { gui->OnKeyDown(key); }
  // Adds a player with that name (its folder under the temporary data home) and makes it
  // current when asked.
  cPlayer* AddPlayer(const std::string& name, bool current = true);

  vek::cWindow* Window(const std::string& name) const { return gui->GetWindow(name); }
  bool Shown(const std::string& name) const { return gui->IsWindowShown(name); }
  template <class T>
  T* Control(const std::string& window, const std::string& control) const {
    vek::cWindow* w = Window(window);
    return w ? dynamic_cast<T*>(w->GetControl(w->FindControl(control))) : nullptr;
  }
  template <class T>
  T* Function(const std::string& window) const {
    vek::cWindow* w = Window(window);
    return w ? dynamic_cast<T*>(w->GetFunction()) : nullptr;
  }
  std::vector<std::string> ShownNames() const;

  vek::cGUI* gui = nullptr;
  RecordingHost* host = nullptr;
};

inline void TitleFixture::SetUp() {
  EngineFixture::SetUp();
  ASSERT_TRUE(game->CreateWindow(true, 1024, 768));
  game->OnResize(1024, 768);
  vek::SetPathToken(vek::e_StaticPath, std::string(VEK_TEST_BIN_DIR) + "/data");
  RegisterGameWindows(vek::GetScript()->GetState());
  // The data set's texts, as the windows read them from the script globals.
  ASSERT_TRUE(vek::GetScript()->DoString("locale = {} vek_locale = {}", "=locale"));
  ASSERT_TRUE(vek::GetScript()->LoadFile(vek::filename("{StaticPath}/conf/locale.lua")));
  host = new RecordingHost();
  CreateTitleWindows(host);
  gui = game->GetGUI();
  new vek::cWidget("menu");
  game->SetFocusWidget("menu");
}

inline void TitleFixture::TearDown() {
  // The windows go with the engine; the host after them.
  EngineFixture::TearDown();
  delete host;
  host = nullptr;
}

inline void TitleFixture::Step(int steps) {
  for (int i = 0; i < steps; ++i) gui->Update(vek::kFixedStep);
}

inline void TitleFixture::Click(const std::string& window, const std::string& control) {
  vek::cWindow* w = Window(window);
  ASSERT_NE(w, nullptr) << window;
  vek::cCtrl* c = w->GetControl(w->FindControl(control));
  ASSERT_NE(c, nullptr) << window << "." << control;
  const vek::rectf r = c->GetRect();
  const int x = static_cast<int>(r.x + r.w / 2), y = static_cast<int>(r.y + r.h / 2);
  gui->OnMouseMove(x, 768 - y);
  gui->OnMouseButton(false, 0, x, 768 - y);
  gui->OnMouseButton(true, 0, x, 768 - y);
  Step();
}

inline cPlayer* TitleFixture::AddPlayer(const std::string& name, bool current) {
  cPlayer* p = host->Players().CreatePlayer(name);
  host->Players().AddPlayer(p);
  if (current) host->Players().ChangePlayer(name);
  return p;
}

inline std::vector<std::string> TitleFixture::ShownNames() const {
  std::vector<std::string> names;
  for (unsigned id : gui->GetShownList()) names.push_back(gui->GetWindowById(id)->GetName());
  return names;
}

}  // namespace titletest
