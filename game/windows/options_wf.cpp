#include "game/windows/options_wf.h"

#include "engine/app/game.h"
#include "engine/sound/sound_manager.h"
#include "engine/gui/check_box_sys_ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/list_sys_ctrl.h"
#include "engine/gui/slider_ctrl.h"
#include "game/app/window_host.h"
#include "platform/audio.h"

using vek::f32;
using vek::u32;

const cOptionsWF::cMode cOptionsWF::kModes[5] = {
    {"800x600", 800, 600},     {"1024x768", 1024, 768},   {"1152x720", 1152, 720},
    {"1280x720", 1280, 720},   {"1280x1024", 1280, 1024},
};

namespace {

void ClientSize(int* w, int* h) {
  *w = *h = 0;
  if (vek::g_pGame) vek::g_pGame->GetClientSize(w, h);
}

bool IsPlaying(const vek::cSound& sound) {
  return sound.GetChannel() != 0 &&
         plat::audio::ChannelIsActive(sound.GetChannel()) == plat::audio::State::Playing;
}

}  // namespace

void cOptionsWF::SelectItemByData(vek::cWindow* window, u32 value) {
  if (!window || !m_pResolution) return;
  for (unsigned i = 0; i < m_pResolution->GetItemCount(); ++i)
    m_pResolution->SelectItem(i, m_pResolution->GetItemData(i) == value, false);
}

void cOptionsWF::RequestSwitch(bool windowed, u32 width, u32 height) {
  m_Switch = cSwitch{cSwitch::e_Pending, 0, windowed, width, height};
}

void cOptionsWF::AdvanceSwitch() {
  if (m_Switch.state == cSwitch::e_None || ++m_Switch.timers < 2) return;
  if (m_Switch.state == cSwitch::e_Pending)
    SwitchNow();
  else
    m_Switch.state = cSwitch::e_None;
}

void cOptionsWF::SwitchNow() {
  vek::Display(m_Switch.windowed, m_Switch.width, m_Switch.height, 0);
  m_Switch.state = cSwitch::e_Settling;
  m_Switch.timers = 0;
  if (m_pWindowed && vek::g_pGame) m_pWindowed->SetCheck(vek::g_pGame->IsWindowed());
}

void cOptionsWF::ShowMode(vek::cWindow* window) {
  if (m_Switch.state == cSwitch::e_Pending) {
    if (m_pWindowed) m_pWindowed->SetCheck(m_Switch.windowed);
    SelectItemByData(window, m_Switch.width * m_Switch.height);
    return;
  }
  int w = 0, h = 0;
  ClientSize(&w, &h);
  SelectItemByData(window, static_cast<u32>(w * h));
  if (m_pWindowed && vek::g_pGame) m_pWindowed->SetCheck(vek::g_pGame->IsWindowed());
}

int cOptionsWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  // A display switch goes on while the window fades out; a window gone at once makes it now.
  if (message == vek::e_wndTimer)
    AdvanceSwitch();
  else if (message == vek::e_wndHideImmediately && m_Switch.state == cSwitch::e_Pending)
    SwitchNow();
  if (!IsReady()) return HandleMessage(window, message, p1, p2);
  cWindowHost* host = GetWindowHost();
  vek::cSoundManager* sound = vek::GetSound();
  switch (message) {
    case vek::e_wndAfterCreate:
      m_pResolution = GetControlAs<vek::cListSysCtrl>(window, "lstResolution");
      m_pGamma = GetControlAs<vek::cSliderCtrl>(window, "slGamma");
      m_pSound = GetControlAs<vek::cSliderCtrl>(window, "slSound");
      m_pMusic = GetControlAs<vek::cSliderCtrl>(window, "slMusic");
      m_pMouseSpeed = GetControlAs<vek::cSliderCtrl>(window, "slMouseSpeed");
      m_pWindowed = GetControlAs<vek::cCheckBoxSysCtrl>(window, "cbWindowed");
      if (!m_pSound || !m_pMusic) return ReportError(window, "one or more controls not found");
      if (m_pResolution) {
        for (unsigned i = 0; i < 5; ++i) m_pResolution->InsertItem(i, kModes[i].text, kModes[i].width * kModes[i].height);
      }
      if (!m_pTestSound) m_pTestSound = std::make_unique<vek::cSound>("typing");
      break;
    case vek::e_wndShow: {
      ShowMode(window);
      if (m_pGamma && vek::g_pGame) m_pGamma->SetValue(4.0f - vek::g_pGame->GetGamma());
      if (sound) {
        m_pSound->SetValue(sound->GetVolume(1));
        m_pMusic->SetValue(sound->GetVolume(2));
      }
      if (m_pMouseSpeed && host) m_pMouseSpeed->SetValue(host->mouseSpeed);
      break;
    }
    case vek::e_ntfSliderValue:
      if (m_pGamma && p2 == m_pGamma->GetID() && vek::g_pGame) {
        vek::g_pGame->SetGamma(4.0f - m_pGamma->GetValue());
      } else if (p2 == m_pSound->GetID()) {
        if (m_pTestSound && !IsPlaying(*m_pTestSound)) m_pTestSound->Play(false);
        if (sound) sound->SetVolume(1, m_pSound->GetValue());
      } else if (p2 == m_pMusic->GetID()) {
        if (sound) sound->SetVolume(2, m_pMusic->GetValue());
      } else if (m_pMouseSpeed && p2 == m_pMouseSpeed->GetID() && host) {
        host->mouseSpeed = m_pMouseSpeed->GetValue();
      }
      break;
    case vek::e_ntfListChoose:
      if (m_pResolution && p2 == m_pResolution->GetID() && m_pResolution->IsSelectedItem(p1)) {
        if (SwitchUnderWay()) {
          ShowMode(window);  // one switch at a time
          break;
        }
        const bool windowed = m_pWindowed && m_pWindowed->IsChecked();
        int w = 0, h = 0;
        ClientSize(&w, &h);
        const u32 data = m_pResolution->GetItemData(p1);
        if (data != static_cast<u32>(w * h)) {
          for (const cMode& mode : kModes)
            if (mode.width * mode.height == data) RequestSwitch(windowed, mode.width, mode.height);
        }
      }
      break;
    case vek::e_ntfCheckToggle:
      if (m_pWindowed && p2 == m_pWindowed->GetID()) {
        if (SwitchUnderWay()) {
          ShowMode(window);  // one switch at a time: a second click does not undo the first
          break;
        }
        int w = 0, h = 0;
        ClientSize(&w, &h);
        RequestSwitch(p1 == 1, static_cast<u32>(w), static_cast<u32>(h));
      }
      break;
    case vek::e_ntfButtonClick:
      if (IsControl(window, p2, "btBack") && host) {
        if (host->GetWindowMode() == 1)
          host->SwitchWindow("main", 1);
        else if (host->GetWindowMode() == 2)
          host->SwitchWindow("escape", 2);
      }
      break;
    case vek::e_wndKeyDown:
      if (p1 == kKeyEscape) NotifyControl(window, "btBack");
      break;
    case vek::e_wndDestroy:
      m_pTestSound.reset();
      break;
    default:
      break;
  }
  return HandleMessage(window, message, p1, p2);
}

int cOptionsGDWF::Call(vek::cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!IsReady()) return cOptionsWF::Call(window, message, p1, p2);
  cWindowHost* host = GetWindowHost();
  switch (message) {
    case vek::e_wndAfterCreate:
      m_pHints = GetControlAs<vek::cCheckBoxSysCtrl>(window, "cbHints");
      break;
    case vek::e_wndShow:
      if (m_pHints && host) m_pHints->SetCheck(host->GetHintsEnabled() != 0);
      break;
    case vek::e_wndHide:
      if (host && host->GetHintsEnabled() == 0) host->CloseHint();
      break;
    case vek::e_ntfCheckToggle:
      if (m_pHints && p2 == m_pHints->GetID() && host) host->SetHintsEnabled(static_cast<vek::i32>(p1));
      // A desktop smaller than the game's screen cannot hold a window: only the switch to
      // windowed is refused (a click during a switch is ignored below).
      if (m_pWindowed && p2 == m_pWindowed->GetID() && vek::g_bSmallDesktop && p1 == 1 && !SwitchUnderWay()) {
        if (host) ShowMessageBox(0, 0, host->GetText("ErrorWindowMode"), "");
        m_pWindowed->SetCheck(false);
        return 0;
      }
      break;
    default:
      break;
  }
  return cOptionsWF::Call(window, message, p1, p2);
}
