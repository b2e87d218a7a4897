#include "game/windows/controls/button_ctrl.h"

#include <cmath>
#include <sstream>

#include "engine/core/align.h"
#include "engine/core/color.h"
#include "engine/files/data_manager.h"
#include "engine/core/log.h"
#include "engine/gui/gui.h"
#include "engine/gui/gui_draw.h"
#include "engine/render/texture.h"
#include "engine/render/texture_manager.h"
#include "game/app/window_host.h"
#include "game/windows/controls/control_sound.h"
#include "platform/shell.h"

using vek::f32;
using vek::u32;

namespace {

// Every game control hands the pointer's entering and leaving on to its window and passes
// only typed characters on.
bool CommonEvent(vek::cCtrl& control, u32 code, u32 p1, u32 p2) { return control.vek::cCtrl::OnEvent(code, p1, p2); }

}  // namespace

// ---- cButtonCtrl ----

cButtonCtrl::cButtonCtrl(const vek::string& name, vek::cWindow* window)
    : vek::cCtrl(name, window),
      m_Label("", nullptr),
      m_Normal("", nullptr),
      m_Pressed("", nullptr),
      m_Hover("", nullptr),
      m_Disabled("", nullptr) {
  m_Label.SetAlign(vek::cAlign::Center | vek::cAlign::Middle);
}

const vek::cFrameCtrl& cButtonCtrl::GetFrame(int index) const {
  switch (index) {
    case 1:
      return m_Pressed;
    case 2:
      return m_Hover;
    case 3:
      return m_Disabled;
    default:
      return m_Normal;
  }
}

void cButtonCtrl::Draw() {
  if (GetState(e_Disabled))
    m_Disabled.Draw();
  else if (m_State <= e_Hover)
    const_cast<vek::cFrameCtrl&>(GetFrame(static_cast<int>(m_State))).Draw();
  if (!m_Label.GetText().empty()) m_Label.Draw();
}

bool cButtonCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  switch (code) {
    case e_evLButtonDown:
      m_State = e_Pressed;
      PlayControlSound("click");
      break;
    case e_evLButtonUp:
      if (m_State == e_Pressed) {
        PostNotify(vek::e_ntfButtonClick, 0);
        m_State = e_Hover;
        PlayControlSound("mouse_in");
      }
      break;
    case e_evMouseEnter:
      m_State = e_Hover;
      PlayControlSound("mouse_in");
      break;
    case e_evMouseLeave:
      m_State = e_Normal;
      break;
    default:
      break;
  }
  return CommonEvent(*this, code, p1, p2);
}

void cButtonCtrl::UpdateLayout() {
  const vek::rectf r = m_Normal.GetRect();
  const vek::rectf border = m_Normal.GetBorder();
  m_Label.SetSize(r.w, r.h, 0);
  m_Label.SetPos(r.x, r.y, 0);
  vek::cFrameCtrl* others[] = {&m_Pressed, &m_Hover, &m_Disabled};
  for (int i = 0; i < 3; ++i) {
    others[i]->SetPos(r.x, r.y, 0);
    others[i]->SetSize(r.w, r.h, 0);
    others[i]->SetSize(border.x, border.y, e_frmBorder);
    others[i]->SetUVPos(m_U, m_V - static_cast<f32>(i + 1) * m_CellH, 0);
  }
}

void cButtonCtrl::SetPos(f32 x, f32 y, int flags) {
  m_Normal.SetPos(x, y, flags);
  UpdateLayout();
}

void cButtonCtrl::MoveBy(f32 dx, f32 dy, int flags) {
  m_Normal.MoveBy(dx, dy, flags);
  UpdateLayout();
}

void cButtonCtrl::SetSize(f32 w, f32 h, int flags) {
  m_Normal.SetSize(w, h, flags);
  UpdateLayout();
}

void cButtonCtrl::SetUVPos(f32 u, f32 v, int flags) {
  m_U = u;
  m_V = v;
  m_Normal.SetUVPos(u, v, flags);
  UpdateLayout();
}

void cButtonCtrl::SetUVSize(f32 du, f32 dv, int flags) {
  if (flags & e_btnNormal) {
    m_CellW = du;
    m_CellH = dv;
  }
  for (vek::cFrameCtrl* f : {&m_Normal, &m_Pressed, &m_Hover, &m_Disabled}) f->SetUVSize(du, dv, flags);
  UpdateLayout();
}

void cButtonCtrl::SetTexture(const vek::string& name, int /*flags*/) {
  for (vek::cFrameCtrl* f : {&m_Normal, &m_Pressed, &m_Hover, &m_Disabled}) f->SetTexture(name);
}

// ---- cTabButtonCtrl ----

bool cTabButtonCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  switch (code) {
    case e_evLButtonDown:
      if (!IsSelected()) {
        SetSelected(true);
        PostNotify(vek::e_ntfCheckToggle, 1);
      }
      break;
    case e_evMouseEnter:
      if (!IsSelected()) m_State = e_Hover;
      break;
    case e_evMouseLeave:
      if (!IsSelected()) m_State = e_Normal;
      break;
    default:
      break;
  }
  return CommonEvent(*this, code, p1, p2);
}

// ---- cButtonLogoCtrl ----

cButtonLogoCtrl::cButtonLogoCtrl(const vek::string& name, vek::cWindow* window)
    : vek::cCtrl(name, window), m_Inactive("", nullptr), m_Active("", nullptr) {
  const u32 inactive = vek::gui_draw::FindTexture("logo_na");
  const u32 active = vek::gui_draw::FindTexture("logo_a");
  vek::cTextureManager* textures = vek::g_pTextureManager;
  if (inactive == 0 || active == 0 || !textures) {
    DisableState(e_Visibility);
    EnableState(e_Disabled);
    return;
  }
  auto size = [&](u32 index, vek::cImageCtrl& image, const char* texture) {
    const vek::cTexture* t = textures->Get(index);
    if (t) image.SetSize(static_cast<f32>(t->GetWidth()), static_cast<f32>(t->GetHeight()), 0);
    image.SetTexture(texture);
  };
  size(inactive, m_Inactive, "logo_na");
  size(active, m_Active, "logo_a");
}

void cButtonLogoCtrl::Draw() {
  if (m_bHover)
    m_Active.Draw();
  else
    m_Inactive.Draw();
}

bool cButtonLogoCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  switch (code) {
    case e_evLButtonDown:
      OpenShortcutFile("{ExePath}/website.url");
      break;
    case e_evMouseEnter:
      m_bHover = true;
      break;
    case e_evMouseLeave:
      m_bHover = false;
      break;
    default:
      break;
  }
  return CommonEvent(*this, code, p1, p2);
}

void cButtonLogoCtrl::UpdateLayout() {
  const vek::rectf r = m_Inactive.GetRect();
  m_Active.SetPos(r.x, r.y, 0);
  m_Active.SetSize(r.w, r.h, 0);
}

void cButtonLogoCtrl::SetPos(f32 x, f32 y, int flags) {
  m_Inactive.SetPos(x, y, flags);
  UpdateLayout();
}

void cButtonLogoCtrl::MoveBy(f32 dx, f32 dy, int flags) {
  m_Inactive.MoveBy(dx, dy, flags);
  UpdateLayout();
}

void cButtonLogoCtrl::SetSize(f32 /*w*/, f32 /*h*/, int /*flags*/) { UpdateLayout(); }

// ---- cAnimatedColor ----

void cAnimatedColor::SetTarget(const f32 (&color)[4]) {
  f32 distance = 0.0f;
  for (int i = 0; i < 4; ++i) {
    from[i] = current[i];
    to[i] = color[i];
    distance += (to[i] - from[i]) * (to[i] - from[i]);
  }
  duration = std::sqrt(distance) / speed;
  elapsed = 0.0f;
  if (duration < 1.1920929e-7f) {
    elapsed = duration = 0.0f;
    for (int i = 0; i < 4; ++i) current[i] = to[i];
  }
}

int cAnimatedColor::Update(f32 dt) {
  if (elapsed == duration) return 0;
  elapsed += dt;
  if (elapsed >= duration) {
    elapsed = duration;
    for (int i = 0; i < 4; ++i) current[i] = to[i];
    return 2;
  }
  const f32 t = elapsed / duration;
  for (int i = 0; i < 4; ++i) current[i] = from[i] + (to[i] - from[i]) * t;
  return 1;
}

// ---- cLinkCtrl ----

cLinkCtrl::cLinkCtrl(const vek::string& name, vek::cWindow* window) : vek::cLabelCtrl(name, window) {
  m_Align = 33;
  m_Color = 0xFFFFFFFFu;
}

bool cLinkCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  switch (code) {
    case e_evTimer:
      m_Tween.Update(vek::cGUI::ParamToTime(p1));
      m_Color = vek::ColorFromFloats(m_Tween.current[0], m_Tween.current[1], m_Tween.current[2], 1.0f);
      break;
    case e_evMouseEnter:
      m_Tween.SetTarget(m_HighlightColor);
      if (cWindowHost* host = GetWindowHost()) host->SetCursor("hand");
      break;
    case e_evMouseLeave:
      m_Tween.SetTarget(m_NormalColor);
      if (cWindowHost* host = GetWindowHost()) host->SetCursor("pointer");
      break;
    case e_evLButtonUp:
      PostNotify(vek::e_ntfButtonClick, 0);
      break;
    default:
      break;
  }
  return CommonEvent(*this, code, p1, p2);
}

void cLinkCtrl::SetColor(f32 r, f32 g, f32 b, int part) {
  if (part & e_lnkNormal) {
    const f32 c[4] = {r, g, b, 1.0f};
    for (int i = 0; i < 4; ++i) {
      m_NormalColor[i] = c[i];
      m_Tween.from[i] = m_Tween.to[i] = m_Tween.current[i] = c[i];
    }
    m_Tween.elapsed = m_Tween.duration = 0.0f;
  }
  if (part & e_lnkHighlight) {
    const f32 c[4] = {r, g, b, 1.0f};
    for (int i = 0; i < 4; ++i) m_HighlightColor[i] = c[i];
  }
}

// ---- shortcut files ----

bool OpenShortcutFile(const vek::string& path) {
  vek::string text;
  if (vek::cDataManager::ReadText(&text, path) != 0) {
    vek::LogWarning("OpenShortcutFile", "can't read '%s'\n", path);
    return false;
  }
  std::istringstream lines(text);
  std::string line;
  std::string address;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, 4, "URL=") == 0) {
      address = line.substr(4);
      break;
    }
  }
  if (!plat::IsWebAddress(address)) {
    vek::LogWarning("OpenShortcutFile", "refused to open '%s': not an http or https address\n", address);
    return false;
  }
  if (!plat::OpenWebAddress(address)) {
    vek::LogWarning("OpenShortcutFile", "can't open '%s'\n", address);
    return false;
  }
  vek::LogText("OpenShortcutFile", "Opened '%s'\n", address);
  return true;
}
