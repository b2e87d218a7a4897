#include "game/windows/controls/display_ctrl.h"

#include <numbers>

#include "engine/core/color.h"
#include "engine/app/game.h"
#include "engine/gui/gui.h"
#include "engine/gui/gui_draw.h"
#include "engine/render/quad_batch.h"
#include "game/app/sprite.h"

using vek::f32;
using vek::u32;

namespace {

constexpr f32 kPi = std::numbers::pi_v<f32>;

}  // namespace

// ---- cClockCtrl ----

f32 cClockCtrl::GetRadius() const {
  const vek::rectf r = GetRect();
  const f32 s = r.h <= r.w ? r.h : r.w;
  return s / 2.0f - 8.0f;
}

u32 cClockCtrl::GetFillColor() const {
  if (value < 0.5f) return vek::ColorFromFloats(2.0f * value, 1.0f, 0.0f, 1.0f);
  return vek::ColorFromFloats(1.0f, 2.0f * (1.0f - value), 0.0f, 1.0f);
}

void cClockCtrl::GetFillAngles(f32* start, f32* end) const {
  *start = kPi / 2.0f - 2.0f * kPi * value;
  *end = kPi / 2.0f;
}

void cClockCtrl::Draw() {
  const cSprite face = FindSprite("icons00", "circle_need");
  vek::cQuadBatch* batch = vek::g_pGame ? vek::g_pGame->GetQuadBatch() : nullptr;
  if (face.texture == 0 || !batch) return;
  const vek::rectf r = GetRect();
  const vek::vec2 centre{r.x + r.w / 2.0f, r.y + r.h / 2.0f};
  const f32 radius = GetRadius();
  vek::DrawPie(batch, face.texture, centre, radius, 64, 0.0f, 2.0f * kPi, face.Frame(), 0xFFFFFFFFu);
  f32 start = 0.0f, end = 0.0f;
  GetFillAngles(&start, &end);
  vek::DrawPie(batch, face.texture, centre, radius - 1.0f, 64, start, end, face.Frame(), GetFillColor());
}

// ---- cImageCtrlEx ----

void cImageCtrlEx::SetColor(f32 r, f32 g, f32 b, f32 a) { m_Color = vek::ColorFromFloats(r, g, b, a); }

// ---- cAnimationCtrl ----

cAnimationCtrl::cAnimationCtrl(const vek::string& name, vek::cWindow* window) : vek::cImageCtrl(name, window) {
  m_Counter.m_Mode = vek::cFrameAnimation::e_LoopForward;
  m_Counter.m_Frame = 0;
  m_Counter.m_Count = 1;
  m_Counter.m_Elapsed = 0.0f;
  m_Counter.m_FrameTime = 1.0f / 30.0f;
  m_Counter.m_Direction = 1;
  m_Counter.SetMode(vek::cFrameAnimation::e_LoopForward, true);
}

void cAnimationCtrl::Draw() { vek::gui_draw::Quad(m_Texture, m_Rect, m_UV, m_Color); }

bool cAnimationCtrl::OnEvent(u32 code, u32 p1, u32 p2) {
  if (code == e_evTimer && m_Counter.Update(vek::cGUI::ParamToTime(p1)) > 0) {
    const int f = m_Counter.GetFrame();
    const f32 du = 1.0f / static_cast<f32>(m_Columns);
    const f32 dv = 1.0f / static_cast<f32>(m_Rows);
    const f32 u = static_cast<f32>(f % m_Columns) / static_cast<f32>(m_Columns);
    const f32 v = 1.0f - (static_cast<f32>(f / m_Columns) / static_cast<f32>(m_Rows) + dv);
    m_UV = vek::rectf{u, v, du, dv};
  }
  return vek::cCtrl::OnEvent(code, p1, p2);
}

void cAnimationCtrl::SetTileset(int columns, int rows, f32 fps) {
  // A sheet of no cells would divide by zero: it counts as one cell.
  m_Columns = columns > 0 ? columns : 1;
  m_Rows = rows > 0 ? rows : 1;
  m_Counter.m_Elapsed = 0.0f;
  m_Counter.m_Count = m_Columns * m_Rows;
  m_Counter.m_Frame = 0;
  m_Counter.m_Direction = 1;
  m_Counter.m_Mode = vek::cFrameAnimation::e_LoopForward;
  m_Counter.m_FrameTime = 1.0f / (fps > 0.0f ? fps : 30.0f);
  m_Counter.SetMode(vek::cFrameAnimation::e_LoopForward, true);
}
