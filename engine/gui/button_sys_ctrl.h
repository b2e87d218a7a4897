#pragma once
// A push button: a nine-part frame (the pushed one while pressed) with a centred label. A
// click, the button-down and the button-up on the button without leaving it between, posts
// the button-clicked notification.
#include "engine/gui/frame_ctrl.h"
#include "engine/gui/label_sys_ctrl.h"

namespace vek {

class cButtonSysCtrl : public cCtrl {
 public:
  cButtonSysCtrl(const vek::string& name, cWindow* window);

  void Draw() override;
  bool OnEvent(u32 code, u32 p1, u32 p2) override;
  // The label and the pushed frame follow the normal frame.
  void UpdateLayout() override;
  // To the normal frame with the caller's flags (e_frmBorder: its border).
  void SetPos(f32 x, f32 y, int flags) override;
  void MoveBy(f32 dx, f32 dy, int flags) override;
  void SetSize(f32 w, f32 h, int flags) override;
  // To the normal frame for e_btnNormal, the pushed frame for e_btnPush (both may be given).
  void SetUVPos(f32 u, f32 v, int flags) override;
  void SetUVSize(f32 du, f32 dv, int flags) override;
  bool HitTest(f32 x, f32 y) const override { return m_Normal.HitTest(x, y); }
  rectf GetRect() const override { return m_Normal.GetRect(); }
  const char* GetClassName() const override { return "cButtonSysCtrl"; }

  virtual void SetText(const vek::string& text) { m_Label.SetText(text); }
  virtual const vek::string& GetText() const { return m_Label.GetText(); }
  virtual void SetFontPrt(const vek::string& fontName) { m_Label.SetFontPrt(fontName); }
  virtual void SetColor(f32 r, f32 g, f32 b) { m_Label.SetColor(r, g, b); }
  // e_btnNormal, e_btnPush as for SetUVPos.
  virtual void SetTexture(const vek::string& name, int flags);

  bool IsPressed() const { return m_bPressed; }
  const cLabelSysCtrl& GetLabel() const { return m_Label; }
  const cFrameCtrl& GetNormalFrame() const { return m_Normal; }
  const cFrameCtrl& GetPushedFrame() const { return m_Pushed; }

 protected:
  cLabelSysCtrl m_Label;
  cFrameCtrl m_Normal;
  cFrameCtrl m_Pushed;
  bool m_bPressed = false;
};

}  // namespace vek
