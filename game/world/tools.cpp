// The water can, the weeding tool and the bin.
#include "game/world/tools.h"

#include "game/app/garden_services.h"
#include "game/world/balance.h"
#include "game/world/level.h"

namespace {

// The row's entry at the player's level of the upgrade; 0 past the row's end.
vek::i32 UpgradeValue(const std::vector<vek::i32>& row, vek::i32 upgrade) {
  const vek::i32 level = GardenServices()->GetUpgradeLevel(upgrade);
  return level >= 0 && static_cast<size_t>(level) < row.size() ? row[static_cast<size_t>(level)] : 0;
}

}  // namespace

// ---- all tools

bool cTool::HitTest(const vek::vec2& p) const { return !m_bTaken && GetRect().Contains(p); }

bool cTool::Read(vek::cBitStream& stream) { return cObject::Read(stream); }

void cTool::Draw() {
  if (m_bTaken) return;
  cObject::Draw();
}

// ---- water can

cToolWater::cToolWater(cLevel* level) : cTool(level) {
  SetSprite("images00", "water", vek::cFrameAnimation::e_Stop);
  m_Capacity = UpgradeValue(GameBalance().waterVolume, 1);
}

vek::rectf cToolWater::GetRect() const { return cObject::GetRect(); }

void cToolWater::SetAmount(vek::i32 n) {
  if (n <= m_Capacity) m_Amount = n;
}

void cToolWater::Fill(vek::i32 n) {
  if (m_Amount + n <= m_Capacity) SetAmount(m_Amount + n);
}

void cToolWater::Use(vek::i32 n) {
  if (n <= m_Amount) SetAmount(m_Amount - n);
}

bool cToolWater::Read(vek::cBitStream& stream) { return cTool::Read(stream); }

bool cToolWater::Write(vek::cBitStream& stream) const { return cTool::Write(stream); }

void cToolWater::Draw() { cTool::Draw(); }

// ---- weeding tool

cToolWeed::cToolWeed(cLevel* level) : cTool(level) { SetSprite("images00", "weed", vek::cFrameAnimation::e_Stop); }

// ---- bin

cToolBin::cToolBin(cLevel* level) : cTool(level) { SetSprite("images00", "bin", vek::cFrameAnimation::e_Stop); }

vek::i32 cToolBin::GetCapacity() const { return UpgradeValue(GameBalance().binVolume, 2); }

vek::i32 cToolBin::CountItems(vek::u32 wareId) const {
  vek::i32 n = 0;
  for (vek::u32 id : m_Items) n += id == wareId ? 1 : 0;
  return n;
}

bool cToolBin::AddItem(vek::u32 wareId) {
  if (IsFull()) return false;
  m_Items.push_back(wareId);
  return true;
}

vek::u32 cToolBin::TakeItem(vek::i32 index) {
  if (index < 0 || index >= GetCount()) return kNoWare;
  const vek::u32 id = m_Items[static_cast<size_t>(index)];
  m_Items.erase(m_Items.begin() + index);
  return id;
}

bool cToolBin::Read(vek::cBitStream& stream) { return cTool::Read(stream); }

bool cToolBin::Write(vek::cBitStream& stream) const { return cTool::Write(stream); }

void cToolBin::Draw() { cTool::Draw(); }

void RegisterToolMakers() {
  cLevel::SetMaker(e_KindToolWater, [](cLevel* level) -> cObject* { return new cToolWater(level); });
  cLevel::SetMaker(e_KindToolWeed, [](cLevel* level) -> cObject* { return new cToolWeed(level); });
  cLevel::SetMaker(e_KindToolBin, [](cLevel* level) -> cObject* { return new cToolBin(level); });
}
