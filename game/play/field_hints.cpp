#include "game/play/field_hints.h"

#include "game/app/garden_services.h"
#include "game/world/animal.h"
#include "game/world/gardener_base.h"
#include "game/world/hive.h"
#include "game/world/level.h"
#include "game/world/tools.h"
#include "game/world/ware_manager.h"

namespace {

constexpr int kShow = 0, kClose = 1, kPass = 2;
constexpr int kHeldCan = 0, kHeldBin = 2;

template <class T>
T* First(cLevel& level, vek::u32 type) {
  for (cObject* o : level.GetRegistry())
    if (o->IsType(type))
      if (auto* t = dynamic_cast<T*>(o)) return t;
  return nullptr;
}

bool Any(cLevel& level, vek::u32 type, int state = -1) {
  for (cObject* o : level.GetRegistry())
    if (o->IsType(type) && (state < 0 || o->GetState() == state)) return true;
  return false;
}

bool BinUsable(cLevel& level) {
  const cToolBin* bin = First<cToolBin>(level, e_TypeToolBin);
  return bin && !bin->IsFull();
}

int HeldTool(cLevel& level) {
  cGardenerBase* g = level.IsObjectValid(level.GetGardenerId()) ? level.GetGardener() : nullptr;
  return g ? g->GetHeldToolKind() : -1;
}

bool Affords(iGardenServices& services, vek::i32 price) { return price >= 0 && price <= services.GetMoney(); }

vek::i32 WareId(const char* name) { return g_pWareManager ? g_pWareManager->GetWareId(name) : kNoWare; }

bool SortAffordable(iGardenServices& services, const char* sort) {
  const vek::i32 ware = WareId(sort);
  return ware != kNoWare && Affords(services, g_pWareManager->GetWare(static_cast<vek::u32>(ware)).GetPrice());
}

bool HasTask(iGardenServices& services, const char* ware) {
  const vek::i32 id = WareId(ware);
  return id != kNoWare && services.FindTaskForWare(id) != nullptr;
}

bool PlantOfSort(cLevel& level, vek::i32 ware) {
  for (cObject* o : level.GetRegistry())
    if (o->IsType(e_TypePlant) && static_cast<vek::i32>(o->GetWareId()) == ware) return true;
  return false;
}

// An animal step: only while the field has none of the kind and the shop's price is affordable.
int AnimalStep(cLevel& level, iGardenServices& services, vek::i32 kind) {
  return level.CountKind(kind) == 0 && Affords(services, services.GetAnimalPrice(kind)) ? kShow : kClose;
}

// A step that sends the player for the bin.
int BinStep(cLevel& level) {
  if (!BinUsable(level)) return kClose;
  return HeldTool(level) == kHeldBin ? kPass : kShow;
}

}  // namespace

bool FieldHintSituation(cLevel& level, iGardenServices& services, int hint) {
  switch (hint) {
    case 1:
      for (cObject* o : level.GetRegistry())
        if (o->IsType(e_TypePlant) && o->GetStage() == 0) return true;
      return false;
    case 5:
      return level.CountKind(cAnimal::e_KindOstrich) >= 1 && SortAffordable(services, "grass") &&
             Any(level, e_TypeAnimal, 3);
    case 6: return Any(level, e_TypeEgg) && BinUsable(level);
    case 8: {
      const cObject* goat = First<cObject>(level, e_TypeGoat);
      return level.CountKind(cAnimal::e_KindGoat) >= 1 && goat && goat->GetState() == 9 && BinUsable(level);
    }
    case 10: {
      const cHive* hive = First<cHive>(level, e_TypeHive);
      return level.CountKind(cAnimal::e_KindHive) >= 1 && hive && hive->GetHoney() > 0 && BinUsable(level);
    }
    case 11:
      return services.GetCurrentLevel() == 5 && PlantOfSort(level, WareId("plant00")) &&
             SortAffordable(services, "plant02") && !HasTask(services, "plant00") && HasTask(services, "plant02");
    default: return false;
  }
}

int FieldHintStep(cLevel& level, iGardenServices& services, int hint, int step) {
  if (hint == 1 && step == 0) {
    if (services.GetMoney() < 5) return kClose;
    return HeldTool(level) == kHeldCan ? kPass : kShow;
  }
  if (hint == 1 && step == 1) {
    const cToolWater* can = First<cToolWater>(level, e_TypeToolWater);
    return can && can->IsFull() ? kPass : kShow;
  }
  if (hint == 0 && step == 6) {
    // The lesson's bin step starts from an empty bin.
    if (cToolBin* bin = First<cToolBin>(level, e_TypeToolBin))
      while (bin->GetCount() != 0) bin->TakeFirstItem();
    return kShow;
  }
  if (step == 0) switch (hint) {
      case 4: return AnimalStep(level, services, cAnimal::e_KindOstrich);
      case 7: return AnimalStep(level, services, cAnimal::e_KindGoat);
      case 9: return AnimalStep(level, services, cAnimal::e_KindHive);
      case 12: return AnimalStep(level, services, cAnimal::e_KindPeacock);
      case 6:
      case 8:
      case 10: return BinStep(level);
      case 11: return SortAffordable(services, "plant00") ? kShow : kClose;
      default: break;
    }
  return kShow;
}
