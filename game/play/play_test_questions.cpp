#include "game/play/play_test_questions.h"

#include <cstdlib>
#include <sstream>
#include <string>

#include "engine/app/game.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "game/app/garden.h"
#include "game/app/hints.h"
#include "engine/sound/music.h"
#include "game/app/game_rules.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/app/test_query.h"
#include "game/island/island.h"
#include "game/windows/garden_bar_wf.h"
#include "game/windows/play_host.h"
#include "game/world/ware_manager.h"

namespace {

template <class T>
T* FindWidget() {
  if (!vek::g_pGame) return nullptr;
  for (vek::cWidget* w : vek::g_pGame->GetWidgets())
    if (auto* found = dynamic_cast<T*>(w)) return found;
  return nullptr;
}

// "island" -> "ok <mode> <hovered marker> <after-level sequence finished 0/1> <pauses held>".
std::string Island(const std::string&) {
  auto* island = FindWidget<cIsland>();
  if (!island) return "none";
  return "ok " + std::to_string(island->GetMode()) + " " + std::to_string(island->GetHoveredMarker()) + " " +
         std::to_string(island->GetStages().IsFinished() ? 1 : 0) + " " + std::to_string(vek::g_pGame->GetPauseCount());
}

// "player" -> "ok <level progress> <current level> <money> <bank> <upgrade levels>...".
std::string Player(const std::string&) {
  const cPlayer* p = CurrentPlayer();
  if (!p) return "none";
  std::ostringstream out;
  out << "ok " << p->levelProgress << ' ' << p->currentLevel << ' ' << p->money << ' ' << p->bank;
  for (vek::i32 u : p->upgradeLevels) out << ' ' << u;
  return out.str();
}

// "chain n" -> factory row n of the garden bar: "ok <row state> <button x y w h in window pixels>
// <factory state> <stock> <input ware id> <input name> <output ware id> <output name>"; a row
// without a factory reports state -1 and "-" for the wares. "none" without the row.
std::string Chain(const std::string& args) {
  const auto& rows = ChainItems();
  const size_t n = static_cast<size_t>(std::atoi(args.c_str()));
  if (n >= rows.size() || !rows[n]) return "none";
  const cChainItem& row = *rows[n];
  vek::rectf r;
  if (row.button) r = row.button->GetRect();
  std::ostringstream out;
  out << "ok " << row.GetState() << ' ' << static_cast<int>(r.x) << ' ' << static_cast<int>(768.0f - r.y - r.h) << ' '
      << static_cast<int>(r.w) << ' ' << static_cast<int>(r.h);
  const iChainFactory* f = row.GetFactory();
  auto ware = [](vek::i32 id) {
    const bool known = g_pWareManager && id >= 0 && id != static_cast<vek::i32>(kNoWare);
    return std::to_string(id) + ' ' + (known ? std::string(g_pWareManager->GetWare(static_cast<vek::u32>(id)).GetName()) : "-");
  };
  if (!f)
    out << " -1 0 -1 - -1 -";
  else
    out << ' ' << f->GetState() << ' ' << f->GetStock() << ' ' << ware(f->GetInputWare()) << ' ' << ware(f->GetOutputWare());
  return out.str();
}

// "lesson" -> "ok <hint> <step> <text key> <tip step> <shown 0/1>": the active lesson and its
// step (-1 -1 without one), the text-table key of what the window "hint" says ("-" for
// nothing), the active tip (-1 none), and whether the window is on screen.
std::string Lesson(const std::string&) {
  if (!g_pGarden) return "none";
  const cHints& hints = g_pGarden->Hints();
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  const bool shown = gui && gui->IsWindowShown("hint");
  const vek::string& key = hints.GetShownKey();
  return "ok " + std::to_string(hints.GetHint()) + ' ' + std::to_string(hints.GetStep()) + ' ' +
         (key.empty() ? std::string("-") : std::string(key)) + ' ' + std::to_string(hints.GetTrainingStep()) + ' ' +
         (shown ? '1' : '0');
}

// "result" -> "ok <last time grade> <level time of the current level (-1 none)>": what the
// end of the last level left.
std::string Result(const std::string&) {
  const cPlayer* p = CurrentPlayer();
  if (!p) return "none";
  const auto level = static_cast<size_t>(p->currentLevel);
  const float time = p->currentLevel >= 0 && level < p->levelTimes.size() ? p->levelTimes[level] : -1.0f;
  std::ostringstream out;
  out << "ok " << GetPlayHost()->Rules().GetLastTimeGrade() << ' ' << time;
  return out.str();
}

// "music" -> "ok playing" / "ok stopped" for the level's music as the play windows reach it,
// "none" without one.
std::string Music(const std::string&) {
  vek::cMusic* music = GetPlayHost()->GetMusic();
  if (!music) return "none";
  return music->IsPlaying() ? "ok playing" : "ok stopped";
}

}  // namespace

void AddPlayTestQuestions() {
  AddTestQuestion("lesson", &Lesson);
  AddTestQuestion("result", &Result);
  AddTestQuestion("music", &Music);
  AddTestQuestion("island", &Island);
  AddTestQuestion("player", &Player);
  AddTestQuestion("chain", &Chain);
}
