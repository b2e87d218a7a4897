#pragma once
// A line of text placed inside the control rectangle by its alignment flags; texts may hold
// colour codes. Its hit area is the measured text, not the control rectangle.
#include "engine/gui/ctrl.h"

namespace vek {

class cLabelCtrl : public cCtrl {
 public:
  cLabelCtrl(const vek::string& name, cWindow* window) : cCtrl(name, window) {}

  void Draw() override;
  void UpdateLayout() override;
  void SetPos(f32 x, f32 y, int flags) override;
  void MoveBy(f32 dx, f32 dy, int flags) override;
  void SetSize(f32 w, f32 h, int flags) override;
  bool HitTest(f32 x, f32 y) const override { return RectContainsInclusive(m_TextRect, x, y); }
  rectf GetRect() const override { return m_Rect; }
  const char* GetClassName() const override { return "cLabelCtrl"; }

  virtual void SetText(const vek::string& text);
  virtual const vek::string& GetText() const { return m_Text; }
  virtual void SetAlign(int flags);
  // The font of that name in the font manager (the default font when none has it).
  virtual void SetFontPrt(const vek::string& fontName);
  virtual rectf GetTextRect() const { return m_TextRect; }
  virtual u32 GetFont() const { return m_Font; }
  virtual u32 GetColor() const { return m_Color; }
  int GetAlign() const { return m_Align; }

 protected:
  rectf m_Rect;
  vek::string m_Text;
  u32 m_Font = 0;
  u32 m_Color = 0xFFFFFFFF;
  int m_Align = 33;  // Left | Bottom
  rectf m_TextRect;
};

}  // namespace vek
