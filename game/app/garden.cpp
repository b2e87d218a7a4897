#include "game/app/garden.h"

#include <lua.hpp>

#include <algorithm>
#include <cstdio>

#include "engine/core/align.h"
#include "engine/files/file_system.h"
#include "engine/files/filename.h"
#include "engine/app/game.h"
#include "engine/script/locale.h"
#include "engine/core/log.h"
#include "engine/sound/music.h"
#include "engine/script/script.h"
#include "engine/sound/sound_manager.h"
#include "engine/gui/cursor.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "engine/gui/widget.h"
#include "game/app/game_bindings.h"
#include "game/app/game_hooks.h"
#include "game/app/garden_link.h"
#include "game/app/locale_gd.h"
#include "game/app/player.h"
#include "game/app/settings_file.h"
#include "game/app/splash_widget.h"
#include "game/app/title_backdrop.h"
#include "game/app/loading.h"

cGarden* g_pGarden = nullptr;

const char* const kGameWindows[22] = {
    "messagebox",     "hint",        "hint_mp", "mission_start", "mission_finish", "mission_goal",
    "main",           "escape",      "profile_select", "options", "profile_add",   "garden",
    "stat_garden",    "stat_island", "island",  "edit",          "up",             "score",
    "comics",         "comics00",    "comics01", "comics02"};

namespace {

const char* const kSender = "cGarden";

// Calls the script function `name` with no argument or one text, one result expected; false
// when the function is missing or raised (the host reports errors).
bool CallScript(const char* name, const vek::string* arg = nullptr, lua_Number* result = nullptr) {
  vek::cScript* script = vek::GetScript();
  if (!script) return false;
  lua_State* L = script->GetState();
  lua_getglobal(L, name);
  if (!lua_isfunction(L, -1)) {
    lua_pop(L, 1);
    vek::LogWarning(kSender, "Script function %s not found\n", name);
    return false;
  }
  if (arg) lua_pushstring(L, arg->c_str());
  const bool ok = vek::cScript::PCall(L, arg ? 1 : 0, 1) == 0;
  if (ok && result) *result = lua_tonumber(L, -1);
  lua_settop(L, 0);
  return ok;
}

}  // namespace

cGarden::cGarden() : m_pLink(std::make_unique<cGardenLink>(*this)) {
  g_pGarden = this;
  SetGardenServices(m_pLink.get());
  SetRulesHost(m_pLink.get());
  SetRulesWorld(m_pLink.get());
  m_WindowHost.Players().SetCurrentListener(
      [this](cPlayer* leaving, cPlayer* coming) { OnCurrentPlayer(leaving, coming); });
  if (vek::cSoundManager* sound = vek::GetSound()) {
    sound->SetVolume(vek::cSoundManager::e_Sound, 0.5f);
    sound->SetVolume(vek::cSoundManager::e_Music, 0.5f);
  }
}

cGarden::~cGarden() {
  // The games and profiles first, while the field and the island still exist to save theirs.
  SaveProfiles();
  // The windows own their functions and go with the GUI.
  m_WindowFunctions.clear();
  SetMessageBox(nullptr);
  m_pHintWF = nullptr;
  m_Ships.Clear();
  // A speed the options window changed goes into the settings record the script writes.
  if (m_WindowHost.mouseSpeed != m_OptionsMouseSpeed) m_Settings.fMouseSpeed = m_WindowHost.mouseSpeed;
  if (GetCurrentPlayer() && !IsStandInPlayer(GetCurrentPlayer())) {
    const vek::string path = vek::NativePath(vek::filename("{AppPath}/conf/settings.lua").path);
    lua_Number ignored = 0;
    CallScript("WriteSettings", &path, &ignored);
  }
  RunShutdownSteps(*this);
  if (cLoadingWidget* loading = GetLoadingWidget()) loading->Detach();
  if (vek::g_pGame) {
    for (vek::cWidget* w : vek::g_pGame->GetWidgets())
      if (auto* splash = dynamic_cast<cSplashWidget*>(w)) splash->Detach();
  }
  m_WindowHost.Players().SetCurrentListener(nullptr);
  SetCurrentPlayer(nullptr);
  if (GardenServices() == m_pLink.get()) SetGardenServices(nullptr);
  if (RulesHost() == m_pLink.get()) SetRulesHost(nullptr);
  if (RulesWorld() == m_pLink.get()) SetRulesWorld(nullptr);
  if (g_pGarden == this) g_pGarden = nullptr;
}

void cGarden::SetLink(std::unique_ptr<cGardenLink> link) {
  if (!link) link = std::make_unique<cGardenLink>(*this);
  SetGardenServices(link.get());
  SetRulesHost(link.get());
  SetRulesWorld(link.get());
  m_pLink = std::move(link);
}

bool cGarden::StartLevel(vek::i32 level) {
  const vek::i32 wanted = level < 0 ? -1 : std::min(level, 44);
  cPlayerBase* current = GetCurrentPlayer();
  if (!current || IsStandInPlayer(current)) {
    vek::LogWarning(kSender, "StartLevel %i: no current profile\n", wanted);
    return false;
  }
  bool field = false;
  if (vek::g_pGame)
    for (vek::cWidget* w : vek::g_pGame->GetWidgets()) field = field || (w && w->GetName() == "garden");
  if (!field) {
    vek::LogWarning(kSender, "StartLevel %i: there is no play field\n", wanted);
    return false;
  }
  vek::LogText(kSender, "Start level %i\n", wanted);
  m_PlayMode = 0;
  return m_Rules.StartLevel(wanted);
}

void cGardenWindowHost::StartLevel(int level) { m_Garden.StartLevel(level); }

void cGardenWindowHost::SaveLevel() {
  if (auto* p = dynamic_cast<cPlayer*>(m_Garden.GetCurrentPlayer()); p && !m_Garden.IsStandInPlayer(p)) p->SaveMain();
}

void cGardenWindowHost::EndLevel() {
  // A level given up for a restart ends as a finished one does (its field cleared, its time
  // and grade kept, a new holes layout brought in again), so the restart sets up as cleanly.
  m_Garden.Ships().Clear();
  m_Garden.Rules().FinishLevel();
}

int cGardenWindowHost::GetCurrentLevel() const {
  const cPlayer* p = CurrentPlayer();
  return p ? p->currentLevel : 0;
}

void cGardenWindowHost::CloseHint() { m_Garden.Hints().CloseHint(); }

vek::i32 cGardenWindowHost::GetHintsEnabled() const { return m_Garden.m_iTraining; }
void cGardenWindowHost::SetHintsEnabled(vek::i32 on) { m_Garden.m_iTraining = on; }

void cGarden::UpdateMission() {
  if (m_Paused != 0) return;
  m_Rules.UpdateMission();
  m_pLink->StepWaterPump();
  const cPlayer* p = CurrentPlayer();
  if (p && p->upgradeLevels.size() > 2 && p->upgradeLevels[2] > 0) m_Hints.ShowTraining(0, 0);
  m_Hints.StepTipTimer();
}

void cGarden::SaveProfiles() {
  cPlayerList& players = m_WindowHost.Players();
  if (cPlayer* current = players.GetCurrent()) current->SaveMain();
  for (unsigned i = 0; i < players.GetCount(); ++i) players.GetPlayer(i)->Save();
}

vek::i32 cGarden::Init() {
  const vek::i32 base = cMiddle::Init();
  if (base != 0) return base;
  vek::LogText(kSender, "Start game initialization...\n");
  if (vek::g_pGame) vek::g_pGame->SetBackground(true);

  vek::cScript* script = vek::GetScript();
  if (script) {
    RegisterGame(script->GetState());
    script->RegisterVar<cGarden>("theGame", this);
    vek::cFileSystem fs;
    if (fs.Exist("{StaticPath}/conf/locale.lua")) {
      script->RegisterVar<cLocaleGD>("locale", &g_LocaleGD);
      script->RegisterVar<vek::cLocale>("vek_locale", &vek::g_Locale);
      script->LoadFile("{StaticPath}/conf/locale.lua");
    }
    script->LoadFile("{StaticPath}/conf/system.lua");
    // The settings are the player's values, read as data (never run with the game's rights).
    if (LoadSettingsFile(*script, "{AppPath}/conf/settings.lua")) CallScript("LoadHardwareSettings");
  }

  if (vek::g_pGame && vek::g_pGame->IsWindowed() && vek::g_bSmallDesktop) vek::Display(false, 1024, 768, 0);

  new cSplashWidget(this);
  if (vek::g_pGame) vek::g_pGame->SetFocusWidget("splash");
  vek::LogText(kSender, "Show splash screen...\n");
  return 0;
}

void cGarden::OnLoadingComplete() {
  ParseResources();
  RunLoadingSteps(eLoadingStep::Tables, *this);
  RunLoadingSteps(eLoadingStep::Widgets, *this);

  if (vek::cSoundManager* sound = vek::GetSound()) {
    // The named music, else the first one loaded; the container's built-in entry is no music.
    const auto& musics = sound->GetMusics();
    m_pMenuMusic = musics.FindItem("music_menu");
    for (vek::u32 i = 1; m_pMenuMusic == musics.Get(0) && i < musics.Count(); ++i) m_pMenuMusic = musics.Get(i);
    if (m_pMenuMusic == musics.Get(0)) m_pMenuMusic = nullptr;
    if (m_pMenuMusic) {
      m_pMenuMusic->SetLoop();
      m_pMenuMusic->Play();
    }
  }

  cMiddle::OnLoadingComplete();
  LoadTexture("{StaticPath}/fsdata/logo_na.png");
  LoadTexture("{StaticPath}/fsdata/logo_a.png");
  vek::LogText(kSender, "Loading complete. Finish game initialization...\n");
  CallScript("LoadSettings");
  // The options window works on the host's copies of the settings.
  m_WindowHost.mouseSpeed = m_OptionsMouseSpeed = m_Settings.fMouseSpeed;
  CreateWindows();
  RunLoadingSteps(eLoadingStep::Layouts, *this);
  SetCursor("pointer");
  vek::LogText(kSender, "Game initialization complete. Run game...\n");
  ShowTitleBackdrop();
  SwitchWindow("main", 1);
  if (vek::g_pGame) vek::g_pGame->SetBackground(false);
  if (vek::GetScript()) vek::GetScript()->LoadFile("{StaticPath}/conf/autoexec.lua");
  if (GetCurrentPlayer() && !IsStandInPlayer(GetCurrentPlayer())) GetCurrentPlayer()->LoadMain();
}

void cGarden::ShowTitleBackdrop() {
  if (!vek::g_pGame) return;
  // The main menu stands over the island map; without one, over the title painting.
  for (vek::cWidget* w : vek::g_pGame->GetWidgets())
    if (w && (w->GetName() == "island" || w->GetName() == "title")) return;
  new cTitleBackdrop(this);
  vek::g_pGame->SetFocusWidget("title");
}

void cGarden::LoadProfiles() {
  cPlayerList& players = m_WindowHost.Players();
  players.LoadPlayers();
  vek::LogText("cMiddle", "Found %i Player profiles\n", static_cast<int>(players.GetCount()));
  if (players.GetCount() == 0) {
    // A stand-in for the current player until the first profile is made: never listed, never
    // written.
    m_pStandIn = CreateStandInPlayer();
    SetCurrentPlayer(dynamic_cast<cPlayer*>(m_pStandIn));
  } else {
    players.ChangePlayerByFolder(players.GetPlayer(0)->GetFolder());
  }
}

void cGarden::OnCurrentPlayer(cPlayer* leaving, cPlayer* coming) {
  if (leaving && leaving != coming) leaving->SaveMain();
  if (coming && m_pStandIn) {
    SetCurrentPlayer(nullptr);
    delete m_pStandIn;
    m_pStandIn = nullptr;
  }
  SetCurrentPlayer(coming ? coming : dynamic_cast<cPlayer*>(m_pStandIn));
  if (coming) coming->LoadMain();
}

// ---- profiles

vek::i32 cGarden::ChangePlayer(const vek::string& name) {
  cPlayerList& players = m_WindowHost.Players();
  const vek::string before = GetCurrentPlayerName();
  if (players.GetCurrent() && name == before) return 0;
  players.ChangePlayer(name);
  if (GetCurrentPlayerName() != before) m_pLink->ResetIslandView();
  return 0;
}

vek::i32 cGarden::DeletePlayer(const vek::string& name) {
  cPlayerList& players = m_WindowHost.Players();
  // The current profile stays, also when the name reaches it only in another case.
  if (players.GetCurrent() && players.FindPlayerByName(name) == players.GetCurrent()) return 0;
  players.DeletePlayer(name);
  return 0;
}

vek::i32 cGarden::AddPlayer(cPlayerBase* player) {
  if (auto* p = dynamic_cast<cPlayer*>(player)) {
    m_WindowHost.Players().AddPlayer(p);
  } else {
    delete player;
  }
  return 0;
}

cPlayerBase* cGarden::FindPlayer(const vek::string& name) { return m_WindowHost.Players().FindPlayer(name); }

cPlayerBase* cGarden::GetFirstPlayer() {
  m_ListCursor = 0;
  return m_WindowHost.Players().GetPlayer(0);
}

cPlayerBase* cGarden::GetNextPlayer() {
  if (m_ListCursor >= m_WindowHost.Players().GetCount()) return nullptr;
  return m_WindowHost.Players().GetPlayer(++m_ListCursor);
}

vek::u32 cGarden::GetPlayerCount() const {
  return const_cast<cGardenWindowHost&>(m_WindowHost).Players().GetCount();
}

cPlayerBase* cGarden::GetPlayer(vek::u32 index) { return m_WindowHost.Players().GetPlayer(index); }

vek::string cGarden::GetCurrentPlayerName() const {
  const cPlayerBase* p = GetCurrentPlayer();
  return p ? p->GetNameCopy() : vek::string();
}

cPlayerBase* cGarden::GetCurrentPlayer() const {
  cPlayer* current = const_cast<cGardenWindowHost&>(m_WindowHost).Players().GetCurrent();
  return current ? current : m_pStandIn;
}

void cGarden::CreateWindows() {
  RunLoadingSteps(eLoadingStep::Windows, *this);
  const WindowFunctionFactory factory = GetWindowFunctionFactory();
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  for (const char* name : kGameWindows) {
    // A window that a step above has made already stays as it is.
    if (vek::cWindow* made = gui ? gui->GetWindow(name) : nullptr) {
      if (made->GetName() == name) {
        m_WindowFunctions.push_back(made->GetFunction());
        continue;
      }
    }
    vek::cWindowFunction* function = factory ? factory(name) : nullptr;
    if (!function) function = new vek::cWindowFunction();
    m_WindowFunctions.push_back(function);
    const vek::string window = name;
    if (window == "messagebox") SetMessageBox(dynamic_cast<iMessageBoxResult*>(function));
    if (window == "hint") m_pHintWF = function;
    LoadWindow("{StaticPath}/gui/" + window + ".lua", window, function);
  }
}

cPlayerBase* cGarden::CreatePlayer(const vek::string& folder) {
  if (!folder.empty()) return new (std::nothrow) cPlayer(folder);
  // A new profile takes the first free folder from the player counter on.
  vek::cFileSystem fs;
  for (vek::u32 n = GetPlayerCounter(); n < 1000; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "plr%03u", n);
    if (fs.Exist(vek::filename(vek::string("{AppPath}/profile/") + name))) continue;
    SetPlayerCounter(n + 1);
    return new (std::nothrow) cPlayer(name);
  }
  vek::LogWarning(kSender, "CreatePlayer: no free profile folder\n");
  return nullptr;
}

cPlayerBase* cGarden::CreateStandInPlayer() {
  // No folder of its own: it takes no profile number and its saves write nothing.
  auto* player = new (std::nothrow) cPlayer("-");
  if (player) {
    player->GetName().clear();
    player->ForgetFolder();
  }
  return player;
}

bool cGarden::SwitchWindow(const vek::string& name, vek::i32 mode) {
  const bool shown = m_WindowHost.SwitchWindow(name, mode);
  m_WindowMode = m_WindowHost.GetWindowMode();
  return shown;
}

void cGarden::SetCursor(const vek::string& /*name*/) {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  if (gui && gui->GetCursor())
    gui->GetCursor()->Set("cursor_pointer", vek::vec2{32.0f, 64.0f}, vek::cAlign::Left | vek::cAlign::Top, 1, 1);
}

void cGarden::SendWindowMessage(const vek::string& window, vek::i32 p1, vek::i32 p2) {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  vek::cWindow* w = gui ? gui->GetWindow(window) : nullptr;
  if (w && w->GetFunction()) w->GetFunction()->Call(w, 100000, static_cast<vek::u32>(p1), static_cast<vek::u32>(p2));
}

vek::string cGarden::GetMessageText(vek::i32 id) const {
  switch (id) {
    case 0: return g_LocaleGD.ErrorOnePlayer;
    case 1: return g_LocaleGD.ConfirmDeletePlayer;
    case 2: return g_LocaleGD.ConfirmExitGame;
    default: return vek::string();
  }
}

vek::i32 cGarden::GetMoney() const { return m_Rules.GetMoney(); }
