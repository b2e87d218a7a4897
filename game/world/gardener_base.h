#pragma once
// What the play field needs of the gardener: its task queue and the operations a click
// calls. The gardener itself lives with the other figures of the field.
#include <deque>

#include "game/world/object.h"

// One queued task: a target object (or, with the no-cell sentinel, a seed ware id) and a cell.
struct cGardenerTask {
  vek::u32 id = 0;
  cCell cell;
};

class cGardenerBase : public cObject {
 public:
  using cObject::cObject;
  vek::u32 GetType() const override { return e_TypeGardener; }

  virtual void AddTaskCell(const cCell& cell) = 0;
  virtual void AddTaskObject(vek::u32 id) = 0;
  virtual void AddTaskByType(vek::u32 mask) = 0;
  // Queues the choice of a seed (the shop's seed row).
  virtual void AddTaskAction(vek::u32 /*ware*/) {}
  // Empties the queue and releases the targets.
  virtual void ReleaseTaskTargets() = 0;
  virtual void ClearSeed() = 0;
  // 0 water can, 1 weed tool, 2 bin, -1 none.
  virtual vek::i32 GetHeldToolKind() const = 0;
  // The selected seed's ware id; 1000 when none.
  virtual vek::u32 GetSeed() const = 0;
  virtual const std::deque<cGardenerTask>& GetTasks() const = 0;
  // The walking speed in units per second; a walk in progress takes it on at once.
  virtual void SetSpeed(vek::f32 /*speed*/) {}
};
