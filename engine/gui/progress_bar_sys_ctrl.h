#pragma once
// A bar that shows a fraction 0..1 by cutting its image: at value v the image is v of the
// full size wide and shows v of its full texture width, growing from its left edge.
#include "engine/core/vec.h"
#include "engine/gui/image_ctrl.h"

namespace vek {

class cProgressBarSysCtrl : public cCtrl {
 public:
  cProgressBarSysCtrl(const vek::string& name, cWindow* window) : cCtrl(name, window), m_Bar("", nullptr) {}

  void Draw() override { m_Bar.Draw(); }
  void UpdateLayout() override;
  void SetPos(f32 x, f32 y, int flags) override;
  void MoveBy(f32 dx, f32 dy, int flags) override;
  // The full bar's size.
  void SetSize(f32 w, f32 h, int flags) override;
  void SetUVPos(f32 u, f32 v, int flags) override { m_Bar.SetUVPos(u, v, flags); }
  // du is the image's texture width at value 1.
  void SetUVSize(f32 du, f32 dv, int flags) override;
  // The full bar's rectangle.
  bool HitTest(f32 x, f32 y) const override;
  // The image's rectangle (as wide as the value shows).
  rectf GetRect() const override { return m_Bar.GetRect(); }
  const char* GetClassName() const override { return "cProgressBarSysCtrl"; }

  virtual void SetTexture(const vek::string& name) { m_Bar.SetTexture(name); }
  // Kept in 0..1.
  virtual void SetValue(f32 value);
  virtual f32 GetValue() const { return m_Value; }

  const cImageCtrl& GetBar() const { return m_Bar; }

 protected:
  cImageCtrl m_Bar;
  vec2 m_Size;
  f32 m_Value = 0.0f;
  f32 m_FullUVWidth = 1.0f;
};

}  // namespace vek
