#include "game/app/ships.h"

#include "game/app/game_rules.h"
#include "game/app/hints.h"
#include "game/app/rules_host.h"

namespace {
constexpr int kSoundHorn = 27;
constexpr int kSoundNewSort = 12;
}  // namespace

cShip& cShips::Add(int people, cHints* hints) {
  cShip ship;
  ship.people = people;
  ship.speed = people > 0 ? kPeopleSpeed : kSceneSpeed;
  ship.emitter = RulesWorld()->AddShipEmitter();
  m_Ships.push_back(ship);
  if (hints && hints->ShowTraining(2, 0)) m_Ships.front().speed *= 2.0f;
  return m_Ships.back();
}

void cShips::Step(cShip& ship) {
  if (ship.speed == 0.0f) return;
  iRulesWorld* world = RulesWorld();
  const vek::f32 before = ship.progress;
  ship.progress += ship.speed * cGameRules::kStep;
  if (ship.people > 0 && before < 0.25f && ship.progress >= 0.25f) world->PlaySound(kSoundHorn);
  if (ship.progress > 1.0f && ship.people > 0) world->AddPeople(ship.people);
  if (ship.emitter) world->MoveEmitter(ship.emitter, CourseX(ship.progress) + 13.7f, kCourseY + 23.5f);
}

void cShips::Update() {
  for (size_t i = 0; i < m_Ships.size();) {
    Step(m_Ships[i]);
    const vek::f32 p = m_Ships[i].progress;
    if (p < 0.0f || p > 1.0f) {
      if (m_Ships[i].emitter) RulesWorld()->FinishEmitter(m_Ships[i].emitter);
      m_Ships.erase(m_Ships.begin() + static_cast<std::ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

void cShips::Clear() {
  for (const auto& ship : m_Ships)
    if (ship.emitter) RulesWorld()->FinishEmitter(ship.emitter);
  m_Ships.clear();
}

void cShips::OpenWaterPump() {
  if (RulesHost()->GetPumpState() != 0) return;
  RulesHost()->SetPumpState(1);
  iRulesWorld* world = RulesWorld();
  world->BurstAt("can", 50);
  world->BurstAt("pump", 50);
  world->PlaySound(kSoundNewSort);
}
