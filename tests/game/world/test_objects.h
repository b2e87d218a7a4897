#pragma once
// Small stand-ins for the figures of the field, for tests of the field itself: an object of
// any type with a size, a plant held at one stage, and a gardener that records the tasks it is
// given.
#include <deque>
#include <string>
#include <vector>

#include "game/world/gardener_base.h"
#include "game/world/level.h"
#include "game/world/plant.h"

namespace vektest {

class TypedObject : public cObject {
 public:
  TypedObject(cLevel* level, vek::u32 type, vek::f32 w = 0.0f, vek::f32 h = 0.0f) : cObject(level), type(type) {
    SetSize(w, h);
  }
  vek::u32 GetType() const override { return type; }
  vek::u32 GetWareId() const override { return ware; }
  vek::i32 GetStage() const override { return stage; }
  bool IsReady() const override { return ready; }
  bool OnStateChange(vek::i32 from, vek::i32 to) override {
    changes.push_back({from, to});
    return cObject::OnStateChange(from, to);
  }

  vek::u32 type;
  vek::u32 ware = kNoWare;
  vek::i32 stage = -1;
  bool ready = false;
  std::vector<std::pair<vek::i32, vek::i32>> changes;
};

// A plant held at a stage of the test's choosing (0 thirsty, 1 weedy, 2 ripe).
class StagedPlant : public cPlant {
 public:
  StagedPlant(vek::u32 ware, cLevel* level, vek::i32 stage) : cPlant(ware, level), m_Fixed(stage) {}
  vek::i32 GetStage() const override { return m_Fixed; }

 private:
  vek::i32 m_Fixed;
};

class RecordingGardener : public cGardenerBase {
 public:
  explicit RecordingGardener(cLevel* level) : cGardenerBase(level) { SetSize(0.0f, 0.0f); }
  void AddTaskCell(const cCell& c) override {
    log.push_back("cell " + std::to_string(c.i) + "," + std::to_string(c.j));
    tasks.push_back({0, c});
  }
  void AddTaskObject(vek::u32 id) override {
    log.push_back("object " + std::to_string(id));
    tasks.push_back({id, GetLevel()->FindObject(id)->GetCell()});
  }
  void AddTaskByType(vek::u32 mask) override { log.push_back("type " + std::to_string(mask)); }
  void AddTaskAction(vek::u32 ware) override { log.push_back("seed " + std::to_string(ware)); }
  void ReleaseTaskTargets() override {
    log.push_back("release");
    tasks.clear();
  }
  void ClearSeed() override {
    log.push_back("clearseed");
    seed = kNoWare;
  }
  vek::i32 GetHeldToolKind() const override { return held; }
  vek::u32 GetSeed() const override { return seed; }
  const std::deque<cGardenerTask>& GetTasks() const override { return tasks; }

  std::vector<std::string> log;
  std::deque<cGardenerTask> tasks;
  vek::i32 held = -1;
  vek::u32 seed = kNoWare;
};

}  // namespace vektest
