// The play field's economy: seeds, purchases, the shop's tool bars, wares in flight and the
// needed flags of what serves the mission.
#include "game/world/field_economy.h"

#include <cmath>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/gui.h"
#include "engine/gui/list_ctrl.h"
#include "engine/gui/window.h"
#include "game/app/game_rules.h"
#include "game/app/garden_services.h"
#include "game/app/locale_gd.h"
#include "game/app/player.h"
#include "game/world/animal.h"
#include "game/world/balance.h"
#include "game/world/gardener_base.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "game/world/plant.h"
#include "game/world/ware_manager.h"

namespace {

constexpr vek::f32 kFloatEpsilon = 1.1920929e-7f;
constexpr vek::i32 kDisabled = vek::cCtrl::e_Disabled;
// The shop's animal items are this far apart.
constexpr vek::f32 kAnimalItemPitch = 67.0f;

cFieldControlFinder g_Finder;

vek::cCtrl* GuiFind(const vek::string& window, const vek::string& control) {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  vek::cWindow* w = gui ? gui->GetWindow(window) : nullptr;
  if (!w) return nullptr;
  const unsigned id = w->FindControl(control);
  return id ? w->GetControl(id) : nullptr;
}

vek::i32 WareNamed(const char* name) { return g_pWareManager ? g_pWareManager->GetWareId(name) : 1000; }

// The game's price of an animal kind, else the balance table's; -1 for no such kind.
vek::i32 AnimalPrice(vek::i32 kind) {
  const vek::i32 own = GardenServices()->GetAnimalPrice(kind);
  if (own >= 0) return own;
  const cBalance& b = GameBalance();
  switch (kind) {
    case cAnimal::e_KindOstrich: return b.ostrichPrice;
    case cAnimal::e_KindGoat: return b.goatPrice;
    case cAnimal::e_KindHive: return b.hivePrice;
    case cAnimal::e_KindPeacock: return b.peacockPrice;
    default: return -1;
  }
}

vek::i32 WarePrice(vek::i32 ware) {
  return g_pWareManager ? g_pWareManager->GetWare(static_cast<vek::u32>(ware)).GetPrice() : 0;
}

// A training hint is on its way in: the shop waits for it.
bool IsTrainingHintMoving() {
  iGardenServices* s = GardenServices();
  return s->IsTraining() && s->GetHintIndex() != -1 && s->IsHintAnimating();
}

void SetItemEnabled(vek::cListCtrl* list, unsigned index, bool enabled) {
  vek::cCtrl* item = list->GetItem(index);
  if (!item) return;
  if (enabled) item->DisableState(kDisabled);
  else item->EnableState(kDisabled);
}

void BurstAt(const vek::rectf& r, vek::u32 count, vek::f32 value) {
  if (cParticles* parts = GardenServices()->GetParticles())
    parts->AddBurst({r.x + r.w * 0.5f, r.y + r.h * 0.5f, 0.0f}, count, value);
}

vek::vec2 RectCentre(const vek::rectf& r) { return {r.x + r.w * 0.5f, r.y + r.h * 0.5f}; }

}  // namespace

void SetFieldControlFinder(cFieldControlFinder finder) { g_Finder = std::move(finder); }

vek::cCtrl* FindFieldControl(const vek::string& window, const vek::string& control) {
  return g_Finder ? g_Finder(window, control) : GuiFind(window, control);
}

// ---- seeds and purchases

bool cLevel::SelectSeed(vek::u32 ware) {
  if (IsTrainingHintMoving()) return false;
  cGardenerBase* g = GetGardener();
  if (!g) return false;
  g->AddTaskAction(ware);
  iGardenServices* s = GardenServices();
  s->NextHintStep(4, 0);
  s->NextHintStep(0, 0);
  const vek::i32 w = static_cast<vek::i32>(ware);
  if (w == WareNamed("plant02")) s->NextHintStep(11, 0);
  if (w == WareNamed("grass")) s->NextHintStep(5, 0);
  if (w == WareNamed("flowers")) s->NextHintStep(9, 1);
  s->PlaySound(11);
  return true;
}

vek::u32 cLevel::AddPlant(vek::u32 ware, const cCell& cell) {
  auto* plant = new cPlant(ware, this);
  plant->SetCell(cell);
  return plant->GetId();
}

namespace {

vek::u32 AddAnimal(cLevel* level, eFieldKind kind, const cCell& cell) {
  cObject* o = level->Make(kind);
  if (!o) return 0;
  o->SetCell(cell);
  return o->GetId();
}

}  // namespace

vek::u32 cLevel::AddOstrich() { return AddAnimal(this, e_KindOstrich, {1, 7}); }
vek::u32 cLevel::AddGoat() { return AddAnimal(this, e_KindGoat, {6, 7}); }
vek::u32 cLevel::AddPeacock() { return AddAnimal(this, e_KindPeacock, {1, 1}); }

vek::u32 cLevel::AddHive() {
  const cObject* none = GetFirstObject();
  cCell cell{0, m_Grid.columns / 2 - 1};
  if (FindObjectAt(cell, e_TypeHive) != none) {
    cell.i = 2;
    if (FindObjectAt(cell, e_TypeHive) != none) return 0;  // a field holds two hives at most
  }
  cObject* hive = Make(e_KindHive);
  if (!hive) return 0;
  hive->SetCell(cell);
  for (cObject* o : ObjectsAtCell(cell))
    if (o != hive && (o->IsType(e_TypePlant) || o->IsType(e_TypeAnimalProduct))) o->SetState(2);
  SetCellValue(cell.i, cell.j, 0.0f);
  SetCellValue(cell.i + 1, cell.j, 0.0f);
  if (cObject* bee = Make(e_KindBee)) {
    bee->SetPosition(hive->GetPosition());
    bee->SetHome(hive->GetId());
  }
  return hive->GetId();
}

vek::i32 cLevel::CountKind(vek::i32 kind) const {
  // The counters run ostriches, hives, goats, peacocks; the shop's kinds ostrich, goat, hive, peacock.
  static constexpr vek::i32 kSlot[4] = {0, 2, 1, 3};
  return kind >= 0 && kind < 4 ? m_KindCounts[kSlot[kind]] : 0;
}

bool cLevel::BuyAnimal(vek::i32 kind) {
  if (kind < 0 || kind > 3 || IsTrainingHintMoving()) return false;
  iGardenServices* s = GardenServices();
  const vek::i32 price = AnimalPrice(kind);
  if (price < 0 || price > s->GetMoney()) return false;
  vek::u32 id = 0;
  switch (kind) {
    case cAnimal::e_KindOstrich: id = AddOstrich(); break;
    case cAnimal::e_KindGoat: id = AddGoat(); break;
    case cAnimal::e_KindHive: id = AddHive(); break;
    default: id = AddPeacock(); break;
  }
  // No place for it (a third hive): nothing is made, so nothing is paid.
  if (id == 0) return false;
  s->SpendMoney(price);
  UpdateToolbars();
  s->DecKindTask(kind);

  if (vek::cCtrl* animals = FindFieldControl("garden", "animals")) {
    const vek::rectf r = animals->GetRect();
    const vek::vec2 at{r.x + (static_cast<vek::f32>(kind) + 0.5f) * kAnimalItemPitch - 3.0f, r.y + r.h + 18.0f};
    m_pTexts->Add(FillPlaceholder("-$%i", price), at);
  }

  cObject* o = FindObject(id);
  if (o->IsType(e_TypeAnimal)) {
    o->SetState(8);
    if (auto* animal = dynamic_cast<cAnimal*>(o)) {
      const vek::i32 sound = animal->GetSoundId(1);
      if (sound >= 0) s->PlaySound(sound);
      if (CountKind(cAnimal::e_KindOstrich) + CountKind(cAnimal::e_KindGoat) + CountKind(cAnimal::e_KindPeacock) == 1)
        animal->SetQuickStart(true);
    }
  } else if (o->IsType(e_TypeHive)) {
    s->PlaySound(29);
    o->SetState(3);
  }
  for (vek::i32 hint : {4, 7, 9, 12}) s->NextHintStep(hint, 0);
  s->CountAnimalBought(kind);
  return true;
}

// ---- the shop's tool bars

void cLevel::UpdateToolbars() {
  auto* plants = dynamic_cast<vek::cListCtrl*>(FindFieldControl("garden", "plants"));
  auto* grass = dynamic_cast<vek::cListCtrl*>(FindFieldControl("garden", "grass"));
  auto* animals = dynamic_cast<vek::cListCtrl*>(FindFieldControl("garden", "animals"));
  if (!plants || !grass || !animals) return;
  iGardenServices* s = GardenServices();
  const bool twoHives = CountKind(cAnimal::e_KindHive) >= 2;
  if (s->GetPlayMode() == 2) {
    for (vek::cListCtrl* list : {plants, grass, animals})
      for (unsigned k = 0; k < list->GetItemCount(); ++k) SetItemEnabled(list, k, true);
    SetItemEnabled(animals, cAnimal::e_KindHive, !twoHives);
    return;
  }
  const vek::i32 money = s->GetMoney();
  const vek::i32 highest = s->GetHighestPlant();
  for (unsigned k = 0; k < plants->GetItemCount(); ++k)
    SetItemEnabled(plants, k, static_cast<vek::i32>(k) <= highest && WarePrice(static_cast<vek::i32>(k)) <= money);
  const bool anyAnimal = CountKind(cAnimal::e_KindOstrich) + CountKind(cAnimal::e_KindGoat) +
                             CountKind(cAnimal::e_KindPeacock) >= 1;
  SetItemEnabled(grass, 0, anyAnimal && WarePrice(WareNamed("grass")) <= money);
  SetItemEnabled(grass, 1, CountKind(cAnimal::e_KindHive) >= 1 && WarePrice(WareNamed("flowers")) <= money);
  for (unsigned k = 0; k < animals->GetItemCount(); ++k) {
    const vek::i32 price = AnimalPrice(static_cast<vek::i32>(k));
    SetItemEnabled(animals, k, price >= 0 && price <= money && !(k == cAnimal::e_KindHive && twoHives));
  }
}

// ---- wares in flight

void cLevel::AddTransfer(vek::i32 ware, vek::i32 sourceKind, vek::i32 sourceId, vek::i32 targetKind,
                         vek::i32 targetId) {
  cWareTransfer t;
  t.ware = ware;
  t.source = sourceKind;
  t.sourceId = sourceId;
  t.target = targetKind;
  t.targetId = targetId;
  m_Transfers.push_back(t);
}

vek::i32 cLevel::CountTransfers(vek::i32 ware) const {
  vek::i32 n = 0;
  for (const cWareTransfer& t : m_Transfers)
    if (t.ware == ware) ++n;
  return n;
}

void cLevel::UpdateTransfers(vek::f32 dt) {
  m_pTexts->Update(dt);
  if (m_Registry.Size() > 1)
    for (auto it = std::next(m_Registry.begin()); it != m_Registry.end(); ++it) (*it)->Move(dt);
  StepTransfers(dt);
  DeleteQueuedObjects();
}

void cLevel::UpdateFlights(vek::f32 dt) {
  m_pTexts->Update(dt);
  StepTransfers(dt);
}

vek::vec2 cLevel::GetCarPoint() {
  if (m_CarPoint.x < kFloatEpsilon) {
    cObject* car = FindObjectAt(kNoCell, e_TypeCar);
    if (car != GetFirstObject()) {
      const vek::rectf r = car->GetRect();
      m_CarPoint = {r.x, r.y + r.h * 0.5f};
    }
  }
  return m_CarPoint;
}

void cLevel::StepTransfers(vek::f32 dt) {
  iGardenServices* s = GardenServices();
  cObject* car = FindObjectAt(kNoCell, e_TypeCar);
  const bool carHome = car != GetFirstObject() && car->GetState() == 1;
  bool awayStarted = false;
  for (auto it = m_Transfers.begin(); it != m_Transfers.end();) {
    cWareTransfer& t = *it;
    if ((t.target == cWareTransfer::e_Car && !carHome) || (t.target == cWareTransfer::e_Away && awayStarted)) {
      ++it;
      continue;
    }
    if (!t.IsStarted()) {
      const bool fromCar = t.source == cWareTransfer::e_Car, fromFactory = t.source == cWareTransfer::e_Factory;
      const bool valid = (fromCar && t.target == cWareTransfer::e_Away) ||
                         (fromFactory && (t.target == cWareTransfer::e_Car || t.target == cWareTransfer::e_Factory));
      if (!valid) {
        it = m_Transfers.erase(it);
        continue;
      }
      if (t.target == cWareTransfer::e_Away) awayStarted = true;
      const vek::f32 flight = fromFactory && t.target == cWareTransfer::e_Factory ? 0.4f : 0.8f;
      // A house that is gone: the ware sets out from the middle of the screen.
      auto houseCentre = [s](vek::i32 id) {
        vek::rectf r;
        return s->GetIslandHouseRect(static_cast<vek::u32>(id), &r) ? RectCentre(r) : vek::vec2{512.0f, 384.0f};
      };
      const vek::vec2 a = fromCar ? GetCarPoint() : houseCentre(t.sourceId);
      vek::vec2 b;
      vek::f32 push = 0.0f;
      if (t.target == cWareTransfer::e_Car) {
        b = GetCarPoint();
        push = -30.0f;
      } else if (t.target == cWareTransfer::e_Away) {
        b = GetCarPoint() + vek::vec2{150.0f, -100.0f};
        push = 30.0f;
      } else {
        b = houseCentre(t.targetId);
        push = 10.0f;
      }
      const std::vector<cPathKey> path = cGameRules::BuildWavyPath(a.x, a.y, b.x, b.y, flight, 1, push);
      if (cFlyerList* flyers = s->GetFlyers()) {
        const vek::string area = g_pWareManager ? g_pWareManager->GetWare(static_cast<vek::u32>(t.ware)).GetName() : "";
        cFlyer* f = flyers->Add("icons00", area, 0.0f, 1);
        for (const cPathKey& k : path) f->AddPoint({k.x, k.y}, k.time);
      }
      t.from = 0.0f;
      t.to = path.back().time;
      t.value = t.elapsed = 0.0f;
      t.duration = std::fabs(t.to - t.from) / t.rate;
      if (t.duration < kFloatEpsilon) t.duration = t.elapsed = 0.0f;
      ++it;
      continue;
    }
    t.elapsed += dt;
    if (t.elapsed < t.duration) {
      t.value = t.from + (t.to - t.from) * t.elapsed / t.duration;
      if (t.target == cWareTransfer::e_Away && t.value < 0.3f) awayStarted = true;
      ++it;
      continue;
    }
    t.elapsed = t.duration;
    t.value = t.to;
    if (t.target == cWareTransfer::e_Car) {
      // Loading counts the ware's task down (the no-ware id too, which is never loaded).
      s->AddToCarLoad(t.ware);
    } else if (t.target == cWareTransfer::e_Factory && t.targetId != 0) {
      s->AddFactoryInput(static_cast<vek::u32>(t.targetId));
    }
    it = m_Transfers.erase(it);
  }
}

void cLevel::ShowSaleMoney(vek::i32 amount) {
  cObject* car = FindObjectAt(kNoCell, e_TypeCar);
  if (car == GetFirstObject()) return;
  const vek::rectf r = car->GetRect();
  // A car without a picture: the text stands at the car's own place.
  const vek::vec2 at = r.w == 0.0f && r.h == 0.0f ? car->GetPosition() : vek::vec2{r.x + r.w, r.y + r.h * 0.5f};
  m_pTexts->Add(FillPlaceholder("+$%i", amount), at);
}

// ---- needed flags

void cLevel::UpdateNeedFlags(const cMissionTask* task) {
  iGardenServices* s = GardenServices();
  const vek::i32 flowers = WareNamed("flowers"), honey = WareNamed("honey");
  for (cObject* o : m_Registry) {
    if (o == GetFirstObject()) continue;
    vek::i32 ware = -1;
    if (o->IsType(e_TypePlant)) {
      ware = static_cast<vek::i32>(o->GetWareId());
      if (ware == flowers) ware = honey;
    } else if (o->IsType(e_TypeAnimal)) {
      if (auto* animal = dynamic_cast<cAnimal*>(o)) ware = static_cast<vek::i32>(animal->GetProductWare());
    } else if (o->IsType(e_TypeAnimalProduct)) {
      ware = static_cast<vek::i32>(o->GetWareId());
    } else if (o->IsType(e_TypeHive)) {
      ware = honey;
    }
    if (ware < 0) continue;
    const cMissionTask* found = s->FindTaskForWare(ware);
    if (task && found != task) continue;
    const bool needed = found && found->count >= 1;
    const vek::rectf r = o->GetRect();
    if (o->IsType(e_TypePlant)) {
      o->SetNeeded(needed);
      if (!needed && o->GetState() == 3 && o->GetStage() != 2) {
        if (auto* plant = dynamic_cast<cPlant*>(o)) plant->Tend();
        BurstAt(r, 20, 20.0f);
      }
    } else if (o->IsType(e_TypeAnimal)) {
      o->SetNeeded(needed);
      // An animal not yet on the field (new or still appearing) comes in on its own.
      const vek::i32 st = o->GetState();
      if (!needed && st != -1 && st != 2 && st != 8) {
        if (auto* animal = dynamic_cast<cAnimal*>(o)) animal->Calm();
        BurstAt(r, 20, 20.0f);
      }
    } else if (o->IsType(e_TypeAnimalProduct)) {
      if (!needed) {
        o->SetState(2);
        BurstAt(r, 20, 20.0f);
      }
    } else {
      o->SetNeeded(needed);
      if (!needed) {
        o->ClearStock();
        BurstAt(r, 20, 20.0f);
      }
    }
  }
}
