#include "game/windows/title_windows.h"

#include "engine/files/filename.h"
#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/script/script.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/app/window_host.h"
#include "game/windows/menu_wf.h"
#include "game/windows/message_box_wf.h"
#include "game/windows/options_wf.h"
#include "game/windows/profile_wf.h"

vek::cWindow* CreateGameWindow(const vek::string& name, vek::cWindowFunction* function) {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  if (!gui) {
    delete function;
    return nullptr;
  }
  auto* window = new vek::cWindow(gui, function);
  window->SetName(name);
  if (vek::cScript* script = vek::GetScript()) {
    // A file without its own FillWindow must not run the previous file's.
    script->DoString("FillWindow = nil", "=CreateGameWindow");
    if (!script->LoadFile(vek::filename("{StaticPath}/gui/" + name + ".lua")) ||
        !script->DoString("if FillWindow then FillWindow(theGUI:GetWindow('" + name + "')) end", "=CreateGameWindow"))
      vek::LogWarning("CreateGameWindow", "window '%s' has no working layout file\n", name);
  }
  gui->SendMessage(window->GetID(), vek::e_wndAfterCreate, 0, 0);
  return window;
}

void CreateTitleWindows(cWindowHost* host) {
  // The menus' shared look (MenuLook) comes first.
  if (vek::cScript* script = vek::GetScript(); !script || !script->LoadFile(vek::filename("{StaticPath}/gui/menu_look.lua")))
    vek::LogWarning("CreateTitleWindows", "no menu look: '{StaticPath}/gui/menu_look.lua' did not run\n");
  auto* box = new cMessageBoxWF();
  if (CreateGameWindow("messagebox", box) && host) host->SetMessageBox(box);
  CreateGameWindow("main", new cMainGDWF());
  CreateGameWindow("escape", new cEscapeGDWF());
  CreateGameWindow("profile_select", new cProfileSelectWF());
  CreateGameWindow("options", new cOptionsGDWF());
  CreateGameWindow("profile_add", new cProfileAddWF());
}
