#pragma once
// The briefing "mission_start" shown when a level begins: the level's number, the wares and
// animals the level asks for from its first moment (at most four rows), the building the
// level is about with its price, and the time limit. The mission stands still until "ok".
#include <vector>

#include "game/windows/base_wf.h"

// The icon and texts of a building of the catalogue: sheet "icons01", the building's name as
// the area, its display text and price. A name the catalogue does not know gives the sheet
// "icons00", an empty area and text, and leaves the price as it was.
void GetBuildingInfo(const vek::string& name, vek::string& text, vek::i32& price, vek::string& sheet, vek::string& area);

// "m:ss" of a time limit in seconds (truncated to whole seconds; minutes not padded).
vek::string FormatTimeLimit(vek::f32 seconds);

// One row of icon, name and count.
struct cTaskRow {
  vek::cCtrl* icon = nullptr;
  vek::cCtrl* text = nullptr;
  vek::cCtrl* number = nullptr;
  void Show(bool shown) const;
};
// Looks up "icon<i>", "text<i>", "number<i>" for i = 0..3; false when any is missing.
bool FindTaskRows(vek::cWindow* window, std::vector<cTaskRow>& rows);
// Fills a row with a task's icon, text and "x<count>".
struct cMissionTask;
void FillTaskRow(const cTaskRow& row, const cMissionTask& task);

class cMissionStartWF : public cBaseWF {
 public:
  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;

 private:
  void OnShow();

  std::vector<cTaskRow> m_Rows;
  cTaskRow m_Building;
  vek::cCtrl* m_pBuild = nullptr;
  vek::cCtrl* m_pTasks = nullptr;
  vek::cCtrl* m_pTime = nullptr;
  vek::string m_TitleTemplate;
};
