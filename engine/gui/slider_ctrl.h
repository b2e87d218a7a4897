#pragma once
// The slider's logic: value, range, orientation and dragging. The track and the thumb are
// drawn by subclasses, which report them through GetTrackRect and GetThumbRect and move the
// thumb in SetPos with the e_sldImage selector.
#include "engine/gui/ctrl.h"

namespace vek {

class cSliderCtrl : public cCtrl {
 public:
  cSliderCtrl(const vek::string& name, cWindow* window) : cCtrl(name, window) {}

  bool OnEvent(u32 code, u32 p1, u32 p2) override;
  // Places the thumb for the value.
  void UpdateLayout() override;
  bool HitTest(f32 x, f32 y) const override;
  rectf GetRect() const override { return GetTrackRect(); }
  const char* GetClassName() const override { return "cSliderCtrl"; }

  virtual rectf GetTrackRect() const { return rectf{}; }
  virtual rectf GetThumbRect() const { return rectf{}; }
  // Clamps into [min, max], stores and re-lays out.
  virtual void SetValue(f32 value);
  virtual f32 GetValue() const { return m_Value; }
  // max becomes min when below it; the value is clamped again.
  virtual void SetMinMax(f32 min, f32 max);
  virtual f32 GetMin() const { return m_Min; }
  virtual f32 GetMax() const { return m_Max; }
  virtual void SetVertical(bool vertical) { m_bVertical = vertical; }
  virtual bool IsVertical() const { return m_bVertical; }

  bool IsFocused() const { return m_bFocused; }
  bool IsDragging() const { return m_bDragging; }

 protected:
  f32 m_Min = 0.0f;
  f32 m_Max = 100.0f;
  f32 m_Value = 50.0f;
  bool m_bVertical = false;
  bool m_bFocused = false;
  bool m_bDragging = false;
};

}  // namespace vek
