#pragma once
// The water pump at the right edge of the field: the gardener fills the water can there, and
// the pump shows running water while it does (state 3). Levels without water hide it.
#include "game/world/work_station.h"

class cWaterPump : public cWorkStation {
 public:
  enum : vek::i32 { e_Idle = 1, e_Pumping = 3 };

  explicit cWaterPump(cLevel* level);

  vek::u32 GetType() const override { return e_TypeWaterPump; }
  bool OnStateChange(vek::i32 from, vek::i32 to) override;
  // At the right edge of the field; the zero rectangle while the level has no water.
  vek::rectf GetRect() const override;
  void Update() override;
  void Draw() override;

  const cStationPart& GetWater() const { return m_Water; }

 private:
  cStationPart m_Water, m_Top;
};

// Registers the pump maker with the field.
void RegisterPumpMakers();
