#pragma once
// A player profile: the name, the progress through the levels, the per-level results, the hint
// and training flags, and the game in progress. Each profile owns the folder
// "{AppPath}/profile/<folder>/" holding player.dat (the profile) and, for the game in
// progress, save.dat with the world's files beside it. Slot -1 is that main save; slot n >= 0
// is the snapshot of level n in the subfolder "n/".
//
// Both files are byte streams (engine/core/bitstream.h); counted arrays are a u32 count and
// the items. A file that does not hold what its counts and fields promise is refused as a
// whole: the profile keeps what it had.
#include <functional>
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/types.h"

// A task of a mission: a number of units of a ware (or of an animal kind) still wanted.
struct cMissionTask {
  vek::i32 kind = -1;     // animal kind 0..3, -1 none
  vek::i32 ware = 1000;   // ware id; 1000 = no ware
  vek::i32 count = 0;     // units still wanted
  // The score window's controls showing the task (owned by the window; null while unbound).
  void* indicator = nullptr;
  void* indicator2 = nullptr;
  void* chain = nullptr;
  vek::f32 startTime = 0.0f;  // seconds of elapsed level time; 0 = at once

  // Done: no ware and no kind left.
  bool IsEmpty() const { return ware == 1000 && kind == -1; }
};

// A level's mission: the time limit (below the float epsilon: none), the tasks still to be
// issued and whether the level is over.
struct cMission {
  vek::string name;
  vek::f32 timeLimit = 0.0f;
  std::vector<cMissionTask> tasks;
  vek::u8 done = 0;

  void Clear() { *this = cMission(); }
};

// A file of the world that a save carries beside save.dat (the field's "level.dat", the
// island's "island.dat"), in the order of saving. `write` fills the file's bytes for a slot
// (false abandons the save); `read` reads it from its path after save.dat, false when the
// file is there but was refused (the part then starts fresh and the file is kept aside).
struct cWorldSaveFile {
  vek::string name;
  std::function<bool(vek::cBitStream& out, int slot)> write;
  std::function<bool(const vek::string& path, int slot)> read;
};
void AddWorldSaveFile(cWorldSaveFile file);
void ClearWorldSaveFiles();

class cPlayerBase {
 public:
  virtual ~cPlayerBase() = default;
  virtual bool Load() = 0;
  virtual bool Save() = 0;
  virtual bool LoadMain() = 0;
  virtual bool SaveMain() = 0;
  virtual void Delete() = 0;
  virtual vek::string& GetName() = 0;
  virtual vek::string GetNameCopy() const = 0;
};

class cPlayer : public cPlayerBase {
 public:
  // The longest name a profile keeps, in characters.
  static constexpr size_t kMaxName = 10;
  static constexpr int kHintFlags = 15;
  static constexpr int kTrainingFlags = 10;
  static constexpr int kUpgrades = 6;
  // Ware ids and animal kinds the counters keep (the files refuse longer arrays).
  static constexpr vek::i32 kMaxWareIds = 4096;
  static constexpr vek::i32 kMaxAnimalKinds = 256;
  // The newest format; every file is written in it.
  static constexpr vek::f32 kVersion = 0.9f;

  // A new profile for an empty folder name (the folder "plr%03i" of the application's player
  // counter, which then counts on), or the profile of an existing folder (then Load).
  explicit cPlayer(const vek::string& folder = {});

  bool Load() override;
  // WriteProfile; true.
  bool Save() override;
  bool LoadMain() override { return LoadGame(-1); }
  // The main save, unless the application says it must wait (then nothing and true).
  bool SaveMain() override;
  void Delete() override;
  vek::string& GetName() override { return m_Name; }
  const vek::string& GetName() const { return m_Name; }
  vek::string GetNameCopy() const override { return m_Name; }

  // The game in progress back to its start.
  void Reset();
  // Reads save.dat of the slot (if it is there and whole) and then the world's files.
  bool LoadGame(int slot);
  // Writes save.dat, the world's files and player.dat as one unit.
  bool SaveGame(int slot);
  bool WriteProfile();

  // "{AppPath}/profile/<folder>/" (and "<slot>/" for a snapshot), created when missing; empty
  // without a folder name.
  vek::string GetProfilePath(int slot) const;
  const vek::string& GetFolder() const { return m_Folder; }
  // A player without a profile folder (the stand-in of a fresh install): its saves write nothing.
  void ForgetFolder() { m_Folder.clear(); }
  // The name that the folder's player.dat holds, read without changing anything (and without
  // making the folder). Absent: the folder holds no profile; Damaged: the file is there but
  // cannot be read or holds no name.
  enum class eStoredName { Found, Absent, Damaged };
  static eStoredName ReadStoredName(const vek::string& folder, vek::string* name);

  // The file images, for the save and for tests. Parse* change nothing unless the whole file
  // is sound; they log why they refuse one.
  vek::cBitStream BuildProfile() const;
  bool ParseProfile(vek::cBitStream& in, const char* file);
  vek::cBitStream BuildGame(int slot);
  bool ParseGame(vek::cBitStream& in, int slot, const char* file);

  // A login name as a profile name: windows-1252, at most kMaxName characters.
  static vek::string CutName(const vek::string& cp1252);

  // The profile's records (read and changed by the game's rules).
  vek::i32 currentLevel = -1;
  vek::i32 levelProgress = 0;
  vek::i32 selectedLevel = -1;
  std::vector<vek::i32> timeGrades;
  std::vector<vek::i32> hintFlags;
  std::vector<vek::i32> trainingFlags;
  std::vector<vek::f32> levelTimes;
  vek::f32 elapsedTime = 0.0f;
  cMission mission;
  std::vector<cMissionTask> activeTasks;
  vek::i32 nextPendingTask = 0;
  vek::i32 holesLayout = 0;
  vek::i32 money = 0;
  vek::i32 bank = 0;
  std::vector<vek::i32> carLoad;
  std::vector<vek::i32> upgradeLevels;
  vek::i32 lastSort = 0;
  vek::i32 animalKinds = -1;
  vek::f32 version = kVersion;
  std::vector<vek::i32> produced;
  std::vector<vek::i32> animalsBought;

 private:
  vek::string m_Folder = "plr000";
  vek::string m_Name;
};
