#include "game/windows/mission_start_wf.h"

#include "engine/gui/gui.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/window.h"
#include "game/app/locale_gd.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/island/building_table.h"
#include "game/windows/play_host.h"
#include "game/world/mission.h"

using vek::f32;
using vek::i32;
using vek::u32;

namespace {
constexpr f32 kEpsilon = 1.1920929e-07f;
}

void GetBuildingInfo(const vek::string& name, vek::string& text, i32& price, vek::string& sheet, vek::string& area) {
  sheet = "icons00";
  area.clear();
  text.clear();
  const i32 row = FindBuildingTemplateRow(name);
  if (row < 0) return;
  const cBuildingTemplateRow& building = BuildingTemplateRows()[static_cast<size_t>(row)];
  sheet = "icons01";
  area = building.name;
  text = GetPlayHost()->GetText(building.textEntry);
  price = building.price;
}

vek::string FormatTimeLimit(f32 seconds) {
  // Truncated toward zero; a negative or absurd limit shows as 0:00 rather than garbage.
  const i32 s = seconds > 0.0f && seconds < 1.0e9f ? static_cast<i32>(seconds) : 0;
  const i32 m = s / 60, r = s % 60;
  return std::to_string(m) + (r < 10 ? ":0" : ":") + std::to_string(r);
}

void cTaskRow::Show(bool shown) const {
  ShowControl(icon, shown);
  ShowControl(text, shown);
  ShowControl(number, shown);
}

bool FindTaskRows(vek::cWindow* window, std::vector<cTaskRow>& rows) {
  for (int i = 0; i < 4; ++i) {
    const std::string n = std::to_string(i);
    cTaskRow row{cBaseWF::GetControlByName(window, "icon" + n), cBaseWF::GetControlByName(window, "text" + n),
                 cBaseWF::GetControlByName(window, "number" + n)};
    if (!row.icon || !row.text || !row.number) return false;
    rows.push_back(row);
  }
  return true;
}

void FillTaskRow(const cTaskRow& row, const cMissionTask& task) {
  vek::string text, sheet, area;
  i32 count = 0;
  GetTaskInfo(task, text, sheet, area, count);
  SetControlPicture(row.icon, sheet, area);
  // A ware's display name is an entry of the text table where the locale has one.
  SetControlText(row.text, text.empty() ? text : GetPlayHost()->GetText(text));
  SetControlText(row.number, FillPlaceholder("x%i", count));
}

int cMissionStartWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  switch (message) {
    case vek::e_wndAfterCreate:
      m_Rows.clear();
      if (!FindTaskRows(window, m_Rows)) return ReportError(window, "wndAfterCreate");
      m_Building = {GetControlByName(window, "icon"), GetControlByName(window, "text"), GetControlByName(window, "number")};
      m_pBuild = GetControlByName(window, "build");
      m_pTasks = GetControlByName(window, "tasks");
      m_pTime = GetControlByName(window, "time");
      if (!m_Building.icon || !m_Building.text || !m_Building.number || !m_pBuild || !m_pTasks || !m_pTime)
        return ReportError(window, "wndAfterCreate");
      if (auto* label = dynamic_cast<vek::cLabelCtrl*>(m_pTasks)) m_TitleTemplate = label->GetText();
      break;
    case vek::e_wndShow:
      OnShow();
      break;
    case vek::e_wndHide:
      GetPlayHost()->SetPauseState(0);
      break;
    case vek::e_ntfButtonClick:
      if (IsControl(window, p2, "ok") && window->GetGUI()) window->GetGUI()->HideWindow(window->GetName());
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}

void cMissionStartWF::OnShow() {
  cPlayHost* host = GetPlayHost();
  host->SetPauseState(1);
  const cPlayer* player = CurrentPlayer();
  const i32 level = player ? player->currentLevel : 0;
  SetControlText(m_pTasks, FillPlaceholder(m_TitleTemplate, level + 1));

  // The leading run of tasks due at the very start; later ones are announced in play.
  static const std::vector<cMissionTask> kNone;
  const std::vector<cMissionTask>& tasks = player ? player->mission.tasks : kNone;
  bool rest = false;
  for (size_t i = 0; i < m_Rows.size(); ++i) {
    if (i >= tasks.size() || tasks[i].startTime > kEpsilon) rest = true;
    m_Rows[i].Show(!rest);
    if (!rest) FillTaskRow(m_Rows[i], tasks[i]);
  }

  const vek::string building = player ? player->mission.name : vek::string();
  m_Building.Show(!building.empty());
  ShowControl(m_pBuild, !building.empty());
  if (!building.empty()) {
    vek::string text, sheet, area;
    i32 price = 0;
    GetBuildingInfo(building, text, price, sheet, area);
    SetControlPicture(m_Building.icon, sheet, area);
    SetControlText(m_Building.text, text);
    SetControlText(m_Building.number, FillPlaceholder("$%i", price));
  }
  SetControlText(m_pTime, FormatTimeLimit(player ? player->mission.timeLimit : 0.0f));
}
