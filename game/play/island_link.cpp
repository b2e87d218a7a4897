// The island's headers first: the world's unsigned "no ware" id comes before the rules' one.
#include "game/island/island.h"
#include "game/play/island_link.h"
#include "game/world/level.h"
#include "game/world/ware_manager.h"

#include <memory>

#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/files/file_system.h"
#include "engine/gui/gui.h"
#include "engine/gui/window.h"
#include "game/app/game_hooks.h"
#include "game/app/garden.h"
#include "game/app/garden_services.h"
#include "game/app/player.h"
#include "game/windows/edit_wf.h"
#include "game/windows/garden_comics.h"
#include "game/windows/hint_wf.h"
#include "game/windows/island_windows.h"

cPlayer* CurrentPlayer();

using vek::f32;
using vek::i32;
using vek::u32;
using vek::vec2;

namespace {

const char* const kSender = "cIsland";

// The island of the running game; null outside its life.
std::unique_ptr<cIslandLink> g_pLink;

// The ware of an id, "" for none.
vek::string WareName(i32 id) {
  if (!g_pWareManager || id < 0 || id == static_cast<i32>(kNoWare)) return {};
  return g_pWareManager->GetWare(static_cast<u32>(id)).GetName();
}

i32 WareId(const vek::string& name) {
  if (!g_pWareManager || name.empty()) return -1;
  const i32 id = g_pWareManager->GetWareId(name);
  return id == static_cast<i32>(kNoWare) ? -1 : id;
}

// A point along the polyline at t in 0..1 of its length.
vec2 PointAlong(const std::vector<vec2>& keys, f32 t) {
  if (keys.empty()) return {};
  f32 total = 0.0f;
  for (size_t i = 1; i < keys.size(); ++i) total += (keys[i] - keys[i - 1]).Length();
  f32 at = std::clamp(t, 0.0f, 1.0f) * total;
  for (size_t i = 1; i < keys.size(); ++i) {
    const vec2 d = keys[i] - keys[i - 1];
    const f32 len = d.Length();
    if (at <= len && len > 0.0f) return keys[i - 1] + d * (at / len);
    at -= len;
  }
  return keys.back();
}

template <class T>
T* FindWidgetOf(const char* name) {
  if (!vek::g_pGame) return nullptr;
  for (vek::cWidget* w : vek::g_pGame->GetWidgets())
    if (w && w->GetName() == name)
      if (auto* found = dynamic_cast<T*>(w)) return found;
  return nullptr;
}

void MakeComics(cGarden&) { CreateGardenComics(); }

void MakeIsland(cGarden& garden) {
  auto* island = new cIsland();  // the engine's widget list owns it
  garden.m_pIsland = island;
  island->SetBatch(vek::g_pGame ? vek::g_pGame->GetQuadBatch() : nullptr);
  if (!island->LoadPaths("{StaticPath}/conf/island.pts"))
    vek::LogWarning(kSender, "island.pts could not be read: the island has no places\n");
  std::vector<cIslandBuildingRecord> buildings;
  LoadIslandBuildings("{StaticPath}/conf/island.dat", buildings);
  // Products of the island's factories set out as the play field's wares in flight.
  island->SendProductsTo(FindWidgetOf<cLevel>("garden"));
  g_pLink = std::make_unique<cIslandLink>(*island, std::move(buildings));
  SetGardenIsland(g_pLink.get());
}

void EndIsland(cGarden& garden) {
  garden.m_pIsland = nullptr;
  // The widget goes with the engine, after the game object.
  if (GardenIsland() == g_pLink.get()) SetGardenIsland(nullptr);
  if (g_pLink) g_pLink->GetIsland().SendProductsTo(nullptr);
  g_pLink.reset();
}

void EndComics(cGarden&) {
  SetComicsPlayer(nullptr);
  SetHintPlacer(nullptr);
}

bool PlaceHint(const vek::string& text, const f32* rect, f32 x, f32 y, int placement, int flag) {
  vek::cGUI* gui = vek::g_pGame ? vek::g_pGame->GetGUI() : nullptr;
  vek::cWindow* window = gui ? gui->GetWindow("hint") : nullptr;
  auto* hint = window ? dynamic_cast<cHintWF*>(window->GetFunction()) : nullptr;
  if (!hint || hint->IsNotReady()) return false;
  const vek::rectf target = rect ? vek::rectf{rect[0], rect[1], rect[2], rect[3]} : kNoHintTarget;
  const vec2 point{x, y};
  hint->Place(text, &target, &point, static_cast<u32>(placement), flag != 0);
  return true;
}

}  // namespace

cIslandLink::cIslandLink(cIsland& island, std::vector<cIslandBuildingRecord> buildings)
    : m_Island(island), m_Buildings(std::move(buildings)) {
  m_Island.LoadBuildings(m_Buildings);
  m_Island.UpdateHouses();
}

void cIslandLink::WriteStates(vek::cBitStream& out) const { WriteIslandStates(out, m_Island.SaveStates()); }

bool cIslandLink::Load(const vek::filename& playerFile) {
  while (!m_Island.GetBuildings().empty()) m_Island.RemoveBuilding(m_Island.GetBuildings().front().get());
  m_Island.GetWalkers().ClearWalkers();
  if (cFlyerList* flyers = GardenServices()->GetFlyers()) flyers->Clear();
  m_Island.LoadBuildings(m_Buildings);
  std::vector<cIslandStateRecord> states;
  // A damaged file keeps nothing; a wrong kind keeps the records before it. Either way the
  // island is refreshed, so it never shows the previous player's buildings.
  // A new player has no file yet: nothing to read, nothing to report.
  bool refused = false;
  if (vek::cFileSystem().Exist(playerFile)) {
    const eIslandFileRead read = LoadIslandStates(playerFile, states);
    refused = read == eIslandFileRead::Damaged || read == eIslandFileRead::Missing;
    if (!refused) m_Island.LoadStates(states);
  }
  m_Island.UpdateHouses();
  m_Island.AddPeople(m_Island.SumHouseValues(), 1);
  return !refused;
}

i32 cIslandLink::GetMode() const { return m_Island.GetMode(); }
void cIslandLink::Show(i32 mode) { m_Island.Show(mode); }
void cIslandLink::ResetView() { m_Island.ScrollTo(0.0f, m_Island.GetMapSize().y); }
i32 cIslandLink::GetPlaceCount() const { return static_cast<i32>(m_Island.GetPaths().markers.size()); }

void cIslandLink::ScrollToPlace(i32 place) {
  const auto& markers = m_Island.GetPaths().markers;
  if (place < 0 || place >= static_cast<i32>(markers.size())) return;
  const vec2 m = markers[static_cast<size_t>(place)];
  m_Island.ScrollTo(m.x, m.y);
}

i32 cIslandLink::CountBuiltBuildings() const {
  i32 built = 0;
  for (const auto& b : m_Island.GetBuildings())
    if (b->GetState() != 0) ++built;
  return built;
}

bool cIslandLink::IsBuildingBuilt(const vek::string& name) const { return m_Island.IsHouseBuilt(name); }
i32 cIslandLink::SumHouseValues() const { return m_Island.SumHouseValues(); }

i32 cIslandLink::CountPeople() const {
  return static_cast<i32>(m_Island.GetWalkers().GetWalkers().size());
}

void cIslandLink::AddPeople(i32 count) {
  if (count > 0) m_Island.AddPeople(count, 0);
}

void cIslandLink::StepEffects() { m_Island.StepEffects(); }

// The island's floating texts move on with its effects.
void cIslandLink::UpdateTexts(f32) {}

void cIslandLink::ClearLevel() {
  for (const auto& b : m_Island.GetBuildings())
    if (auto* f = dynamic_cast<cFactory*>(b.get())) {
      f->Deactivate();
      f->SetStock(0);
    }
}

bool cIslandLink::GetHouseRect(u32 id, vek::rectf* rect) { return m_Island.GetHouseScreenRect(id, rect); }
bool cIslandLink::AddFactoryInputById(u32 id) { return m_Island.AddFactoryInputById(id); }

i32 cIslandLink::GetFactoryProduct(i32 input) {
  const vek::string ware = WareName(input);
  const cFactory* f = ware.empty() ? nullptr : m_Island.FindFactoryByInput(ware);
  return f ? WareId(f->GetOutput()) : -1;
}

i32 cIslandLink::GetFactoryStock(i32 input) {
  const vek::string ware = WareName(input);
  const cFactory* f = ware.empty() ? nullptr : m_Island.FindFactoryByInput(ware);
  return f ? f->GetStock() : 0;
}

bool cIslandLink::AddFactoryInput(i32 input) {
  const vek::string ware = WareName(input);
  cFactory* f = ware.empty() ? nullptr : m_Island.FindFactoryByInput(ware);
  if (!f) return false;
  f->AddInput();
  return true;
}

bool cIslandLink::FindTarget(const vek::string& name, f32* rect) {
  const cPlayer* p = CurrentPlayer();
  const vec2 scroll = m_Island.GetScroll();
  if (name == "level house") {
    const cHouse* house = p ? m_Island.FindHouseAtPlace(p->currentLevel) : nullptr;
    if (!house) return false;
    rect[0] = house->GetPosition().x - scroll.x;
    rect[1] = house->GetPosition().y - scroll.y;
    rect[2] = house->GetWidth();
    rect[3] = house->GetHeight();
    return true;
  }
  vec2 point;
  if (name == "level place") {
    const auto& markers = m_Island.GetPaths().markers;
    if (!p || p->levelProgress < 0 || p->levelProgress >= static_cast<i32>(markers.size())) return false;
    point = markers[static_cast<size_t>(p->levelProgress)] - scroll;
  } else if (name == "ship") {
    iGardenServices* s = GardenServices();
    const auto& keys = m_Island.GetPaths().shipKeys;
    if (s->GetShipCount() == 0 || keys.empty()) return false;
    point = PointAlong(keys, s->GetShip(0).progress) - scroll + vec2{20.0f, -5.0f};
  } else {
    return false;
  }
  rect[0] = point.x;
  rect[1] = point.y;
  rect[2] = rect[3] = 0.0f;
  return true;
}

cHouse* cIslandLink::FindHouseAtPlace(i32 place) const { return m_Island.FindHouseAtPlace(place); }

// The editor's own making of a catalogue building, so the two never differ.
cBuild* cIslandLink::CreateBuilding(i32 index) { return cEditWF::CreateBuilding(index, m_Island); }

void InstallGardenComics() {
  AddLoadingStep(eLoadingStep::Widgets, &MakeComics);
  SetComicsPlayer(&PlayGardenComics);
  SetHintPlacer(&PlaceHint);
  AddShutdownStep(&EndComics);
}

void InstallGardenIsland() {
  AddLoadingStep(eLoadingStep::Widgets, &MakeIsland);
  AddShutdownStep(&EndIsland);
  // The island's file joins every save after the field's.
  AddWorldSaveFile({"island.dat",
                    [](vek::cBitStream& out, int) {
                      if (g_pLink) g_pLink->WriteStates(out);
                      return true;
                    },
                    [](const vek::string& path, int) { return !g_pLink || g_pLink->Load(path); }});
}
