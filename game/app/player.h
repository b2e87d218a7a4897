#pragma once
// A player profile: the player's name and progress in "player.dat", and the game in progress
// in "save.dat", in the profile's own folder "{AppPath}/profile/plr%03i/".
#include <vector>

#include "engine/files/filename.h"
#include "engine/core/types.h"
#include "game/app/player_base.h"

class cPlayer : public cPlayerBase {
 public:
  // A profile in an existing folder, or, for an empty folder name, in a new folder numbered
  // by the application's player counter (see cGarden::CreatePlayer).
  explicit cPlayer(const vek::string& folder);

  bool Load() override;
  bool Save() override;
  bool LoadMain() override { return LoadGame(-1); }
  bool SaveMain() override;
  void Delete() override;
  vek::string& GetName() override { return m_Name; }
  vek::string GetNameCopy() const override { return m_Name; }

  virtual void Reset();
  virtual bool LoadGame(vek::i32 slot);
  virtual bool SaveGame(vek::i32 slot);
  virtual bool WriteProfile();

  // "{AppPath}/profile/<folder>/", for a slot of 0 or more with "<slot>/" behind it; the
  // folder is created when missing. Empty for an empty folder name: such a player has no
  // files, and reading or writing them does nothing.
  vek::filename GetProfilePath(vek::i32 slot) const;
  const vek::string& GetFolder() const { return m_Folder; }

  vek::string m_Folder = "plr000";
  vek::string m_Name;
  vek::i32 m_CurrentLevel = -1;
  vek::i32 m_LevelProgress = 0;
  vek::i32 m_SelectedLevel = -1;
  std::vector<vek::i32> m_TimeGrades;
  std::vector<vek::i32> m_HintFlags;
  std::vector<vek::i32> m_TrainingFlags;
  std::vector<vek::f32> m_LevelTimes;
  vek::f32 m_ElapsedTime = 0.0f;
  vek::i32 m_NextPendingTask = 0;
  vek::i32 m_HolesLayout = 0;
  vek::i32 m_Money = 0;
  vek::i32 m_Bank = 0;
  std::vector<vek::i32> m_CarLoad;
  std::vector<vek::i32> m_Upgrades;
  vek::i32 m_LastSort = 0;
  vek::i32 m_AnimalKinds = -1;
  vek::f32 m_Version = 0.9f;
  std::vector<vek::i32> m_Produced;
  std::vector<vek::i32> m_AnimalsBought;
};

// Names are cut to this many characters.
constexpr size_t kMaxPlayerName = 10;
