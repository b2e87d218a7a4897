// The game window, display modes, gamma and the information dumps.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/gui.h"
#include "engine/net/system_info.h"
#include "engine/render/buffer_manager.h"
#include "engine/render/render.h"
#include "engine/render/texture_manager.h"
#include "engine/sound/sound_manager.h"
#include "platform/window.h"

namespace vek {
namespace {
const char* const kSender = "cGame";
}

bool cGame::CreateWindow(bool windowed, u32 width, u32 height) {
  LogText(kSender, "CreateWindow Started...\n");
  m_bWindowed = windowed;
  plat::Window& window = plat::GetWindow();
  if (!m_bClassRegistered ||
      !window.Open(m_Settings.title, windowed, static_cast<int>(width), static_cast<int>(height))) {
    LogError(kSender, "CreateWindowEx failed!\n");
    return false;
  }
  LogText(kSender, "CreateWindowEx... Ok\n");
  if (windowed) {
    RestoreDisplaySettings();
    ResizeWindow(width, height);
  }
  LogText(kSender, "Resizing and Updating Window... Ok\n");

  // The render device, with the mode in use's colour depth and the settings' depth-buffer
  // flags (low byte depth, second byte stencil), multisample and reserved (vertical retrace)
  // values; then the textures' device objects and the GUI's client rectangle follow.
  if (g_pRender) {
    cRender::cSettings rs;
    rs.colorDepth = m_CurrentMode.bpp;
    rs.depthBuffer = (m_Settings.depthBufferFlags & 0xFF) != 0;
    rs.stencil = ((m_Settings.depthBufferFlags >> 8) & 0xFF) != 0;
    rs.antiAlias = m_Settings.multisample;
    rs.waitVSync = (m_Settings.renderReserved & 0xFF) != 0;
    if (g_pRender->Init(rs) != 0) {
      if (g_pTextureManager) g_pTextureManager->DeleteContexts();
      g_pRender->Free();
      return false;
    }
  }
  if (g_pTextureManager) g_pTextureManager->CreateContexts();
  if (m_pGUI && g_pRender) {
    const i32* vp = g_pRender->GetViewport();
    m_pGUI->SetScreenRect(vp[0], vp[1], vp[2], vp[3]);
  }
  LogText(kSender, "Resizing GUI... Ok\n");
  return true;
}

void cGame::DestroyWindow(bool final) {
  plat::Window& window = plat::GetWindow();
  // The textures' device objects and the render device go first.
  if (g_pTextureManager) {
    if (final)
      g_pTextureManager->ReleaseContexts();
    else
      g_pTextureManager->DeleteContexts();
  }
  if (g_pRender) g_pRender->Free();
  window.Close();
  LogText(kSender, "DestroyWindow... Ok\n");
  // Nothing waiting (a quit posted for the old window among it) survives a re-creation.
  window.DiscardPending();
  LogText(kSender, "Clear message's queue... Ok\n");
}

void cGame::ResizeWindow(u32 width, u32 height) {
  plat::GetWindow().Resize(static_cast<int>(width), static_cast<int>(height));
}

void cGame::GetClientSize(int* width, int* height) const {
  int w = 0, h = 0;
  plat::GetWindow().ClientSize(w, h);
  if (w == 0 || h == 0) {
    // Fall back to the picture size the renderer was made with.
    w = static_cast<int>(m_Settings.width);
    h = static_cast<int>(m_Settings.height);
  }
  if (width) *width = w;
  if (height) *height = h;
}

void cGame::RestoreDisplaySettings() {
  LogText(kSender, "Restore display settings\n");
  m_CurrentMode = m_DesktopMode;
}

void SortDisplayModes(std::vector<DisplayModeRecord>& modes) {
  std::stable_sort(modes.begin(), modes.end(),
                   [](const DisplayModeRecord& a, const DisplayModeRecord& b) {
                     if (a.width != b.width) return a.width < b.width;
                     if (a.height != b.height) return a.height < b.height;
                     if (a.bpp != b.bpp) return a.bpp < b.bpp;
                     return a.refresh < b.refresh;
                   });
}

bool cGame::EnumGraphicsModes() {
  plat::Window& window = plat::GetWindow();
  for (const plat::DisplayMode& m : window.Modes()) {
    if (window.TestMode(m)) m_Modes.push_back(DisplayModeRecord{m.width, m.height, m.bpp, m.refresh});
  }
  SortDisplayModes(m_Modes);
  return true;
}

void cGame::DumpResolutions() const {
  LogPlain("Resolutions:\n");
  int n = 1;
  for (const DisplayModeRecord& m : m_Modes) {
    LogPlain("  %3i) %4ix%4i, %2i - %3i\n", n++, static_cast<int>(m.width),
             static_cast<int>(m.height), static_cast<int>(m.bpp), static_cast<int>(m.refresh));
  }
}

void BuildGammaRamp(f32 gamma, u16 ramp[768]) {
  for (int i = 0; i < 256; ++i) {
    double v = 65536.0 * std::pow(i / 256.0, static_cast<double>(gamma));
    if (!(v >= 0.0)) v = 0.0;  // negative, or not a number
    if (v >= 65535.0) v = 65535.0;
    const u16 value = static_cast<u16>(v);
    ramp[i] = ramp[256 + i] = ramp[512 + i] = value;
  }
}

f32 EstimateGamma(const u16 ramp[768]) {
  double total = 0.0;
  for (int c = 0; c < 3; ++c) {
    double sum = 0.0;
    int count = 0;
    for (int i = 0; i < 256; ++i) {
      const u16 v = ramp[c * 256 + i];
      if (v == 0) continue;
      // Entry 0 divides by ln(0) = -infinity and so adds nothing, but still counts.
      sum += std::log(v / 65536.0) / std::log(i / 256.0);
      ++count;
    }
    total += count > 0 ? sum / count : 1.0;
  }
  return static_cast<f32>(total / 3.0);
}

f32 cGame::GetGamma() {
  u16 ramp[768];
  if (!plat::GetWindow().GetGammaRamp(ramp)) {
    LogWarning(kSender, "GetDeviceGammaRamp failed, return standard value\n");
    return 1.0f;
  }
  return EstimateGamma(ramp);
}

void cGame::SetGamma(f32 gamma) {
  u16 ramp[768];
  BuildGammaRamp(gamma, ramp);
  plat::GetWindow().SetGammaRamp(ramp);
}

void cGame::SetWindowTitle(const vek::string& title) {
  m_Settings.title = title;
  plat::GetWindow().SetTitle(title);
}

bool DisplayNeedsRecreate(bool windowed, u32 width, u32 height, i32 bpp, bool curWindowed,
                          int clientW, int clientH, u32 modeBpp) {
  const bool sameDepth = bpp == 0 || static_cast<u32>(bpp) == modeBpp;
  const bool sameSize = clientW == static_cast<int>(width) && clientH == static_cast<int>(height);
  return !(sameDepth && windowed == curWindowed && sameSize);
}

bool Display(bool windowed, u32 width, u32 height, i32 bpp) {
  if (!g_pGame) return true;
  int w = 0, h = 0;
  g_pGame->GetClientSize(&w, &h);
  if (DisplayNeedsRecreate(windowed, width, height, bpp, g_pGame->IsWindowed(), w, h,
                           g_pGame->GetCurrentMode().bpp)) {
    // Re-making the window and every texture takes a moment on a software renderer, and the
    // window manager has its say: the wait pointer shows meanwhile.
    plat::Window& window = plat::GetWindow();
    window.ShowBusyCursor(true);
    g_pGame->DestroyWindow();
    g_pGame->CreateWindow(windowed, width, height);
    window.ShowBusyCursor(false);
  }
  return true;
}

namespace {
const char* const kDashes =
    "-------------------------------------------------------------------------------\n";

bool Wants(const char* sections, const char* keyword) {
  return sections[0] == '\0' || std::strstr(sections, keyword) != nullptr;
}
}  // namespace

void DumpSystemInformation(const char* sections) {
  if (!sections) return;
  LogPlain("-----------------------------  System Information  ----------------------------\n");
  if (Wants(sections, "cpu")) DumpCpuInformation();
  if (Wants(sections, "os")) DumpOsInformation();
  if (Wants(sections, "video")) DumpVideoInformation();
  if (Wants(sections, "res") && g_pGame) g_pGame->DumpResolutions();
  if (Wants(sections, "sound")) cSoundManager::DumpConfig();
  if (Wants(sections, "render") && g_pRender) g_pRender->DumpCaps();
  LogPlain(kDashes);
}

void DumpEngineInformation(const char* sections) {
  if (!sections) return;
  LogPlain("-----------------------------  Engine Information  ----------------------------\n");
  if (Wants(sections, "vbo") && g_pBufferManager) g_pBufferManager->Dump();
  if (Wants(sections, "texture")) DumpTextures();
  if (Wants(sections, "gui")) DumpGUI();
  if (cSoundManager* sound = GetSound()) {
    if (sections[0] == '\0') sound->Dump(0);
    if (std::strstr(sections, "sound")) sound->Dump(1);
    if (std::strstr(sections, "music")) sound->Dump(2);
    if (std::strstr(sections, "stream")) sound->Dump(3);
  }
  LogPlain(kDashes);
}

}  // namespace vek
