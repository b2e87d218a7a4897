#include "game/windows/controls/mission_ctrl.h"

#include "engine/core/log.h"
#include "game/app/sprite.h"

using vek::f32;
using vek::u32;

namespace {

// The image shows the first frame of the sheet's area at the sprite's own size.
bool SetImageFromSprite(vek::cImageCtrl& image, const vek::string& sheet, const vek::string& area) {
  cSprite sprite;
  FindSprite(sprite, sheet, area);
  if (sprite.texture == 0 || !sprite.frames || sprite.frameCount == 0) return false;
  image.SetTexture(sheet);
  image.SetSize(sprite.width, sprite.height, 0);
  image.SetUVPos(sprite.frames[0].x, sprite.frames[0].y, 0);
  image.SetUVSize(sprite.frames[0].w, sprite.frames[0].h, 0);
  return true;
}

}  // namespace

// ---- cMissionCtrl ----

cMissionCtrl::cMissionCtrl(const vek::string& name, vek::cWindow* window)
    : vek::cCtrl(name, window), m_Label("", nullptr), m_Icon("", nullptr), m_Check("", nullptr), m_Frame("", nullptr) {
  m_Label.SetAlign(17);
}

void cMissionCtrl::Draw() {
  m_Frame.Draw();
  m_Icon.Draw();
  if (m_bDone) m_Check.Draw();
  m_Label.Draw();
}

bool cMissionCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  switch (code) {
    case e_evLButtonUp:
      PostNotify(48, 0);
      break;
    case e_evMouseEnter:
    case e_evMouseLeave:
      return vek::cCtrl::OnEvent(code, p1, p2);
    default:
      break;
  }
  return code == e_evChar;
}

void cMissionCtrl::UpdateLayout() {
  const vek::rectf f = m_Frame.GetRect();
  const vek::rectf i = m_Icon.GetRect();
  const vek::rectf c = m_Check.GetRect();
  const f32 ix = f.x + 40.0f;
  const f32 iy = f.y + (f.h - i.h) / 2.0f;
  m_Icon.SetPos(ix, iy, 0);
  m_Label.SetPos(ix + i.w + 4.0f, iy, 0);
  m_Label.SetSize(i.w, i.h, 0);
  m_Check.SetPos(ix + (i.w - c.w) / 2.0f, iy + (i.h - c.h) / 2.0f, 0);
}

void cMissionCtrl::SetPos(f32 x, f32 y, int flags) {
  m_Frame.SetPos(x, y, flags);
  UpdateLayout();
}

void cMissionCtrl::MoveBy(f32 dx, f32 dy, int flags) {
  m_Frame.MoveBy(dx, dy, flags);
  UpdateLayout();
}

void cMissionCtrl::SetSize(f32 w, f32 h, int flags) {
  if (flags & e_itemImage)
    m_Icon.SetSize(w, h, 0);
  else
    m_Frame.SetSize(w, h, flags);
  UpdateLayout();
}

void cMissionCtrl::SetUVPos(f32 u, f32 v, int flags) {
  if (flags == e_itemImage)
    m_Icon.SetUVPos(u, v, 0);
  else if (flags == e_itemFrame)
    m_Frame.SetUVPos(u, v, flags);
}

void cMissionCtrl::SetUVSize(f32 du, f32 dv, int flags) {
  if (flags & (e_itemFrame | e_frmBorder))
    m_Frame.SetUVSize(du, dv, flags);
  else if (flags & e_itemImage)
    m_Icon.SetUVSize(du, dv, 0);
}

void cMissionCtrl::SetTexture(const vek::string& name, int part) {
  if (part == e_itemImage)
    m_Icon.SetTexture(name);
  else if (part == e_itemFrame)
    m_Frame.SetTexture(name);
}

void cMissionCtrl::SetIcon(const vek::string& sheet, const vek::string& area) {
  if (!SetImageFromSprite(m_Icon, sheet, area)) {
    vek::LogWarning("cMissionCtrl", "SetIcon: sprite '%s:%s' not found\n", sheet.c_str(), area.c_str());
    return;
  }
  UpdateLayout();
}

void cMissionCtrl::SetIconCheck(const vek::string& sheet, const vek::string& area) {
  if (!SetImageFromSprite(m_Check, sheet, area)) {
    vek::LogWarning("cMissionCtrl", "SetIconCheck: sprite '%s:%s' not found\n", sheet.c_str(), area.c_str());
    return;
  }
  UpdateLayout();
}

// ---- cTaskCtrl ----

cTaskCtrl::cTaskCtrl(const vek::string& name, vek::cWindow* window) : cMissionCtrl(name, window) {
  m_Move.speed = kSpeed;
}

void cTaskCtrl::MoveTowards(const vek::vec2& target, int state) {
  const vek::rectf r = GetRect();
  const vek::vec2 here(r.x, r.y);
  m_Move.start = m_Move.target = m_Move.current = here;
  m_Move.elapsed = m_Move.duration = 0.0f;
  m_Move.speed = kSpeed;
  m_Move.SetTarget(target);
  m_MoveState = state;
}

void cTaskCtrl::StartMoveIn() {
  if (m_MoveState == e_moveOut || m_MoveState == e_moveGoingOut) MoveTowards(m_InPos, e_moveGoingIn);
}

void cTaskCtrl::StartMoveOut() {
  if (m_MoveState == e_moveIn || m_MoveState == e_moveGoingIn) MoveTowards(m_OutPos, e_moveGoingOut);
}

void cTaskCtrl::SnapTo(const vek::vec2& p, int state) {
  m_Move.start = m_Move.target = m_Move.current = p;
  m_Move.elapsed = m_Move.duration = 0.0f;
  SetPos(p.x, p.y, 0);
  m_MoveState = state;
}

void cTaskCtrl::SnapToInPos() { SnapTo(m_InPos, e_moveIn); }

void cTaskCtrl::SnapToTarget() { SnapTo(m_OutPos, e_moveOut); }

void cTaskCtrl::UpdateMove(f32 dt) {
  if (m_Move.current.x == m_Move.target.x && m_Move.current.y == m_Move.target.y) return;
  switch (m_Move.Update(dt)) {
    case vek::e_TweenRunning:
      SetPos(m_Move.current.x, m_Move.current.y, 0);
      break;
    case vek::e_TweenArrived:
      if (m_MoveState == e_moveGoingIn)
        SnapToInPos();
      else if (m_MoveState == e_moveGoingOut)
        SnapToTarget();
      break;
    default:
      break;
  }
}
