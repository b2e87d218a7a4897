#pragma once
// The fixed places the gardener serves: the delivery car, the water pump and the hive. They
// share one step: new -> 0 -> 1 (working), and removal from state 2.
#include "engine/render/quad_batch.h"
#include "game/world/object.h"

class cWorkStation : public cObject {
 public:
  using cObject::cObject;
  vek::u32 GetType() const override { return e_TypeWorkStation; }
  void Update() override;

 protected:
  vek::cQuadBatch* GetBatch() const;
  // One target marker per queued gardener task, at the rectangle's top right.
  void DrawMarkers(const vek::rectf& r) const;
};

// A sprite part of a station drawn at an offset from it, with its own frame animation.
struct cStationPart {
  cSprite sprite;
  vek::cFrameAnimation anim;
  vek::vec2 offset;

  // Looks the area up and sets the animation's mode; false when the area is missing.
  bool Init(const vek::string& sheet, const vek::string& area, vek::u32 mode, const vek::vec2& at = {});
  void Play(vek::u32 mode, bool restart = true) { anim.SetMode(mode, restart); }
  // Steps the animation; a once or ping-pong mode over fewer than two frames ends at once.
  void Step(vek::f32 dt);
  bool IsPlaying() const { return anim.m_Mode != vek::cFrameAnimation::e_Stop; }
  void Draw(vek::cQuadBatch* batch, const vek::rectf& r) const;
};
