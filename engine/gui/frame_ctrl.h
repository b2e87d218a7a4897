#pragma once
// A nine-part frame: corners and edges of a border size cut from the texture rectangle, and
// the centre when the inner flag is set.
#include "engine/gui/ctrl.h"

namespace vek {

class cFrameCtrl : public cCtrl {
 public:
  cFrameCtrl(const vek::string& name, cWindow* window) : cCtrl(name, window) {}

  void Draw() override;
  // The centre, when it is drawn in full colour from a solid part of the texture.
  bool GetCover(rectf* area) const override;
  void SetPos(f32 x, f32 y, int flags) override;
  void MoveBy(f32 dx, f32 dy, int flags) override;
  // With e_frmBorder: the border size; otherwise the frame's size.
  void SetSize(f32 w, f32 h, int flags) override;
  void SetUVPos(f32 u, f32 v, int flags) override;
  // With e_frmBorder: the border's texture size; otherwise the texture rectangle's size.
  void SetUVSize(f32 du, f32 dv, int flags) override;
  bool HitTest(f32 x, f32 y) const override { return RectContainsInclusive(m_Rect, x, y); }
  rectf GetRect() const override { return m_Rect; }
  const char* GetClassName() const override { return "cFrameCtrl"; }

  virtual void SetTexture(const vek::string& name);
  virtual void DrawInnerRect(bool inner) { m_bInner = inner; }
  virtual void SetColor(f32 r, f32 g, f32 b);
  // Border size w, h followed by the border's texture size du, dv.
  virtual rectf GetBorder() const { return rectf{m_Border.x, m_Border.y, m_UVBorder.x, m_UVBorder.y}; }
  virtual rectf GetUVRect() const { return m_UV; }
  u32 GetTexture() const { return m_Texture; }
  u32 GetColor() const { return m_Color; }
  bool GetInner() const { return m_bInner; }

 protected:
  u32 m_Texture = 0;
  bool m_bInner = true;
  rectf m_Rect;
  rectf m_UV{0.0f, 0.0f, 1.0f, 1.0f};
  vec2 m_Border;
  vec2 m_UVBorder;
  u32 m_Color = 0xFFFFFFFF;
};

}  // namespace vek
