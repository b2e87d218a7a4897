#pragma once
// The three tools that lie on the field and that the gardener carries one at a time: the water
// can (units of water, filled at the pump, used by watering), the weeding tool and the bin (the
// wares harvested or collected, in the order they came). The can's and the bin's capacities
// grow with the player's upgrades.
#include <vector>

#include "game/world/object.h"

class cTool : public cObject {
 public:
  using cObject::cObject;

  // Not hit while carried; else the point lies in the tool's rectangle.
  bool HitTest(const vek::vec2& p) const override;
  vek::f32 GetDepth() const override { return m_Y - 25.0f; }
  // The object's record; a tool saved on a cell that is blocked now moves to the nearest free one.
  bool Read(vek::cBitStream& stream) override;
  bool Write(vek::cBitStream& stream) const override { return cObject::Write(stream); }
  // Nothing while carried; the highlight under the tool while selected.
  void Draw() override;
  bool IsTaken() const override { return m_bTaken; }

  // 0 water can, 1 weeding tool, 2 bin.
  virtual vek::i32 GetToolKind() const = 0;
  virtual void SetTaken(bool taken) { m_bTaken = taken; }

 protected:
  bool m_bTaken = false;
};

class cToolWater : public cTool {
 public:
  explicit cToolWater(cLevel* level);

  vek::u32 GetType() const override { return e_TypeToolWater; }
  // The zero rectangle while the level has no water: the can is neither hit nor drawn.
  vek::rectf GetRect() const override;
  bool Read(vek::cBitStream& stream) override;
  bool Write(vek::cBitStream& stream) const override;
  void Draw() override;
  vek::i32 GetToolKind() const override { return 0; }

  virtual void SetCapacity(vek::i32 capacity) { m_Capacity = capacity; }
  // Adds n units; a fill that would overflow is refused whole.
  virtual void Fill(vek::i32 n);
  virtual bool IsFull() const { return m_Capacity <= m_Amount; }
  // Refused above the capacity.
  virtual void SetAmount(vek::i32 n);
  // Takes n units; refused when fewer are left.
  virtual void Use(vek::i32 n);
  virtual vek::i32 GetAmount() const { return m_Amount; }

  vek::i32 GetCapacity() const { return m_Capacity; }

 private:
  vek::i32 m_Capacity = 0;
  vek::i32 m_Amount = 0;
};

class cToolWeed : public cTool {
 public:
  explicit cToolWeed(cLevel* level);
  vek::u32 GetType() const override { return e_TypeToolWeed; }
  vek::i32 GetToolKind() const override { return 1; }
};

class cToolBin : public cTool {
 public:
  explicit cToolBin(cLevel* level);

  vek::u32 GetType() const override { return e_TypeToolBin; }
  // The items follow the object's record; those beyond the capacity are dropped.
  bool Read(vek::cBitStream& stream) override;
  bool Write(vek::cBitStream& stream) const override;
  void Draw() override;
  vek::i32 GetToolKind() const override { return 2; }

  virtual bool IsFull() const { return GetCapacity() <= GetCount(); }
  virtual vek::i32 CountItems(vek::u32 wareId) const;
  virtual vek::i32 GetCount() const { return static_cast<vek::i32>(m_Items.size()); }
  // False when full.
  virtual bool AddItem(vek::u32 wareId);
  // The item at the index, taken out; the no-ware id past the end.
  virtual vek::u32 TakeItem(vek::i32 index);
  virtual vek::u32 TakeFirstItem() { return TakeItem(0); }
  // From the player's bin upgrade, on every call.
  virtual vek::i32 GetCapacity() const;

  const std::vector<vek::u32>& GetItems() const { return m_Items; }

 private:
  std::vector<vek::u32> m_Items;
};

// Registers the water can, weeding tool and bin makers with the field.
void RegisterToolMakers();
