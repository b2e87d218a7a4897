#include "game/windows/upgrades_wf.h"

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/app/game_rules.h"
#include "game/app/locale_gd.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/windows/controls/check_box_ctrl.h"
#include "game/app/sprite.h"
#include "game/windows/play_host.h"
#include "game/world/effects.h"

using vek::f32;
using vek::u32;

namespace {

struct cUpgradeLook {
  const char* text;
  const char* sheet;
  const char* area;
};
constexpr cUpgradeLook kUpgrades[6] = {
    {"UpSpeedGardener", "gui_ups00", "speed"},  {"UpVolumeWater", "gui_ups00", "volume_water"},
    {"UpVolumeBin", "gui_ups00", "volume_bin"}, {"UpTimeWater", "gui_ups01", "time_water"},
    {"UpTimeWeed", "gui_ups01", "time_weed"},   {"UpTimeBin", "gui_ups00", "time_bin"},
};

void SetPart(cCheckBoxUpCtrl* box, const vek::string& sheet, const vek::string& area, int part) {
  const cSprite found = FindSprite(sheet, area);
  if (found.texture == 0) return;
  box->SetUVPos(found.Frame().x, found.Frame().y, part);
  box->SetUVSize(found.Frame().w, found.Frame().h, part);
}

}  // namespace

vek::string GetUpgradeText(int upgrade) {
  return upgrade >= 0 && upgrade < 6 ? kUpgrades[upgrade].text : "";
}

void GetUpgradeSprite(int upgrade, vek::string& sheet, vek::string& area) {
  sheet.clear();
  area.clear();
  if (upgrade < 0 || upgrade >= 6) return;
  sheet = kUpgrades[upgrade].sheet;
  area = kUpgrades[upgrade].area;
}

int cUpWF::LevelOf(int upgrade) const {
  const cPlayer* player = CurrentPlayer();
  if (!player || upgrade < 0 || static_cast<size_t>(upgrade) >= player->upgradeLevels.size()) return 0;
  return player->upgradeLevels[static_cast<size_t>(upgrade)];
}

int cUpWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  cPlayHost* host = GetPlayHost();
  switch (message) {
    case vek::e_wndAfterCreate:
      m_Choices.clear();
      m_Prices.clear();
      m_Group.clear();
      for (int i = 0; i < kChoices; ++i) {
        m_Choices.push_back(GetControlAs<cCheckBoxUpCtrl>(window, "ch" + std::to_string(i)));
        m_Prices.push_back(GetControlByName(window, "price" + std::to_string(i)));
      }
      m_pDesc = GetControlByName(window, "desc");
      m_pDone = GetControlByName(window, "done");
      m_pBank = GetControlByName(window, "bank");
      for (size_t i = 0; i < m_Choices.size(); ++i) {
        if (!m_Choices[i] || i >= m_Prices.size() || !m_Prices[i]) return ReportError(window, "wndAfterCreate");
        m_Choices[i]->SetMaxLevel(3);
        m_Group.push_back(m_Choices[i]->GetID());
      }
      if (!m_pDesc || !m_pDone || !m_pBank) return ReportError(window, "wndAfterCreate");
      break;
    case vek::e_wndShow:
      if (OnShow(window) == 0) return 0;
      break;
    case vek::e_wndTimer: {
      const cPlayer* player = CurrentPlayer();
      SetControlText(m_pBank, FillPlaceholder("%i", player ? player->bank : 0));
      if (m_CloseTimer.Update(vek::cGUI::ParamToTime(p1)) == vek::e_TweenArrived && window->GetGUI())
        window->GetGUI()->HideWindow(window->GetName());
      break;
    }
    case vek::e_wndHide:
      host->SetPauseState(0);
      if (vek::g_pGame) vek::g_pGame->SetFocusWidget("island");
      break;
    case vek::e_ntfMouseEnter:
      for (size_t i = 0; i < m_Choices.size() && i < m_Offer.size(); ++i)
        if (m_Choices[i]->GetID() == p2) {
          SetControlText(m_pDesc, host->GetText(GetUpgradeText(m_Offer[i])));
          break;
        }
      break;
    case vek::e_ntfMouseLeave:
      SetControlText(m_pDesc, m_DefaultDesc);
      break;
    case vek::e_ntfCheckToggle:
      OnToggle(p2);
      break;
    case vek::e_ntfButtonClick:
      if (m_pDone && p2 == m_pDone->GetID()) OnDone();
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}

int cUpWF::OnShow(vek::cWindow* window) {
  cPlayHost* host = GetPlayHost();
  m_CloseTimer = {};
  host->SetPauseState(3);
  m_DefaultDesc.clear();
  m_Offer = host->Rules().GetUpgradesForSale();
  if (m_Offer.size() > static_cast<size_t>(kChoices)) m_Offer.resize(kChoices);
  if (m_Offer.empty()) {
    if (window->GetGUI()) window->GetGUI()->HideWindow(window->GetName());
    return 0;
  }
  const cPlayer* player = CurrentPlayer();
  const vek::i32 bank = player ? player->bank : 0;
  for (size_t i = 0; i < m_Choices.size(); ++i) {
    cCheckBoxUpCtrl* box = m_Choices[i];
    ShowControl(m_Prices[i], true);
    ShowControl(box, true);
    box->DisableState(vek::cCtrl::e_Disabled);
    box->SetCheck(false);
    if (i >= m_Offer.size()) {
      ShowControl(box, false);
      ShowControl(m_Prices[i], false);
      continue;
    }
    const int u = m_Offer[i];
    const vek::i32 price = host->Rules().GetUpgradePrice(u);
    // A card the bank cannot pay for is not offered.
    if (price > bank) {
      ShowControl(box, false);
      ShowControl(m_Prices[i], false);
    }
    SetControlText(m_Prices[i], FillPlaceholder("$%i", price));
    box->SetLevel(LevelOf(u));
    vek::string sheet, area;
    GetUpgradeSprite(u, sheet, area);
    box->SetTexture(sheet, vek::cCtrl::e_cbNormal | vek::cCtrl::e_cbPush);
    SetPart(box, sheet, area, vek::cCtrl::e_cbNormal);
    SetPart(box, sheet, area + "_checked", vek::cCtrl::e_cbPush);
  }
  SetControlText(m_pDesc, "");
  m_pDone->EnableState(vek::cCtrl::e_Disabled);
  return 1;
}

void cUpWF::OnToggle(u32 id) {
  bool ours = false;
  for (u32 member : m_Group) ours = ours || member == id;
  if (!ours) return;
  for (cCheckBoxUpCtrl* box : m_Choices) box->SetCheck(box->GetID() == id);
  for (size_t i = 0; i < m_Choices.size() && i < m_Offer.size(); ++i) {
    const int u = m_Offer[i];
    if (m_Choices[i]->GetID() == id) {
      m_DefaultDesc = GetPlayHost()->GetText(GetUpgradeText(u));
      m_Choices[i]->SetLevel(LevelOf(u) + 1);
    } else {
      m_Choices[i]->SetLevel(LevelOf(u));
    }
  }
  SetControlText(m_pDesc, m_DefaultDesc);
  m_pDone->DisableState(vek::cCtrl::e_Disabled);
}

void cUpWF::OnDone() {
  cPlayHost* host = GetPlayHost();
  for (size_t i = 0; i < m_Choices.size() && i < m_Offer.size(); ++i) {
    if (!m_Choices[i]->IsChecked()) continue;
    const int u = m_Offer[i];
    const vek::i32 price = host->Rules().GetUpgradePrice(u);
    cPlayer* player = CurrentPlayer();
    // The level rises only for an upgrade the bank has paid for.
    if (!player || player->bank < price) {
      vek::LogWarning("cUpWF", "the bank (%i) does not cover upgrade %i ($%i): not bought\n", player ? player->bank : 0, u, price);
      break;
    }
    host->Rules().SpendBank(price);
    host->Rules().BuyUpgrade(u);
    if (cFlyer* coin = AddPlayFlyer("peacock01", "money", -0.1f, 1)) {
      const cPoint2 from = ControlCentre(m_pBank), to = ControlCentre(m_Choices[i]);
      coin->AddPoint(vek::vec2(from.x, from.y), 0.0f);
      coin->AddPoint(vek::vec2(to.x, to.y), 0.6f);
    }
    host->PlaySound(25);
    break;
  }
  m_CloseTimer = {};
  m_CloseTimer.SetTarget(kCloseDelay);
  m_pDone->EnableState(vek::cCtrl::e_Disabled);
  for (cCheckBoxUpCtrl* box : m_Choices) box->EnableState(vek::cCtrl::e_Disabled);
}
