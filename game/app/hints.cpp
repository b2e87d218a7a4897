#include "game/app/hints.h"

#include <algorithm>

#include "engine/core/format.h"
#include "game/app/game_rules.h"
#include "game/app/level_table.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"

namespace {

// Arrow placements (align flags).
constexpr int kLeft = 1, kCenter = 2, kRight = 4, kTop = 8, kBottom = 32;

struct cHintStep {
  int hint, step;
  const char* text;    // null: the hint closes here
  const char* target;
  int placement;
  int flag;
  bool highlight;
};

const cHintStep kSteps[] = {
    {0, 0, "TrainingPlants0", "control garden plants", kLeft | kTop, 1, true},
    {0, 1, "TrainingPlants1", "hole 0", kRight | kTop, 1, true},
    {0, 2, "TrainingPlants2", "hole 1", kRight | kTop, 1, true},
    {0, 3, "TrainingPlants3", "hole 2", kRight | kTop, 1, true},
    {0, 4, "TrainingPlants4", "tool weed", kLeft | kTop, 1, true},
    {0, 5, "TrainingPlants5", "plant stage 1", kLeft | kTop, 1, true},
    {0, 6, "TrainingPlants6", "bin", kRight | kTop, 1, true},
    {0, 7, "TrainingPlants7", "plant 0", kRight | kTop, 1, true},
    {0, 8, "TrainingPlants8", "plant 1", kRight | kTop, 1, true},
    {0, 9, "TrainingPlants9", "plant 2", kRight | kTop, 1, true},
    {0, 10, "TrainingPlants10", "car", kRight | kBottom, 1, true},
    {0, 11, "TrainingPlants11", "control score task0", kLeft | kBottom, 1, true},
    {0, 12, "TrainingPlants12", "control score clock", kLeft | kBottom, 1, false},
    {0, 13, nullptr, nullptr, 0, 0, false},
    {1, 0, "TrainingWater0", "can", kLeft | kBottom, 1, true},
    {1, 1, "TrainingWater1", "pump", kLeft | kTop, 1, true},
    {1, 2, "TrainingWater2", "plant stage 0", kRight | kTop, 1, true},
    {1, 3, nullptr, nullptr, 0, 0, false},
    {2, 0, "TrainingScrolling0", "point 512 20", kCenter | kTop, 0, false},
    {2, 1, nullptr, nullptr, 0, 0, false},
    {3, 0, "TrainingFactory0", "car", kRight | kTop, 0, false},
    {3, 1, "TrainingFactory1", "control garden but_0", kRight | kTop, 1, true},
    {3, 2, nullptr, nullptr, 0, 0, false},
    {4, 0, "TrainingOstrich0", "control garden animals", kLeft | kTop, 1, true},
    {4, 1, nullptr, nullptr, 0, 0, false},
    {5, 0, "TrainingAnimalFood0", "control garden grass", kRight | kTop, 1, true},
    {5, 1, "TrainingAnimalFood1", "free cell", kLeft | kTop, 1, true},
    {5, 2, "TrainingAnimalFood2", "free cell", kLeft | kTop, 1, true},
    {5, 3, nullptr, nullptr, 0, 0, false},
    {6, 0, "TrainingEgg0", "bin", kRight | kTop, 1, true},
    {6, 1, "TrainingEgg1", "egg", kLeft | kTop, 1, true},
    {6, 2, nullptr, nullptr, 0, 0, false},
    {7, 0, "TrainingGoat0", "control garden animals", kLeft | kTop, 1, true},
    {7, 1, nullptr, nullptr, 0, 0, false},
    {8, 0, "TrainingMilk0", "bin", kRight | kTop, 1, true},
    {8, 1, "TrainingMilk1", "goat", kLeft | kBottom, 1, true},
    {8, 2, nullptr, nullptr, 0, 0, false},
    {9, 0, "TrainingHive0", "control garden animals", kLeft | kTop, 1, true},
    {9, 1, "TrainingHive1", "control garden grass", kRight | kTop, 1, true},
    {9, 2, "TrainingHive2", "free cell hive", kRight | kTop, 1, true},
    {9, 3, nullptr, nullptr, 0, 0, false},
    {10, 0, "TrainingHoney0", "bin", kRight | kBottom, 1, true},
    {10, 1, "TrainingHoney1", "hive", kRight | kTop, 1, true},
    {10, 2, nullptr, nullptr, 0, 0, false},
    {11, 0, "TrainingPlantInstead0", "control garden plants", kLeft | kTop, 1, true},
    {11, 1, "TrainingPlantInstead1", "plant00 hole", kRight | kTop, 1, true},
    {12, 0, "TrainingPeacock0", "control garden animals", kLeft | kTop, 1, true},
    {12, 1, nullptr, nullptr, 0, 0, false},
    {13, 0, "TrainingIslandRate0", "control island but_island_rate", kLeft | kTop, 1, true},
    {13, 1, nullptr, nullptr, 0, 0, false},
    {14, 0, "TrainingRate0", "control island but_rate", kLeft | kBottom, 1, true},
    {14, 1, nullptr, nullptr, 0, 0, false},
};

const cHintStep* FindStep(int hint, int step) {
  for (const auto& s : kSteps)
    if (s.hint == hint && s.step == step) return &s;
  return nullptr;
}

// The arrow point at the rectangle's edge that the placement names.
void ArrowPoint(const vek::f32* r, int placement, vek::f32& x, vek::f32& y) {
  x = placement & kLeft ? r[0] : placement & kRight ? r[0] + r[2] : r[0] + r[2] * 0.5f;
  y = placement & kTop ? r[1] + r[3] : placement & kBottom ? r[1] : r[1] + r[3] * 0.5f;
}

int& Flag(std::vector<vek::i32>& flags, int index) {
  static int none = 0;
  none = 0;
  return index >= 0 && index < static_cast<int>(flags.size()) ? flags[static_cast<size_t>(index)] : none;
}

bool HasTaskFor(const cPlayer& p, const char* ware) {
  const vek::i32 id = RulesHost()->GetWareId(ware);
  for (const auto& task : p.activeTasks)
    if (!task.IsEmpty() && task.ware == id) return true;
  return false;
}

constexpr vek::f32 kControlMargin = 15.0f;
constexpr vek::f32 kToolbarButton = 64.0f;

}  // namespace

void HintHighlight(const vek::string& target, vek::f32* rect) {
  static const vek::string kControl = "control ", kGardenButton = "control garden but_";
  if (!rect || target.compare(0, kControl.size(), kControl) != 0) return;
  // The garden bar's buttons are lit as one tile; its shop rows whole, so that a lesson's
  // seed or animal can be picked wherever it stands in the row.
  if (target.compare(0, kGardenButton.size(), kGardenButton) == 0) rect[2] = rect[3] = kToolbarButton;
  rect[0] -= kControlMargin;
  rect[1] -= kControlMargin;
  rect[2] += 2.0f * kControlMargin;
  rect[3] += 2.0f * kControlMargin;
}

bool cHints::HoldsField() const {
  if (m_Hint < 0) return false;
  if (m_Pause > 0.0f) return true;
  const cHintStep* s = FindStep(m_Hint, m_Step);
  return s && s->text && s->flag != 0;
}

bool cHints::HintsOn() { return RulesHost()->GetTraining() != 0; }

bool cHints::IsHintShown(int hint) const {
  cPlayer* p = CurrentPlayer();
  return p && Flag(p->hintFlags, hint) != 0;
}

void cHints::ShowHint(int hint) {
  cPlayer* p = CurrentPlayer();
  if (!p || hint < 0 || hint >= static_cast<int>(p->hintFlags.size()) || Flag(p->hintFlags, hint)) return;
  Flag(p->hintFlags, hint) = 1;
  if (!HintsOn() || m_Hint >= 0) return;
  // A hint that starts takes the player's attention, even one that its first step closes at
  // once: the gardener drops the work it was given.
  RulesWorld()->ResetGardenerWork();
  m_Hint = hint;
  m_Step = 0;
  m_Pause = 0.0f;
  RulesWorld()->HideHintWindow();
  UpdateTraining();
}

bool cHints::NextHintStep(int hint, int step) {
  if (m_Hint < 0 || m_Hint != hint || m_Step != step) return false;
  RulesWorld()->HideHintWindow();
  m_ShownKey.clear();
  ++m_Step;
  m_Pause = kPause;
  return true;
}

void cHints::CloseHint() {
  RulesWorld()->HideHintWindow();
  if (m_Hint >= 0) m_ShownKey.clear();
  m_Hint = -1;
  m_Step = -1;
  m_Pause = 0.0f;
}

void cHints::CheckHints() {
  iRulesWorld* world = RulesWorld();
  cPlayer* p = CurrentPlayer();
  if (!p || world->IsPaused()) return;
  if (m_Hint < 0 && world->IsFieldFocused()) {
    const bool started = p->elapsedTime > 2.0f;
    struct Check {
      int hint;
      const char* ware;  // a task for it (after 2 s), or null: the field's situation
    };
    for (const Check& c : {Check{0, ""}, Check{11, nullptr}, Check{1, nullptr}, Check{3, "product00"},
                           Check{4, "egg"}, Check{6, nullptr}, Check{5, nullptr}, Check{7, "milk"},
                           Check{9, "honey"}, Check{10, nullptr}, Check{8, nullptr}, Check{12, "nib"}}) {
      if (IsHintShown(c.hint)) continue;
      const bool holds = c.ware ? started && (!*c.ware || HasTaskFor(*p, c.ware)) : world->HintSituation(c.hint);
      if (holds) ShowHint(c.hint);
    }
  }
  if (m_Hint >= 0 && m_Pause > 0.0f) {
    m_Pause -= cGameRules::kStep;
    if (m_Pause <= 1e-6f) {
      m_Pause = 0.0f;
      UpdateTraining();
    }
  } else if (m_Hint >= 0 && !m_ShownKey.empty()) {
    // A step whose thing on the field is gone (eaten, vanished, taken by other means) can no
    // longer be done: the lesson ends rather than point at nothing.
    const cHintStep* s = FindStep(m_Hint, m_Step);
    const vek::string target = s && s->target ? s->target : "";
    vek::f32 rect[4] = {};
    const bool onField = !target.empty() && target.rfind("control ", 0) != 0 && target.rfind("point ", 0) != 0;
    if (onField && !world->FindTarget(target, rect)) CloseHint();
  }
}

void cHints::UpdateTraining() {
  if (!HintsOn()) {
    CloseHint();
    return;
  }
  if (m_Hint < 0) return;
  iRulesWorld* world = RulesWorld();
  const cHintStep* s = FindStep(m_Hint, m_Step);
  // A step beyond a hint's last ends it, so a hint never stays active unseen.
  if (!s || !s->text) {
    CloseHint();
    return;
  }
  const int check = world->CheckHintStep(m_Hint, m_Step);
  if (check == 1) {
    CloseHint();
    return;
  }
  if (check == 2) {
    NextHintStep(m_Hint, m_Step);
    return;
  }
  vek::f32 rect[4] = {};
  if (!world->FindTarget(s->target, rect)) {
    CloseHint();
    return;
  }
  HintHighlight(s->target, rect);
  vek::f32 x, y;
  ArrowPoint(rect, s->placement, x, y);
  world->ShowHintWindow(world->GetText(s->text), s->highlight ? rect : nullptr, x, y, s->placement, s->flag);
  world->SwitchWindow("hint", 2);
  m_ShownKey = s->text;
}

bool cHints::ShowTraining(int step, int task) {
  iRulesWorld* world = RulesWorld();
  cPlayer* p = CurrentPlayer();
  if (!p || step < 0 || step >= static_cast<int>(p->trainingFlags.size())) return false;
  if (world->IsPaused() || m_Hint >= 0 || Flag(p->trainingFlags, step) == 1) return false;
  static const char* const kTargets[] = {"bin corner", "level house", "ship", "level place", "task",
                                         nullptr, nullptr, "clock medal", "clock medal", "flowers"};
  const char* target = kTargets[step];
  if (!target) return false;
  vek::f32 rect[4] = {};
  const vek::string name = step == 4 ? vek::Formatted("task %i", task) : vek::string(target);
  // A tip with nothing to point at is not started: an active tip nobody sees would hold up
  // the island's readiness.
  if (!world->FindTarget(name, rect)) return false;
  m_Training = step;
  vek::string text, key;
  int placement = kRight | kTop;
  int flag = 1;
  // The ship comes in from beyond the screen's edge: the arrow points from the edge its way.
  if (step == 2) {
    rect[0] = std::clamp(rect[0], 0.0f, 1024.0f);
    rect[1] = std::clamp(rect[1], 0.0f, 768.0f);
  }
  const bool left = rect[0] > 512.0f;
  const bool low = rect[1] > 384.0f;
  switch (step) {
    case 0: key = "HintBinUp"; break;
    case 1:
      key = GetBuildingHintKey(GetLevelBuilding(p->currentLevel));
      placement = (left ? kLeft : kRight) | (cGameRules().IsIslandReady() ? kBottom : (low ? kBottom : kTop));
      flag = 0;
      break;
    case 2: key = "HintNewPeople"; placement = kRight | kBottom; break;
    case 3:
      key = "HintStartLevel";
      placement = (left ? kLeft : kRight) | (low ? kBottom : kTop);
      flag = 0;
      break;
    case 4: {
      int& done = Flag(p->trainingFlags, 4);
      key = done == 0 ? "HintNewTask0" : "HintNewTask";
      m_TipTimer = done == 0 ? 6.0f : 4.0f;
      if (done == 0) done = 2;
      placement = kLeft | kBottom;
      flag = 0;
      break;
    }
    case 7: key = "HintSilver"; placement = kLeft | kBottom; break;
    case 8: key = "HintBronze"; placement = kLeft | kBottom; break;
    case 9:
      key = "HintFlowersWater";
      placement = rect[0] >= 1024.0f ? kLeft | kTop : kRight | kTop;
      flag = 0;
      break;
    default: break;
  }
  if (!key.empty()) text = world->GetText(key);
  vek::f32 x, y;
  ArrowPoint(rect, placement, x, y);
  world->ShowHintWindow(text, nullptr, x, y, placement, flag);
  world->SwitchWindow("hint", 2);
  m_ShownKey = key;
  if (step != 1 && step != 3 && step != 4) Flag(p->trainingFlags, step) = 1;
  return true;
}

void cHints::EndTraining(int step) {
  if (m_Training < 0) return;
  if (step == -1 || step == m_Training) {
    RulesWorld()->HideHintWindow();
    if (m_Hint < 0) m_ShownKey.clear();
  }
  m_Training = -1;
}

void cHints::StepTipTimer() {
  if (m_TipTimer <= 0.0f) return;
  m_TipTimer -= cGameRules::kStep;
  if (m_TipTimer > 1e-6f || m_Training < 0) return;
  m_TipTimer = 0.0f;
  if (m_Training == 4) {
    RulesWorld()->HideHintWindow();
    m_ShownKey.clear();
  }
  m_Training = -1;
}
