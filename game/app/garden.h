#pragma once
// The game application object: lives from the engine's start-up to its shut-down, runs the
// game's start (splash, loading, windows, start-up scripts) and end (settings), and keeps the
// game-wide state the rest of the game reaches through g_pGarden.
#include <vector>

#include "engine/core/types.h"
#include "game/app/middle.h"
#include "game/app/window_host.h"

namespace vek {
class cMusic;
class cWindowFunction;
}  // namespace vek

class cGarden : public cMiddle {
 public:
  cGarden();
  ~cGarden() override;

  vek::i32 Init() override;
  void OnLoadingComplete() override;
  cPlayerBase* CreatePlayer(const vek::string& folder) override;
  cPlayerBase* CreateStandInPlayer() override;
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

  vek::i32 m_iTraining = 1;  // training hints on (1) or off (0); kept per profile
  vek::i32 m_PumpState = 0;
  vek::i32 m_LevelFlags[4] = {0, 0, 0, 0};
  vek::i32 m_Paused = 0;  // while set the play field runs no mission step
  vek::i32 m_TrainingStep = -1;
  vek::i32 m_LastTimeGrade = -1;
  vek::string m_strLinkFinishBeta;
  vek::cWindowFunction* m_pHintWF = nullptr;

 private:
  // The game windows, in the order they are made.
  void CreateWindows();

  // Window functions of the game windows; each window owns its function, this list only
  // names them.
  std::vector<vek::cWindowFunction*> m_WindowFunctions;
  cWindowHost m_WindowHost;
  vek::cMusic* m_pMenuMusic = nullptr;
  vek::u32 m_PlayerCounter = 0;
  std::vector<vek::i32> m_SoundTable;
};

// The game application object; null while none exists.
extern cGarden* g_pGarden;

// The names of the game's windows, in the order they are made.
extern const char* const kGameWindows[22];
