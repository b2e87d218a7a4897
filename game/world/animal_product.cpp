// Eggs and nibs lying on the field.
#include "game/world/animal_product.h"

#include "game/app/garden_services.h"
#include "game/world/level.h"
#include "game/world/ware_manager.h"

cAnimalProduct::cAnimalProduct(cLevel* level, const cCell& cell, const vek::string& area) : cObject(level) {
  if (g_pWareManager) m_Ware = static_cast<vek::u32>(g_pWareManager->GetWareId(area));
  SetSprite("icons00", area, vek::cFrameAnimation::e_Stop);
  m_Life.SetTarget(kLifetime);
  SetCell(cell.i, cell.j);
}

void cAnimalProduct::SetCell(vek::i32 row, vek::i32 column) {
  cLevel* level = GetLevel();
  if (!level) return;
  const vek::vec2 p = level->CellToPos(row, column);
  SetPosition(p.x, p.y + level->GetCellSize().y * 0.5f - 16.0f);
}

void cAnimalProduct::Update() {
  cObject::Update();
  // Left lying for its whole lifetime, it is gone; the lifetime holds while a lesson waits for
  // the player.
  if (GardenServices()->IsFieldHeldByHint()) return;
  if (m_Life.Update(1.0f / 30.0f) != vek::e_TweenRunning) SetState(2);
}

void cAnimalProduct::Draw() {
  const vek::rectf r = GetRect();
  GetLevel()->DrawProgressRing(m_Life.current / kLifetime, 21.0f, {r.x + r.w * 0.5f, r.y + r.h * 0.5f});
  cObject::Draw();
}
