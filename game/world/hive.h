#pragma once
// The bee hive and its bee. The bee flies to ripe flowers and brings honey home; the gardener
// takes the honey once the hive is full. Full honey not taken within a minute is lost; a hive
// whose bee finds no flowers for two minutes vanishes with its bee.
#include "engine/core/tween.h"
#include "game/world/work_station.h"

class cHive : public cWorkStation {
 public:
  enum : vek::i32 { e_Working = 0, e_Appearing = 3, e_Vanishing = 4 };
  static constexpr vek::f32 kFullSeconds = 60.0f;

  explicit cHive(cLevel* level);
  ~cHive() override;

  vek::u32 GetType() const override { return e_TypeHive; }
  bool OnStateChange(vek::i32 from, vek::i32 to) override;
  vek::rectf GetRect() const override;
  bool HitTest(const vek::vec2& p) const override;
  vek::f32 GetDepth() const override { return m_Y - 11.0f; }
  // The object's record, the honey, the capacity and the full timer.
  bool Read(vek::cBitStream& stream) override;
  bool Write(vek::cBitStream& stream) const override;
  void Update() override;
  void Draw() override;
  bool IsReady() const override { return m_Capacity <= m_Honey; }

  // One unit from a bee; false when full or when no task needs honey.
  virtual bool AddHoney();
  // Empties a full hive; false when it is not full.
  virtual bool TakeHoney();

  // The top part plays with the gardener's honey work.
  void SetTopMode(vek::u32 mode) { m_Top.Play(mode, false); }
  void SetNeeded(bool needed) override { m_bNeeded = needed; }
  // Drops the honey (no task needs it any more).
  void ClearStock() override { m_Honey = 0; }
  bool IsNeeded() const { return m_bNeeded; }
  vek::i32 GetHoney() const { return m_Honey; }
  void SetHoney(vek::i32 honey) { m_Honey = honey; }
  vek::i32 GetCapacity() const { return m_Capacity; }
  const vek::cAnimatedFloat& GetFullTimer() const { return m_Full; }
  const vek::cAnimatedFloat& GetScale() const { return m_Scale; }

 private:
  void Burst();

  vek::i32 m_Honey = 0;
  vek::i32 m_Capacity = 1;
  vek::cAnimatedFloat m_Full;
  cStationPart m_Top;
  vek::cAnimatedFloat m_Scale;
  bool m_bNeeded = true;
};

class cBee : public cObject {
 public:
  enum : vek::i32 { e_Flying = 1, e_AtHive = 3, e_AtFlower = 4 };
  static constexpr vek::f32 kHiveSeconds = 120.0f, kFlowerSeconds = 3.0f, kSpeed = 30.0f;

  // Stands on its hive's cell.
  cBee(cLevel* level, vek::u32 hiveId);

  vek::u32 GetType() const override { return e_TypeBee; }
  bool OnStateChange(vek::i32 from, vek::i32 to) override;
  vek::rectf GetRect() const override { return {m_X - m_W * 0.5f, m_Y + 40.0f, m_W, m_H}; }
  bool HitTest(const vek::vec2&) const override { return false; }
  vek::f32 GetDepth() const override { return m_Y - 12.0f; }
  void Update() override;
  void Draw() override;

  // The hive the bee serves; the bee moves to its cell.
  void SetHome(vek::u32 hiveId) override;
  vek::u32 GetHiveId() const { return m_HiveId; }
  vek::u32 GetTarget() const { return m_Target; }
  const vek::cAnimatedFloat& GetWaitTimer() const { return m_Wait; }

 private:
  cHive* GetHive() const;
  bool IsTargetTaken(vek::u32 plantId) const;
  void StepAtHive();
  void StepFlying();
  void StepAtFlower();

  vek::cAnimatedFloat m_Wait;
  vek::u32 m_HiveId = 0;
  vek::u32 m_Target = 0;
  vek::cAnimatedVec2 m_Flight;
};

// Registers the hive and bee makers with the field.
void RegisterHiveMakers();
