#pragma once
// A textured quad.
#include "engine/gui/ctrl.h"

namespace vek {

class cImageCtrl : public cCtrl {
 public:
  cImageCtrl(const vek::string& name, cWindow* window) : cCtrl(name, window) {}

  void Draw() override;
  void SetPos(f32 x, f32 y, int flags) override;
  void MoveBy(f32 dx, f32 dy, int flags) override;
  void SetSize(f32 w, f32 h, int flags) override;
  void SetUVPos(f32 u, f32 v, int flags) override;
  void SetUVSize(f32 du, f32 dv, int flags) override;
  bool HitTest(f32 x, f32 y) const override { return RectContainsInclusive(m_Rect, x, y); }
  rectf GetRect() const override { return m_Rect; }
  // The picture's rectangle, when it is drawn in full colour from a solid part of the texture.
  bool GetCover(rectf* area) const override;
  const char* GetClassName() const override { return "cImageCtrl"; }

  // The texture of that name in the texture manager (the default entry when none has it).
  virtual void SetTexture(const vek::string& name);
  virtual void SetColor(f32 r, f32 g, f32 b);
  virtual u32 GetTexture() const { return m_Texture; }
  virtual rectf GetUVRect() const { return m_UV; }
  u32 GetColor() const { return m_Color; }

 protected:
  rectf m_Rect;
  rectf m_UV{0.0f, 0.0f, 1.0f, 1.0f};
  u32 m_Texture = 0;
  u32 m_Color = 0xFFFFFFFF;
};

}  // namespace vek
