#pragma once
// The game's check boxes and slider: the engine's controls with hover pictures (the texture
// cell directly under the normal one) and the game's sounds. The up-check-box adds a row of
// stars under the box that shows a level out of a maximum.
#include "engine/gui/check_box_sys_ctrl.h"
#include "engine/gui/slider_sys_ctrl.h"

class cCheckBoxCtrl : public vek::cCheckBoxSysCtrl {
 public:
  cCheckBoxCtrl(const vek::string& name, vek::cWindow* window);

  void Draw() override;
  bool OnEvent(vek::u32 code, vek::u32 p1, vek::u32 p2) override;
  void UpdateLayout() override;
  void SetUVPos(vek::f32 u, vek::f32 v, int flags) override;
  void SetUVSize(vek::f32 du, vek::f32 dv, int flags) override;
  const char* GetClassName() const override { return "cCheckBoxCtrl"; }
  void SetTexture(const vek::string& name, int flags) override;

  bool IsHovered() const { return m_Hover != 0; }
  const vek::cImageCtrl& GetHoverBox() const { return m_HoverBox; }
  const vek::cImageCtrl& GetHoverChecked() const { return m_HoverChecked; }

 protected:
  vek::cImageCtrl m_HoverBox;
  vek::cImageCtrl m_HoverChecked;
  vek::i32 m_Hover = 0;
};

class cCheckBoxUpCtrl : public cCheckBoxCtrl {
 public:
  using cCheckBoxCtrl::cCheckBoxCtrl;

  // The box, then one star per step of the maximum: filled up to the level.
  void Draw() override;
  virtual void SetLevel(int level) { m_Level = level; }
  virtual void SetMaxLevel(int level) { m_MaxLevel = level; }

  // The star rectangles as Draw places them, with whether each is filled.
  struct cStar {
    vek::rectf rect;
    bool filled;
  };
  std::vector<cStar> GetStars() const;

 private:
  vek::i32 m_Level = 0;
  vek::i32 m_MaxLevel = 2;
};

class cSliderCtrlEx : public vek::cSliderSysCtrl {
 public:
  cSliderCtrlEx(const vek::string& name, vek::cWindow* window);

  void Draw() override;
  bool OnEvent(vek::u32 code, vek::u32 p1, vek::u32 p2) override;
  void UpdateLayout() override;
  void SetSize(vek::f32 w, vek::f32 h, int flags) override;
  void SetUVPos(vek::f32 u, vek::f32 v, int flags) override;
  void SetUVSize(vek::f32 du, vek::f32 dv, int flags) override;
  const char* GetClassName() const override { return "cSliderCtrlEx"; }
  void SetTexture(const vek::string& name, int flags) override;

  bool IsHovered() const { return m_Hover != 0; }
  const vek::cImageCtrl& GetHoverThumb() const { return m_HoverThumb; }
  const vek::cFrameCtrl& GetHoverTrack() const { return m_HoverTrack; }

 private:
  vek::cImageCtrl m_HoverThumb;
  vek::cFrameCtrl m_HoverTrack;
  vek::i32 m_Hover = 0;
};
