#include "engine/gui/gui.h"

#include <algorithm>

#include "engine/core/align.h"
#include "engine/core/log.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/cursor.h"
#include "engine/gui/gui_draw.h"
#include "engine/gui/gui_host.h"
#include "engine/gui/window.h"
#include "engine/render/render.h"
#include "platform/gfx.h"
#include "platform/window.h"

namespace vek {

namespace {

const char* const kSender = "cGUI";

bool SameCovers(const std::vector<cCover>& a, const std::vector<cCover>& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const cCover& x, const cCover& y) {
    return x.layer == y.layer && x.area.x == y.area.x && x.area.y == y.area.y && x.area.w == y.area.w &&
           x.area.h == y.area.h;
  });
}
// The caret blink timer, shared by the whole program.
f32 s_BlinkTimer = 0.0f;
iGuiHost* s_pGuiHost = nullptr;

}  // namespace

iGuiHost* GetGuiHost() { return s_pGuiHost; }

void SetGuiHost(iGuiHost* host) {
  s_pGuiHost = host;
  SetRenderHost(host);
}

cGUI::cGUI(f32 width, f32 height) : m_Width(width), m_Height(height) {
  // Window 0, the GUI's own root window, registers itself with id 0.
  new cWindow(this, nullptr);
  m_pCursor = new cCursor(this);
}

cGUI::~cGUI() {
  delete m_pCursor;
  m_pCursor = nullptr;
  m_Shown.clear();
  m_ActiveCount = 0;
  m_Queue.clear();
  for (size_t i = 0; i < m_Windows.size(); ++i) {
    if (m_Windows[i]) CallWindow(m_Windows[i], e_wndDestroy, 0, 0);
  }
  // Each window takes itself out of the table as it goes.
  for (size_t i = 0; i < m_Windows.size(); ++i) {
    cWindow* w = m_Windows[i];
    if (!w) continue;
    // Entries that point to a window listed before are the same window.
    bool seen = false;
    for (size_t j = 0; j < i; ++j) seen = seen || m_Windows[j] == w;
    if (!seen) delete w;
  }
  m_Windows.clear();
  for (cCtrl* c : std::vector<cCtrl*>(m_Orphans)) delete c;
  m_Orphans.clear();
  for (cWindowFunction* f : m_Functions) delete f;
  m_Functions.clear();
}

int cGUI::CallWindow(cWindow* window, u32 message, u32 p1, u32 p2) {
  if (!window) return 0;
  cWindowFunction* function = window->GetFunction();
  return function ? function->Call(window, message, p1, p2) : 0;
}

bool cGUI::IsShown(unsigned id) const {
  return std::find(m_Shown.begin(), m_Shown.end(), id) != m_Shown.end();
}

// ---------------------------------------------------------------------------------------------
// Drawing and the fixed step

void cGUI::Draw() {
  cRender* render = g_pRender;
  const bool drawCursor = m_ActiveCount != 0;
  m_bCursorDrawn = drawCursor;
  UpdateSystemCursor(drawCursor);
  gui_draw::Begin2D(m_Width, m_Height);
  if (render) {
    render->SetAlphaBlend(plat::gfx::blend::SrcAlpha, plat::gfx::blend::InvSrcAlpha);
    render->SetAlphaTest(plat::gfx::cmp::Greater, 0.05f);
  }
  // Each window hides what the windows below it draw where it covers the screen fully.
  CollectCovers(&m_DrawCovers);
  if (m_bCoversPrepared && !m_bCoversWarned && !SameCovers(m_Covers, m_DrawCovers)) {
    m_bCoversWarned = true;
    LogWarning(kSender, "Draw. The windows changed after the picture under them was drawn\n");
  }
  m_bCoversPrepared = false;
  gui_draw::SetCovers(m_DrawCovers, m_Width, m_Height);
  // A snapshot: a paint handler may show or close windows.
  const std::vector<unsigned> shown(m_Shown.begin(), m_Shown.end());
  i32 layer = 0;
  for (unsigned id : shown) {
    gui_draw::SetCoverLayer(layer++);
    if (IsShown(id)) CallWindow(GetWindowById(id), e_wndPaint, 0, 0);
  }
  gui_draw::ClearCovers();
  if (m_ActiveCount != 0 && m_pCursor) m_pCursor->Draw();
  if (render) {
    render->SetAlphaBlend(0, 0);
    render->SetAlphaTest(0, 0.0f);
  }
  gui_draw::End2D();
}

void cGUI::PrepareCovers() {
  CollectCovers(&m_Covers);
  m_bCoversPrepared = true;
  gui_draw::SetCovers(m_Covers, m_Width, m_Height);
}

void cGUI::CollectCovers(std::vector<cCover>* out) const {
  out->clear();
  i32 layer = 0;
  for (unsigned id : m_Shown) {
    const cWindow* window = GetWindowById(id);
    const cWindowFunction* function = window ? window->GetFunction() : nullptr;
    if (function && function->PaintsControlsAsTheyAre(window))
      for (unsigned c = 1; c < window->GetControlCount(); ++c) {
        const cCtrl* control = window->GetControl(c);
        rectf area;
        if (control && control->GetState(cCtrl::e_Visibility) && control->GetCover(&area)) out->push_back({area, layer});
      }
    ++layer;
  }
}

void cGUI::UpdateSystemCursor(bool guiCursorDrawn) {
  const iGuiHost* host = GetGuiHost();
  const bool active = !host || host->IsActive();
  const int state = (guiCursorDrawn ? 1 : 0) | (active ? 2 : 0);
  if (state == m_SystemCursorState) return;
  m_SystemCursorState = state;
  // Over an active game window the GUI cursor replaces the system one while it is drawn.
  plat::GetWindow().ShowSystemCursor(!(guiCursorDrawn && active));
}

void cGUI::RefreshSystemCursor(bool guiDrawn, bool force) {
  if (!guiDrawn) m_bCursorDrawn = false;
  if (force) m_SystemCursorState = -1;
  UpdateSystemCursor(m_bCursorDrawn);
}

void cGUI::Update(f32 seconds) {
  // Messages posted during delivery are delivered in the same loop.
  while (!m_Queue.empty()) {
    const cMessage m = m_Queue.front();
    m_Queue.pop_front();
    if (m.window < m_Windows.size()) CallWindow(m_Windows[m.window], m.message, m.p1, m.p2);
  }
  const u32 ms = static_cast<u32>(seconds * 1000.0f);
  for (auto it = m_Shown.rbegin(); it != m_Shown.rend(); ++it) PostMessage(*it, e_wndTimer, ms, 0);
  if (m_pCursor) m_pCursor->Update(seconds);
  s_BlinkTimer += seconds;
  if (s_BlinkTimer > 0.5f) {
    s_BlinkTimer = 0.0f;
    m_bCaretBlink = !m_bCaretBlink;
  }
}

// ---------------------------------------------------------------------------------------------
// The window table

unsigned cGUI::FindWindow(const vek::string& name) const {
  for (size_t i = 0; i < m_Windows.size(); ++i) {
    if (m_Windows[i] && m_Windows[i]->GetName() == name) return static_cast<unsigned>(i);
  }
  return 0;
}

cWindow* cGUI::GetWindowById(unsigned id) const { return id < m_Windows.size() ? m_Windows[id] : nullptr; }

cWindow* cGUI::GetWindow(const vek::string& name) const { return GetWindowById(FindWindow(name)); }

unsigned cGUI::AddWindow(cWindow* window) {
  if (!window) return 0;
  for (size_t i = 0; i < m_Windows.size(); ++i) {
    if (m_Windows[i] == window) return static_cast<unsigned>(i);
  }
  m_Windows.push_back(window);
  window->m_ID = static_cast<unsigned>(m_Windows.size() - 1);
  window->m_pGUI = this;
  CallWindow(window, e_wndCreate, 0, 0);
  return window->m_ID;
}

void cGUI::RemoveWindow(cWindow* window) {
  for (size_t i = 0; i < m_Windows.size(); ++i) {
    if (m_Windows[i] != window) continue;
    m_Windows[i] = nullptr;
    const unsigned id = static_cast<unsigned>(i);
    if (IsShown(id)) {
      m_Shown.remove(id);
      if (window->IsActive() && m_ActiveCount > 0) --m_ActiveCount;
    }
  }
}

int cGUI::ShowWindow(const vek::string& name) {
  const unsigned id = FindWindow(name);
  cWindow* window = GetWindowById(id);
  if (id == 0 && (!window || window->GetName() != name)) {
    LogWarning(kSender, "Window with name '%s' not found!\n", name);
    return 1;
  }
  if (id != 0 && window->IsModal()) {
    const std::vector<unsigned> below(m_Shown.rbegin(), m_Shown.rend());
    for (unsigned other : below) {
      cWindow* w = GetWindowById(other);
      CallWindow(w, e_wndDeactivate, 0, 0);
      if (w && w->IsModal()) break;
    }
  }
  if (!IsShown(id)) {
    m_Shown.push_back(id);
    if (window->IsActive()) ++m_ActiveCount;
  }
  ++m_WindowChanges;
  CallWindow(window, e_wndShow, 0, 0);
  CallWindow(window, e_wndActivate, 0, 0);
  return 0;
}

int cGUI::HideWindow(const vek::string& name) {
  const unsigned id = FindWindow(name);
  cWindow* window = GetWindowById(id);
  if (id == 0 && (!window || window->GetName() != name)) return 1;
  ++m_WindowChanges;
  CallWindow(window, e_wndHide, 0, 0);
  return 0;
}

bool cGUI::IsWindowShown(const vek::string& name) const {
  const unsigned id = FindWindow(name);
  const cWindow* window = GetWindowById(id);
  if (id == 0 && (!window || window->GetName() != name)) return false;
  return IsShown(id);
}

int cGUI::CloseWindow(unsigned id) {
  bool modalAbove = false;
  bool found = false;
  for (auto it = m_Shown.rbegin(); it != m_Shown.rend(); ++it) {
    if (*it == id) {
      found = true;
      break;
    }
    const cWindow* w = GetWindowById(*it);
    if (w && w->IsModal()) modalAbove = true;
  }
  if (!found) return 1;
  ++m_WindowChanges;
  cWindow* window = GetWindowById(id);
  CallWindow(window, e_wndDeactivate, 0, 0);
  if (window && window->IsModal() && !modalAbove) {
    std::vector<unsigned> below;
    bool past = false;
    for (auto it = m_Shown.rbegin(); it != m_Shown.rend(); ++it) {
      if (past) below.push_back(*it);
      if (*it == id) past = true;
    }
    for (unsigned other : below) {
      cWindow* w = GetWindowById(other);
      CallWindow(w, e_wndActivate, 0, 0);
      if (w && w->IsModal()) break;
    }
  }
  CallWindow(window, e_wndHideImmediately, 0, 0);
  // A handler above may have closed the window already.
  if (!IsShown(id)) return 0;
  if (window && window->IsActive() && m_ActiveCount > 0) --m_ActiveCount;
  m_Shown.remove(id);
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Messages

int cGUI::SendMessage(unsigned id, u32 message, u32 p1, u32 p2) {
  return CallWindow(GetWindowById(id), message, p1, p2);
}

int cGUI::PostMessage(unsigned id, u32 message, u32 p1, u32 p2) {
  m_Queue.push_back(cMessage{message, id, p1, p2});
  return 0;
}

// ---------------------------------------------------------------------------------------------
// Input routing

bool cGUI::Route(u32 message, u32 p1, u32 p2) {
  // A snapshot: a handler may show or close windows; closed ones are skipped.
  const std::vector<unsigned> stack(m_Shown.rbegin(), m_Shown.rend());
  // A mouse move is no action: it goes on to the windows below whatever it caused.
  const bool press = message != e_wndMouseMove;
  for (unsigned id : stack) {
    if (!IsShown(id)) continue;
    cWindow* w = GetWindowById(id);
    if (!w) continue;
    const unsigned changes = m_WindowChanges;
    if (w->IsActive() && w->GetFunction() && CallWindow(w, message, p1, p2) == 1) return true;
    if (press && m_WindowChanges != changes) return true;
    // A modal window ends the walk and takes the event, active or not.
    if (w->IsModal()) return true;
  }
  return false;
}

bool cGUI::OnKeyDown(u32 key) { return Route(e_wndKeyDown, key, 0); }
bool cGUI::OnKeyUp(u32 key) { return Route(e_wndKeyUp, key, 0); }
bool cGUI::OnChar(u32 character) { return Route(e_wndChar, character, 0); }

bool cGUI::OnMouseMove(i32 cx, i32 cy) {
  i32 x = 0, y = 0;
  if (!m_Shown.empty() || m_ActiveCount != 0) {
    ClientToGUI(cx, cy, &x, &y);
    if (m_ActiveCount != 0 && m_pCursor) m_pCursor->SetPos(static_cast<f32>(x), static_cast<f32>(y));
  }
  return Route(e_wndMouseMove, 0, PackPosition(x, y));
}

bool cGUI::OnMouseButton(bool released, i32 button, i32 cx, i32 cy) {
  u32 code = 0;
  if (button == 0) code = released ? e_wndLButtonUp : e_wndLButtonDown;
  if (button == 1) code = released ? e_wndRButtonUp : e_wndRButtonDown;
  i32 x = 0, y = 0;
  ClientToGUI(cx, cy, &x, &y);
  return Route(code, 0, PackPosition(x, y));
}

void cGUI::ClientToGUI(i32 cx, i32 cy, i32* x, i32* y) const {
  const i32 w = static_cast<i32>(m_Width);
  const i32 h = static_cast<i32>(m_Height);
  // Before the first resize the client area is unknown: the GUI size stands in for it.
  const i32 cw = m_Screen.w > 0 ? m_Screen.w : (w > 0 ? w : 1);
  const i32 ch = m_Screen.h > 0 ? m_Screen.h : (h > 0 ? h : 1);
  if (x) *x = static_cast<i32>(static_cast<i64>(w) * cx / cw);
  if (y) *y = h - static_cast<i32>(static_cast<i64>(h) * cy / ch);
}

// ---------------------------------------------------------------------------------------------
// Script-made objects without a window

void cGUI::AdoptOrphan(cCtrl* control) {
  if (control && std::find(m_Orphans.begin(), m_Orphans.end(), control) == m_Orphans.end())
    m_Orphans.push_back(control);
}

bool cGUI::ReleaseOrphan(cCtrl* control) {
  auto it = std::find(m_Orphans.begin(), m_Orphans.end(), control);
  if (it == m_Orphans.end()) return false;
  m_Orphans.erase(it);
  return true;
}

void cGUI::AdoptFunction(cWindowFunction* function) {
  if (function && std::find(m_Functions.begin(), m_Functions.end(), function) == m_Functions.end())
    m_Functions.push_back(function);
}

bool cGUI::ReleaseFunction(cWindowFunction* function) {
  auto it = std::find(m_Functions.begin(), m_Functions.end(), function);
  if (it == m_Functions.end()) return false;
  m_Functions.erase(it);
  return true;
}

bool cGUI::IsFunctionOwned(const cWindowFunction* function, const cWindow* except) const {
  for (const cWindow* w : m_Windows) {
    if (w && w != except && w->GetFunction() == function) return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------

void DumpGUI() {
  cGUI* gui = GetGuiHost() ? GetGuiHost()->GetGUI() : nullptr;
  if (!gui) return;
  const char* const rule = "  +----+--------------------------+----+---+---+---+----------\n";
  LogPlain("GUI.\n");
  LogPlain(rule);
  LogPlain("  |  N |                     name | id | M | A | V | controls \n");
  LogPlain(rule);
  int rows = 0;
  const cWindow* root = gui->GetWindowById(0);
  for (unsigned i = 0; i < gui->GetWindowCount(); ++i) {
    const cWindow* w = gui->GetWindowById(i);
    if (!w || (i > 0 && w == root)) continue;
    vek::string line = Formatted("  | %2i | %24s | %2i | %i | %i | %s | ", static_cast<int>(i), w->GetName(),
                                 static_cast<int>(w->GetID()), w->IsModal() ? 1 : 0, w->IsActive() ? 1 : 0,
                                 gui->IsShown(i) ? "+" : " ");
    for (unsigned c = 0; c < w->GetControlCount(); ++c) {
      if (const cCtrl* ctrl = w->GetControl(c)) AppendFormat(line, "%s(%s), ", ctrl->GetClassName(), ctrl->GetName());
    }
    line += "\n";
    // The row is text already: printed as it stands.
    LogPlain("%s", line);
    ++rows;
  }
  LogPlain(rule);
  LogPlain("   Total Count: %i, Visible Count: %i.\n", rows, static_cast<int>(gui->GetShownList().size()));
}

void AlignRect(const rectf& outer, rectf& inner, int flags) {
  f32 dx = 0.0f, dy = 0.0f;
  if (flags & cAlign::Right) {
    dx = outer.w - inner.w;
  } else if (flags & cAlign::Center) {
    dx = (outer.w - inner.w) / 2.0f;
  }
  if (flags & cAlign::Top) {
    dy = outer.h - inner.h;
  } else if (flags & cAlign::Middle) {
    dy = (outer.h - inner.h) / 2.0f;
  }
  inner.x = outer.x + dx;
  inner.y = outer.y + dy;
}

}  // namespace vek
