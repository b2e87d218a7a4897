#pragma once
// The island map as the game application reaches it. The island lives in a folder above the
// application: at the end of loading that folder registers its side here, and the game's link
// (cGardenLink) answers the world's, the rules' and the windows' questions about the island
// through it. While none is registered every answer is "no island": mode 0, nothing built, no
// people, no place.
#include "engine/core/geometry.h"
#include "engine/core/types.h"

class cBuild;
class cHouse;

class iGardenIsland {
 public:
  virtual ~iGardenIsland() = default;

  // The display mode (0 none, 1 map, 2 after a level, 3 and 5 show all, 4 areas).
  virtual vek::i32 GetMode() const = 0;
  virtual void Show(vek::i32 mode) = 0;
  // The view back at the top of the map (a new profile's island).
  virtual void ResetView() = 0;
  virtual vek::i32 GetPlaceCount() const = 0;
  virtual void ScrollToPlace(vek::i32 place) = 0;

  // Buildings and people.
  virtual vek::i32 CountBuiltBuildings() const = 0;
  virtual bool IsBuildingBuilt(const vek::string& name) const = 0;
  virtual vek::i32 SumHouseValues() const = 0;
  virtual vek::i32 CountPeople() const = 0;
  // People landing from a ship walk in from the pier.
  virtual void AddPeople(vek::i32 count) = 0;

  // The building standing on a level's place (null: none), and a new building from entry
  // `index` of the building catalogue for the editor, numbered one above the island's highest
  // and put on the island (null outside the catalogue).
  virtual cHouse* FindHouseAtPlace(vek::i32 place) const = 0;
  virtual cBuild* CreateBuilding(vek::i32 index) = 0;

  // The island goes on while a level is played.
  virtual void StepEffects() = 0;
  virtual void UpdateTexts(vek::f32 dt) = 0;
  // The end of a level: every factory idle and empty, no floating texts.
  virtual void ClearLevel() = 0;

  // The play field's wares in flight name buildings by id: a building's screen rectangle and
  // a ware arriving at a factory; false when there is no such building (or it is no factory).
  virtual bool GetHouseRect(vek::u32 id, vek::rectf* rect) = 0;
  virtual bool AddFactoryInputById(vek::u32 id) = 0;
  // The factories by ware id: the product of the factory taking `input` (-1 when none does),
  // its input stock, and one unit of `input` handed to it (false when none takes it).
  virtual vek::i32 GetFactoryProduct(vek::i32 input) = 0;
  virtual vek::i32 GetFactoryStock(vek::i32 input) = 0;
  virtual bool AddFactoryInput(vek::i32 input) = 0;

  // The island's targets of the training tips, {x, y, w, h} on the screen from the bottom
  // left: "level house" (the building on the current level's place), "level place" (the
  // marker of the player's level progress), "ship" (the first ship on the island's route);
  // false for any other name or when it is not there.
  virtual bool FindTarget(const vek::string& name, vek::f32* rect) = 0;
};

// The registered island; null while none is.
iGardenIsland* GardenIsland();
void SetGardenIsland(iGardenIsland* island);

// Plays the opening (0) or the closing (1) comic; the windows' folder registers it. False when
// no player is registered or it could not start.
using ComicsPlayerFn = bool (*)(vek::i32 mode);
void SetComicsPlayer(ComicsPlayerFn player);
bool PlayComics(vek::i32 mode);

// Shows the hint window "hint" with a text, a highlight (null: none), an arrow point, the
// arrow's placement (alignment flags) and whether it blocks the game; the windows' folder
// registers it. False when none is registered or the window is not ready.
using HintPlacerFn = bool (*)(const vek::string& text, const vek::f32* rect, vek::f32 x, vek::f32 y,
                              int placement, int flag);
void SetHintPlacer(HintPlacerFn placer);
