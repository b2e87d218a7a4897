// The game put together: every folder's script classes, the field's figures, the steps at the
// end of loading and the windows. The program's entry, the benches and the whole-game tests
// all start from here, so they run the same game.
#include "game/app/game_bindings.h"
#include "game/app/game_hooks.h"
#include "game/app/garden.h"
#include "game/island/island_bindings.h"
#include "game/play/island_link.h"
#include "game/play/play_steps.h"
#include "game/windows/island_windows.h"
#include "game/windows/play_windows.h"
#include "game/windows/title_windows.h"
#include "game/windows/windows_bindings.h"
#include "game/world/animal.h"
#include "game/world/car.h"
#include "game/world/gardener.h"
#include "game/world/hive.h"
#include "game/world/plant.h"
#include "game/world/pump.h"
#include "game/world/tools.h"

void InstallGame() {
  // The folders above the application add their script classes and their windows.
  AddGameBindings(&RegisterGameWindows);
  AddGameBindings(&RegisterGameIsland);
  // The field's own figures in place of plain objects.
  RegisterPlantMakers();
  RegisterToolMakers();
  RegisterCarMakers();
  RegisterPumpMakers();
  RegisterHiveMakers();
  RegisterAnimalMakers();
  RegisterGardenerMaker();
  // The comics widget before the play field; the island map after it, and its file in every
  // save after the field's.
  InstallGardenComics();
  // The play field, its effect lists and holes layouts, and its file in every save.
  InstallGardenWorld();
  InstallGardenIsland();
  // The island screen's windows first, then whatever factory stood before. The one found the
  // first time is kept, so installing again never chains the factory onto itself.
  static WindowFunctionFactory s_NextFactory = GetWindowFunctionFactory();
  SetWindowFunctionFactory([](const vek::string& name) -> vek::cWindowFunction* {
    if (vek::cWindowFunction* made = MakeIslandWindowFunction(name)) return made;
    return s_NextFactory ? s_NextFactory(name) : nullptr;
  });
  AddLoadingStep(eLoadingStep::Windows, [](cGarden& g) { CreateTitleWindows(&g.GetWindowHost()); });
  AddLoadingStep(eLoadingStep::Windows, [](cGarden&) { CreatePlayWindows(); });
}
