#pragma once
// The island map shown between levels: the island picture with its buildings, people and
// ships, the level markers joined by dots, scrolling, and the timed after-level sequence that
// awards the stars and opens the next level. The logic is headless; the game application is
// reached through GardenServices().
#include <functional>
#include <list>
#include <memory>
#include <vector>

#include "engine/core/tween.h"
#include "engine/core/types.h"
#include "engine/core/vec.h"
#include "engine/files/filename.h"
#include "engine/gui/widget.h"
#include "game/island/after_level_stages.h"
#include "game/island/buildings.h"
#include "game/island/island_files.h"
#include "game/island/island_geometry.h"
#include "game/island/island_walkers.h"
#include "game/world/effects.h"
#include "game/app/sprite.h"

namespace vek {
class cQuadBatch;
}
class cLevel;

class cIsland : public vek::cWidget, public iBuildingOwner {
 public:
  static constexpr vek::f32 kStep = 1.0f / 30.0f;
  static constexpr vek::f32 kScrollSpeed = 330.0f;

  cIsland();
  ~cIsland() override;
  cIsland(const cIsland&) = delete;
  cIsland& operator=(const cIsland&) = delete;

  // Geometry: the island's areas, walkways, ship path and markers; the walkers' ground and
  // the dots follow. A missing or damaged file leaves an island without geometry.
  bool LoadPaths(const vek::filename& file);
  void SetPaths(cIslandPaths paths);
  const cIslandPaths& GetPaths() const { return m_Paths; }
  const std::vector<vek::vec2>& GetDots() const { return m_Dots; }
  // The map's size in units (the island picture's); 1024 x 2048 until a picture says more.
  void SetMapSize(const vek::vec2& size);
  const vek::vec2& GetMapSize() const { return m_MapSize; }

  // Buildings, owned, in list order.
  cBuild* AddBuilding(std::unique_ptr<cBuild> building);
  void RemoveBuilding(cBuild* building);
  const std::list<std::unique_ptr<cBuild>>& GetBuildings() const { return m_Buildings; }
  // A building of the catalogue for this island, with its sheet's sprites and its size (a
  // frame counter of its own when the sheet is missing); null for an unknown name. Not yet
  // on the island: AddBuilding puts it there.
  std::unique_ptr<cHouse> MakeBuilding(const vek::string& name);
  // The buildings of the static island.dat, made from the building table; the player's
  // island.dat then gives the factories their stock.
  void LoadBuildings(const std::vector<cIslandBuildingRecord>& records);
  void LoadStates(const std::vector<cIslandStateRecord>& states);
  // The island of a profile: every building and person goes, the static island.dat gives
  // the buildings, the player's island.dat their stock (none for a new player); then the
  // houses follow the level progress and their people move in. A damaged or wrongly kinded
  // file keeps what was read before the fault and still refreshes houses and people.
  void Clear();
  void Load(const vek::filename& staticFile, const vek::filename& playerFile);
  bool Save(const vek::filename& playerFile) const;
  std::vector<cIslandStateRecord> SaveStates() const;

  // Modes (eIslandMode).
  void Show(vek::i32 mode);
  vek::i32 GetMode() const override { return m_Mode; }

  // Scrolling.
  void ScrollTo(vek::f32 x, vek::f32 y);
  const vek::vec2& GetScroll() const { return m_Scroll; }
  // Where the cursor comes from (client pixels, top left); tests set their own.
  using cCursorReader = bool (*)(vek::i32* x, vek::i32* y);
  void SetCursorReader(cCursorReader reader) { m_CursorReader = reader; }
  // The cursor in map units; (0, 0) in client pixels when it cannot be read.
  vek::vec2 GetCursorMapPos() const;

  // The widget.
  void Step() override;
  void Update(vek::f32 dt) override;
  void Activate() override;
  void Deactivate() override;
  void OnEvent(vek::u32 type, vek::u32 param) override;
  // Buildings, people and effects move on (also while a level is played).
  void StepEffects();
  void StepAfterLevel();
  // Every building's state and availability from the player's level progress.
  void UpdateHouses();
  const cAfterLevelStages& GetStages() const { return m_Stages; }
  vek::i32 GetHoveredMarker() const { return m_HoveredMarker; }
  vek::i32 GetPressedMarker() const { return m_PressedMarker; }
  cBuild* GetHoveredBuilding() const override { return m_pHovered; }

  // Look-ups.
  bool IsHouseBuilt(const vek::string& name) const;
  vek::i32 SumHouseValues() const;
  cFactory* FindFactoryByInput(const vek::string& ware) const override;
  cFactory* FindFactoryByOutput(const vek::string& ware) const;
  cBuild* FindHouse(const vek::string& name, vek::i32 number) const;
  vek::i32 GetMaxHouseValue() const;
  // The level marker (place) a building stands at; -1 when none.
  vek::i32 GetHousePlace(const cBuild& b) const;
  // The building standing at a level's place; null when none.
  cHouse* FindHouseAtPlace(vek::i32 place) const;
  vek::i32 FindMarkerAt(const vek::vec2& p) const;

  // Placing (island editor).
  void BeginPlacement(cBuild* building);
  bool CancelPlacement();
  vek::i32 GetPlacingState() const { return m_PlacingState; }
  vek::u32 GetPlacedArea() const { return m_PlacedArea; }

  // People.
  void AddPeople(vek::i32 count, vek::i32 mode);
  cIslandWalkers& GetWalkers() { return m_Walkers; }

  // iBuildingOwner.
  vek::f32 RandomFloat(vek::f32 lo, vek::f32 hi) override;
  void AddFirework(const vek::vec2& centre) override;
  void StartComics() override;
  bool IsNewestLevelBuilding(const cHouse& house) const override;
  void StartAfterLevelStage(int stage, vek::f32 seconds) override;
  const std::vector<vek::vec2>& GetFireworks() const { return m_Fireworks; }
  vek::cQuadBatch* GetBatch() const override { return m_pBatch; }
  vek::vec2 GetScrollOffset() const override { return m_Scroll; }
  vek::f32 GetPulse() const override { return m_Pulse.current; }
  vek::f32 GetWavePhase() const override { return m_WavePhase; }
  cBuild* GetPlacedBuilding() const override { return m_pPlaced; }
  void ForgetPlacedBuilding(const cBuild* building) override;
  vek::i32 GetBank() const override;
  void SetBank(vek::i32 bank) override;
  void PlaySound(vek::i32 index) override;
  vek::string GetText(const vek::string& key) override;
  void AddFloatingText(const vek::string& text, const vek::vec2& screen) override;
  void SendWindowMessage(const vek::string& window, vek::i32 p1, vek::i32 p2) override;
  void NextHintStep(vek::i32 hint, vek::i32 step) override;
  void EndTrainingOnClick() override;
  void OnConstructionFinished(cHouse& house, const vek::vec2& screenCentre) override;
  vek::rectf* AddAnchor() override;
  void RemoveAnchor(const vek::rectf* anchor) override;
  bool HasMissionTask(const vek::string& ware) const override;
  void AddTransfer(const vek::string& ware, cFactory& from, cFactory* to) override;
  void CountProduced(const vek::string& ware) override;
  void OnFactoryInput(cFactory& factory) override;

  // Where a factory's product goes (the play field's ware transfers): to the next factory,
  // or with a null `to` to the delivery car. Unset, products are only counted.
  using cTransferSink = std::function<void(const vek::string& ware, cFactory& from, cFactory* to)>;
  void SetTransferSink(cTransferSink sink) { m_TransferSink = std::move(sink); }
  // The play field's wares in flight name island buildings by id: the serial number plus
  // one (0 is no building). The screen rectangle of a building by id, and a ware arriving at
  // a factory by id; false when there is no such building (or it is no factory).
  vek::u32 GetBuildingId(const cBuild& b) const { return static_cast<vek::u32>(b.GetNumber() + 1); }
  cBuild* FindBuildingById(vek::u32 id) const;
  bool GetHouseScreenRect(vek::u32 id, vek::rectf* rect) const;
  bool AddFactoryInputById(vek::u32 id);
  // Products set out as the field's wares in flight: from the factory to the next one, or to
  // the delivery car (null: they are only counted).
  void SendProductsTo(cLevel* level);
  // A ware reached a factory: the field drops its "needed" marks once the chain holds
  // enough for the mission.
  using cInputSink = std::function<void(cFactory& factory)>;
  void SetInputSink(cInputSink sink) { m_InputSink = std::move(sink); }

  // Drawing: the batch to draw into (none: nothing is drawn), the textures of the map
  // looked up again (after loading), and one frame of the map.
  void SetBatch(vek::cQuadBatch* batch);
  void LookUpTextures();
  void Render() override;
  // The draw passes without the GUI, for tests and benchmarks.
  void DrawMap();
  const cFloatingTexts& GetTexts() const { return m_Texts; }

 private:
  void ScrollBy(const vek::vec2& d);
  void EndScrollTraining();
  // The map scrolled by the cursor at the screen's edges and by the wheel.
  void UpdateScroll(vek::f32 dt);
  void ActOnStage(int stage, bool acts);

  // A flyer of "icons00" from a screen point to the centre of a window's control (the top of
  // the screen when the window or control is missing), and a burst of sparks.
  void Fly(const vek::vec2& from, const vek::string& window, const vek::string& control, const char* area);
  void Burst(const vek::vec2& screen, vek::u32 count);
  vek::vec2 MarkerOnScreen(vek::i32 level) const;
  vek::vec2 ControlCentre(const vek::string& window, const vek::string& control) const;
  void DrawMarkers();
  void DrawAreas();
  void StepWaters();

  cIslandPaths m_Paths;
  vek::cQuadBatch* m_pBatch = nullptr;
  // Units of a plant sort inside its factory chain: in the factories' stock and in flight.
  vek::i32 CountChainUnits(const vek::string& input) const;

  cTransferSink m_TransferSink;
  cLevel* m_pLevel = nullptr;
  cInputSink m_InputSink;
  cSpriteAnims m_Effects{nullptr};
  cFloatingTexts m_Texts{nullptr, "header24x24"};
  vek::f32 m_WavePhase = 0.0f;
  // The map's pictures.
  cSprite m_Ocean, m_Waterfall;
  vek::u32 m_WaterfallTextures[2] = {0, 0};
  vek::u32 m_WaterfallShown = 0;
  vek::cFrameAnimation m_OceanFrames, m_WaterfallFrames;
  vek::u32 m_Halves[2] = {0, 0};  // island00_0 (upper), island00_1 (lower)
  vek::vec2 m_HalfSizes[2];
  cSprite m_Dot, m_Marker, m_MarkerSelect, m_Medals[3], m_Ship, m_WalkerFront, m_WalkerBack;
  std::vector<vek::vec2> m_Dots;
  std::list<std::unique_ptr<cBuild>> m_Buildings;
  cIslandWalkers m_Walkers;
  std::vector<vek::vec2> m_Fireworks;
  cAfterLevelStages m_Stages;
  vek::i32 m_Mode = e_islNone;
  vek::cAnimatedFloat m_Entry;
  vek::cAnimatedFloat m_Pulse;
  vek::vec2 m_MapSize{1024.0f, 2048.0f};
  vek::vec2 m_Scroll;
  vek::f32 m_WheelSpeed = 0.0f;
  vek::i32 m_HoveredMarker = -1;
  vek::i32 m_PressedMarker = -1;
  cBuild* m_pHovered = nullptr;
  cBuild* m_pPlaced = nullptr;
  vek::i32 m_PlacingState = 0;
  vek::u32 m_PlacedArea = 0;
  vek::vec2 m_PlacingCursor;
  cCursorReader m_CursorReader = nullptr;
  bool m_Active = false;
};
