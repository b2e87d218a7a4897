#pragma once
// The play field of one garden level: the grid of cells, the registry of every object on it,
// their draw order, the removal queue and the background scenery. One field exists for the
// whole run; a level starts by clearing it and loading or setting it up again.
#include <list>
#include <memory>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/geometry.h"
#include "engine/core/tween.h"
#include "engine/gui/widget.h"
#include "engine/render/frame_animation.h"
#include "engine/render/quad_batch.h"
#include "game/world/effects.h"
#include "game/world/object.h"
#include "game/world/vlist_ptr.h"

class cGardenerBase;

// The grid: one value per cell (1.0 free, 0.0 blocked) and one node per cell.
struct cLevelGrid {
  struct cNode {
    vek::i32 row = 0;
    vek::i32 column = 0;
  };
  void Resize(vek::i32 rows, vek::i32 columns);
  void Clear();

  std::vector<vek::f32> values;
  std::vector<cNode> nodes;
  vek::i32 rows = 0;
  vek::i32 columns = 0;
  std::vector<vek::f32> extra;
};

// The classes the field makes when it sets itself up or reads its level file. The figures of
// the field register their makers; a kind without one gets a plain object of its type.
enum eFieldKind : vek::u32 {
  e_KindGardener,
  e_KindToolWater,
  e_KindToolWeed,
  e_KindToolBin,
  e_KindCarBack,
  e_KindCar,
  e_KindPump,
  e_KindHole,
  e_KindPlant,
  e_KindOstrich,
  e_KindPeacock,
  e_KindGoat,
  e_KindHive,
  e_KindBee,
  e_KindCount
};
using cObjectMaker = cObject* (*)(cLevel* level);

// One ware in flight between the delivery car, the island's factories and away from the
// field. A record whose elapsed time equals its duration has not started yet.
struct cWareTransfer {
  // Source and target kinds.
  enum : vek::i32 { e_Car = 0, e_Away = 1, e_Factory = 2 };
  vek::i32 ware = static_cast<vek::i32>(kNoWare);
  vek::i32 source = e_Car;
  vek::i32 target = e_Car;
  vek::f32 from = 0.0f;
  vek::f32 to = 0.0f;
  vek::f32 value = 0.0f;
  vek::f32 rate = 1.0f;
  vek::f32 elapsed = 0.0f;
  vek::f32 duration = 0.0f;
  vek::i32 sourceId = 0;
  vek::i32 targetId = 0;
  bool IsStarted() const { return elapsed != duration; }
};

struct cMissionTask;

// A looping sprite of the background.
struct cLoopSprite {
  cSprite sprite;
  vek::cFrameAnimation anim;
  vek::rectf rect;
  void Update(vek::f32 dt) { anim.Update(dt); }
  void Draw(vek::cQuadBatch* batch) const;
};

class cLevel : public vek::cWidget {
 public:
  static constexpr vek::f32 kFieldX = 130.0f, kFieldY = 130.0f, kFieldW = 740.0f, kFieldH = 540.0f;
  static constexpr vek::i32 kRows = 8, kColumns = 10;
  // Sane bounds of the level file: no field holds more records than this per section.
  static constexpr vek::i32 kMaxRecords = 1000;

  cLevel();
  ~cLevel() override;

  // ---- grid and geometry
  bool IsCellInside(const cCell& c) const { return c.i >= 0 && c.i < m_Grid.rows && c.j >= 0 && c.j < m_Grid.columns; }
  vek::vec2 GetCellSize() const;
  vek::vec2 CellToPos(vek::i32 i, vek::i32 j) const;
  cCell PointToCell(vek::f32 x, vek::f32 y) const;
  vek::f32 GetCellValue(vek::i32 i, vek::i32 j) const;
  void SetCellValue(vek::i32 i, vek::i32 j, vek::f32 value);
  bool IsCellFree(const cCell& c) const;
  // The nearest free cell around the cell (searching every ring that can hold one), nearest
  // to (4, 4) within its ring; the cell itself when it is free or no cell is.
  cCell FindFreeCell(const cCell& c) const;
  cLevelGrid& GetGrid() { return m_Grid; }

  // ---- objects
  vek::vlist_ptr<cObject>& GetRegistry() { return m_Registry; }
  cObject* GetFirstObject() const { return m_Registry.First(); }
  bool IsObjectValid(vek::u32 id) const { return id != 0 && m_Registry.IsValid(id); }
  cObject* FindObject(vek::u32 id) const { return m_Registry.Find(id); }
  cObject* FindObjectAt(const cCell& c, vek::u32 mask);
  std::vector<cObject*> ObjectsAtCell(const cCell& c);
  void QueueRemove(vek::u32 id) { m_RemoveList.push_back(id); }
  void DeleteQueuedObjects();
  void UpdateObjects();
  void AddToDrawList(cObject* o) { m_DrawList.push_back(o); }
  void RemoveFromDrawList(cObject* o);
  const std::vector<cObject*>& GetDrawList() const { return m_DrawList; }
  // Bubble sort by depth, largest first (drawn first).
  void SortByDepth();
  cGardenerBase* GetGardener();
  vek::u32 GetGardenerId() const { return m_GardenerId; }
  vek::u32 GetPumpId() const { return m_PumpId; }
  vek::u32 GetCarId() const { return m_CarId; }
  vek::u32 GetCarBackId() const { return m_CarBackId; }
  cCell GetHoverCell() const { return m_Hover; }
  // Per-kind counters: ostriches, hives, goats, peacocks.
  vek::i32 m_KindCounts[4] = {0, 0, 0, 0};

  // ---- set-up and the level file
  void Clear();
  // The holes of the player's layout that are not on the field yet; while the holes
  // animation runs, those not in `kept` are made hidden.
  bool CreateHoles(const std::vector<cCell>& kept);
  // The field takes on the player's layout as it stands: the holes it lacks are added (hidden
  // while the holes animation runs), every hole it has is kept with its plant.
  bool AddLayoutHoles();
  // Every hidden hole is shown, each with a burst of particles at its centre (30, spread 15).
  void ShowHiddenHoles();
  void ReplaceLooseItems();
  bool Save(vek::i32 slot);
  bool Load(vek::i32 slot);
  // Whether the last Load found a level.dat that it could not read or refused: the field then
  // started fresh, and the file must not be saved over unseen.
  bool WasFileRefused() const { return m_bFileRefused; }
  // The same on a stream (the file's bytes); Load's parts without the file.
  void WriteLevel(vek::cBitStream& stream);
  // False (with a log line) for a damaged or hostile stream; the field then holds only what
  // a level without a file holds.
  bool ReadLevel(vek::cBitStream& stream);
  void BuildFixedObjects();
  void PlaceFixedDefaults();
  static void SetMaker(eFieldKind kind, cObjectMaker maker);
  cObject* Make(eFieldKind kind);

  // ---- widget
  void Render() override;
  void Step() override;
  void Update(vek::f32 dt) override;
  void Activate() override;
  void Deactivate() override;
  void OnEvent(vek::u32 kind, vek::u32 value) override;

  // The quad batch the field draws into (the engine's unless a test gave one).
  vek::cQuadBatch* GetBatch() const;
  void SetBatch(vek::cQuadBatch* batch) { m_pBatch = batch; }
  // How the field reads the cursor (client pixels); tests replace it.
  using cCursorReader = bool (*)(vek::i32* x, vek::i32* y);
  void SetCursorReader(cCursorReader reader) { m_CursorReader = reader; }
  cFloatingTexts& GetTexts() { return *m_pTexts; }
  // Looks the background sprites up again (after the textures were loaded).
  void LoadSprites();
  // The ring that objects draw over a running timer.
  void DrawProgressRing(vek::f32 progress, vek::f32 radius, const vek::vec2& centre);
  vek::f32 GetSkyOffset() const { return m_SkyOffset; }

  // ---- economy: seeds, purchases, the shop's tool bars, wares in flight, need flags
  // Queues the seed for the gardener; false while a training hint animates or without a gardener.
  bool SelectSeed(vek::u32 ware);
  // A new plant of the ware's sort on the cell; its id.
  vek::u32 AddPlant(vek::u32 ware, const cCell& cell);
  // Kind 0 ostrich, 1 goat, 2 hive, 3 peacock: bought when the money covers the price.
  bool BuyAnimal(vek::i32 kind);
  vek::u32 AddOstrich();
  vek::u32 AddGoat();
  vek::u32 AddPeacock();
  // A hive and its bee at the first free hive place; 0 when both places hold a hive.
  vek::u32 AddHive();
  // Buy buttons are enabled only for what the player can afford and use.
  void UpdateToolbars();
  void AddTransfer(vek::i32 ware, vek::i32 sourceKind, vek::i32 sourceId, vek::i32 targetKind, vek::i32 targetId);
  vek::i32 CountTransfers(vek::i32 ware) const;
  // The per-frame step of the floating texts, the objects and the wares in flight.
  void UpdateTransfers(vek::f32 dt);
  // The same for the floating texts and the wares in flight only, while another screen (the
  // island) is shown over the field.
  void UpdateFlights(vek::f32 dt);
  const std::list<cWareTransfer>& GetTransfers() const { return m_Transfers; }
  void ClearTransfers() { m_Transfers.clear(); }
  // "+$n" beside the delivery car.
  void ShowSaleMoney(vek::i32 amount);
  // The needed flags of the objects serving the task (null: every task).
  void UpdateNeedFlags(const cMissionTask* task);
  // Kinds 0..3 on the field now (ostriches, goats, hives, peacocks by the shop's order).
  vek::i32 CountKind(vek::i32 kind) const;

 private:
  void OnLeftClick();
  void OnMouseMove();
  bool ReadCursor(vek::vec2* p) const;
  cObject* MakeFixed(eFieldKind kind, const cCell& cell);
  void DrawSprite(const cSprite& s, const vek::rectf& r, bool opaque = false);
  bool ReadSections(vek::cBitStream& stream);

  vek::u32 m_GardenerId = 0, m_PumpId = 0, m_CarId = 0, m_CarBackId = 0;
  bool m_bFileRefused = false;
  std::list<cWareTransfer> m_Transfers;
  vek::vec2 m_CarPoint;  // where wares meet the car; worked out when first needed
  vek::i32 m_SortCounter = 0;  // the draw order is sorted every third step
  void StepTransfers(vek::f32 dt);
  vek::vec2 GetCarPoint();
  cLevelGrid m_Grid;
  // The lists are declared before the registry: they outlive it, since the objects it
  // deletes leave the draw list in their destructors.
  std::vector<cObject*> m_DrawList;
  std::vector<vek::u32> m_RemoveList;
  vek::vlist_ptr<cObject> m_Registry;
  std::unique_ptr<cFloatingTexts> m_pTexts;
  cCell m_Hover = kNoCell;
  vek::cQuadBatch* m_pBatch = nullptr;
  cCursorReader m_CursorReader = nullptr;

  // Background.
  cSprite m_Base, m_Sky, m_Top, m_Lighthouse, m_Ship, m_ShipMirrored, m_Highlight, m_Cloud, m_Ring;
  vek::rectf m_ShipFrameMirrored;
  vek::f32 m_SkyOffset = 0.0f;
  cLoopSprite m_Ocean, m_Wave, m_Light;
};
