// The program's entry: one instance, the engine, the window, the game, the main loop.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/app/garden.h"
#include "game/app/test_query.h"
#include "game/play/play_steps.h"
#include "game/windows/base_wf.h"
#include "game/world/level.h"
#include "game/world/ware_manager.h"
#include "platform/os.h"
#include "platform/window.h"

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
  game->DestroyWindow();
  game->Shutdown();
  delete game;
  vek::g_pGame = nullptr;
  window.Shutdown();
  return code;
}
