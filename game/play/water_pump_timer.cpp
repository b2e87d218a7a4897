#include "game/play/water_pump_timer.h"

#include "game/app/game_rules.h"

bool cWaterPumpTimer::Step(bool due) {
  if (!IsRunning() && due) m_Left = kSeconds;
  if (!IsRunning()) return false;
  m_Left -= cGameRules::kStep;
  if (m_Left > 1e-4f) return false;
  m_Left = 0.0f;
  return true;
}
