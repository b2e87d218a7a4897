#pragma once
// The game's clickable controls: the image push button with normal, pressed, hover and
// disabled pictures one texture cell under another; the tab button that stays down once
// chosen; the logo button that opens the game's web page; and the text link whose colour
// fades towards a highlight while the pointer is over it.
#include "engine/gui/frame_ctrl.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_ctrl.h"
#include "engine/gui/label_sys_ctrl.h"

class cButtonCtrl : public vek::cCtrl {
 public:
  enum eState : vek::u32 { e_Normal = 0, e_Pressed = 1, e_Hover = 2 };

  cButtonCtrl(const vek::string& name, vek::cWindow* window);

  void Draw() override;
  bool OnEvent(vek::u32 code, vek::u32 p1, vek::u32 p2) override;
  // The label and the other three frames follow the normal frame; their pictures lie one,
  // two and three cells under the normal one.
  void UpdateLayout() override;
  void SetPos(vek::f32 x, vek::f32 y, int flags) override;
  void MoveBy(vek::f32 dx, vek::f32 dy, int flags) override;
  void SetSize(vek::f32 w, vek::f32 h, int flags) override;
  void SetUVPos(vek::f32 u, vek::f32 v, int flags) override;
  // With e_btnNormal the size is also the cell size of the state pictures.
  void SetUVSize(vek::f32 du, vek::f32 dv, int flags) override;
  bool HitTest(vek::f32 x, vek::f32 y) const override { return m_Normal.HitTest(x, y); }
  vek::rectf GetRect() const override { return m_Normal.GetRect(); }
  const char* GetClassName() const override { return "cButtonCtrl"; }

  virtual void SetText(const vek::string& text) { m_Label.SetText(text); }
  virtual const vek::string& GetText() const { return m_Label.GetText(); }
  virtual void SetFontPrt(const vek::string& font) { m_Label.SetFontPrt(font); }
  virtual void SetColor(vek::f32 r, vek::f32 g, vek::f32 b) { m_Label.SetColor(r, g, b); }
  virtual void SetAlign(int flags) { m_Label.SetAlign(flags); }
  // The texture of all four frames; the part selector is not used.
  virtual void SetTexture(const vek::string& name, int flags);

  vek::u32 GetButtonState() const { return m_State; }
  const vek::cFrameCtrl& GetFrame(int index) const;
  const vek::cLabelSysCtrl& GetLabel() const { return m_Label; }

 protected:
  vek::cLabelSysCtrl m_Label;
  vek::cFrameCtrl m_Normal, m_Pressed, m_Hover, m_Disabled;
  vek::u32 m_State = e_Normal;
  vek::f32 m_U = 0.0f, m_V = 0.0f;
  vek::f32 m_CellW = 0.0f, m_CellH = 0.0f;
};

class cTabButtonCtrl : public cButtonCtrl {
 public:
  using cButtonCtrl::cButtonCtrl;
  // A press selects it (check-box-toggled notification with 1); no sounds.
  bool OnEvent(vek::u32 code, vek::u32 p1, vek::u32 p2) override;
  virtual void SetSelected(bool selected) { m_State = selected ? e_Pressed : e_Normal; }
  virtual bool IsSelected() const { return m_State == e_Pressed; }
};

class cButtonLogoCtrl : public vek::cCtrl {
 public:
  // The pictures "logo_na" and "logo_a"; without either the button hides and disables itself.
  cButtonLogoCtrl(const vek::string& name, vek::cWindow* window);

  void Draw() override;
  // A press opens the web page of the shortcut file "website.url" beside the program.
  bool OnEvent(vek::u32 code, vek::u32 p1, vek::u32 p2) override;
  void UpdateLayout() override;
  void SetPos(vek::f32 x, vek::f32 y, int flags) override;
  void MoveBy(vek::f32 dx, vek::f32 dy, int flags) override;
  void SetSize(vek::f32 w, vek::f32 h, int flags) override;
  bool HitTest(vek::f32 x, vek::f32 y) const override { return m_Inactive.HitTest(x, y); }
  vek::rectf GetRect() const override { return m_Inactive.GetRect(); }
  const char* GetClassName() const override { return "cButtonLogoCtrl"; }

  bool IsHovered() const { return m_bHover; }

 private:
  vek::cImageCtrl m_Inactive, m_Active;
  bool m_bHover = false;
};

// A colour moving towards a target at a fixed speed (colour distance per second).
struct cAnimatedColor {
  void SetTarget(const vek::f32 (&color)[4]);
  int Update(vek::f32 dt);
  vek::f32 from[4] = {1, 1, 1, 1};
  vek::f32 to[4] = {1, 1, 1, 1};
  vek::f32 current[4] = {1, 1, 1, 1};
  vek::f32 speed = 2.0f;
  vek::f32 elapsed = 0.0f;
  vek::f32 duration = 0.0f;
};

class cLinkCtrl : public vek::cLabelCtrl {
 public:
  static constexpr int e_lnkNormal = 1 << 28;
  static constexpr int e_lnkHighlight = 1 << 29;

  cLinkCtrl(const vek::string& name, vek::cWindow* window);

  // Timers move the colour; entering and leaving retarget it and set the cursor; any button
  // release over the link posts its command.
  bool OnEvent(vek::u32 code, vek::u32 p1, vek::u32 p2) override;
  const char* GetClassName() const override { return "cLinkCtrl"; }

  // e_lnkNormal: the normal colour (and the colour at once); e_lnkHighlight: the highlight.
  virtual void SetColor(vek::f32 r, vek::f32 g, vek::f32 b, int part);

  const cAnimatedColor& GetTween() const { return m_Tween; }

 private:
  cAnimatedColor m_Tween;
  vek::f32 m_NormalColor[4] = {1, 1, 1, 1};
  vek::f32 m_HighlightColor[4] = {1, 1, 1, 1};
};

// Reads the address of an Internet shortcut file (its "URL=" line) and opens it with the
// desktop's opener when it is an http:// or https:// address; anything else is refused and
// logged. False when nothing was opened.
bool OpenShortcutFile(const vek::string& path);
