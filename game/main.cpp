// The program's entry: one instance, the engine, the window, the game, the main loop.
#include "engine/app/game.h"
#include "game/app/garden.h"
#include "game/world/ware_manager.h"
#include "platform/os.h"
#include "platform/window.h"

int main() {
  plat::InstallTerminationHandlers();

  // A second instance ends at once; nothing else has been done.
  plat::InstanceLock lock;
  if (!lock.Acquire("GardenMutex")) return 0;

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
