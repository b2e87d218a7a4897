#pragma once
// A text label whose colour can be set: the text part of the system controls (buttons, check
// boxes, edit fields, list rows) and a control of its own.
#include "engine/core/vec.h"
#include "engine/gui/label_ctrl.h"

namespace vek {

class cLabelSysCtrl : public cLabelCtrl {
 public:
  cLabelSysCtrl(const vek::string& name, cWindow* window) : cLabelCtrl(name, window) {}

  const char* GetClassName() const override { return "cLabelSysCtrl"; }

  virtual void SetColor(const vec3& color) { SetColor(color.x, color.y, color.z); }
  // Packed with alpha 1.
  virtual void SetColor(f32 r, f32 g, f32 b);
  // The colour as red, green, blue, alpha in 0..1 (the order SetColor takes them).
  virtual void GetColor(f32* rgba) const;
  using cLabelCtrl::GetColor;
};

}  // namespace vek
