#include "game/windows/hint_mp_wf.h"

#include "engine/core/format.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/label_ctrl.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/app/window_host.h"
#include "game/windows/island_windows.h"

using vek::f32;
using vek::i32;
using vek::u32;

namespace {

// The tooltip stands this far above the level's place.
constexpr f32 kAbovePlace = 38.0f;

void SetLabel(vek::cCtrl* c, const vek::string& text) {
  if (auto* label = dynamic_cast<vek::cLabelCtrl*>(c)) label->SetText(text);
}

vek::string MedalText(i32 grade) {
  const char* key = grade == 1 ? "Silver" : grade == 2 ? "Bronze" : "Gold";
  cWindowHost* host = GetWindowHost();
  return host ? host->GetText(key) : vek::string(key);
}

}  // namespace

vek::string cHintMPWF::FormatLevelTime(f32 seconds) {
  const i32 s = static_cast<i32>(seconds);
  const i32 m = s / 60, r = s % 60;
  return r > 9 ? vek::Formatted("%i : %i", m, r) : vek::Formatted("%i : 0%i", m, r);
}

int cHintMPWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (IsFailed()) return HandleMessage(window, message, p1, p2);
  switch (message) {
    case vek::e_wndAfterCreate:
      m_pDay = cBaseWF::GetControlByName(window, "day");
      m_pTime = cBaseWF::GetControlByName(window, "time");
      m_pMedal = cBaseWF::GetControlByName(window, "medal");
      m_pFrame = cBaseWF::GetControlByName(window, "frame");
      if (!m_pDay || !m_pTime || !m_pMedal || !m_pFrame) return ReportError(window, "wndAfterCreate");
      break;
    case kRefreshMessage: {
      const cPlayer* player = CurrentPlayer();
      vek::vec2 at;
      if (!player || !window || !GetIslandPlaceOnScreen(p1, &at) || p1 >= player->levelTimes.size()) break;
      SetLabel(m_pDay, vek::Formatted("%i", static_cast<i32>(p1) + 1));
      SetLabel(m_pTime, FormatLevelTime(player->levelTimes[p1]));
      SetLabel(m_pMedal, MedalText(p1 < player->timeGrades.size() ? player->timeGrades[p1] : 0));
      const vek::rectf frame = m_pFrame->GetRect();
      window->SetPos(at.x - frame.w * 0.5f, at.y - frame.h - kAbovePlace);
      break;
    }
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}
