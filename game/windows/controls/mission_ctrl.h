#pragma once
// Mission indicators: one line of a task list with a frame, the icon of what the task asks
// for, a tick shown once the task is done and a text (the count still to go). The task
// indicator is the same line sliding between an "in" and an "out" place on the score window.
#include "engine/core/tween.h"
#include "engine/gui/frame_ctrl.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/label_sys_ctrl.h"
#include "game/world/mission.h"

class cMissionCtrl : public vek::cCtrl {
 public:
  // Part selectors (besides the frame's e_frmBorder).
  static constexpr int e_itemLabel = 4, e_itemImage = 8, e_itemFrame = 16;

  cMissionCtrl(const vek::string& name, vek::cWindow* window);

  void Draw() override;
  bool OnEvent(vek::u32 code, vek::u32 p1, vek::u32 p2) override;
  void UpdateLayout() override;
  void SetPos(vek::f32 x, vek::f32 y, int flags) override;
  void MoveBy(vek::f32 dx, vek::f32 dy, int flags) override;
  void SetSize(vek::f32 w, vek::f32 h, int flags) override;
  void SetUVPos(vek::f32 u, vek::f32 v, int flags) override;
  void SetUVSize(vek::f32 du, vek::f32 dv, int flags) override;
  bool HitTest(vek::f32 x, vek::f32 y) const override { return m_Frame.HitTest(x, y); }
  vek::rectf GetRect() const override { return m_Frame.GetRect(); }
  const char* GetClassName() const override { return "cMissionCtrl"; }

  virtual void SetTexture(const vek::string& name, int part);
  // The first frame of a sheet's area as the icon (or the tick); a missing one changes nothing.
  virtual void SetIcon(const vek::string& sheet, const vek::string& area);
  virtual void SetIconCheck(const vek::string& sheet, const vek::string& area);
  virtual void SetCheck(bool done) { m_bDone = done; }
  virtual bool IsChecked() const { return m_bDone; }
  virtual void SetText(const vek::string& text) { m_Label.SetText(text); }
  virtual const vek::string& GetText() const { return m_Label.GetText(); }
  virtual void SetAlign(int align) { m_Label.SetAlign(align); }
  virtual void SetFontPrt(const vek::string& font) { m_Label.SetFontPrt(font); }
  virtual void SetColor(vek::f32 r, vek::f32 g, vek::f32 b) { m_Label.SetColor(r, g, b); }

  const vek::cImageCtrl& GetIcon() const { return m_Icon; }
  const vek::cImageCtrl& GetIconCheck() const { return m_Check; }
  const vek::cLabelSysCtrl& GetLabel() const { return m_Label; }

 protected:
  vek::cLabelSysCtrl m_Label;
  vek::cImageCtrl m_Icon;
  vek::cImageCtrl m_Check;
  bool m_bDone = false;
  vek::cFrameCtrl m_Frame;
};

class cTaskCtrl : public cMissionCtrl, public iTaskIndicator {
 public:
  // 0 resting in, 1 moving in, 2 resting out (parked), 3 moving out.
  enum eMove { e_moveIn = 0, e_moveGoingIn = 1, e_moveOut = 2, e_moveGoingOut = 3 };
  static constexpr vek::f32 kSpeed = 250.0f;  // units per second

  cTaskCtrl(const vek::string& name, vek::cWindow* window);

  void StartMoveIn() override;
  void StartMoveOut() override;
  void SnapToInPos();
  void SnapToTarget() override;
  void UpdateMove(vek::f32 dt);

  // The task indicator's view.
  int GetMoveState() const override { return m_MoveState; }
  void SetText(const vek::string& text) override { cMissionCtrl::SetText(text); }
  void SetIcon(const vek::string& sheet, const vek::string& area) override { cMissionCtrl::SetIcon(sheet, area); }
  bool IsChecked() const override { return cMissionCtrl::IsChecked(); }
  void SetChecked(bool checked) override { SetCheck(checked); }
  vek::rectf GetRect() const override { return cMissionCtrl::GetRect(); }

  // Written by the owner window.
  vek::vec2 m_InPos;
  vek::vec2 m_OutPos;

  const vek::cAnimatedVec2& GetMove() const { return m_Move; }

 private:
  void MoveTowards(const vek::vec2& target, int state);
  void SnapTo(const vek::vec2& p, int state);

  vek::cAnimatedVec2 m_Move;
  int m_MoveState = e_moveIn;
};
