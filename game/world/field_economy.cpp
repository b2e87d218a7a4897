// The play field's economy: seeds, purchases, the shop's tool bars, wares in flight and the
// needed flags of what serves the mission.
#include "game/app/garden_services.h"
#include "game/world/level.h"

bool cLevel::SelectSeed(vek::u32) { return false; }
vek::u32 cLevel::AddPlant(vek::u32, const cCell&) { return 0; }
bool cLevel::BuyAnimal(vek::i32) { return false; }
vek::u32 cLevel::AddOstrich() { return 0; }
vek::u32 cLevel::AddGoat() { return 0; }
vek::u32 cLevel::AddPeacock() { return 0; }
vek::u32 cLevel::AddHive() { return 0; }
void cLevel::UpdateToolbars() {}
void cLevel::AddTransfer(vek::i32, vek::i32, vek::i32, vek::i32, vek::i32) {}
vek::i32 cLevel::CountTransfers(vek::i32) const { return 0; }
void cLevel::UpdateTransfers(vek::f32) {}
void cLevel::StepTransfers(vek::f32) {}
vek::vec2 cLevel::GetCarPoint() { return m_CarPoint; }
void cLevel::ShowSaleMoney(vek::i32) {}
void cLevel::UpdateNeedFlags(const cMissionTask*) {}
vek::i32 cLevel::CountKind(vek::i32) const { return 0; }
