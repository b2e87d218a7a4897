#include "game/windows/play_host.h"

#include <map>
#include <memory>

#include "engine/app/game.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/widget.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "game/app/game_rules.h"
#include "game/app/garden.h"
#include "game/app/garden_services.h"
#include "game/app/player.h"
#include "game/app/window_host.h"
#include "game/app/sprite.h"
#include "game/island/buildings.h"
#include "game/island/island.h"
#include "game/world/effects.h"
#include "game/world/level.h"
#include "game/world/ware_manager.h"
#include "game/world/particles.h"

// The profile the rules act on (declared with the rules' host, whose ware constant the
// field's headers also define).
cPlayer* CurrentPlayer();

namespace {

cPlayHost* g_pPlayHost = nullptr;

cLevel* Field() {
  if (!vek::g_pGame) return nullptr;
  for (vek::cWidget* widget : vek::g_pGame->GetWidgets())
    if (auto* level = dynamic_cast<cLevel*>(widget)) return level;
  return nullptr;
}

cIsland* Island() {
  if (!vek::g_pGame) return nullptr;
  for (vek::cWidget* widget : vek::g_pGame->GetWidgets())
    if (auto* island = dynamic_cast<cIsland*>(widget)) return island;
  return nullptr;
}

vek::i32 WareIdOf(const std::string& name) {
  return g_pWareManager && !name.empty() ? g_pWareManager->GetWareId(name) : 1000;
}

// An island factory for the chain rows, found again by its product at every question: the
// island may rebuild its buildings (a new level, a loaded game) while a row shows it.
class cIslandFactoryView : public iChainFactory {
 public:
  explicit cIslandFactoryView(std::string output) : m_Output(std::move(output)) {}
  vek::i32 GetState() const override { return Get() ? Get()->GetState() : 2; }
  vek::i32 GetInputWare() const override { return Get() ? WareIdOf(Get()->GetInput()) : 1000; }
  vek::i32 GetOutputWare() const override { return WareIdOf(m_Output); }
  vek::i32 GetStock() const override { return Get() ? Get()->GetStock() : 0; }
  vek::f32 GetWorkDone() const override { return Get() ? Get()->GetWorkTimer().current : 0.0f; }
  vek::f32 GetWorkTime() const override { return Get() ? Get()->GetWorkTimer().target : 0.0f; }
  void Activate() override {
    if (cFactory* f = Get()) f->Activate();
  }

 private:
  cFactory* Get() const {
    cIsland* island = Island();
    return island ? island->FindFactoryByOutput(m_Output) : nullptr;
  }
  std::string m_Output;
};

}  // namespace

iChainFactory* cPlayHost::FindFactoryMaking(vek::i32 ware) {
  if (!g_pWareManager || ware < 0 || static_cast<vek::u32>(ware) >= g_pWareManager->GetCount()) return nullptr;
  const std::string name = g_pWareManager->GetWare(static_cast<vek::u32>(ware)).GetName();
  cIsland* island = Island();
  if (!island || !island->FindFactoryByOutput(name)) return nullptr;
  // One view per product, kept for the program's life (the rows hold on to it).
  static std::map<std::string, std::unique_ptr<cIslandFactoryView>> views;
  std::unique_ptr<cIslandFactoryView>& view = views[name];
  if (!view) view = std::make_unique<cIslandFactoryView>(name);
  return view.get();
}

vek::i32 cPlayHost::GetPauseState() const { return g_pGarden ? g_pGarden->m_Paused : m_PauseState; }

void cPlayHost::SetPauseState(vek::i32 state) {
  m_PauseState = state;
  if (g_pGarden) g_pGarden->m_Paused = state;
}

bool cPlayHost::HasLevel() {
  const cPlayer* player = CurrentPlayer();
  return Field() && player && player->currentLevel >= 0;
}

void cPlayHost::SelectSeed(vek::i32 ware) {
  if (cLevel* level = Field(); level && ware >= 0) level->SelectSeed(static_cast<vek::u32>(ware));
}

void cPlayHost::BuyAnimal(vek::i32 kind) {
  if (cLevel* level = Field()) level->BuyAnimal(kind);
}

void cPlayHost::UpdateToolbars() {
  if (cLevel* level = Field()) level->UpdateToolbars();
}

cFloatingTexts* cPlayHost::GetFloatingTexts() {
  cLevel* level = Field();
  return level ? &level->GetTexts() : nullptr;
}

cPlayHost::cPlayHost() : m_pRules(new cGameRules()) {}

cPlayHost::~cPlayHost() { delete m_pRules; }

cGameRules& cPlayHost::Rules() { return g_pGarden ? g_pGarden->Rules() : *m_pRules; }

vek::string cPlayHost::GetText(const vek::string& key) {
  vek::string text = GardenServices()->GetText(key);
  if (!text.empty()) return text;
  cWindowHost* host = GetWindowHost();
  return host ? host->GetText(key) : key;
}

void cPlayHost::PlaySound(vek::i32 id) { GardenServices()->PlaySound(id); }

void cPlayHost::ShowTraining(vek::i32 step) { GardenServices()->ShowTraining(step); }

void cPlayHost::NextHintStep(vek::i32 hint, vek::i32 step) { GardenServices()->NextHintStep(hint, step); }

cParticles* cPlayHost::GetParticles() { return GardenServices()->GetParticles(); }

cFlyerList* cPlayHost::GetFlyers() { return GardenServices()->GetFlyers(); }

// The field's music slot (the island's own music is in the other one).
vek::cMusic* cPlayHost::GetMusic() { return GardenServices()->GetMusicSlot(1); }

cPlayHost* GetPlayHost() {
  static cPlayHost plain;
  return g_pPlayHost ? g_pPlayHost : &plain;
}

void SetPlayHost(cPlayHost* host) { g_pPlayHost = host; }

void SetControlText(vek::cCtrl* control, const vek::string& text) {
  if (auto* label = dynamic_cast<vek::cLabelCtrl*>(control)) label->SetText(text);
}

bool SetControlPicture(vek::cCtrl* control, const vek::string& sheet, const vek::string& area) {
  auto* image = dynamic_cast<vek::cImageCtrl*>(control);
  if (!image) return false;
  const cSprite found = FindSprite(sheet, area);
  if (found.texture == 0 || !found.frames) {
    // Without its area the image would show whatever UV it had, the whole sheet at first:
    // it shows nothing instead.
    ShowControl(image, false);
    return false;
  }
  image->SetTexture(sheet);
  image->SetUVPos(found.Frame().x, found.Frame().y, 0);
  image->SetUVSize(found.Frame().w, found.Frame().h, 0);
  return true;
}

void ShowControl(vek::cCtrl* control, bool shown) {
  if (!control) return;
  if (shown)
    control->EnableState(vek::cCtrl::e_Visibility);
  else
    control->DisableState(vek::cCtrl::e_Visibility);
}

cPoint2 ControlCentre(const vek::cCtrl* control) {
  if (!control) return {};
  const vek::rectf r = control->GetRect();
  return {r.x + r.w * 0.5f, r.y + r.h * 0.5f};
}

void BurstAt(const vek::cCtrl* control, vek::u32 count, vek::f32 spread) {
  cParticles* particles = GetPlayHost()->GetParticles();
  if (!particles || !control) return;
  const cPoint2 c = ControlCentre(control);
  particles->AddBurst(vek::vec3(c.x, c.y, 0.0f), count, spread);
}

cFlyer* AddPlayFlyer(const vek::string& sheet, const vek::string& area, vek::f32 spacing, vek::u32 trailPoints) {
  cFlyerList* flyers = GetPlayHost()->GetFlyers();
  if (!flyers) return nullptr;
  return flyers->Add(sheet, area, spacing, trailPoints);
}
