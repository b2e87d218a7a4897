#include "game/windows/island_wf.h"

#include "engine/core/format.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "game/app/garden_services.h"
#include "game/app/game_rules.h"
#include "game/app/window_host.h"

using vek::u32;

namespace {

void SetLabel(vek::cCtrl* c, const vek::string& text) {
  if (auto* label = dynamic_cast<vek::cLabelCtrl*>(c)) label->SetText(text);
}

void Show(vek::cCtrl* c, bool shown) {
  if (!c) return;
  if (shown)
    c->EnableState(vek::cCtrl::e_Visibility);
  else
    c->DisableState(vek::cCtrl::e_Visibility);
}

}  // namespace

int cIslandWF::AfterCreate(vek::cWindow* window) {
  m_pProfile = GetControlByName(window, "profile");
  m_pRate = GetControlByName(window, "rate");
  m_pButRate = GetControlByName(window, "but_rate");
  m_pFace = GetControlByName(window, "face");
  m_Stars.assign(kStars, nullptr);
  for (int i = 0; i < kStars; ++i) {
    auto* star = GetControlAs<vek::cImageCtrl>(window, vek::Formatted("star%i", i));
    if (!star) return ReportError(window, "wndAfterCreate");
    star->SetTexture("icons00");
    m_Stars[static_cast<size_t>(i)] = star;
  }
  m_pIslandRate = GetControlByName(window, "island_rate");
  m_pButIslandRate = GetControlByName(window, "but_island_rate");
  m_pIslandFace = GetControlByName(window, "island_face");
  m_IslandStars.assign(kHouses, nullptr);
  for (int i = 0; i < kHouses; ++i) {
    auto* star = GetControlAs<vek::cImageCtrl>(window, vek::Formatted("island_star%i", i));
    if (!star) return ReportError(window, "wndAfterCreate");
    star->SetTexture("icons00");
    m_IslandStars[static_cast<size_t>(i)] = star;
  }
  m_pFrame = GetControlByName(window, "frame");
  m_pDecor = GetControlByName(window, "decor");
  m_pIslandFrame = GetControlByName(window, "island_frame");
  m_pIslandDecor = GetControlByName(window, "island_decor");
  for (const vek::cCtrl* c : {m_pProfile, m_pRate, m_pButRate, m_pFace, m_pIslandRate, m_pButIslandRate,
                              m_pIslandFace, m_pFrame, m_pDecor, m_pIslandFrame, m_pIslandDecor})
    if (!c) return ReportError(window, "wndAfterCreate");
  return -1;
}

void cIslandWF::FillRow(const std::vector<vek::cCtrl*>& row, int filled, const cSprite& full, const cSprite& empty) {
  for (size_t i = 0; i < row.size(); ++i) {
    const cSprite& s = static_cast<int>(i) < filled ? full : empty;
    if (s.frameCount == 0 || !s.frames) break;
    row[i]->SetUVPos(s.frames[0].x, s.frames[0].y, 0);
    row[i]->SetUVSize(s.frames[0].w, s.frames[0].h, 0);
  }
}

void cIslandWF::Refresh() {
  cWindowHost* host = GetWindowHost();
  SetLabel(m_pProfile, host ? host->GetPlayerName() : vek::string());
  if (!m_bSprites) {
    m_bSprites = true;
    FindSprite(m_StarFull, "icons00", "star");
    FindSprite(m_StarEmpty, "icons00", "star_empty");
    FindSprite(m_HouseFull, "icons00", "house");
    FindSprite(m_HouseEmpty, "icons00", "house_empty");
  }
  // The ratings (texts from the text table) read the current profile and the island; the
  // rules keep no state for them.
  const cGameRules rules;
  vek::string text;
  int filled = 0;
  rules.GetRate(&text, &filled);
  SetLabel(m_pRate, text);
  FillRow(m_Stars, filled, m_StarFull, m_StarEmpty);
  text.clear();
  filled = 0;
  rules.GetIslandRate(&text, &filled);
  SetLabel(m_pIslandRate, text);
  FillRow(m_IslandStars, filled, m_HouseFull, m_HouseEmpty);
  const bool visible = rules.HasIslandProgress();
  SetPanelsVisible(visible, visible);
}

void cIslandWF::SetPanelsVisible(bool playerPanel, bool islandPanel) {
  for (vek::cCtrl* c : {m_pFrame, m_pDecor, m_pProfile, m_pRate, m_pButRate, m_pFace}) Show(c, playerPanel);
  for (vek::cCtrl* c : m_Stars) Show(c, playerPanel);
  for (vek::cCtrl* c : {m_pIslandFrame, m_pIslandDecor, m_pIslandRate, m_pButIslandRate, m_pIslandFace})
    Show(c, islandPanel);
  for (vek::cCtrl* c : m_IslandStars) Show(c, islandPanel);
}

int cIslandWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  switch (message) {
    case vek::e_wndAfterCreate:
      if (const int failed = AfterCreate(window); failed >= 0) return failed;
      break;
    case vek::e_wndShow:
    case kRefreshMessage:
      Refresh();
      break;
    case vek::e_ntfButtonClick: {
      cWindowHost* host = GetWindowHost();
      if (IsControl(window, p2, "but_rate")) {
        GardenServices()->NextHintStep(14, 0);
        if (host) host->SwitchWindow("stat_garden", 1);
      } else if (IsControl(window, p2, "but_island_rate")) {
        GardenServices()->NextHintStep(13, 0);
        if (host) host->SwitchWindow("stat_island", 1);
      }
      break;
    }
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}
