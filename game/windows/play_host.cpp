#include "game/windows/play_host.h"

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
#include "game/windows/controls/sheet_area.h"
#include "game/world/level.h"
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

}  // namespace

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

cGameRules& cPlayHost::Rules() { return *m_pRules; }

vek::string cPlayHost::GetText(const vek::string& key) {
  vek::string text = GardenServices()->GetText(key);
  if (!text.empty()) return text;
  cWindowHost* host = GetWindowHost();
  return host ? host->GetText(key) : key;
}

void cPlayHost::PlaySound(vek::i32 id) { GardenServices()->PlaySound(id); }

void cPlayHost::ShowTraining(vek::i32 step) { GardenServices()->ShowTraining(step); }

cParticles* cPlayHost::GetParticles() { return GardenServices()->GetParticles(); }

cFlyerList* cPlayHost::GetFlyers() { return GardenServices()->GetFlyers(); }

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
  image->SetTexture(sheet);
  const cSheetArea found = FindSheetArea(sheet, area);
  if (found.texture == 0) return false;
  image->SetUVPos(found.uv.x, found.uv.y, 0);
  image->SetUVSize(found.uv.w, found.uv.h, 0);
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
