#include "game/island/island.h"

#include <algorithm>
#include <cmath>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "engine/core/random.h"
#include "engine/input/input.h"
#include "engine/sound/music.h"
#include "engine/sound/sound.h"
#include "game/app/building_catalogue.h"
#include "game/app/garden_services.h"
#include "game/app/player.h"
#include "game/app/window_host.h"
#include "game/app/game_rules.h"
#include "game/island/building_table.h"
#include "game/world/particles.h"
#include "game/world/level.h"
#include "game/world/mission.h"
#include "game/world/plant.h"
#include "game/world/ware_manager.h"

// The current profile (the rules host keeps it; its header clashes with the world's ware id).
cPlayer* CurrentPlayer();

using vek::f32;
using vek::i32;
using vek::u32;
using vek::vec2;

namespace {
enum : u32 { e_KeyDown = 1, e_ButtonDown = 4, e_ButtonUp = 5, e_MouseMove = 6, e_Wheel = 7, e_Leave = 33 };
constexpr u32 kEscape = 1;
constexpr i32 kScrollTraining = 3;
constexpr i32 kBuildingTraining = 1;
constexpr i32 kScrollingHint = 2, kRatingHint = 14;

bool IsWindowShown(const char* name) {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  return gui && gui->IsWindowShown(name);
}

vec2 Centre(const cBuild& b) { return {b.GetPosition().x + b.GetWidth() * 0.5f, b.GetPosition().y + b.GetHeight() * 0.5f}; }
}  // namespace

cIsland::cIsland() : vek::cWidget("island") {
  m_Pulse.speed = 2.5f;
  m_Pulse.SetTarget(1.0f);
  m_Scroll = ClampScroll({0.0f, m_MapSize.y - kIslandScreenHeight}, m_MapSize);
  LookUpTextures();
}

cIsland::~cIsland() {
  // The buildings give their anchors back to the people before the people go.
  m_pHovered = m_pPlaced = nullptr;
  m_Buildings.clear();
}

bool cIsland::LoadPaths(const vek::filename& file) {
  cIslandPaths paths;
  const bool ok = LoadIslandPaths(file, paths);
  SetPaths(std::move(paths));
  return ok;
}

void cIsland::SetPaths(cIslandPaths paths) {
  m_Paths = std::move(paths);
  m_Dots = MarkerDots(m_Paths.markers);
  FillWalkerGround(m_Walkers, m_Paths);
}

void cIsland::SetMapSize(const vec2& size) {
  m_MapSize = size;
  m_Scroll = ClampScroll({0.0f, m_MapSize.y - kIslandScreenHeight}, m_MapSize);
}

cBuild* cIsland::AddBuilding(std::unique_ptr<cBuild> building) {
  if (!building) return nullptr;
  m_Buildings.push_back(std::move(building));
  return m_Buildings.back().get();
}

void cIsland::RemoveBuilding(cBuild* building) {
  if (m_pHovered == building) m_pHovered = nullptr;
  if (m_pPlaced == building) m_pPlaced = nullptr;
  m_Buildings.remove_if([&](const std::unique_ptr<cBuild>& b) { return b.get() == building; });
}

std::unique_ptr<cHouse> cIsland::MakeBuilding(const vek::string& name) {
  const i32 row = FindBuildingTemplateRow(name);
  if (row < 0) return nullptr;
  const cBuildingTemplateRow& t = BuildingTemplateRows()[static_cast<size_t>(row)];
  const vek::string display = GardenServices()->GetText(t.textEntry);
  std::unique_ptr<cHouse> house;
  if (t.factory) {
    auto f = std::make_unique<cFactory>(t.name, display, this);
    f->SetInput(t.input ? t.input : "");
    f->SetOutput(t.output ? t.output : "", t.workTime);
    house = std::move(f);
  } else {
    house = std::make_unique<cHouse>(t.name, display, this);
  }
  house->SetPrice(t.price);
  house->SetValue(t.value);
  bool drawn = false;
  for (const cBuildingSprite& sprite : t.sprites)
    if (sprite.area) drawn = house->AddSprite(sprite.texture, sprite.area) || drawn;
  if (drawn) house->SetSprite(0);
  // Without its sheet a building still goes through its stages.
  else house->SetFrames(name == "statue00" ? 5 : 7);
  return house;
}

void cIsland::LoadBuildings(const std::vector<cIslandBuildingRecord>& records) {
  for (const cIslandBuildingRecord& r : records) {
    std::unique_ptr<cHouse> house = MakeBuilding(r.name);
    // A factory record must name a factory of the catalogue. A building without its template
    // would have no picture, price or wares: it is left off the island.
    if (house && r.kind == kIslandKindFactory && house->GetType() != 4) house.reset();
    if (!house) {
      if (r.kind == kIslandKindFactory) vek::LogWarning("cHouse", "LoadGlobal: factory '%s' not found\n", r.name);
      else vek::LogWarning("cIsland", "LoadGlobal: house '%s' not found\n", r.name);
      continue;
    }
    house->SetNumber(static_cast<i32>(r.number));
    house->SetPosition(r.position.x, r.position.y);
    // The people fade while they pass behind it.
    if (vek::rectf* anchor = AddAnchor()) {
      *anchor = {r.position.x, r.position.y, house->GetWidth(), house->GetHeight()};
      house->SetAnchor(anchor);
    }
    house->SetState(0);
    AddBuilding(std::move(house));
  }
}

void cIsland::LoadStates(const std::vector<cIslandStateRecord>& states) {
  for (const cIslandStateRecord& s : states) {
    if (s.kind != kIslandKindFactory) continue;
    auto* f = dynamic_cast<cFactory*>(FindHouse(s.name, static_cast<i32>(s.number)));
    if (!f) {
      vek::LogWarning("cIsland", "Load. Factory %s %i not on the island\n", s.name, static_cast<i32>(s.number));
      continue;
    }
    f->SetStock(static_cast<i32>(s.stock));
  }
}

void cIsland::Clear() {
  m_pHovered = m_pPlaced = nullptr;
  m_PlacingState = 0;
  m_Buildings.clear();
  m_Walkers.ClearWalkers();
  m_Fireworks.clear();
}

void cIsland::Load(const vek::filename& staticFile, const vek::filename& playerFile) {
  Clear();
  std::vector<cIslandBuildingRecord> buildings;
  LoadIslandBuildings(staticFile, buildings);  // a wrong kind keeps the records before it
  LoadBuildings(buildings);
  std::vector<cIslandStateRecord> states;
  LoadIslandStates(playerFile, states);
  LoadStates(states);
  UpdateHouses();
  AddPeople(SumHouseValues(), 1);
}

bool cIsland::Save(const vek::filename& playerFile) const { return SaveIslandStates(playerFile, SaveStates()); }

std::vector<cIslandStateRecord> cIsland::SaveStates() const {
  std::vector<cIslandStateRecord> out;
  for (const auto& b : m_Buildings) {
    cIslandStateRecord r;
    r.name = b->GetName();
    r.number = static_cast<u32>(b->GetNumber());
    if (const auto* f = dynamic_cast<const cFactory*>(b.get())) {
      r.kind = kIslandKindFactory;
      r.stock = static_cast<u32>(std::max(0, f->GetStock()));
    }
    out.push_back(r);
  }
  return out;
}

void cIsland::Show(i32 mode) {
  iGardenServices* s = GardenServices();
  m_Mode = mode;
  if (m_Active && mode != e_islNone) {
    s->HideAllWindows();
    s->SwitchWindow("score", 2);
    s->SwitchWindow("island", 2);
  }
  if (mode == e_islMap) {
    s->SendWindowMessage("score", 0, 0);
    s->SendWindowMessage("island", 0, 0);
    m_Entry = vek::cAnimatedFloat{};
    m_Entry.SetTarget(1.5f);
  }
}

void cIsland::ScrollTo(f32 x, f32 y) { m_Scroll = ScrollToward({x, y}, m_MapSize); }

vec2 cIsland::GetCursorMapPos() const {
  i32 x = 0, y = 0;
  const bool ok = m_CursorReader ? m_CursorReader(&x, &y) : vek::GetCursorClientPos(&x, &y);
  if (!ok) x = y = 0;
  return {m_Scroll.x + static_cast<f32>(x), m_Scroll.y + kIslandScreenHeight - static_cast<f32>(y)};
}

void cIsland::StepEffects() {
  m_Walkers.Update(kStep);
  for (const auto& b : m_Buildings) b->Step();
  m_Effects.Update(kStep);
  m_Texts.Update(kStep);
}

void cIsland::Step() {
  iGardenServices* s = GardenServices();
  s->CheckHints();
  if (s->GetTrainingStep() != 2) s->UpdateShips();
  if (cFlyerList* flyers = s->GetFlyers()) flyers->Update(kStep);
  if (s->IsPaused()) return;
  StepWaters();
  StepEffects();
  if (m_Mode == e_islAfterLevel) StepAfterLevel();
  if (m_Mode == e_islMap && s->GetTrainingStep() != 2 && m_Entry.IsRunning() &&
      m_Entry.Update(kStep) != vek::e_TweenRunning)
    s->ShowTraining(kScrollTraining);
  m_WavePhase += 0.01f;
  if (m_WavePhase > 31.415928f) m_WavePhase = 0.0f;
  // The scrolling lesson, once the map can be scrolled: between levels, from level 7 on (after
  // a level the map stands still, and the lesson would only hold up the ratings' lessons).
  if (m_Mode == e_islMap && s->IsIslandReady()) s->ShowHint(kScrollingHint);
  if (m_Pulse.Update(kStep) != vek::e_TweenRunning) m_Pulse.SetTarget(m_Pulse.target > 0.5f ? 0.0f : 1.0f);
}

void cIsland::EndScrollTraining() {
  iGardenServices* s = GardenServices();
  if (s->GetTrainingStep() != kScrollTraining) return;
  s->HideWindowIfShown("hint");
  s->ShowTraining(-1);
}

void cIsland::Update(f32 dt) {
  iGardenServices* s = GardenServices();
  // The island's own particle pools: the bursts and the trails behind what flies over it.
  if (cParticles* parts = s->GetParticles())
    for (vek::u32 pool : {2u, 3u}) parts->GetPool(pool).Update(dt);
  if (!s->IsPaused() && CanScroll(m_Mode, s->GetLevelProgress(), s->GetTrainingStep())) UpdateScroll(dt);
  // The field's wares in flight (and its floating texts) go on while the island is shown.
  if (m_pLevel) m_pLevel->UpdateFlights(dt);
}

void cIsland::UpdateScroll(f32 dt) {
  i32 cx = 0, cy = 0;
  if (!(m_CursorReader ? m_CursorReader(&cx, &cy) : vek::GetCursorClientPos(&cx, &cy))) cx = cy = -1;
  const vec2 before = m_Scroll;
  vec2 d;
  if (cx >= 0) {
    if (cx < 10) d.x -= kScrollSpeed * dt;
    if (cx > 1014) d.x += kScrollSpeed * dt;
    if (cy < 10) d.y += kScrollSpeed * dt;
    if (cy > 758) {
      d.y -= kScrollSpeed * dt;
      GardenServices()->NextHintStep(kScrollingHint, 0);
    }
  }
  d.y += m_WheelSpeed * dt;
  m_WheelSpeed /= 5.0f * dt + 1.0f;
  m_Scroll = ClampScroll(m_Scroll + d, m_MapSize);
  if (std::fabs(m_Scroll.x - before.x) + std::fabs(m_Scroll.y - before.y) > vek::kEpsilon) EndScrollTraining();
}

void cIsland::Activate() {
  iGardenServices* s = GardenServices();
  m_Active = true;
  if (m_Mode != e_islNone) {
    s->HideAllWindows();
    s->SwitchWindow("score", 2);
    s->SwitchWindow("island", 2);
  }
  m_HoveredMarker = m_PressedMarker = -1;
  m_pHovered = nullptr;
  if (m_PlacingState == 0) m_pPlaced = nullptr;
  if (m_Mode == e_islMap) UpdateHouses();
  if (m_Mode == e_islAfterLevel) {
    const cHouse* house = FindHouseAtPlace(s->GetCurrentLevel());
    if (house && house->GetState() != 2 && s->GetLevelProgress() > 6) {
      const vec2 c = Centre(*house);
      ScrollTo(c.x, c.y);
    }
    m_Stages.Reset();
    m_Stages.Start(0, 1.0f);
  }
  // The level's music (second slot) gives way to the island's (first slot).
  if (vek::cMusic* level = s->GetMusicSlot(1); level && level->IsPlaying()) {
    level->Fade(false, 1.0f);
    s->SetMusicSlot(1, nullptr);
  }
  if (vek::cMusic* island = s->GetMusicSlot(0); island && !island->IsPlaying()) {
    island->Fade(true, 1.0f);
    island->Play();
  }
}

void cIsland::Deactivate() {
  iGardenServices* s = GardenServices();
  m_Active = false;
  m_pHovered = nullptr;
  if (m_PlacingState == 0) m_pPlaced = nullptr;
  // A window switch shows the window whatever its mode: leaving takes the island's windows down.
  s->HideWindowIfShown("island");
  s->HideWindowIfShown("score");
  s->CloseHint();
  // What flew or sparkled over the map does not follow to the next screen.
  if (cFlyerList* flyers = s->GetFlyers()) flyers->Clear();
  if (cParticles* parts = s->GetParticles()) {
    parts->GetPool(0).Clear();
    parts->GetPool(3).Clear();
  }
}

void cIsland::OnEvent(u32 type, u32 param) {
  if (m_Mode != e_islMap && m_Mode != e_islAfterLevel) return;
  iGardenServices* s = GardenServices();
  switch (type) {
    case e_KeyDown:
      if (param == kEscape) s->SwitchWindow("escape", 2);
      break;
    case e_ButtonDown:
      if (param != 0) break;
      if (m_pHovered) m_pHovered->OnEvent(48, 1);
      m_PressedMarker = m_HoveredMarker;
      if (m_PressedMarker >= 0) {
        vek::cSound click("click");
        click.Play(false);
      }
      break;
    case e_ButtonUp:
      if (param != 0) break;
      if (m_Mode == e_islMap && m_HoveredMarker >= 0 &&
          m_HoveredMarker < static_cast<i32>(m_Paths.markers.size()) && m_HoveredMarker == m_PressedMarker) {
        EndScrollTraining();
        s->AskConfirm(s->GetText("MessageStartLevel"), "icon_question",
                      "start_level" + std::to_string(m_HoveredMarker));
      }
      m_PressedMarker = -1;
      break;
    case e_MouseMove: {
      const vec2 p = GetCursorMapPos();
      if (m_Mode == e_islMap) {
        const i32 m = FindMarkerAt(p);
        if (m != m_HoveredMarker) {
          m_HoveredMarker = m;
          // The tooltip tells a played level's day, time and medal; a level not played yet
          // has none of them to tell.
          const cPlayer* player = CurrentPlayer();
          const bool played = m >= 0 && player && static_cast<size_t>(m) < player->levelTimes.size();
          // Off a played level the tooltip goes; left shown, it would stand over the map until
          // the next screen, taking the pointer wherever it covers.
          if (!played) s->HideWindowIfShown("hint_mp");
          else {
            s->SendWindowMessage("hint_mp", m, 0);
            s->SwitchWindow("hint_mp", 2);
          }
        }
      }
      if (m_PlacingState == 0) {
        cBuild* hovered = nullptr;
        for (const auto& b : m_Buildings)
          if (b->Contains(p.x, p.y)) {
            hovered = b.get();
            break;
          }
        if (hovered != m_pHovered) {
          if (m_pHovered) m_pHovered->OnEvent(33, 0);
          if (hovered) hovered->OnEvent(32, 0);
          m_pHovered = hovered;
        }
      }
      break;
    }
    case e_Wheel:
      if (s->IsIslandReady()) {
        m_WheelSpeed = static_cast<f32>(static_cast<i32>(param)) * 10.0f;
        if (m_WheelSpeed < 0.0f) s->NextHintStep(kScrollingHint, 0);
        EndScrollTraining();
        s->HideWindowIfShown("hint_mp");
      }
      break;
    case e_Leave:
      if (m_pHovered) m_pHovered->OnEvent(33, 0);
      m_pHovered = nullptr;
      break;
    default:
      break;
  }
}

void cIsland::UpdateHouses() {
  iGardenServices* s = GardenServices();
  const i32 progress = s->GetLevelProgress();
  for (const auto& b : m_Buildings) {
    const i32 p = GetHousePlace(*b);
    if (p < 0) {
      vek::LogWarning("cIsland", "UpdateHouses: unuseful house found - %s\n", b->GetName());
      continue;
    }
    if (p < progress) {
      b->SetState(2);
      b->SetAvailable(true);
    } else if (p == progress && m_Mode == e_islAfterLevel && s->GetCurrentLevel() == progress) {
      b->SetState(0);
      b->SetAvailable(true);
    } else {
      b->SetState(0);
      b->SetAvailable(false);
    }
  }
}

void cIsland::StepAfterLevel() {
  const cAfterLevelStages::cEnded e = m_Stages.Step();
  if (e.stage >= 0) ActOnStage(e.stage, e.acts);
  iGardenServices* s = GardenServices();
  // While the sequence waits for the level's building, its tip comes back whenever nothing
  // else is on show: a lesson may have taken its moment, or the player said "No" to building.
  if (m_Mode == e_islAfterLevel && m_Stages.IsWaitingAt(4) && s->GetHintIndex() < 0 &&
      s->GetTrainingStep() < 0 && !IsWindowShown("messagebox") && !IsWindowShown("hint"))
    if (const cHouse* house = FindHouseAtPlace(s->GetCurrentLevel()); house && house->GetState() == 0)
      s->ShowTraining(kBuildingTraining);
  if (m_Stages.IsFinished() && m_Mode == e_islAfterLevel) {
    if (s->GetHintIndex() != 13) {
      Show(e_islMap);
      s->CheckShips();
      s->SaveBetweenLevels();
    }
  }
}

void cIsland::ActOnStage(int stage, bool acts) {
  iGardenServices* s = GardenServices();
  const i32 level = s->GetCurrentLevel();
  switch (stage) {
    case 0:
      if (!acts) break;
      Burst(MarkerOnScreen(level), 20);
      s->PlaySound(26);
      if (s->HasIslandProgress()) {
        m_Stages.Start(1, 2.0f);
        Fly(MarkerOnScreen(level), "island", "star" + std::to_string(std::clamp(s->GetRateProgress() - 1, 0, 4)), "star");
      }
      break;
    case 1: {
      if (!acts) break;
      UpdateHouses();
      s->PlaySound(12);
      const i32 rate = s->GetRateProgress();
      if (rate == 0 || rate == 5) {
        m_Stages.Start(2, 1.2f);
        for (int i = 0; i < 5; ++i) Fly(MarkerOnScreen(level), "island", "star" + std::to_string(i), "star");
        Fly(MarkerOnScreen(level), "island", "rate", "star");
        s->PlaySound(23);
      } else {
        s->SendWindowMessage("island", 0, 0);
        // No stars to celebrate: the level's success follows at once. It is that stage that
        // leads on to the level's building, so it must act for every level, or the building
        // would be neither offered nor shown built until the island is loaded again.
        m_Stages.Start(2, cAfterLevelStages::kOneStep);
      }
      break;
    }
    case 2:
      if (!acts) break;
      if (level >= s->GetLevelProgress()) m_Stages.Start(3, 1.2f);
      s->SendWindowMessage("island", 0, 0);
      Fly(MarkerOnScreen(level), "island", "rate", "star");
      Burst(MarkerOnScreen(level), 20);
      s->PlaySound(2);
      if (s->HasIslandProgress()) s->ShowHint(kRatingHint);
      break;
    case 3:
      if (!acts) break;
      if (const cHouse* house = FindHouseAtPlace(level); house && house->GetState() != 2) {
        // The sequence waits for the building: its completion starts the next stage. The tip
        // at its site tells the player so.
        s->ShowTraining(kBuildingTraining);
        m_Stages.Start(4, 0.0f);
      }
      break;
    case 4: {
      if (!acts) break;
      s->PlaySound(12);
      const i32 rate = s->GetIslandRateProgress();
      if (rate == 0 || rate == 10) {
        m_Stages.Start(5, 1.2f);
        for (int i = 0; i < 10; ++i)
          Fly(MarkerOnScreen(level), "island", "island_star" + std::to_string(i), "house");
        Fly(MarkerOnScreen(level), "island", "island_rate", "house");
        s->PlaySound(23);
      } else {
        s->SendWindowMessage("island", 0, 0);
      }
      break;
    }
    case 5:
      if (level >= s->GetLevelProgress()) s->AdvanceIsland();
      if (acts) {
        s->SendWindowMessage("island", 0, 0);
        Burst(ControlCentre("island", "island_rate"), 10);
        s->PlaySound(2);
      }
      s->ShowHint(13);
      break;
    default:
      break;
  }
}

bool cIsland::IsHouseBuilt(const vek::string& name) const {
  return std::any_of(m_Buildings.begin(), m_Buildings.end(),
                     [&](const auto& b) { return b->GetName() == name && b->GetState() != 0; });
}

i32 cIsland::SumHouseValues() const {
  i32 sum = 0;
  for (const auto& b : m_Buildings)
    if (b->GetCategory() == e_catHouse && b->GetState() != 0)
      if (const auto* h = dynamic_cast<const cHouse*>(b.get())) sum += h->GetValue();
  return sum;
}

cFactory* cIsland::FindFactoryByInput(const vek::string& ware) const {
  for (const auto& b : m_Buildings)
    if (auto* f = dynamic_cast<cFactory*>(b.get()); f && f->GetInput() == ware) return f;
  return nullptr;
}

cFactory* cIsland::FindFactoryByOutput(const vek::string& ware) const {
  for (const auto& b : m_Buildings)
    if (auto* f = dynamic_cast<cFactory*>(b.get()); f && f->GetOutput() == ware) return f;
  return nullptr;
}

cBuild* cIsland::FindHouse(const vek::string& name, i32 number) const {
  for (const auto& b : m_Buildings)
    if (b->GetName() == name && b->GetNumber() == number) return b.get();
  return nullptr;
}

i32 cIsland::GetMaxHouseValue() const {
  i32 best = -1;
  for (const auto& b : m_Buildings) best = std::max(best, b->GetNumber());
  return best;
}

i32 cIsland::GetHousePlace(const cBuild& b) const {
  std::vector<cPlacePoint> places;
  places.reserve(m_Paths.markers.size());
  for (const vec2& m : m_Paths.markers) places.push_back({m.x, m.y});
  const f32 rect[4] = {b.GetPosition().x, b.GetPosition().y, b.GetWidth(), b.GetHeight()};
  return ::GetHousePlace(b.GetName(), rect, places);
}

cHouse* cIsland::FindHouseAtPlace(i32 place) const {
  if (place < 0) return nullptr;
  for (const auto& b : m_Buildings)
    if (auto* h = dynamic_cast<cHouse*>(b.get()); h && GetHousePlace(*h) == place) return h;
  return nullptr;
}

i32 cIsland::FindMarkerAt(const vec2& p) const {
  return ::FindMarkerAt(m_Paths.markers, p, GardenServices()->GetLevelProgress(), m_Mode);
}

void cIsland::BeginPlacement(cBuild* building) {
  if (!building) return;
  m_pPlaced = building;
  const vec2 c = GetCursorMapPos();
  building->SetPosition(c.x - building->GetWidth() * 0.5f, c.y + 400.0f - building->GetHeight() * 0.5f);
  const vec2 at = building->GetPosition();
  m_PlacedArea = FindAreaForRect({at.x, at.y, building->GetWidth(), building->GetHeight()}, m_Paths.areas);
  m_PlacingState = 1;
  m_PlacingCursor = c;
}

bool cIsland::CancelPlacement() {
  if (m_PlacingState != 1 || !m_pPlaced) return false;
  m_PlacingState = 0;
  RemoveBuilding(m_pPlaced);
  m_pPlaced = nullptr;
  return true;
}

void cIsland::AddPeople(i32 count, i32 mode) {
  std::vector<vec2> built;
  for (const auto& b : m_Buildings)
    if (b->GetState() == 2) built.push_back(Centre(*b));
  for (const vec2& p : PeoplePlaces(count, mode, built)) {
    cWalker& w = m_Walkers.AddWalker(p);
    if (mode == 0) m_Walkers.RouteToArrival(w);
  }
}

f32 cIsland::RandomFloat(f32 lo, f32 hi) {
  return lo + (hi - lo) * static_cast<f32>(vek::Random(0, 0x7FFF)) / 32767.0f;
}

void cIsland::AddFirework(const vec2& centre) {
  m_Fireworks.push_back(centre);
  m_Effects.Add(centre, "firework", "total");
}

void cIsland::StartComics() {
  // The closing comic (mode 1) takes the screen; without a window host only its window opens.
  if (cWindowHost* host = GetWindowHost()) host->StartComics(1);
  else GardenServices()->SwitchWindow("comics", 2);
}

bool cIsland::IsNewestLevelBuilding(const cHouse& house) const {
  return m_Mode == e_islAfterLevel && GetHousePlace(house) == GardenServices()->GetCurrentLevel();
}

void cIsland::StartAfterLevelStage(int stage, f32 seconds) { m_Stages.Start(stage, seconds); }

void cIsland::ForgetPlacedBuilding(const cBuild* building) {
  if (m_pPlaced == building) m_pPlaced = nullptr;
}

i32 cIsland::GetBank() const {
  const cPlayer* p = CurrentPlayer();
  return p ? p->bank : 0;
}

void cIsland::SetBank(i32 bank) {
  if (cPlayer* p = CurrentPlayer()) p->bank = bank;
}

void cIsland::PlaySound(i32 index) { GardenServices()->PlaySound(index); }

vek::string cIsland::GetText(const vek::string& key) { return GardenServices()->GetText(key); }

void cIsland::AddFloatingText(const vek::string& text, const vec2& screen) { m_Texts.Add(text, screen); }

void cIsland::SendWindowMessage(const vek::string& window, i32 p1, i32 p2) {
  GardenServices()->SendWindowMessage(window, p1, p2);
}

void cIsland::NextHintStep(i32 hint, i32 step) { GardenServices()->NextHintStep(hint, step); }

void cIsland::EndTrainingOnClick() {
  iGardenServices* s = GardenServices();
  const i32 step = s->GetTrainingStep();
  if (step == -1) return;
  if (step == 1) s->HideWindowIfShown("hint");
  s->ShowTraining(-1);
}

void cIsland::OnConstructionFinished(cHouse& house, const vec2& screenCentre) {
  if (cPlayer* p = CurrentPlayer()) p->selectedLevel = -1;
  if (!IsNewestLevelBuilding(house)) return;
  const i32 p = GardenServices()->GetIslandRateProgress();
  Fly(screenCentre, "island", "island_star" + std::to_string(p == 0 ? 4 : std::clamp(p - 1, 0, 9)), "house");
  PlaySound(23);
}

vec2 cIsland::ControlCentre(const vek::string& window, const vek::string& control) const {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  if (vek::cWindow* w = gui ? gui->GetWindow(window) : nullptr)
    if (vek::cCtrl* c = w->GetControl(w->FindControl(control)); c && w->FindControl(control) != 0) {
      const vek::rectf r = c->GetRect();
      return {r.x + r.w * 0.5f, r.y + r.h * 0.5f};
    }
  return {900.0f, 720.0f};  // where the island window keeps its ratings
}

vec2 cIsland::MarkerOnScreen(i32 level) const {
  if (level < 0 || level >= static_cast<i32>(m_Paths.markers.size())) return {512.0f, 384.0f};
  return m_Paths.markers[static_cast<size_t>(level)] - m_Scroll;
}

void cIsland::Fly(const vec2& from, const vek::string& window, const vek::string& control, const char* area) {
  cFlyerList* flyers = GardenServices()->GetFlyers();
  if (!flyers) return;
  const vec2 to = ControlCentre(window, control);
  cFlyer* f = flyers->Add("icons00", area, 0.05f, 8);
  if (!f) return;
  for (const cPathKey& k : cGameRules::BuildWavyPath(from.x, from.y, to.x, to.y, 2.0f, 2, 30.0f))
    f->AddPoint({k.x, k.y}, k.time);
}

void cIsland::Burst(const vec2& screen, u32 count) {
  if (cParticles* parts = GardenServices()->GetParticles()) parts->AddBurst({screen.x, screen.y, 0.0f}, count, 5.0f);
}

vek::rectf* cIsland::AddAnchor() { return m_Walkers.AddObstacle(); }

void cIsland::RemoveAnchor(const vek::rectf* anchor) { m_Walkers.RemoveObstacle(anchor); }

bool cIsland::HasMissionTask(const vek::string& ware) const {
  if (!g_pWareManager) return false;
  std::vector<cMissionTask>* tasks = GardenServices()->GetActiveTasks();
  if (!tasks) {
    cPlayer* p = CurrentPlayer();
    tasks = p ? &p->activeTasks : nullptr;
  }
  const i32 id = g_pWareManager->GetWareId(ware);
  return tasks && id != static_cast<i32>(kNoWare) && FindMissionTask(*tasks, id) != nullptr;
}

void cIsland::AddTransfer(const vek::string& ware, cFactory& from, cFactory* to) {
  if (m_TransferSink) m_TransferSink(ware, from, to);
}

void cIsland::CountProduced(const vek::string& ware) {
  cPlayer* p = CurrentPlayer();
  if (!p || !g_pWareManager) return;
  const i32 id = g_pWareManager->GetWareId(ware);
  if (id < 0 || id >= cPlayer::kMaxWareIds || id == static_cast<i32>(kNoWare)) return;
  if (p->produced.size() <= static_cast<size_t>(id)) p->produced.resize(static_cast<size_t>(id) + 1, 0);
  ++p->produced[static_cast<size_t>(id)];
}

void cIsland::OnFactoryInput(cFactory& factory) {
  if (m_InputSink) {
    m_InputSink(factory);
    return;
  }
  // Enough of a plant sort is on its way through the chain for the mission: the field's
  // plants of that sort are no longer marked as needed, and ripe ones are tended off.
  if (!m_pLevel || !g_pWareManager) return;
  const i32 ware = g_pWareManager->GetWareId(factory.GetInput());
  if (ware == static_cast<i32>(kNoWare) || g_pWareManager->GetWare(static_cast<u32>(ware)).GetType() != e_WareTypeSort)
    return;
  const cMissionTask* task = GardenServices()->FindTaskForWare(ware);
  if (!task || (task->ware == static_cast<i32>(kNoWare) && task->kind == -1)) return;
  if (CountChainUnits(factory.GetInput()) < task->count) return;
  cParticles* parts = GardenServices()->GetParticles();
  for (cObject* o : m_pLevel->GetRegistry()) {
    if (o == m_pLevel->GetFirstObject() || !o->IsType(e_TypePlant) || static_cast<i32>(o->GetWareId()) != ware) continue;
    auto* plant = dynamic_cast<cPlant*>(o);
    if (!plant || !plant->IsNeeded()) continue;
    plant->SetNeeded(false);
    if (plant->GetState() == 3 && plant->GetStage() != 2) {
      plant->Tend();
      if (parts) {
        const vek::rectf r = plant->GetRect();
        parts->AddBurst({r.x + r.w * 0.5f, r.y + r.h * 0.5f, 0.0f}, 20, 20.0f);
      }
    }
  }
}

i32 cIsland::CountChainUnits(const vek::string& input) const {
  i32 units = 0;
  vek::string ware = input;
  for (int step = 0; step < 2; ++step) {
    const cFactory* f = FindFactoryByInput(ware);
    if (!f) break;
    const i32 product = g_pWareManager ? g_pWareManager->GetWareId(f->GetOutput()) : static_cast<i32>(kNoWare);
    units += f->GetStock() + (m_pLevel ? m_pLevel->CountTransfers(product) : 0);
    ware = f->GetOutput();
  }
  return units;
}

cBuild* cIsland::FindBuildingById(u32 id) const {
  if (id == 0) return nullptr;
  for (const auto& b : m_Buildings)
    if (GetBuildingId(*b) == id) return b.get();
  return nullptr;
}

bool cIsland::GetHouseScreenRect(u32 id, vek::rectf* rect) const {
  const cBuild* b = FindBuildingById(id);
  if (!b || !rect) return false;
  *rect = {b->GetPosition().x - m_Scroll.x, b->GetPosition().y - m_Scroll.y, b->GetWidth(), b->GetHeight()};
  return true;
}

bool cIsland::AddFactoryInputById(u32 id) {
  auto* f = dynamic_cast<cFactory*>(FindBuildingById(id));
  if (!f) return false;
  f->AddInput();
  return true;
}

void cIsland::SendProductsTo(cLevel* level) {
  m_pLevel = level;
  if (!level) {
    m_TransferSink = nullptr;
    return;
  }
  m_TransferSink = [this, level](const vek::string& ware, cFactory& from, cFactory* to) {
    const i32 id = g_pWareManager ? g_pWareManager->GetWareId(ware) : static_cast<i32>(kNoWare);
    level->AddTransfer(id, cWareTransfer::e_Factory, static_cast<i32>(GetBuildingId(from)),
                       to ? cWareTransfer::e_Factory : cWareTransfer::e_Car, to ? static_cast<i32>(GetBuildingId(*to)) : 0);
  };
}
