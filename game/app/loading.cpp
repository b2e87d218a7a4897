#include "game/app/loading.h"

#include "engine/files/data_manager.h"
#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/sound/music.h"
#include "engine/script/script.h"
#include "engine/script/script_bind.h"
#include "engine/sound/sound_manager.h"
#include "engine/gui/gui.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/progress_bar_sys_ctrl.h"
#include "engine/gui/window.h"
#include "engine/render/font.h"
#include "engine/render/render.h"
#include "engine/render/texture_manager.h"
#include "game/app/middle.h"
#include "platform/gfx.h"
#include "platform/os.h"

namespace {

cLoadingWidget* g_pLoadingWidget = nullptr;
cLoadData* g_pItemBeingLoaded = nullptr;
vek::i32 g_FrameCounter = 0;

// The file's path as the loading screen shows it: inside the data folder from there on.
vek::string ShownPath(const vek::filename& file) {
  const vek::string data = vek::filename("{StaticPath}/").path;
  const vek::string& path = file.path;
  const vek::string shown = path.compare(0, data.size(), data) == 0 ? path.substr(data.size()) : path;
  return vek::NativePath(shown);
}

}  // namespace

cLoadingWidget* GetLoadingWidget() { return g_pLoadingWidget; }
cLoadData* GetItemBeingLoaded() { return g_pItemBeingLoaded; }

// ---- items

cLoadData::cLoadData(const vek::string& path, bool reserved) : m_File(path), m_bReserved(reserved) {
  if (!g_pLoadingWidget || g_pLoadingWidget->IsFinished()) {
    // Nothing would ever load or free the item: refuse it. The exception reaches the script
    // that made it as an error, and the object is freed by its failed construction.
    vek::LogWarning("cLoadData", "cLoadingWidget is unavailable. Item '%s' refused\n", path);
    throw vek::cScriptError("cLoadData: no loading in progress, '" + path + "' is not loaded");
  }
  g_pLoadingWidget->Add(this);
}

void cLoadTexture::Load() {
  if (!vek::g_pTextureManager || vek::g_pTextureManager->FindIndex(m_File.name) == 0) cMiddle::LoadTexture(m_File);
}

void cLoadTextureOnUse::Load() {
  if (!vek::g_pTextureManager || vek::g_pTextureManager->FindIndex(m_File.name) == 0)
    cMiddle::LoadTextureOnUse(m_File);
}

void cLoadFont::Load() {
  // A font that several lists ask for is loaded once: with its picture and its font of the
  // file's name there, a second picture and a second font would only take memory.
  if (vek::g_pTextureManager && vek::g_pTextureManager->FindIndex(m_File.name) != 0 && vek::g_pFontManager &&
      vek::g_pFontManager->Find(m_File.name) != 0)
    return;
  vek::filename picture = m_File, script = m_File;
  picture.replace_ext("png");
  script.replace_ext("lua");
  cMiddle::LoadTexture(picture);
  if (vek::GetScript()) vek::GetScript()->LoadFile(script);
}

void cLoadSound::Load() {
  vek::cDataManager::cSampleRecord record;
  record.maxPlaybacks = m_Parameters;
  if (vek::cDataManager::ReadSoundBuffer(m_File, &record) == vek::cDataManager::Ok)
    new vek::cSoundManager::cSoundBuffer(record.handle, m_File.name, m_bReserved);
}

void cLoadMusic::Load() {
  vek::cSoundManager* sound = vek::GetSound();
  if (!sound) return;
  if (vek::cSoundManager::FindBufferIndex(sound->GetMusicBuffers(), m_File.name) == 0) {
    vek::cDataManager::cModuleRecord record;
    if (vek::cDataManager::ReadMusicBuffer(m_File, &record) != vek::cDataManager::Ok) return;
    new vek::cSoundManager::cMusicBuffer(record.handle, m_File.name, m_bReserved);
  }
  if (m_Name.empty())
    new vek::cMusic(m_File.name, m_File.name, m_bReserved);
  else
    new vek::cMusic(m_Name, m_File.name, m_Start, m_End, m_bReserved);
}

void cLoadStream::Load() {
  vek::cSoundManager* sound = vek::GetSound();
  if (!sound) return;
  if (vek::cSoundManager::FindBufferIndex(sound->GetStreamBuffers(), m_File.name) == 0) {
    vek::cDataManager::cStreamRecord record;
    if (vek::cDataManager::ReadStreamBuffer(m_File, &record) != vek::cDataManager::Ok) return;
    new vek::cSoundManager::cStreamBuffer(record.handle, m_File.name, record.data, m_bReserved);
  }
  new vek::cMusic(m_File.name, m_bReserved);
}

// ---- the widget

cLoadingWidget::cLoadingWidget(cMiddle* owner) : vek::cWidget("loading"), m_pOwner(owner) {
  g_pLoadingWidget = this;
}

cLoadingWidget::~cLoadingWidget() {
  if (!m_Queue.empty()) vek::LogWarning("cLoadingWidget", "~cLoadingWidget: not all data was loaded.\n");
  for (cLoadData* item : m_Queue) delete item;
  m_Queue.clear();
  delete g_pItemBeingLoaded;
  g_pItemBeingLoaded = nullptr;
  if (g_pLoadingWidget == this) g_pLoadingWidget = nullptr;
}

void cLoadingWidget::Add(cLoadData* item) {
  m_Queue.push_back(item);
  m_Total = static_cast<vek::f32>(m_Queue.size());
}

void cLoadingWidget::Activate() {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  m_pProgress = nullptr;
  m_pLabel = nullptr;
  if (vek::cWindow* window = gui ? gui->GetWindow("loading") : nullptr) {
    m_pProgress = window->GetControl(window->FindControl("progress"));
    if (auto* bar = dynamic_cast<vek::cProgressBarSysCtrl*>(m_pProgress)) bar->SetValue(0.0f);
    m_pLabel = window->GetControl(window->FindControl("label"));
    // Only the controls of the kinds that can show progress and a text are used.
    if (!dynamic_cast<vek::cProgressBarSysCtrl*>(m_pProgress)) m_pProgress = nullptr;
    if (!dynamic_cast<vek::cLabelCtrl*>(m_pLabel)) m_pLabel = nullptr;
  }
  if (gui) gui->ShowWindow("loading");
  if (vek::GetScript()) vek::GetScript()->LoadFile("{StaticPath}/conf/loading.lua");
  m_Done = 0.0f;
  m_bPending = true;
}

void cLoadingWidget::Deactivate() {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  if (gui) gui->HideWindow("loading");
  // The loading is over and its screen gone: its pictures and the memory that loading used
  // and freed go back.
  if (m_bFinished) {
    if (m_pOwner) m_pOwner->ReleaseLoadingPictures();
    plat::ReleaseFreeMemory();
  }
}

void cLoadingWidget::Update(vek::f32 /*seconds*/) {
  if (m_Queue.empty() && !g_pItemBeingLoaded) {
    if (m_bPending) {
      m_bPending = false;
      m_bFinished = true;
      if (m_pOwner) m_pOwner->OnLoadingComplete();
    }
    return;
  }
  if (m_pLabel && g_pItemBeingLoaded) {
    ++g_FrameCounter;
    if (g_FrameCounter % 6 != 0) return;
  }
  if (g_pItemBeingLoaded) {
    cLoadData* item = g_pItemBeingLoaded;
    item->Load();
    delete item;
    g_pItemBeingLoaded = nullptr;
    return;
  }
  g_pItemBeingLoaded = m_Queue.front();
  m_Queue.pop_front();
  if (auto* label = dynamic_cast<vek::cLabelCtrl*>(m_pLabel)) label->SetText(ShownPath(g_pItemBeingLoaded->GetFile()));
  if (auto* bar = dynamic_cast<vek::cProgressBarSysCtrl*>(m_pProgress)) bar->SetValue(m_Done / m_Total);
  m_Done += 1.0f;
}

void cLoadingWidget::Render() {
  cMiddle::ClearScreen(m_pOwner);
  if (vek::g_pRender) vek::g_pRender->SetColor(1.0f, 1.0f, 1.0f, 1.0f);
  vek::cWidget::Render();
}
