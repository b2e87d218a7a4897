#include "game/app/window_host.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "engine/app/game.h"
#include "engine/script/locale.h"
#include "game/app/locale_gd.h"
#include "engine/gui/cursor.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/app/game_rules.h"
#include "game/app/garden_link_island.h"
#include "platform/window.h"

namespace {

cWindowHost* g_pWindowHost = nullptr;

// The levels a "start_level" command may name.
constexpr int kFirstLevel = 0;
constexpr int kLastLevel = 44;

vek::cGUI* Gui() { return vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr; }

std::vector<vek::string>& Notices() {
  static std::vector<vek::string> notices;
  return notices;
}

}  // namespace

cWindowHost* GetWindowHost() { return g_pWindowHost; }

cWindowHost::cWindowHost() { g_pWindowHost = this; }

cWindowHost::~cWindowHost() {
  if (g_pWindowHost == this) g_pWindowHost = nullptr;
}

vek::string cWindowHost::GetText(const vek::string& key) const {
  // The text table, as the locale file filled it; a key it does not know is shown as it is.
#define WINDOW_HOST_TEXT(field, ...) \
  if (key == #field) return g_LocaleGD.field.empty() ? key : g_LocaleGD.field;
  LOCALE_GD_MESSAGES(WINDOW_HOST_TEXT)
  LOCALE_GD_KEYS(WINDOW_HOST_TEXT)
#undef WINDOW_HOST_TEXT
  return key;
}

bool cWindowHost::SwitchWindow(const vek::string& name, int mode) {
  vek::cGUI* gui = Gui();
  if (name == "main") {
    HideAllWindows();
  } else if (name == "edit") {
    if (GetIslandMode() != 3) return false;
  } else if (name == "escape") {
    if (gui) gui->HideWindow("options");
  } else if (name == "profile_select") {
    if (gui && gui->IsWindowShown("profile_add")) gui->HideWindow("profile_add");
  }
  m_WindowMode = mode;
  const bool shown = gui && gui->ShowWindow(name) == 0;
  // A waiting notice goes over the window just shown.
  if (shown && name != "messagebox") ShowNextNotice();
  return shown;
}

void cWindowHost::ShowNextNotice() {
  vek::cGUI* gui = Gui();
  if (Notices().empty() || !m_pMessageBox || !gui || gui->IsWindowShown("messagebox")) return;
  const vek::string key = Notices().front();
  Notices().erase(Notices().begin());
  // The box's own switch leaves the mode of the window under it as it was.
  const int mode = m_WindowMode;
  ShowMessageBox(0, 0, GetText(key), "");
  m_WindowMode = mode;
}

void cWindowHost::OnMessageBox(const vek::string& window) {
  if (window == "messagebox" && m_pMessageBox && m_pMessageBox->GetResult() == 0) {
    const vek::string command = m_pMessageBox->GetCommand();
    if (command == "continue_last") {
      StartLevel(-1);
    } else if (command.compare(0, 11, "start_level") == 0) {
      const int level = std::atoi(command.c_str() + 11);
      StartLevel(std::clamp(level, kFirstLevel, kLastLevel));
    } else if (command == "exit_level") {
      // The escape menu under the box releases the pause it holds when "main" hides it.
      SaveLevel();
      SwitchWindow("main", 1);
    } else if (command == "restart_level") {
      if (vek::cGUI* gui = Gui()) gui->HideWindow("escape");
      CloseHint();
      EndLevel();
      StartLevel(GetCurrentLevel());
    } else if (command == "exit_game") {
      plat::GetWindow().PostQuit(0);
    } else if (command.compare(0, 7, "delete=") == 0) {
      if (vek::cGUI* gui = Gui()) {
        const unsigned id = gui->FindWindow("profile_select");
        if (id) gui->SendMessage(id, kDeleteProfileMessage, static_cast<vek::u32>(std::atoi(command.c_str() + 7)), 0);
      }
    }
  }
}

void cWindowHost::SetCursor(const vek::string& /*name*/) {
  vek::cGUI* gui = Gui();
  if (gui && gui->GetCursor()) gui->GetCursor()->Set("cursor_pointer", vek::vec2{32.0f, 64.0f}, 9, 1, 1);
}

void cWindowHost::SendWindowMessage(const vek::string& window, int p1, int p2) {
  vek::cGUI* gui = Gui();
  if (!gui) return;
  const unsigned id = gui->FindWindow(window);
  if (id == 0) return;
  vek::cWindow* w = gui->GetWindowById(id);
  if (w && w->GetFunction())
    w->GetFunction()->Call(w, kRefreshMessage, static_cast<vek::u32>(p1), static_cast<vek::u32>(p2));
}

void cWindowHost::HideAllWindows() {
  vek::cGUI* gui = Gui();
  if (!gui) return;
  const std::list<unsigned> shown = gui->GetShownList();
  for (unsigned id : shown) {
    if (vek::cWindow* w = gui->GetWindowById(id)) gui->HideWindow(w->GetName());
  }
}

void ShowMessageBox(int icon, int buttons, const vek::string& text, const vek::string& command) {
  cWindowHost* host = GetWindowHost();
  iMessageBox* box = host ? host->GetMessageBox() : nullptr;
  if (!box) return;
  static const char* const kIcons[] = {"icon_error", "icon_info", "icon_warning", "icon_question"};
  const vek::string iconName = icon >= 0 && icon < 4 ? kIcons[icon] : "";
  box->SetText(text, "");
  box->SetIcon(iconName, iconName);
  const vek::cLocale& texts = vek::g_Locale;
  if (buttons == 0)
    box->SetButtons(texts.Ok, "");
  else if (buttons == 1)
    box->SetButtons(texts.Ok, texts.Cancel);
  else if (buttons == 2)
    box->SetButtons(texts.Yes, texts.No);
  box->SetCommand(command);
  host->SwitchWindow("messagebox", 1);
}

void TellPlayer(const vek::string& textKey) {
  for (const auto& key : Notices())
    if (key == textKey) return;
  Notices().push_back(textKey);
}

std::vector<vek::string>& ToldOnce() {
  static std::vector<vek::string> told;
  return told;
}

void TellPlayerOnce(const vek::string& textKey) {
  for (const auto& key : ToldOnce())
    if (key == textKey) return;
  ToldOnce().push_back(textKey);
  TellPlayer(textKey);
}

const std::vector<vek::string>& PendingNotices() { return Notices(); }
void ClearPendingNotices() {
  Notices().clear();
  ToldOnce().clear();
}

// ---- the island map and the comics

int cWindowHost::GetIslandMode() const { return GardenIsland() ? GardenIsland()->GetMode() : 0; }

void cWindowHost::ShowIsland(int mode) {
  if (iGardenIsland* island = GardenIsland()) island->Show(mode);
}

// The main menu asks this once it has made the island its backdrop (mode 0), to centre the map
// behind it on the player's level: the map is judged as the map, since the backdrop itself is
// never "ready" and the menu would otherwise never centre it.
bool cWindowHost::IsIslandReady() const {
  if (!GardenIsland()) return false;
  const int mode = GetIslandMode();
  return cGameRules().IsIslandReadyIn(mode == 0 ? 1 : mode);
}

int cWindowHost::GetIslandPlaceCount() const { return GardenIsland() ? GardenIsland()->GetPlaceCount() : 0; }

void cWindowHost::ScrollIslandToPlace(int place) {
  if (iGardenIsland* island = GardenIsland()) island->ScrollToPlace(place);
}

void cWindowHost::StartComics(int mode) {
  if (PlayComics(mode)) return;
  // No comic to play: straight on to where it would have led.
  if (mode == 0) {
    ShowIsland(1);
    if (vek::g_pGame && GardenIsland() && vek::g_pGame->GetFocusWidgetName() != "island")
      vek::g_pGame->SetFocusWidget("island");
  } else {
    SwitchWindow("main", 1);
  }
}
