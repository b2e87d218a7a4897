#include "game/windows/hint_gd_wf.h"

#include "engine/gui/gui.h"
#include "game/app/garden_services.h"
#include "game/app/rules_host.h"
#include "game/app/window_host.h"
#include "game/windows/base_wf.h"
#include "game/windows/island_windows.h"

using vek::u32;

int cHintGDWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (IsNotReady()) return cHintWF::Call(window, message, p1, p2);
  iGardenServices* game = GardenServices();
  switch (message) {
    case vek::e_wndShow:
      game->PlaySound(kHintSound);
      break;
    case vek::e_wndHide:
      game->ClearTrainingStep();
      break;
    case vek::e_ntfMouseEnter:
      ClearIslandHover();
      break;
    case vek::e_ntfButtonClick:
      if (cBaseWF::IsControl(window, p2, "close")) {
        game->NextHintStep(0, 12);
        game->NextHintStep(5, 2);
        game->EndTraining(-1);
      }
      break;
    case vek::e_ntfCheckToggle:
      if (cBaseWF::IsControl(window, p2, "show")) {
        // Either way the box turns: hints go off for this player.
        if (cWindowHost* host = GetWindowHost()) {
          host->CloseHint();
          host->SetHintsEnabled(0);
        }
        RulesHost()->SetTraining(0);
      }
      break;
    default:
      break;
  }
  return cHintWF::Call(window, message, p1, p2);
}
