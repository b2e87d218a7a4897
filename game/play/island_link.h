#pragma once
// The island map in the game: at the end of loading the island widget is made with its
// geometry and its static buildings, registered as the application's island, and its player
// file "island.dat" joins every save after the field's; the comics widget, the comics player
// and the hint window's placer are registered for the application as well.
#include <vector>

#include "engine/core/bitstream.h"
#include "game/app/garden_link_island.h"
#include "game/island/island_files.h"

class cIsland;

class cIslandLink : public iGardenIsland {
 public:
  // The island is the engine's widget; the static buildings are those of the island's
  // static island.dat, read once.
  cIslandLink(cIsland& island, std::vector<cIslandBuildingRecord> buildings);

  cIsland& GetIsland() const { return m_Island; }

  // The player's island.dat: written from the buildings' states; read back over the static
  // buildings (a missing file is a new player's island), which then stand as the player's
  // progress says, with their people.
  void WriteStates(vek::cBitStream& out) const;
  // False when the file is there but can't be read or is damaged (the island then starts
  // from its buildings alone).
  bool Load(const vek::filename& playerFile);

  vek::i32 GetMode() const override;
  void Show(vek::i32 mode) override;
  void ResetView() override;
  vek::i32 GetPlaceCount() const override;
  void ScrollToPlace(vek::i32 place) override;
  vek::i32 CountBuiltBuildings() const override;
  bool IsBuildingBuilt(const vek::string& name) const override;
  vek::i32 SumHouseValues() const override;
  vek::i32 CountPeople() const override;
  void AddPeople(vek::i32 count) override;
  void StepEffects() override;
  void UpdateTexts(vek::f32 dt) override;
  void ClearLevel() override;
  bool GetHouseRect(vek::u32 id, vek::rectf* rect) override;
  bool AddFactoryInputById(vek::u32 id) override;
  vek::i32 GetFactoryProduct(vek::i32 input) override;
  vek::i32 GetFactoryStock(vek::i32 input) override;
  bool AddFactoryInput(vek::i32 input) override;
  bool FindTarget(const vek::string& name, vek::f32* rect) override;
  cHouse* FindHouseAtPlace(vek::i32 place) const override;
  cBuild* CreateBuilding(vek::i32 index) override;

 private:
  cIsland& m_Island;
  std::vector<cIslandBuildingRecord> m_Buildings;
};

// The comics widget at the end of loading, before the play field; the comics player and the
// hint window's placer for the application. Once, before the game object is made and before
// the play field's steps are added.
void InstallGardenComics();
// The island at the end of loading, after the play field; its "island.dat" in every save,
// after the field's. Once, after the play field's steps were added.
void InstallGardenIsland();
