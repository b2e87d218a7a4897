#pragma once
// The edit field with a look: a nine-part frame and a coloured label inside its border that
// holds the text; the caret blinks after the text while the field is its window's active
// control.
#include "engine/gui/edit_ctrl.h"
#include "engine/gui/frame_ctrl.h"
#include "engine/gui/label_sys_ctrl.h"

namespace vek {

class cEditSysCtrl : public cEditCtrl {
 public:
  cEditSysCtrl(const vek::string& name, cWindow* window);

  void Draw() override;
  // The label fills the frame inside its border.
  void UpdateLayout() override;
  // To the frame with the caller's flags.
  void SetPos(f32 x, f32 y, int flags) override;
  void MoveBy(f32 dx, f32 dy, int flags) override;
  void SetSize(f32 w, f32 h, int flags) override;
  void SetUVPos(f32 u, f32 v, int flags) override { m_Frame.SetUVPos(u, v, flags); }
  void SetUVSize(f32 du, f32 dv, int flags) override { m_Frame.SetUVSize(du, dv, flags); }
  bool HitTest(f32 x, f32 y) const override { return m_Frame.HitTest(x, y); }
  rectf GetRect() const override { return m_Frame.GetRect(); }
  const char* GetClassName() const override { return "cEditSysCtrl"; }

  // The label's text.
  void SetText(const vek::string& text) override { m_Label.SetText(text); }
  const vek::string& GetText() const override { return m_Label.GetText(); }
  virtual void SetAlign(int flags) { m_Label.SetAlign(flags); }
  virtual void SetFontPrt(const vek::string& fontName) { m_Label.SetFontPrt(fontName); }
  virtual void SetColor(f32 r, f32 g, f32 b) { m_Label.SetColor(r, g, b); }
  // The frame's texture.
  virtual void SetTexture(const vek::string& name) { m_Frame.SetTexture(name); }

  // Whether the caret is drawn now: the GUI's blink phase and this field active in its window.
  bool ShowsCaret() const;
  const cLabelSysCtrl& GetLabel() const { return m_Label; }
  const cFrameCtrl& GetFrame() const { return m_Frame; }

 protected:
  cLabelSysCtrl m_Label;
  cFrameCtrl m_Frame;
};

}  // namespace vek
