#include "game/windows/play_host.h"

#include "engine/gui/ctrl.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "game/app/game_rules.h"
#include "game/app/garden_services.h"
#include "game/app/window_host.h"
#include "game/windows/controls/sheet_area.h"
#include "game/world/particles.h"

namespace {
cPlayHost* g_pPlayHost = nullptr;
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
