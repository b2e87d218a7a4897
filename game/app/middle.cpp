#include "game/app/middle.h"

#include <lua.hpp>

#include <algorithm>
#include <utility>

#include "engine/files/data_manager.h"
#include "engine/files/file_system.h"
#include "engine/files/filename.h"
#include "engine/core/format.h"
#include "engine/app/game.h"
#include "engine/files/image.h"
#include "engine/core/log.h"
#include "engine/core/random.h"
#include "engine/script/script.h"
#include "engine/net/transfer_http.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "engine/render/render.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"
#include "platform/gfx.h"
#include "engine/render/texture_info.h"
#include "engine/scene3d/managers.h"
#include "engine/scene3d/scene.h"
#include "game/app/loading.h"
#include "game/app/player_base.h"

cMiddle* g_pMiddle = nullptr;

namespace {
const char* const kSender = "cMiddle";

// Whether the file lies in the game's own data folder, named by its token or by its full path.
bool InDataFolder(const vek::filename& file) {
  const vek::string root = vek::filename("{StaticPath}/x").dir();
  const vek::string dir = file.dir();
  return !root.empty() && dir.size() >= root.size() && dir.compare(0, root.size(), root) == 0;
}
}  // namespace

cMiddle::cMiddle() : m_PlayerCursor(m_Players.end()), m_pTransfer(new (std::nothrow) vek::cTransferHTTP()) {
  g_pMiddle = this;
}

cMiddle::~cMiddle() {
  if (m_pCurrentPlayer && !IsStandInPlayer(m_pCurrentPlayer)) m_pCurrentPlayer->SaveMain();
  m_pCurrentPlayer = nullptr;
  for (cPlayerBase* p : m_Players) {
    p->Save();
    delete p;
  }
  m_Players.clear();
  delete m_pStandIn;
  m_pStandIn = nullptr;
  m_pTransfer.reset();
  WriteHighscores();
  // The 3-D managers go in the reverse order of their making; each logs its own end.
  vek::DestroyMeshManager();
  vek::DestroySceneManager();
  vek::DestroyMaterialManager();
  vek::DestroyTextureInfoTable();
  vek::LogText("DestroyTextureInfos", "Ok\n");
  if (g_pMiddle == this) g_pMiddle = nullptr;
}

vek::i32 cMiddle::Init() {
  vek::LogText(kSender, "Start game initialization...\n");
  m_StartTime = static_cast<vek::i32>(vek::GetDayTime() * 1000.0f);
  vek::cFileSystem fs;
  // The game's own folders only this user may enter when the game makes them; one that every
  // user may write into is worth a warning (another user could plant files or links there).
  for (const char* folder : {"{AppPath}/", "{AppPath}/cache/", "{AppPath}/conf/", "{AppPath}/profile/"}) {
    fs.CreatePrivateFolder(folder);
    fs.CheckPrivate(folder);
  }
  // The desktop folder, where screenshots go, is the user's (XDG) one and is made only when a
  // picture is saved there.
  vek::CreateTextureInfos();
  vek::CreateMaterialManager();
  vek::CreateSceneManager();
  vek::CreateMeshManager();
  LoadTexture("{StaticPath}/texture/system/gui_console0.jpg");
  LoadTexture("{StaticPath}/texture/system/gui_console1.jpg");
  LoadTexture("{StaticPath}/texture/system/font_system.png");
  LoadTexture("{StaticPath}/texture/system/gui_system.png");
  if (vek::GetScript()) vek::GetScript()->LoadFile("{StaticPath}/conf/sys_font.lua");
  return 0;
}

void cMiddle::OnSplashEnd() {
  vek::LogText(kSender, "End splash screen\n");
  for (const char* picture : {"{StaticPath}/texture/system/gui_loading.jpg", "{StaticPath}/texture/system/gui_loading_progress.jpg"}) {
    vek::u32 index = 0;
    LoadTexture(picture, &index);
    if (index) m_LoadingPictures.push_back(index);
  }
  LoadWindow("{StaticPath}/gui/game_loading.lua", "loading", new vek::cWindowFunction());
  new cLoadingWidget(this);
  if (vek::g_pGame) vek::g_pGame->SetFocusWidget("loading");
  vek::LogText(kSender, "Start loading...\n");
}

void cMiddle::OnLoadingComplete() {
  vek::LogText(kSender, "Loading complete. Finish game initialization...\n");
  ReadHighscores();

  LoadProfiles();
}

void cMiddle::LoadProfiles() {
  vek::cFileSystem fs;
  for (vek::filename entry = fs.GetFirst("{AppPath}/profile/"); !entry.empty(); entry = fs.GetNext()) {
    cPlayerBase* player = CreatePlayer(entry.file());
    if (!player) continue;
    // A folder without a readable profile is not a profile: it would show as a nameless row.
    if (!player->Load()) {
      vek::LogWarning(kSender, "Profile folder '%s' has no readable profile, skipped\n", entry.file());
      delete player;
      continue;
    }
    AddPlayer(player);
  }
  vek::LogText(kSender, "Found %i Player profiles\n", static_cast<int>(m_Players.size()));

  if (m_Players.empty()) {
    // A stand-in for the current player until the first profile is made: the game expects
    // a current player, but this one is never listed nor written.
    m_pStandIn = CreateStandInPlayer();
    if (m_pStandIn) m_pStandIn->GetName().clear();
    m_pCurrentPlayer = m_pStandIn;
  } else {
    m_pCurrentPlayer = m_Players.front();
    m_pCurrentPlayer->LoadMain();
  }
}

// ---- players

void cMiddle::MakeCurrent(cPlayerBase* player) {
  m_pCurrentPlayer = player;
  if (m_pStandIn && player != m_pStandIn) {
    delete m_pStandIn;
    m_pStandIn = nullptr;
  }
}

vek::i32 cMiddle::ChangePlayer(const vek::string& name) {
  const vek::string current = GetCurrentPlayerName();
  if (m_pCurrentPlayer && name == current && !IsStandInPlayer(m_pCurrentPlayer)) return 0;
  vek::LogText(kSender, "Change player '%s' to '%s'\n", current, name);
  cPlayerBase* found = FindPlayer(name);
  if (!found) {
    vek::LogWarning(kSender, "Can't find payer '%s', leave old player.\n", name);
    return 0;
  }
  if (m_pCurrentPlayer && !IsStandInPlayer(m_pCurrentPlayer)) m_pCurrentPlayer->SaveMain();
  MakeCurrent(found);
  found->LoadMain();
  return 0;
}

vek::i32 cMiddle::DeletePlayer(const vek::string& name) {
  if (m_pCurrentPlayer && name == m_pCurrentPlayer->GetName()) return 0;
  vek::LogText(kSender, "Delete player '%s'\n", name);
  cPlayerBase* found = FindPlayer(name);
  if (!found) {
    vek::LogWarning(kSender, "Can't find payer '%s'.\n", name);
    return 0;
  }
  auto it = std::find(m_Players.begin(), m_Players.end(), found);
  if (it == m_PlayerCursor) m_PlayerCursor = m_Players.end();
  m_Players.erase(it);
  found->Delete();
  delete found;
  return 0;
}

vek::i32 cMiddle::AddPlayer(cPlayerBase* player) {
  if (player) m_Players.push_back(player);
  return 0;
}

cPlayerBase* cMiddle::FindPlayer(const vek::string& name) {
  vek::string wanted = name;
  vek::ToLower(wanted);
  for (cPlayerBase* p : m_Players) {
    vek::string n = p->GetName();
    vek::ToLower(n);
    if (n == wanted) return p;
  }
  return nullptr;
}

cPlayerBase* cMiddle::GetFirstPlayer() {
  m_PlayerCursor = m_Players.begin();
  return m_PlayerCursor == m_Players.end() ? nullptr : *m_PlayerCursor;
}

cPlayerBase* cMiddle::GetNextPlayer() {
  if (m_PlayerCursor == m_Players.end()) return nullptr;
  ++m_PlayerCursor;
  return m_PlayerCursor == m_Players.end() ? nullptr : *m_PlayerCursor;
}

vek::u32 cMiddle::GetPlayerCount() const { return static_cast<vek::u32>(m_Players.size()); }

cPlayerBase* cMiddle::GetPlayer(vek::u32 index) {
  for (cPlayerBase* p : m_Players) {
    if (index == 0) return p;
    --index;
  }
  return nullptr;
}

vek::string cMiddle::GetCurrentPlayerName() const {
  return m_pCurrentPlayer ? m_pCurrentPlayer->GetNameCopy() : vek::string();
}

// ---- windows

bool cMiddle::SwitchWindow(const vek::string& name, vek::i32 mode) {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  if (name == "main" || name == "options" || name == "highscores" || name == "help" || name == "escape") {
    HideAllWindows();
  } else if (name == "profile_select" && gui && gui->IsWindowShown("profile_add")) {
    gui->HideWindow("profile_add");
  }
  m_WindowMode = mode;
  return gui && gui->ShowWindow(name) == 0;
}

void cMiddle::HideAllWindows() {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  if (!gui) return;
  const unsigned count = gui->GetWindowCount();
  for (unsigned id = 0; id < count; ++id) {
    vek::cWindow* w = gui->GetWindowById(id);
    if (!w || w->GetName() == "dump" || !gui->IsShown(id)) continue;
    if (gui->FindWindow(w->GetName()) == 0) continue;
    if (w->GetFunction()) w->GetFunction()->Call(w, vek::e_wndHide, 0, 0);
  }
}

void cMiddle::OnMessageBox(const vek::string& windowName) {
  if (windowName != "messagebox" || !m_pMessageBox) return;
  const auto [key, value] = vek::SplitAtFirst(m_pMessageBox->GetCommand(), '=');
  if (key != "delete" || m_pMessageBox->GetResult() != 0) return;
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  if (gui) gui->SendMessage(gui->FindWindow("profile_select"), 36865, static_cast<vek::u32>(vek::StringToInt(value)), 0);
}

vek::cWindow* cMiddle::LoadWindow(const vek::string& path, const vek::string& name, vek::cWindowFunction* function) {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  auto* window = new vek::cWindow(gui, function);
  window->SetName(name);
  vek::cScript* script = vek::GetScript();
  if (script && script->LoadFile(path)) {
    lua_State* L = script->GetState();
    lua_getglobal(L, "FillWindow");
    vek::push_pointer(L, window);
    vek::cScript::PCall(L, 1, 1);
    lua_settop(L, 0);
  } else {
    vek::LogWarning(kSender, "LoadWindow: can't run the window file %s\n", path);
  }
  if (window->GetFunction()) window->GetFunction()->Call(window, vek::e_wndAfterCreate, 0, 0);
  return window;
}

// ---- drawing

void cMiddle::ClearScreen(const cMiddle* app) {
  vek::cRender* render = vek::g_pRender;
  if (!render) return;
  const vek::f32* c = app ? app->m_BackColor : nullptr;
  render->SetClearColor(c ? c[0] : 0.0f, c ? c[1] : 0.0f, c ? c[2] : 0.0f, 1.0f);
  // A device refuses the whole clear when it is asked for a buffer it does not have.
  const plat::gfx::PresentParameters& p = render->GetHolder()->params;
  vek::u32 flags = plat::gfx::kClearTarget;
  if (p.enableAutoDepthStencil) flags |= plat::gfx::kClearZBuffer;
  if (p.enableAutoDepthStencil && p.autoDepthStencilFormat == plat::gfx::Format::D24S8) flags |= plat::gfx::kClearStencil;
  render->Clear(flags, 1.0f);
}

// ---- textures

void cMiddle::ReleaseLoadingPictures() {
  if (vek::g_pTextureManager)
    for (vek::u32 index : m_LoadingPictures) vek::g_pTextureManager->DeleteTexture(index);
  m_LoadingPictures.clear();
}

namespace {

// The picture file a texture's file name means: as given, or without an extension the ".png",
// then the ".jpg" there is; false when neither is.
bool PictureFile(const vek::filename& file, vek::filename* name) {
  *name = file;
  if (!name->ext.empty()) return true;
  vek::cFileSystem fs;
  vek::filename png = file, jpg = file;
  png.replace_ext("png");
  jpg.replace_ext("jpg");
  if (fs.Exist(png)) *name = png;
  else if (fs.Exist(jpg)) *name = jpg;
  else return false;
  return true;
}

// Runs the area script beside a picture, when there is one.
void LoadAreas(const vek::filename& picture) {
  vek::filename areas = picture;
  areas.replace_ext("tex");
  if (vek::cFileSystem().Exist(areas) && vek::GetScript()) vek::GetScript()->LoadFile(areas);
}

}  // namespace

vek::i32 cMiddle::LoadTextureOnUse(const vek::filename& file) {
  vek::filename name;
  if (!PictureFile(file, &name) || !vek::cFileSystem().Exist(name)) return vek::cDataManager::FileNotFound;
  new vek::cTexture(
      name.name,
      [name](vek::cImage& image) {
        const vek::u32 result = vek::cDataManager::ReadImage(name, &image);
        if (result != 0)
          vek::LogError(kSender, "Can't load texture '%s': the picture does not decode (result %u)\n", name.path, result);
        return result == 0;
      },
      InDataFolder(name));
  LoadAreas(name);
  return 0;
}

vek::i32 cMiddle::LoadTexture(const vek::filename& file, vek::u32* index) {
  if (index) *index = 0;
  vek::filename name;
  if (!PictureFile(file, &name)) return vek::cDataManager::FileNotFound;
  vek::cImage image;
  const vek::u32 result = vek::cDataManager::ReadImage(name, &image);
  if (result != 0) {
    // A picture that is there but does not decode would otherwise show as the checkerboard
    // with nothing said anywhere.
    if (result != vek::cDataManager::FileNotFound)
      vek::LogError(kSender, "Can't load texture '%s': the picture does not decode (result %u)\n", name.path, result);
    return static_cast<vek::i32>(result);
  }
  // A texture that is not reserved goes to the end of the table. The data folder's pictures are
  // ours: their sizes are not the player's to mend.
  if (index && vek::g_pTextureManager) *index = vek::g_pTextureManager->Count();
  new vek::cTexture(name.name, false, std::move(image), InDataFolder(name));
  LoadAreas(name);
  return 0;
}
