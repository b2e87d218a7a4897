// The program's entry: one instance, the engine, the window, the game, the main loop.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/app/garden.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/app/test_query.h"
#include "game/play/play_steps.h"
#include "game/play/play_test_questions.h"
#include "game/island/island.h"
#include "game/windows/base_wf.h"
#include "game/windows/controls/toolbar_ctrl.h"
#include "game/world/gardener_base.h"
#include "game/world/level.h"
#include "game/world/tools.h"
#include "game/world/ware_manager.h"
#include "platform/os.h"
#include "platform/window.h"

// Questions of the levels' play-through tests: every field object of a type, the island's
// level markers, the profile's progress and money, the mission's tasks and the bin.
static void AddLevelTestQuestions() {
  // "ok n" and then, per object: x y w h (window pixels, top-left origin) state stage ware.
  AddTestQuestion("objects", [](const std::string& args) -> std::string {
    const vek::u32 type = static_cast<vek::u32>(std::strtoul(args.c_str(), nullptr, 0));
    std::string list;
    int n = 0;
    for (vek::cWidget* w : vek::g_pGame->GetWidgets())
      if (auto* level = dynamic_cast<cLevel*>(w))
        for (cObject* o : level->GetRegistry()) {
          if (type == 0 || o == level->GetFirstObject() || !o->IsType(type)) continue;
          const vek::rectf r = o->GetRect();
          list += " " + std::to_string(static_cast<int>(r.x)) + " " + std::to_string(static_cast<int>(768.0f - r.y - r.h)) +
                  " " + std::to_string(static_cast<int>(r.w)) + " " + std::to_string(static_cast<int>(r.h)) + " " +
                  std::to_string(o->GetState()) + " " + std::to_string(o->GetStage()) + " " +
                  std::to_string(static_cast<int>(o->GetWareId()));
          ++n;
        }
    return "ok " + std::to_string(n) + list;
  });
  // The centre of level n's marker on the island in window pixels; "none" off the map.
  AddTestQuestion("marker", [](const std::string& args) -> std::string {
    const int n = std::atoi(args.c_str());
    for (vek::cWidget* w : vek::g_pGame->GetWidgets())
      if (auto* island = dynamic_cast<cIsland*>(w)) {
        const auto& markers = island->GetPaths().markers;
        if (n < 0 || n >= static_cast<int>(markers.size())) return "none";
        const vek::vec2 at = markers[static_cast<size_t>(n)] - island->GetScrollOffset();
        return "ok " + std::to_string(static_cast<int>(at.x)) + " " + std::to_string(static_cast<int>(768.0f - at.y));
      }
    return "none";
  });
  // "ok progress money bank level animal-kinds selected-level" of the current profile.
  AddTestQuestion("profile", [](const std::string&) -> std::string {
    const cPlayer* p = CurrentPlayer();
    if (!p) return "none";
    return "ok " + std::to_string(p->levelProgress) + " " + std::to_string(p->money) + " " + std::to_string(p->bank) +
           " " + std::to_string(p->currentLevel) + " " + std::to_string(p->animalKinds) + " " +
           std::to_string(p->selectedLevel);
  });
  // The units of a ware (by name) the profile has produced, the mission's active tasks
  // ("ok name id count ..."), and the wares in the bin ("ok n capacity name ...").
  AddTestQuestion("produced", [](const std::string& args) -> std::string {
    const cPlayer* p = CurrentPlayer();
    const vek::i32 ware = RulesHost()->GetWareId(args);
    if (!p || ware < 0) return "none";
    const size_t i = static_cast<size_t>(ware);
    return "ok " + std::to_string(i < p->produced.size() ? p->produced[i] : 0);
  });
  AddTestQuestion("tasks", [](const std::string&) -> std::string {
    const cPlayer* p = CurrentPlayer();
    if (!p) return "none";
    std::string out = "ok";
    for (const cMissionTask& t : p->activeTasks)
      if (t.ware != kNoWare)
        out += " " + std::string(RulesHost()->GetWareName(t.ware)) + " " + std::to_string(t.ware) + " " + std::to_string(t.count);
    return out;
  });
  AddTestQuestion("bin", [](const std::string&) -> std::string {
    for (vek::cWidget* w : vek::g_pGame->GetWidgets())
      if (auto* level = dynamic_cast<cLevel*>(w))
        for (cObject* o : level->GetRegistry())
          if (auto* bin = dynamic_cast<cToolBin*>(o)) {
            std::string out = "ok " + std::to_string(bin->GetCount()) + " " + std::to_string(bin->GetCapacity());
            for (vek::u32 ware : bin->GetItems()) out += " " + std::string(RulesHost()->GetWareName(static_cast<vek::i32>(ware)));
            return out;
          }
    return "none";
  });
  // The shown hint's answer: "ok lit x y w h" (its lit target, top-left origin), "ok close x y
  // w h" (its close button), "ok wait" (neither yet); "none" when no hint is shown.
  AddTestQuestion("hint", [](const std::string&) -> std::string {
    vek::cGUI* gui = vek::g_pGame->GetGUI();
    vek::cWindow* w = gui ? gui->GetWindow("hint") : nullptr;
    if (!w || !gui->IsWindowShown("hint")) return "none";
    for (const char* name : {"highlight", "close"}) {
      const unsigned id = w->FindControl(name);
      vek::cCtrl* c = id ? w->GetControl(id) : nullptr;
      if (!c || !c->GetState(vek::cCtrl::e_Visibility)) continue;
      const vek::rectf r = c->GetRect();
      return std::string("ok ") + (name[0] == 'h' ? "lit " : "close ") + std::to_string(static_cast<int>(r.x)) + " " +
             std::to_string(static_cast<int>(768.0f - r.y - r.h)) + " " + std::to_string(static_cast<int>(r.w)) + " " +
             std::to_string(static_cast<int>(r.h));
    }
    return "ok wait";
  });
  // Item n of a shop row: "ok x y w h available enabled" in window pixels; "none" without it.
  AddTestQuestion("item", [](const std::string& args) -> std::string {
    char window[64] = {}, control[64] = {};
    unsigned n = 0;
    if (std::sscanf(args.c_str(), "%63s %63s %u", window, control, &n) != 3) return "error: item wants a window, a row and n";
    vek::cGUI* gui = vek::g_pGame->GetGUI();
    vek::cWindow* w = gui ? gui->GetWindow(window) : nullptr;
    if (!w || !gui->IsWindowShown(window)) return "none";
    const unsigned id = w->FindControl(control);
    auto* row = id ? dynamic_cast<cToolbarCtrl*>(w->GetControl(id)) : nullptr;
    cToolbarItemCtrl* item = row && n < row->GetItemCount() ? row->GetToolbarItem(n) : nullptr;
    if (!item) return "none";
    const vek::rectf r = item->GetRect();
    return "ok " + std::to_string(static_cast<int>(r.x)) + " " + std::to_string(static_cast<int>(768.0f - r.y - r.h)) + " " +
           std::to_string(static_cast<int>(r.w)) + " " + std::to_string(static_cast<int>(r.h)) + " " +
           std::to_string(item->IsAvailable() ? 1 : 0) + " " + std::to_string(item->GetState(vek::cCtrl::e_Disabled) ? 0 : 1) +
           " " + (item->GetSort() ? std::string(item->GetSort()->GetName()) : std::string("-"));
  });
  // The gardener: "ok tool queued state" (the kind of the tool held, -1 none; the tasks
  // queued; its state: walking or at work while a task it took from the queue runs).
  AddTestQuestion("gardener", [](const std::string&) -> std::string {
    for (vek::cWidget* w : vek::g_pGame->GetWidgets())
      if (auto* level = dynamic_cast<cLevel*>(w))
        if (cGardenerBase* g = level->GetGardener())
          return "ok " + std::to_string(g->GetHeldToolKind()) + " " + std::to_string(g->GetTasks().size()) + " " +
                 std::to_string(g->GetState());
    return "none";
  });
  // The water can: "ok amount capacity".
  AddTestQuestion("can", [](const std::string&) -> std::string {
    for (vek::cWidget* w : vek::g_pGame->GetWidgets())
      if (auto* level = dynamic_cast<cLevel*>(w))
        for (cObject* o : level->GetRegistry())
          if (auto* can = dynamic_cast<cToolWater*>(o))
            return "ok " + std::to_string(can->GetAmount()) + " " + std::to_string(can->GetCapacity());
    return "none";
  });
  // The building at level n's place on the island: "ok x y state", its centre in window pixels.
  AddTestQuestion("house", [](const std::string& args) -> std::string {
    for (vek::cWidget* w : vek::g_pGame->GetWidgets())
      if (auto* island = dynamic_cast<cIsland*>(w))
        if (const cHouse* house = island->FindHouseAtPlace(std::atoi(args.c_str()))) {
          const vek::vec2 at = house->GetPosition() +
                               vek::vec2{house->GetWidth() * 0.5f, house->GetHeight() * 0.5f} - island->GetScrollOffset();
          return "ok " + std::to_string(static_cast<int>(at.x)) + " " + std::to_string(static_cast<int>(768.0f - at.y)) +
                 " " + std::to_string(house->GetState());
        }
    return "none";
  });
}

int main() {
  plat::InstallTerminationHandlers();

  // A second instance asks the first to show its window and ends at once; nothing else has
  // been done. A lock that cannot be made is reported and the game starts without it.
  plat::InstanceLock lock;
  const plat::InstanceLock::Result held = lock.Acquire("GardenMutex");
  if (held == plat::InstanceLock::Result::Held) {
    lock.AskHolderToShow();
    std::fputs("already running\n", stderr);
    return 0;
  }
  std::string lockError;
  if (held == plat::InstanceLock::Result::Failed) {
    lockError = lock.Error() + "; starting without the single-instance lock";
    std::fprintf(stderr, "%s\n", lockError.c_str());
  }

  plat::Window& window = plat::GetWindow();
  plat::Rect area;
  if (window.WorkArea(area)) {
    // Right and bottom edges, as floating-point numbers.
    if (static_cast<float>(area.x + area.w) < 1024.0f ||
        static_cast<float>(area.y + area.h) < 768.0f)
      vek::g_bSmallDesktop = true;
  }

  vek::cGame::cSettings settings;
  settings.title = "Orchardia";
  settings.appName = "Orchardia";

  auto* game = new vek::cGame();
  game->Init(settings);
  if (!lockError.empty()) vek::LogError("Orchardia", "%s\n", lockError);

  // Without a display nothing can be shown: say so where the player looks, and end.
  const std::string noDisplay = window.DisplayError();
  if (!noDisplay.empty()) {
    std::fprintf(stderr, "%s\n", noDisplay.c_str());
    vek::LogError("Orchardia", "%s\n", noDisplay);
    game->Shutdown();
    delete game;
    vek::g_pGame = nullptr;
    window.Shutdown();
    return 1;
  }

  vek::DumpSystemInformation("cpu os video");

  // The game always starts full screen at 1024 x 768; the settings scripts may switch later.
  if (!game->CreateWindow(false, 1024, 768)) {
    game->Shutdown();
    delete game;
    vek::g_pGame = nullptr;
    window.Shutdown();
    return 1;
  }

  vek::DumpSystemInformation("render sound");

  // Tests ask the running game where things are (off unless their variable is set): the
  // windows' controls, and the field's objects by type tag, in window pixels.
  AddTestQuestion("object", [](const std::string& args) -> std::string {
    const vek::u32 type = static_cast<vek::u32>(std::strtoul(args.c_str(), nullptr, 0));
    for (vek::cWidget* w : vek::g_pGame->GetWidgets())
      if (auto* level = dynamic_cast<cLevel*>(w))
        for (const cObject* o : level->GetDrawList())
          if (type != 0 && o->IsType(type)) {
            const vek::rectf r = o->GetRect();
            return "ok " + std::to_string(static_cast<int>(r.x)) + " " +
                   std::to_string(static_cast<int>(768.0f - r.y - r.h)) + " " + std::to_string(static_cast<int>(r.w)) +
                   " " + std::to_string(static_cast<int>(r.h));
          }
    return "none";
  });
  // The shown windows still fading in or out ("ok" alone once every one stands still).
  AddTestQuestion("fading", [](const std::string&) -> std::string {
    std::string out = "ok";
    vek::cGUI* gui = vek::g_pGame->GetGUI();
    if (!gui) return out;
    for (unsigned id : gui->GetShownList())
      if (vek::cWindow* w = gui->GetWindowById(id))
        if (auto* f = dynamic_cast<cBaseWF*>(w->GetFunction()); f && f->GetFade().current != f->GetFade().target)
          out += " " + std::string(w->GetName());
    return out;
  });
  AddLevelTestQuestions();
  // The island's mode and after-level sequence, the profile with its upgrades.
  AddPlayTestQuestions();
  InstallTestQuery();

  InstallGame();

  CreateWareManager();
  auto* garden = new cGarden();
  garden->Init();

  const int code = game->Run();

  if (g_pGarden) {
    delete g_pGarden;
    g_pGarden = nullptr;
  }
  DestroyWareManager();
  game->DestroyWindow(true);
  game->Shutdown();
  delete game;
  vek::g_pGame = nullptr;
  window.Shutdown();
  return code;
}
