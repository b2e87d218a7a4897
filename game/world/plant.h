#pragma once
// Plants and the free planting cells (holes) of the field. A plant belongs to one sort, grows
// in steps, now and then stops to ask for water or weeding, ripens, is harvested and grows
// again on the same cell. A plant left waiting for care withers after a minute.
#include "engine/core/tween.h"
#include "game/world/object.h"
#include "game/world/ware_manager.h"

class cPlant : public cObject {
 public:
  static constexpr vek::f32 kWaitSeconds = 60.0f;
  // The training step that teaches watering flowers.
  static constexpr vek::i32 kFlowersTraining = 9;

  cPlant(vek::u32 wareId, cLevel* level);
  ~cPlant() override = default;

  vek::u32 GetType() const override { return e_TypePlant; }
  bool OnStateChange(vek::i32 from, vek::i32 to) override;
  vek::rectf GetRect() const override;
  bool HitTest(const vek::vec2&) const override { return false; }  // reached through its cell
  vek::f32 GetDepth() const override;
  // Ware id, growth, then the object's own record; false when the sort has no picture.
  bool Read(vek::cBitStream& stream) override;
  bool Write(vek::cBitStream& stream) const override;
  void Update() override;
  void Draw() override;
  vek::u32 GetWareId() const override { return GetKind(); }
  vek::i32 GetStage() const override { return m_Stage; }

  virtual void OnStageChange(vek::i32 stage);
  // The gardener's water or weed work has ended.
  virtual void Tend();
  // 0 when ripe, else the share of the wait that has passed.
  virtual vek::f32 GetProgress() const;
  virtual vek::u32 GetKind() const { return static_cast<vek::u32>(m_pSort->GetId()); }
  // The sort's ware id when ripe (and a new cycle starts); the no-ware id otherwise.
  virtual vek::u32 Harvest();
  virtual bool SetKind(vek::u32 wareId);
  virtual void SetGrowth(vek::f32 growth);
  virtual void AddGrowth(vek::f32 d);

  vek::f32 GetGrowth() const { return m_Growth; }
  vek::i32 GetNextNeed() const { return m_NextNeed; }
  void SetInWork(bool inWork) { m_bInWork = inWork; }
  void SetEater(vek::u32 id) { m_Eater = id; }
  vek::u32 GetEater() const { return m_Eater; }
  void SetNeeded(bool needed) override { m_bNeeded = needed; }
  bool IsNeeded() const { return m_bNeeded; }
  const vek::cAnimatedFloat& GetWaitTimer() const { return m_Wait; }

 private:
  bool IsSort(const char* name) const;
  bool IsGround() const;  // grass and flowers lie under everything else
  void StartCycle();

  cSort* m_pSort = nullptr;
  vek::f32 m_Growth = 0.0f;
  vek::f32 m_Rate = 0.0f;
  vek::cAnimatedFloat m_Wait;
  vek::i32 m_Stage = -1;
  bool m_bInWork = false;
  vek::u32 m_Eater = 0;
  vek::i32 m_NextNeed = -1;
  bool m_bNeeded = true;
};

class cHole : public cObject {
 public:
  explicit cHole(cLevel* level);
  vek::u32 GetType() const override { return e_TypeHole; }
  vek::rectf GetRect() const override;
  vek::f32 GetDepth() const override { return m_Y + 1000.0f; }
  void Draw() override;
  // The first live plant on the hole's cell; 0 when none (or the hole has no cell).
  virtual vek::u32 GetPlantId() const;

  bool m_bShown = true;
};

// Registers the plant and hole makers with the field.
void RegisterPlantMakers();
