#pragma once
// The delivery car: it stands parked at the left of the field while the gardener loads wares
// into it; then it opens its side board, sells the load, drives off to the left, comes back
// and closes the board. The car's back part is a separate object drawn in front of the gardener.
#include "engine/core/tween.h"
#include "game/world/work_station.h"

class cCar : public cWorkStation {
 public:
  enum : vek::i32 { e_Parked = 1, e_Selling = 3, e_Leaving = 4, e_Returning = 5, e_Closing = 6 };
  static constexpr vek::f32 kSpeed = 160.0f;
  static constexpr vek::f32 kParkedX = -70.0f, kParkedY = 320.0f;

  explicit cCar(cLevel* level);

  vek::u32 GetType() const override { return e_TypeCar; }
  bool OnStateChange(vek::i32 from, vek::i32 to) override;
  vek::rectf GetRect() const override;
  vek::f32 GetDepth() const override { return m_Rect.y - 11.0f; }
  void Update() override;
  void Move(vek::f32 dt) override;
  void Draw() override;

  // Places the car (and its back part) at x.
  virtual void SetCarX(vek::f32 x);

  bool IsParked() const { return m_State == e_Parked; }
  vek::f32 GetCarX() const { return m_Rect.x; }
  const cStationPart& GetBoard() const { return m_Board; }
  const cStationPart& GetWheel() const { return m_Wheel; }

 private:
  // A ware bound away from the field is listed.
  bool IsWareLeaving() const;
  // A ware bound for the car has not landed yet.
  bool IsWareArriving() const;
  bool IsGardenerAtCar() const;

  vek::cAnimatedFloat m_Drive;
  vek::f32 m_ParkedX = kParkedX;
  vek::rectf m_Rect{0.0f, 0.0f, 0.0f, 0.0f};
  cStationPart m_Wheel, m_Board;
};

class cCarBack : public cWorkStation {
 public:
  explicit cCarBack(cLevel* level);
  vek::rectf GetRect() const override { return {m_X, m_Y, m_W, m_H}; }
  vek::f32 GetDepth() const override { return m_Y + 11.0f; }
  bool HitTest(const vek::vec2&) const override { return false; }
};

// Registers the car and car back makers with the field.
void RegisterCarMakers();
