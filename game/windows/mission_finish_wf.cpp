#include "game/windows/mission_finish_wf.h"

#include <cmath>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/gui.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/window.h"
#include "engine/sound/music.h"
#include "game/app/game_rules.h"
#include "game/app/locale_gd.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/app/window_host.h"
#include "game/app/sprite.h"
#include "game/windows/controls/toolbar_ctrl.h"
#include "game/windows/play_host.h"
#include "game/world/effects.h"
#include "game/world/ware_manager.h"

using vek::f32;
using vek::i32;
using vek::u32;

namespace {

void AtRest(vek::cAnimatedFloat& t, f32 value) {
  t.start = t.target = t.current = value;
  t.elapsed = t.duration = 0.0f;
}

// Reset to 0, then towards the target at one unit per second.
void Restart(vek::cAnimatedFloat& t, f32 target) {
  AtRest(t, 0.0f);
  t.speed = 1.0f;
  t.SetTarget(target);
}

void JumpToEnd(vek::cAnimatedFloat& t) { AtRest(t, t.target); }

cPoint2 Along(const cPoint2& a, const cPoint2& b, f32 t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

vek::vec2 V(const cPoint2& p, f32 dx = 0.0f, f32 dy = 0.0f) { return vek::vec2(p.x + dx, p.y + dy); }

// The sheet of the medal's picture: the island's medal sheet, or the icons' medals where that
// has none.
const char* MedalSheet(int grade) {
  return GetPlayHost()->Rules().GetMedalSprite(grade).texture != 0 ? "houses05" : "icons01";
}

}  // namespace

i32 cMissionFinishWF::TimeBonus(f32 secondsLeft) {
  if (!(secondsLeft > 0.0f)) return 0;
  const i32 a = static_cast<i32>(secondsLeft * 2.0f);
  const i32 bonus = 5 * static_cast<i32>((static_cast<double>(a) + 2.5) / 5.0);
  return bonus < 5 ? 5 : bonus;
}

int cMissionFinishWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  switch (message) {
    case vek::e_wndAfterCreate: {
      for (int i = 0; i < kAwardRows; ++i) {
        m_pAwardLabels[i] = GetControlByName(window, "lbAward" + std::to_string(i));
        m_pAwardImages[i] = GetControlByName(window, "imgAward" + std::to_string(i));
      }
      m_pAwardsHeading = GetControlByName(window, "lbAwards");
      m_pBank = GetControlByName(window, "lbBank");
      m_pMedal = GetControlByName(window, "imgMedal");
      m_pCaption = GetControlByName(window, "caption");
      bool complete = m_pBank && m_pMedal && m_pCaption;
      for (int i = 0; i < kAwardRows; ++i) complete = complete && m_pAwardLabels[i] && m_pAwardImages[i];
      if (!complete) return ReportError(window, "wndAfterCreate");
      if (auto* image = dynamic_cast<vek::cImageCtrl*>(m_pMedal)) image->SetTexture(MedalSheet(0));
      if (auto* label = dynamic_cast<vek::cLabelCtrl*>(m_pCaption)) m_CaptionFormat = label->GetText();
      if (!m_bBankImageLooked) {
        m_pBankImage = GetControlByName(window, "imgBank");
        m_bBankImageLooked = true;
      }
      break;
    }
    case vek::e_wndShow:
      OnShow();
      break;
    case vek::e_wndHide:
      GetPlayHost()->SetPauseState(0);
      break;
    case vek::e_wndTimer:
      OnTimer(vek::cGUI::ParamToTime(p1));
      break;
    case vek::e_ntfButtonClick:
      if (IsControl(window, p2, "ok")) OnOk(window);
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}

void cMissionFinishWF::LookUpOtherWindows() {
  if (m_bOthersLooked) return;
  m_bOthersLooked = true;
  m_pScoreMoney = FindControl("score", "imgMoney");
  m_pScoreClock = FindControl("score", "clock");
  m_pScoreMedal = FindControl("score", "clock_medal");
  m_pPlantsBar = FindControl("garden", "plants");
  m_pAnimalsBar = FindControl("garden", "animals");
}

void cMissionFinishWF::OnShow() {
  cPlayHost* host = GetPlayHost();
  cGameRules& rules = host->Rules();
  cPlayer* player = CurrentPlayer();
  LookUpOtherWindows();
  SetControlText(m_pCaption, FillPlaceholder(m_CaptionFormat, (player ? player->currentLevel : 0) + 1));
  if (vek::cMusic* music = host->GetMusic(); music && music->IsPlaying()) music->Pause();
  host->SetPauseState(2);
  host->UpdateToolbars();

  m_MedalGrade = rules.GetTimeGrade();
  if (player) rules.RecordTimeGrade(player->currentLevel, m_MedalGrade);
  ShowControl(m_pMedal, false);
  m_bMedal = true;
  m_bSort = rules.GetLevelFlag(e_AwardSort);
  m_bAnimal = rules.GetLevelFlag(e_AwardAnimal);
  m_bHoles = rules.GetLevelFlag(e_AwardHoles);
  m_bUpgrade = rules.GetLevelFlag(e_AwardUpgrade);
  m_bFinished = false;
  m_SavedBank = player ? player->bank : 0;
  m_SavedMoney = player ? player->money : 0;
  for (int i = 0; i < kAwardRows; ++i) {
    ShowControl(m_pAwardLabels[i], false);
    ShowControl(m_pAwardImages[i], false);
  }
  ShowControl(m_pAwardsHeading, false);
  m_AwardSlot = 0;
  host->PlaySound(2);

  // The money counts into the bank over 1.2 s; without money there is nothing to count (and
  // no rate to count at: the counter stands at its target).
  m_Money = {};
  m_Money.speed = m_SavedMoney > 0 ? static_cast<f32>(m_SavedMoney) / 1.2f : 0.0f;
  m_Money.SetTarget(m_SavedMoney);

  Restart(m_CoinTimer, 0.0f);
  const f32 limit = player ? player->mission.timeLimit : 0.0f;
  const f32 elapsed = player ? player->elapsedTime : 0.0f;
  m_Bonus = {};
  m_Bonus.speed = 0.0f;
  m_Bonus.SetTarget(0);
  AtRest(m_Clock, elapsed);
  if (limit - elapsed > 0.0f) {
    const i32 bonus = TimeBonus(limit - elapsed);
    m_Bonus.speed = static_cast<f32>(bonus) / 1.2f;
    m_Bonus.SetTarget(bonus);
    m_Clock.speed = (limit - elapsed) / 1.2f;
    m_Clock.SetTarget(limit);
    Restart(m_CoinTimer, 0.0f);
  }
  Restart(m_SortTimer, 2.0f);
  Restart(m_AnimalTimer, 2.0f);
  Restart(m_MedalTimer, 1.0f);
  Restart(m_PauseTimer, 2.0f);
}

void cMissionFinishWF::Pause(f32 seconds) { Restart(m_PauseTimer, seconds); }

void cMissionFinishWF::Coin(const vek::cCtrl* from) {
  if (m_bFinished || !from || !m_pBankImage) return;
  const cPoint2 a = ControlCentre(from), b = ControlCentre(m_pBankImage);
  if (cFlyer* coin = AddPlayFlyer("peacock01", "money", -0.1f, 1)) {
    coin->AddPoint(V(a), 0.0f);
    coin->AddPoint(V(Along(a, b, 0.33f), 30.0f, 30.0f), 0.33f);
    coin->AddPoint(V(Along(a, b, 0.66f), 30.0f, 30.0f), 0.66f);
    coin->AddPoint(V(b), 1.0f);
  }
  Restart(m_CoinTimer, 0.3f);
  GetPlayHost()->PlaySound(25);
}

void cMissionFinishWF::Star(const vek::cCtrl* from, f32 x, f32 y) {
  if (!from) return;
  const cPoint2 a = ControlCentre(from), b{x, y};
  if (cFlyer* star = AddPlayFlyer("peacock01", "star", -0.1f, 5)) {
    star->AddPoint(V(a), 0.0f);
    star->AddPoint(V(Along(a, b, 0.3f), 100.0f, 0.0f), 0.7f);
    star->AddPoint(V(Along(a, b, 0.6f), -100.0f, 0.0f), 1.4f);
    star->AddPoint(V(b), 2.0f);
  }
}

cMissionFinishWF::eStage cMissionFinishWF::Money(f32 seconds) {
  if (m_Money.to <= 0) return e_Skip;
  cPlayer* player = CurrentPlayer();
  if (m_CoinTimer.Update(seconds) != vek::e_TweenRunning) Coin(m_pScoreMoney);
  m_Money.Update(seconds);
  if (player) player->bank = m_Money.value + m_SavedBank;
  GetPlayHost()->Rules().SetMoney(m_SavedMoney - m_Money.value);
  if (!m_Money.IsRunning()) {
    m_Money = {};
    Pause(1.0f);
    m_SavedBank = player ? player->bank : 0;
  }
  return e_Acted;
}

cMissionFinishWF::eStage cMissionFinishWF::Bonus(f32 seconds) {
  if (m_Bonus.to <= 0) return e_Skip;
  cPlayer* player = CurrentPlayer();
  if (m_CoinTimer.Update(seconds) != vek::e_TweenRunning) Coin(m_pScoreClock);
  m_Clock.Update(seconds);
  if (player) player->elapsedTime = m_Clock.current;
  m_Bonus.Update(seconds);
  if (player) player->bank = m_Bonus.value + m_SavedBank;
  if (!m_Bonus.IsRunning()) {
    m_Bonus = {};
    Pause(1.0f);
    m_SavedBank = player ? player->bank : 0;
  }
  return e_Acted;
}

cMissionFinishWF::eStage cMissionFinishWF::MedalFlight() {
  if (!m_bMedal) return e_Skip;
  m_bMedal = false;
  if (m_bFinished) return e_Acted;
  if (!m_pScoreMedal) return e_EndStep;
  const cPoint2 a = ControlCentre(m_pScoreMedal), b = ControlCentre(m_pMedal);
  if (cFlyer* medal = AddPlayFlyer("icons01", cGameRules::GetMedalArea(m_MedalGrade), 0.0f, 1)) {
    medal->AddPoint(V(a), 0.0f);
    medal->AddPoint(V(Along(a, b, 0.33f), -30.0f, 30.0f), 0.33f);
    medal->AddPoint(V(Along(a, b, 0.66f), -30.0f, 30.0f), 0.66f);
    medal->AddPoint(V(b), 1.0f);
  }
  GetPlayHost()->PlaySound(25);
  return e_Acted;
}

cMissionFinishWF::eStage cMissionFinishWF::MedalLanding(f32 seconds) {
  if (m_MedalTimer.target <= 0.0f) return e_Skip;
  if (m_MedalTimer.Update(seconds) != vek::e_TweenRunning) {
    AtRest(m_MedalTimer, 0.0f);
    SetControlPicture(m_pMedal, MedalSheet(m_MedalGrade), cGameRules::GetMedalArea(m_MedalGrade));
    ShowControl(m_pMedal, true);
    BurstAt(m_pMedal, 30, 15.0f);
    GetPlayHost()->PlaySound(1);
    Pause(0.8f);
    m_MedalGrade = -1;
  }
  return e_Acted;
}

vek::cCtrl* cMissionFinishWF::FillAwardRow(const vek::string& text, const vek::string& sheet, const vek::string& area) {
  if (m_AwardSlot >= kAwardRows) {
    vek::LogWarning("cMissionFinishWF", "no award row left for '%s': given without a row\n", text);
    return nullptr;
  }
  vek::cCtrl* label = m_pAwardLabels[m_AwardSlot];
  vek::cCtrl* image = m_pAwardImages[m_AwardSlot];
  ++m_AwardSlot;
  ShowControl(m_pAwardsHeading, true);
  ShowControl(label, true);
  SetControlText(label, text);
  ShowControl(image, true);
  BurstAt(image, 25, 10.0f);
  SetControlPicture(image, sheet, area);
  return image;
}

cMissionFinishWF::eStage cMissionFinishWF::SortAward() {
  if (!m_bSort) return e_Skip;
  cPlayHost* host = GetPlayHost();
  if (!m_bFinished) host->PlaySound(26);
  m_bSort = false;
  const cPlayer* player = CurrentPlayer();
  const i32 last = player ? player->lastSort : -1;
  vek::string name, text;
  if (g_pWareManager) {
    const cSort& sort = g_pWareManager->GetSort(static_cast<u32>(last + 1));
    name = sort.GetName();
    text = host->GetText(sort.GetDisplayName());
  }
  vek::cCtrl* image = FillAwardRow(text, "icons00", name);
  auto* bar = dynamic_cast<cToolbarCtrl*>(m_pPlantsBar);
  if (!m_bFinished && bar && image) {
    const vek::rectf r = bar->GetRect();
    const u32 visible = bar->GetVisibleCount();
    f32 x = r.x + bar->GetStripWidth() - r.h / 2.0f;
    if (static_cast<u32>(last + 1) < visible)
      x += bar->GetItemWidth() + cToolbarCtrl::kGap;
    else
      bar->SetFirstVisible(static_cast<u32>(last + 1) - visible);
    Star(image, x, r.y + r.h / 2.0f);
  }
  return e_Acted;
}

cMissionFinishWF::eStage cMissionFinishWF::Unlock(vek::cAnimatedFloat& timer, int flag, f32 seconds) {
  cGameRules& rules = GetPlayHost()->Rules();
  if (!rules.GetLevelFlag(flag) || timer.target <= 0.0f) return e_Skip;
  if (timer.Update(seconds) != vek::e_TweenRunning) {
    if (flag == e_AwardSort)
      rules.AwardNextSort();
    else
      rules.AwardNextAnimal();
    AtRest(timer, 0.0f);
    const bool more = flag == e_AwardSort ? (m_bAnimal || m_bUpgrade || m_bHoles) : (m_bUpgrade || m_bHoles);
    if (more) Pause(0.5f);
  }
  return e_Acted;
}

cMissionFinishWF::eStage cMissionFinishWF::AnimalAward() {
  if (!m_bAnimal) return e_Skip;
  cPlayHost* host = GetPlayHost();
  if (!m_bFinished) host->PlaySound(26);
  m_bAnimal = false;
  const cPlayer* player = CurrentPlayer();
  const i32 n = player ? player->animalKinds + 1 : 0;
  static const char* const kTexts[4] = {"Ostrich", "Goat", "Hive", "Peacock"};
  static const char* const kAreas[4] = {"ostrich", "goat", "hive", "peacock"};
  const bool known = n >= 0 && n < 4;
  vek::cCtrl* image = FillAwardRow(known ? host->GetText(kTexts[n]) : vek::string(), "icons00", known ? kAreas[n] : "");
  auto* bar = dynamic_cast<cToolbarCtrl*>(m_pAnimalsBar);
  if (!m_bFinished && bar && image) {
    const vek::rectf r = bar->GetRect();
    Star(image, r.x + bar->GetStripWidth() + r.h / 2.0f, r.y + r.h / 2.0f);
  }
  return e_Acted;
}

cMissionFinishWF::eStage cMissionFinishWF::UpgradeAward() {
  if (!m_bUpgrade) return e_Skip;
  cPlayHost* host = GetPlayHost();
  if (!m_bFinished) host->PlaySound(26);
  m_bUpgrade = false;
  const cPlayer* player = CurrentPlayer();
  const i32 bank = player ? player->bank : 0;
  for (int u : host->Rules().GetUpgradesForSale()) {
    if (host->Rules().GetUpgradePrice(u) > bank) continue;
    FillAwardRow(host->GetText("AwardUp"), "icons00", "star");
    if (m_bHoles) Pause(0.5f);
    return e_Acted;
  }
  host->Rules().ClearLevelFlag(e_AwardUpgrade);
  return e_EndStep;
}

cMissionFinishWF::eStage cMissionFinishWF::HolesAward() {
  if (!m_bHoles) return e_Skip;
  cPlayHost* host = GetPlayHost();
  if (!m_bFinished) host->PlaySound(26);
  m_bHoles = false;
  FillAwardRow(host->GetText("AwardHoles"), "images00", "hole");
  host->Rules().NextHolesLayout();
  return e_EndStep;
}

void cMissionFinishWF::OnTimer(f32 seconds) {
  const cPlayer* player = CurrentPlayer();
  SetControlText(m_pBank, FillPlaceholder("%i", player ? player->bank : 0));
  if (m_PauseTimer.Update(seconds) == vek::e_TweenRunning) return;
  for (int stage = 0; stage < 10; ++stage) {
    eStage result = e_Skip;
    switch (stage) {
      case 0: result = Money(seconds); break;
      case 1: result = Bonus(seconds); break;
      case 2: result = MedalFlight(); break;
      case 3: result = MedalLanding(seconds); break;
      case 4: result = SortAward(); break;
      case 5: result = Unlock(m_SortTimer, e_AwardSort, seconds); break;
      case 6: result = AnimalAward(); break;
      case 7: result = Unlock(m_AnimalTimer, e_AwardAnimal, seconds); break;
      case 8: result = UpgradeAward(); break;
      case 9: result = HolesAward(); break;
      default: break;
    }
    if (result == e_EndStep || (result == e_Acted && !m_bFinished)) return;
  }
  m_bFinished = true;
}

void cMissionFinishWF::OnOk(vek::cWindow* window) {
  if (!m_bFinished) {
    m_Money.Finish();
    m_Bonus.Finish();
    for (vek::cAnimatedFloat* t : {&m_Clock, &m_MedalTimer, &m_SortTimer, &m_AnimalTimer}) JumpToEnd(*t);
    m_PauseTimer = {};
    m_PauseTimer.speed = 1.0f;
    m_bFinished = true;
    return;
  }
  if (window->GetGUI()) window->GetGUI()->HideWindow(window->GetName());
  cPlayHost* host = GetPlayHost();
  if (host->Rules().GetLevelFlag(e_AwardUpgrade) && !host->Rules().GetUpgradesForSale().empty()) {
    if (cWindowHost* windows = GetWindowHost()) windows->SwitchWindow("up", 1);
  } else if (vek::g_pGame) {
    vek::g_pGame->SetFocusWidget("island");
  }
}
