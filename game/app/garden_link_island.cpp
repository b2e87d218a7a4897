// The island's half of the game's link: what the world, the rules and the windows ask about
// the island map, answered through the island registered at the end of loading.
#include "game/app/garden_link_island.h"

#include <cstdio>
#include <sstream>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/widget.h"
#include "engine/gui/window.h"
#include "game/app/game_rules.h"
#include "game/app/garden.h"
#include "game/app/garden_link.h"

namespace {

iGardenIsland* g_pIsland = nullptr;
ComicsPlayerFn g_ComicsPlayer = nullptr;
HintPlacerFn g_HintPlacer = nullptr;

vek::cGUI* GUI() { return vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr; }

// The rectangle of a window's control; false when the window or the control is missing.
bool ControlRect(const vek::string& window, const vek::string& control, vek::f32* rect) {
  vek::cGUI* gui = GUI();
  vek::cWindow* w = gui ? gui->GetWindow(window) : nullptr;
  if (!w) return false;
  const vek::u32 id = w->FindControl(control);
  vek::cCtrl* c = id != 0 ? w->GetControl(id) : nullptr;
  if (!c) return false;
  const vek::rectf r = c->GetRect();
  rect[0] = r.x;
  rect[1] = r.y;
  rect[2] = r.w;
  rect[3] = r.h;
  return true;
}

}  // namespace

iGardenIsland* GardenIsland() { return g_pIsland; }
void SetGardenIsland(iGardenIsland* island) { g_pIsland = island; }

void SetComicsPlayer(ComicsPlayerFn player) { g_ComicsPlayer = player; }
bool PlayComics(vek::i32 mode) { return g_ComicsPlayer && g_ComicsPlayer(mode); }

void SetHintPlacer(HintPlacerFn placer) { g_HintPlacer = placer; }

cHouse* cGameRules::FindHouseAtPlace(int place) const {
  return g_pIsland ? g_pIsland->FindHouseAtPlace(place) : nullptr;
}

cBuild* cGameRules::CreateBuilding(int index) const { return g_pIsland ? g_pIsland->CreateBuilding(index) : nullptr; }

// ---- the link's island answers

void cGardenLink::StepIslandEffects() {
  if (g_pIsland) g_pIsland->StepEffects();
}

void cGardenLink::UpdateIslandTexts(vek::f32 dt) {
  if (g_pIsland) g_pIsland->UpdateTexts(dt);
}

void cGardenLink::ResetIslandView() {
  if (g_pIsland) g_pIsland->ResetView();
}

bool cGardenLink::GetIslandHouseRect(vek::u32 id, vek::rectf* rect) {
  return g_pIsland && g_pIsland->GetHouseRect(id, rect);
}

void cGardenLink::AddFactoryInput(vek::u32 id) {
  if (g_pIsland && !g_pIsland->AddFactoryInputById(id))
    vek::LogWarning("cGarden", "A ware arrived at island building %u, which is no factory\n", id);
}

int cGardenLink::CountBuiltBuildings() { return g_pIsland ? g_pIsland->CountBuiltBuildings() : 0; }
bool cGardenLink::IsBuildingBuilt(const vek::string& name) { return g_pIsland && g_pIsland->IsBuildingBuilt(name); }
int cGardenLink::GetIslandMode() { return g_pIsland ? g_pIsland->GetMode() : 0; }
int cGardenLink::SumHouseValues() { return g_pIsland ? g_pIsland->SumHouseValues() : 0; }
int cGardenLink::CountPeople() { return g_pIsland ? g_pIsland->CountPeople() : 0; }

void cGardenLink::AddPeople(int people) {
  if (g_pIsland && people > 0) g_pIsland->AddPeople(people);
}

vek::i32 cGardenLink::GetFactoryProduct(vek::i32 input) { return g_pIsland ? g_pIsland->GetFactoryProduct(input) : -1; }
vek::i32 cGardenLink::GetFactoryStock(vek::i32 input) { return g_pIsland ? g_pIsland->GetFactoryStock(input) : 0; }
bool cGardenLink::AddFactoryInput(vek::i32 input) { return g_pIsland && g_pIsland->AddFactoryInput(input); }

void cGardenLink::ShowLevel() {
  // The island plays its after-level sequence when it is shown again after the level; the
  // play field takes the focus (its own link does that).
  if (g_pIsland) g_pIsland->Show(2);
}

void cGardenLink::ClearLevel() {
  if (g_pIsland) g_pIsland->ClearLevel();
}

bool cGardenLink::FindTarget(const vek::string& target, vek::f32* rect) {
  if (!rect) return false;
  if (g_pIsland && g_pIsland->FindTarget(target, rect)) return true;
  std::istringstream words(target);
  std::string first;
  words >> first;
  if (first == "control") {
    std::string window, control;
    words >> window >> control;
    return !control.empty() && ControlRect(window, control, rect);
  }
  if (first == "task") {
    int index = -1;
    if (!(words >> index) || index < 0) return false;
    return ControlRect("score", "task" + std::to_string(index), rect);
  }
  if (target == "clock medal") return ControlRect("score", "clock_medal", rect);
  if (first == "point") {
    vek::f32 x = 0.0f, y = 0.0f;
    if (!(words >> x >> y)) return false;
    rect[0] = x;
    rect[1] = y;
    rect[2] = rect[3] = 0.0f;
    return true;
  }
  return FindFieldTarget(target, rect);
}

void cGardenLink::ShowHintWindow(const vek::string& text, const vek::f32* rect, vek::f32 x, vek::f32 y,
                                 int placement, int flag) {
  m_bHintPlaced = g_HintPlacer && g_HintPlacer(text, rect, x, y, placement, flag);
  if (!m_bHintPlaced) vek::LogWarning("cGarden", "The hint window could not show: %s\n", text);
}

void cGardenLink::HideHintWindow() {
  vek::cGUI* gui = GUI();
  if (gui && gui->IsWindowShown("hint")) gui->HideWindow("hint");
}
