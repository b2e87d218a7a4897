#pragma once
// Ships bringing new people to the island: each crosses the horizon on a straight course,
// sounds its horn a quarter of the way, and hands its people over when it arrives. Ships
// without people cross slowly, as scenery. Also the water pump's opening.
#include <vector>

#include "engine/core/types.h"

class cHints;

struct cShip {
  vek::f32 progress = 0.0f;  // 0 at the start, 1 at the island
  vek::f32 speed = 0.0f;     // progress per second
  int people = 0;
  void* emitter = nullptr;   // the trailing particles (not owned)
};

class cShips {
 public:
  static constexpr vek::f32 kPeopleSpeed = 0.15f;
  static constexpr vek::f32 kSceneSpeed = 0.018f;

  cShips() = default;
  ~cShips() { Clear(); }
  cShips(const cShips&) = delete;
  cShips& operator=(const cShips&) = delete;

  // A new ship; asks for the new-people tip, which, when shown, doubles the first ship's speed.
  cShip& Add(int people, cHints* hints);
  // One fixed step of every ship; arrived ships leave the list.
  void Update();
  void Clear();
  const std::vector<cShip>& List() const { return m_Ships; }

  // The course point of a progress.
  static vek::f32 CourseX(vek::f32 progress) { return 150.0f + 630.0f * progress; }
  static constexpr vek::f32 kCourseY = 701.0f;

  // Opens the water pump once: the pump state becomes 1, with particles at the can and the
  // pump and the sound of a new sort.
  static void OpenWaterPump();

 private:
  static void Step(cShip& ship);
  std::vector<cShip> m_Ships;
};
