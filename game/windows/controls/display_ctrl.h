#pragma once
// Small display controls of the game: the round level clock that fills clockwise from green
// through yellow to red, an image with a full colour tint, and an image that loops through
// the equal cells of a sprite sheet.
#include "engine/gui/frame_ctrl.h"
#include "engine/gui/image_ctrl.h"
#include "engine/render/frame_animation.h"

class cClockCtrl : public vek::cFrameCtrl {
 public:
  using vek::cFrameCtrl::cFrameCtrl;

  // A white face and over it the filled sector, from twelve o'clock clockwise.
  void Draw() override;
  // Round: it covers no rectangle fully.
  bool GetCover(vek::rectf* /*area*/) const override { return false; }

  // The fill 0..1, written by the owner window.
  vek::f32 value = 0.0f;

  // The face's radius and the sector's colour and angles as Draw uses them.
  vek::f32 GetRadius() const;
  vek::u32 GetFillColor() const;
  void GetFillAngles(vek::f32* start, vek::f32* end) const;
};

class cImageCtrlEx : public vek::cImageCtrl {
 public:
  using vek::cImageCtrl::cImageCtrl;
  const char* GetClassName() const override { return "cImageCtrlEx"; }
  virtual void SetColor(vek::f32 r, vek::f32 g, vek::f32 b, vek::f32 a);
  using vek::cImageCtrl::SetColor;
};

class cAnimationCtrl : public vek::cImageCtrl {
 public:
  cAnimationCtrl(const vek::string& name, vek::cWindow* window);

  void Draw() override;
  // Timers advance the cells.
  bool OnEvent(vek::u32 code, vek::u32 p1, vek::u32 p2) override;
  const char* GetClassName() const override { return "cAnimationCtrl"; }

  // columns x rows cells at fps cells per second (30 for 0 or less), looping from cell 0.
  virtual void SetTileset(int columns, int rows, vek::f32 fps);

  const vek::cFrameAnimation& GetCounter() const { return m_Counter; }

 private:
  vek::i32 m_Columns = 1;
  vek::i32 m_Rows = 1;
  vek::cFrameAnimation m_Counter;
};
