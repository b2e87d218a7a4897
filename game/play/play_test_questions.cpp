#include "game/play/play_test_questions.h"

#include <sstream>
#include <string>

#include "engine/app/game.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/app/test_query.h"
#include "game/island/island.h"

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

}  // namespace

void AddPlayTestQuestions() {
  AddTestQuestion("island", &Island);
  AddTestQuestion("player", &Player);
}
