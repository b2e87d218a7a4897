// The water can, the weeding tool and the bin.
#include "game/world/tools.h"

#include <algorithm>

#include "engine/core/log.h"
#include "game/app/garden_services.h"
#include "game/world/balance.h"
#include "game/world/level.h"

namespace {

const char* const kSender = "Tools";

// The row's entry at the player's level of the upgrade; 0 past the row's end.
vek::i32 UpgradeValue(const std::vector<vek::i32>& row, vek::i32 upgrade) {
  const vek::i32 level = GardenServices()->GetUpgradeLevel(upgrade);
  return level >= 0 && static_cast<size_t>(level) < row.size() ? row[static_cast<size_t>(level)] : 0;
}

vek::u32 BytesLeft(const vek::cBitStream& s) {
  const vek::u32 read = static_cast<vek::u32>(s.GetReadPosition() / 8);
  const vek::u32 total = s.GetByteCount();
  return total > read ? total - read : 0;
}

// A row of icons over a tool: n of them, each overlapping the one before by half, centred on
// the rectangle; icon i shows frame 1 when filled(i).
template <typename cFilled>
void DrawIconRow(vek::cQuadBatch* batch, const cSprite& icon, const vek::rectf& r, vek::f32 y, vek::i32 n,
                 cFilled filled) {
  if (!batch || !icon.texture || !icon.frames || n <= 0) return;
  const vek::f32 iw = icon.width;
  const vek::f32 rowW = (static_cast<vek::f32>(n - 1) * 0.5f + 1.0f) * iw;
  for (vek::i32 i = 0; i < n; ++i) {
    const vek::u32 frame = filled(i) && icon.frameCount > 1 ? 1u : 0u;
    const vek::f32 x = r.x + (r.w - rowW) * 0.5f + static_cast<vek::f32>(i) * iw * 0.5f;
    vek::DrawQuad(batch, icon.texture, {x, y, iw, icon.height}, icon.frames[frame], 0xFFFFFFFFu);
  }
}

}  // namespace

// ---- all tools

bool cTool::HitTest(const vek::vec2& p) const { return !m_bTaken && GetRect().Contains(p); }

bool cTool::Read(vek::cBitStream& stream) {
  if (!cObject::Read(stream)) return false;
  const cCell c = GetCell();
  if (m_pLevel && m_pLevel->GetCellValue(c.i, c.j) == 0.0f) {
    const cCell to = m_pLevel->FindFreeCell(c);
    if (m_pLevel->IsCellInside(to)) SetCell(to);
  }
  return true;
}

void cTool::Draw() {
  if (m_bTaken) return;
  if (m_bSelected) {
    static const cSprite highlight = FindSprite("images00", "highlight");
    vek::cQuadBatch* batch = m_pLevel ? m_pLevel->GetBatch() : nullptr;
    if (batch && highlight.texture && highlight.frames)
      vek::DrawQuad(batch, highlight.texture, GetRect(), highlight.frames[0], 0xFFFFFFFFu);
  }
  cObject::Draw();
}

// ---- water can

cToolWater::cToolWater(cLevel* level) : cTool(level) {
  SetSprite("images00", "water", vek::cFrameAnimation::e_Stop);
  m_Capacity = UpgradeValue(GameBalance().waterVolume, 1);
}

vek::rectf cToolWater::GetRect() const {
  if (GardenServices()->GetWaterFlag() == 0) return {0.0f, 0.0f, 0.0f, 0.0f};
  return cObject::GetRect();
}

void cToolWater::SetAmount(vek::i32 n) {
  if (n <= m_Capacity) m_Amount = n;
}

void cToolWater::Fill(vek::i32 n) {
  if (m_Amount + n <= m_Capacity) SetAmount(m_Amount + n);
}

void cToolWater::Use(vek::i32 n) {
  if (n <= m_Amount) SetAmount(m_Amount - n);
}

bool cToolWater::Read(vek::cBitStream& stream) {
  if (!cTool::Read(stream)) return false;
  const vek::i32 capacity = static_cast<vek::i32>(stream.ReadInt());
  const vek::i32 amount = static_cast<vek::i32>(stream.ReadInt());
  // Only a capacity an upgrade can give: a huge one from a damaged or hostile file would have
  // every frame draw millions of water icons. Such a can keeps the capacity of the player's
  // upgrade; an amount beyond the capacity fills it, a negative one leaves it empty.
  const std::vector<vek::i32>& volumes = GameBalance().waterVolume;
  const vek::i32 most = volumes.empty() ? 0 : *std::max_element(volumes.begin(), volumes.end());
  if (capacity >= 0 && capacity <= most) {
    SetCapacity(capacity);
  } else {
    vek::LogWarning(kSender, "Read: a water can of capacity %i is refused; it holds %i\n", capacity, m_Capacity);
  }
  SetAmount(std::clamp(amount, 0, m_Capacity));
  return true;
}

bool cToolWater::Write(vek::cBitStream& stream) const {
  if (!cTool::Write(stream)) return false;
  stream.WriteInt(static_cast<vek::u32>(m_Capacity));
  stream.WriteInt(static_cast<vek::u32>(m_Amount));
  return true;
}

void cToolWater::Draw() {
  if (GardenServices()->GetWaterFlag() == 0) return;
  cTool::Draw();
  static const cSprite unit = FindSprite("icons00", "water");
  const vek::rectf r = GetRect();
  DrawIconRow(m_pLevel ? m_pLevel->GetBatch() : nullptr, unit, r, r.y - (m_bTaken ? 14.0f : 7.0f), m_Amount,
              [](vek::i32) { return false; });
}

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

bool cToolBin::Read(vek::cBitStream& stream) {
  if (!cTool::Read(stream)) return false;
  m_Items.clear();
  const vek::u32 count = stream.ReadInt();
  // Every id is read so the records behind stay in place, but never more than the stream
  // holds; the bin keeps the first ones that fit.
  const vek::u32 stored = BytesLeft(stream) / 4;
  if (count > stored)
    vek::LogWarning(kSender, "Read: the bin lists %i items but only %i are stored\n", count, stored);
  for (vek::u32 n = 0; n < count && n < stored; ++n) AddItem(stream.ReadInt());
  return count <= stored;
}

bool cToolBin::Write(vek::cBitStream& stream) const {
  if (!cTool::Write(stream)) return false;
  stream.WriteInt(static_cast<vek::u32>(m_Items.size()));
  for (vek::u32 id : m_Items) stream.WriteInt(id);
  return true;
}

void cToolBin::Draw() {
  cTool::Draw();
  static const cSprite place = FindSprite("icons00", "bin");
  const vek::rectf r = GetRect();
  const vek::i32 count = GetCount();
  DrawIconRow(m_pLevel ? m_pLevel->GetBatch() : nullptr, place, r, r.y - (m_bTaken ? 9.0f : 4.0f), GetCapacity(),
              [count](vek::i32 i) { return i < count; });
}

void RegisterToolMakers() {
  cLevel::SetMaker(e_KindToolWater, [](cLevel* level) -> cObject* { return new cToolWater(level); });
  cLevel::SetMaker(e_KindToolWeed, [](cLevel* level) -> cObject* { return new cToolWeed(level); });
  cLevel::SetMaker(e_KindToolBin, [](cLevel* level) -> cObject* { return new cToolBin(level); });
}
