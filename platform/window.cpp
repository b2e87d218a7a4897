#include "platform/window.h"

#include <algorithm>
#include <cstring>

#include "platform/os.h"

namespace plat {

std::unique_ptr<Window> CreateSdlWindow();

namespace {
std::unique_ptr<Window>& Active() {
  static std::unique_ptr<Window> window;
  return window;
}
}  // namespace

Window& GetWindow() {
  auto& w = Active();
  if (!w) w = CreateSdlWindow();
  return *w;
}

void SetWindow(std::unique_ptr<Window> window) { Active() = std::move(window); }

bool Window::Peek(Message& msg) {
  Pump();
  if (TakeShowRequest()) Raise();
  if (TerminationRequested()) {
    ClearTerminationRequest();
    m_Posted.push_back(Message{MsgKind::Close, 0, 0, 0});
  }
  if (!m_Posted.empty()) {
    msg = m_Posted.front();
    m_Posted.pop_front();
    return true;
  }
  if (m_QuitPosted) {
    m_QuitPosted = false;
    msg = Message{MsgKind::Quit, static_cast<std::uint32_t>(m_QuitCode), 0, 0};
    return true;
  }
  if (!m_Timers.empty()) {
    Os& os = GetOs();
    const std::int64_t now = os.Counter();
    for (Timer& t : m_Timers) {
      if (now >= t.due) {
        const std::int64_t period = os.Frequency() * t.periodMs / 1000;
        t.due = now + std::max<std::int64_t>(period, 1);
        msg = Message{MsgKind::Timer, t.id, 0, 0};
        return true;
      }
    }
  }
  return false;
}

int Window::RefreshRate() {
  DisplayMode mode;
  return DesktopMode(mode) ? static_cast<int>(mode.refresh) : 0;
}

void Window::PaceFrame() {
  if (!m_Pacing) return;
  Os& os = GetOs();
  int hz = RefreshRate();
  if (hz <= 0) hz = 60;
  const std::int64_t period = os.Frequency() / hz;
  const std::int64_t now = os.Counter();
  // Measured from the end of the previous paced frame, not from an ideal cadence, so that a
  // late frame is not followed by a hurried one and vertical sync is never fought.
  if (m_Paced && now >= m_LastPaced && now - m_LastPaced < period) os.SleepUntil(m_LastPaced + period);
  m_LastPaced = os.Counter();
  m_Paced = true;
}

void Window::PostQuit(int code) {
  m_QuitPosted = true;
  m_QuitCode = code;
}

void Window::DiscardPending() {
  m_Posted.clear();
  m_QuitPosted = false;
}

void Window::SetTimer(std::uint32_t id, std::uint32_t periodMs) {
  KillTimer(id);
  Os& os = GetOs();
  m_Timers.push_back(Timer{id, periodMs, os.Counter() + os.Frequency() * periodMs / 1000});
}

void Window::KillTimer(std::uint32_t id) {
  m_Timers.erase(std::remove_if(m_Timers.begin(), m_Timers.end(),
                                [id](const Timer& t) { return t.id == id; }),
                 m_Timers.end());
}

// ---- scripted back end ----

bool ScriptedWindow::Open(const std::string& t, bool w, int width, int height) {
  ++opens;
  if (busyShown) ++busyOpens;
  if (openFails) return false;
  title = t;
  windowed = w;
  clientW = width;
  clientH = height;
  open = true;
  return true;
}

bool ScriptedWindow::ClientSize(int& w, int& h) {
  if (!open) return false;
  w = clientW;
  h = clientH;
  return true;
}

bool ScriptedWindow::CursorPos(int& x, int& y) {
  if (!cursorKnown) return false;
  x = cursorX;
  y = cursorY;
  return true;
}

void ScriptedWindow::Pump() {
  while (!script.empty()) {
    m_Posted.push_back(script.front());
    script.pop_front();
  }
}

void ScriptedWindow::Wait() { Pump(); }

bool ScriptedWindow::GetGammaRamp(std::uint16_t r[768]) {
  if (gammaFails) return false;
  std::memcpy(r, ramp, sizeof ramp);
  return true;
}

bool ScriptedWindow::SetGammaRamp(const std::uint16_t r[768]) {
  if (gammaFails) return false;
  std::memcpy(ramp, r, sizeof ramp);
  return true;
}

}  // namespace plat
