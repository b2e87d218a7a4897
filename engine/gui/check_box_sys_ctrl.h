#pragma once
// A check box: a square box image (the checked one when checked) with a label to its right.
// It toggles on the button-down and posts the check-box-toggled notification; SetCheck only
// stores the state.
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_sys_ctrl.h"

namespace vek {

class cCheckBoxSysCtrl : public cCtrl {
 public:
  cCheckBoxSysCtrl(const vek::string& name, cWindow* window);

  void Draw() override;
  bool OnEvent(u32 code, u32 p1, u32 p2) override;
  // The checked box and the label follow the box.
  void UpdateLayout() override;
  // To the box with the caller's flags.
  void SetPos(f32 x, f32 y, int flags) override;
  void MoveBy(f32 dx, f32 dy, int flags) override;
  // The box becomes h x h; the width is not kept.
  void SetSize(f32 w, f32 h, int flags) override;
  // To the box for e_cbNormal, the checked box for e_cbPush (both may be given).
  void SetUVPos(f32 u, f32 v, int flags) override;
  void SetUVSize(f32 du, f32 dv, int flags) override;
  // The box or the label's text.
  bool HitTest(f32 x, f32 y) const override;
  rectf GetRect() const override { return m_Box.GetRect(); }
  const char* GetClassName() const override { return "cCheckBoxSysCtrl"; }

  virtual void SetText(const vek::string& text) { m_Label.SetText(text); }
  virtual void SetAlign(int flags) { m_Label.SetAlign(flags); }
  virtual void SetFontPrt(const vek::string& fontName) { m_Label.SetFontPrt(fontName); }
  virtual void SetColor(f32 r, f32 g, f32 b) { m_Label.SetColor(r, g, b); }
  // e_cbNormal, e_cbPush as for SetUVPos.
  virtual void SetTexture(const vek::string& name, int flags);
  // Stores the state; sends nothing.
  virtual void SetCheck(bool checked) { m_bChecked = checked; }
  virtual bool IsChecked() const { return m_bChecked; }

  const cLabelSysCtrl& GetLabel() const { return m_Label; }
  const cImageCtrl& GetBox() const { return m_Box; }
  const cImageCtrl& GetCheckedBox() const { return m_Checked; }

 protected:
  cLabelSysCtrl m_Label;
  cImageCtrl m_Box;
  cImageCtrl m_Checked;
  bool m_bChecked = false;
};

}  // namespace vek
