#pragma once
// The game application object: lives from the engine's start-up to its shut-down, runs the
// game's start (splash, loading, windows, start-up scripts) and end (settings), and keeps the
// game-wide state the rest of the game reaches through g_pGarden.
#include <memory>
#include <vector>

#include "engine/core/types.h"
#include "game/app/game_rules.h"
#include "game/app/garden_services.h"
#include "game/app/hints.h"
#include "game/app/middle.h"
#include "game/app/ships.h"
#include "game/app/window_host.h"

namespace vek {
class cMusic;
class cWidget;
class cWindowFunction;
}  // namespace vek

class cGardenLink;
class cGarden;

// The window host of the game: the windows' commands that start, save, end and restart levels
// go to the game object.
class cGardenWindowHost : public cWindowHost {
 public:
  explicit cGardenWindowHost(cGarden& garden) : m_Garden(garden) {}
  void StartLevel(int level) override;
  void SaveLevel() override;
  void EndLevel() override;
  int GetCurrentLevel() const override;
  void CloseHint() override;
  // The game object's m_iTraining.
  vek::i32 GetHintsEnabled() const override;
  void SetHintsEnabled(vek::i32 on) override;

 private:
  cGarden& m_Garden;
};

class cGarden : public cMiddle {
 public:
  cGarden();
  ~cGarden() override;

  vek::i32 Init() override;
  void OnLoadingComplete() override;
  cPlayerBase* CreatePlayer(const vek::string& folder) override;
  cPlayerBase* CreateStandInPlayer() override;
  // Profiles: one list, the window host's, which the title windows use as well.
  vek::i32 ChangePlayer(const vek::string& name) override;
  vek::i32 DeletePlayer(const vek::string& name) override;
  vek::i32 AddPlayer(cPlayerBase* player) override;
  cPlayerBase* FindPlayer(const vek::string& name) override;
  cPlayerBase* GetFirstPlayer() override;
  cPlayerBase* GetNextPlayer() override;
  vek::u32 GetPlayerCount() const override;
  cPlayerBase* GetPlayer(vek::u32 index) override;
  vek::string GetCurrentPlayerName() const override;
  // The list's current profile, else the stand-in of a fresh install (null before loading).
  cPlayerBase* GetCurrentPlayer() const override;
  cHighscoreRow* CreateHighscoreRow() override { return nullptr; }
  bool SwitchWindow(const vek::string& name, vek::i32 mode) override;
  void SetCursor(const vek::string& name) override;
  vek::string GetMessageText(vek::i32 id) const override;
  virtual vek::u32 SetPlayerCounter(vek::u32 counter) { return m_PlayerCounter = counter; }
  virtual vek::u32 GetPlayerCounter() const { return m_PlayerCounter; }
  // Message 100000 with p1 and p2 straight to the named window's function.
  virtual void SendWindowMessage(const vek::string& window, vek::i32 p1, vek::i32 p2);

  // The sound table: the sample-buffer index of each of the game's sound ids.
  void ParseResources();
  // Plays sound `id` of the table once; an unknown id or an empty entry does nothing.
  void PlaySound(vek::i32 id);
  const std::vector<vek::i32>& GetSoundTable() const { return m_SoundTable; }

  // The current profile's name and money (empty and 0 without a profile).
  vek::string GetName() const { return GetCurrentPlayerName(); }
  vek::i32 GetMoney() const;

  const std::vector<vek::cWindowFunction*>& GetWindowFunctions() const { return m_WindowFunctions; }
  // The game windows' host: window switching and the message box's commands.
  cWindowHost& GetWindowHost() { return m_WindowHost; }
  vek::cMusic* GetMenuMusic() const { return m_pMenuMusic; }

  // The game's rules, hints and ships, on the current profile.
  cGameRules& Rules() { return m_Rules; }
  cHints& Hints() { return m_Hints; }
  cShips& Ships() { return m_Ships; }
  // Starts a level of the current profile (clamped to 0..44; -1 continues the main save on the
  // level selected on the island). False, with a log line, without a profile or a play field.
  bool StartLevel(vek::i32 level);
  // The mission step of a fixed step (nothing while paused): the rules' mission, the training
  // tip of the gardener upgrade, the water pump's timer and the tip timer.
  void UpdateMission();
  // The garden layouts of holes.lvs (filled by the world at the end of loading).
  std::vector<cHolesLayout>& HolesLayouts() { return m_HolesLayouts; }
  vek::cMusic* m_MusicSlots[2] = {nullptr, nullptr};

  // The link through which the world, the island, the windows and the rules reach the game;
  // registered as the world's services, the rules' host and the rules' world. The folders
  // above the application hand in their own (null: back to the application's plain one).
  void SetLink(std::unique_ptr<cGardenLink> link);
  cGardenLink& GetLink() { return *m_pLink; }

  // The hint switch: hints and training tips on (1) or off (0). Scripts, the options window,
  // the hint window and the rules read and write this one field; the profile keeps it.
  vek::i32 m_iTraining = 1;
  // The island map widget (null until the end of loading makes it), for scripts.
  vek::cWidget* m_pIsland = nullptr;
  vek::i32 m_PumpState = 0;
  vek::i32 m_LevelFlags[4] = {0, 0, 0, 0};
  vek::i32 m_Paused = 0;  // while set the play field runs no mission step
  vek::i32 m_PlayMode = 0;  // 0 while a level is played, 2 in the after-level sequence
  vek::i32 m_TrainingStep = -1;
  vek::i32 m_LastTimeGrade = -1;
  vek::string m_strLinkFinishBeta;
  vek::cWindowFunction* m_pHintWF = nullptr;

 protected:
  void LoadProfiles() override;

 private:
  // The game windows, in the order they are made.
  void CreateWindows();
  // The title painting behind the main menu while there is no island map.
  void ShowTitleBackdrop();
  // The current profile changes hands: the leaving one keeps its game, the rules follow the
  // new one, which continues its own game.
  void OnCurrentPlayer(cPlayer* leaving, cPlayer* coming);
  // The main saves and profiles of the listed players, at exit.
  void SaveProfiles();

  // Window functions of the game windows; each window owns its function, this list only
  // names them.
  std::vector<vek::cWindowFunction*> m_WindowFunctions;
  cGardenWindowHost m_WindowHost{*this};
  vek::cMusic* m_pMenuMusic = nullptr;
  vek::u32 m_PlayerCounter = 0;
  std::vector<vek::i32> m_SoundTable;
  cGameRules m_Rules;
  cHints m_Hints;
  cShips m_Ships;
  std::vector<cHolesLayout> m_HolesLayouts;
  std::unique_ptr<cGardenLink> m_pLink;
  unsigned m_ListCursor = 0;
  vek::f32 m_OptionsMouseSpeed = 1.0f;  // the speed handed to the options window
};

// The game application object; null while none exists.
extern cGarden* g_pGarden;

// The names of the game's windows, in the order they are made.
extern const char* const kGameWindows[22];
