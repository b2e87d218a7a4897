#pragma once
// The slider with a look: a track drawn as a nine-part frame and a thumb image. Position,
// size, texture coordinates and texture go to the thumb with e_sldImage, else to the track.
#include "engine/gui/frame_ctrl.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/slider_ctrl.h"

namespace vek {

class cSliderSysCtrl : public cSliderCtrl {
 public:
  cSliderSysCtrl(const vek::string& name, cWindow* window)
      : cSliderCtrl(name, window), m_Thumb("", nullptr), m_Track("", nullptr) {}

  void Draw() override;
  void UpdateLayout() override;
  void SetPos(f32 x, f32 y, int flags) override;
  void MoveBy(f32 dx, f32 dy, int flags) override;
  void SetSize(f32 w, f32 h, int flags) override;
  void SetUVPos(f32 u, f32 v, int flags) override;
  void SetUVSize(f32 du, f32 dv, int flags) override;
  const char* GetClassName() const override { return "cSliderSysCtrl"; }
  rectf GetTrackRect() const override { return m_Track.GetRect(); }
  rectf GetThumbRect() const override { return m_Thumb.GetRect(); }

  virtual void SetTexture(const vek::string& name, int flags);

  const cImageCtrl& GetThumb() const { return m_Thumb; }
  const cFrameCtrl& GetTrack() const { return m_Track; }

 protected:
  cImageCtrl m_Thumb;
  cFrameCtrl m_Track;
  bool m_bPlacing = false;  // inside the thumb placement
};

}  // namespace vek
