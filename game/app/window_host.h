#pragma once
// What the game's windows ask of the application: the window switch with its stored mode,
// the message box and its commands, the pointer cursor, the refresh message, the player
// profiles and the settings the options window changes. The steps of the game's flow that
// other parts of the game own (starting a level, the island backdrop, the comics, hints,
// saving) are virtual operations that do nothing here; the game object fills them in.
#include <vector>

#include "engine/core/types.h"
#include "game/app/player_list.h"

// The game's refresh message, beyond the engine's window message codes.
constexpr vek::u32 kRefreshMessage = 100000;
// Sent to "profile_select" to delete the profile of row p1.
constexpr vek::u32 kDeleteProfileMessage = 36865;

// The message box as the application fills and reads it; its window function implements it.
class iMessageBox {
 public:
  virtual ~iMessageBox() = default;
  // 1 (nothing done) while the box's window is not built yet, else 0.
  virtual int SetIcon(const vek::string& image, const vek::string& icon) = 0;
  virtual int SetText(const vek::string& text, const vek::string& title) = 0;
  virtual int SetButtons(const vek::string& ok, const vek::string& cancel) = 0;
  virtual void SetCommand(vek::string command) = 0;
  virtual const vek::string& GetCommand() const = 0;
  // 0 when the box was closed with its first button.
  virtual vek::i32 GetResult() const = 0;
};

class cWindowHost {
 public:
  cWindowHost();
  virtual ~cWindowHost();
  cWindowHost(const cWindowHost&) = delete;
  cWindowHost& operator=(const cWindowHost&) = delete;

  // Shows the window after its preparations ("main" hides every window first, "edit" only in
  // the island's editing mode, "escape" hides "options", "profile_select" hides
  // "profile_add"); stores the mode; true when the window exists.
  virtual bool SwitchWindow(const vek::string& name, int mode);
  // A game window has left the screen: carries out the message box's command when the box
  // was answered with its first button, then the profile command "delete=<row>".
  virtual void OnMessageBox(const vek::string& window);
  // Shows the first waiting notice (TellPlayer) in the message box, unless the box is open.
  void ShowNextNotice();
  // The pointer cursor (whatever the name).
  virtual void SetCursor(const vek::string& name);
  // Message 100000 straight to the window's function; nothing without one.
  void SendWindowMessage(const vek::string& window, int p1, int p2);
  void HideAllWindows();
  int GetWindowMode() const { return m_WindowMode; }

  void SetMessageBox(iMessageBox* box) { m_pMessageBox = box; }
  iMessageBox* GetMessageBox() const { return m_pMessageBox; }

  // An entry of the game's text table by key; the built-in text until a locale replaces it.
  virtual vek::string GetText(const vek::string& key) const;

  cPlayerList& Players() { return m_Players; }
  const vek::string& GetPlayerName() const { return m_Players.GetPlayerName(); }

  // The hint switch (non-zero: hints and training tips on) that the options window, the hint
  // window, the profile and scripts share; the game object keeps it, a host without one keeps
  // its own.
  virtual vek::i32 GetHintsEnabled() const { return m_HintsEnabled; }
  virtual void SetHintsEnabled(vek::i32 on) { m_HintsEnabled = on; }
  // Settings the options window changes.
  vek::f32 mouseSpeed = 1.0f;

  // The game's flow, filled in by the game object.
  virtual void StartLevel(int /*level*/) {}
  // Writes the level in play to the current player's main save.
  virtual void SaveLevel() {}
  // The end-of-level bookkeeping before a restart.
  virtual void EndLevel() {}
  virtual int GetCurrentLevel() const { return 0; }
  virtual void CloseHint() {}
  // The island map (the registered one, GardenIsland(); without it mode 0, no places, not
  // ready): its display mode, showing it in a mode, the number of level places and centring
  // the map on one, and whether it is ready for the player.
  virtual int GetIslandMode() const;
  virtual void ShowIsland(int mode);
  virtual bool IsIslandReady() const;
  virtual int GetIslandPlaceCount() const;
  virtual void ScrollIslandToPlace(int place);
  // The opening (0) or closing (1) comic (the registered comics player); without one the
  // island map follows the opening and the main menu the closing comic.
  virtual void StartComics(int mode);

 private:
  int m_WindowMode = 0;
  vek::i32 m_HintsEnabled = 1;
  iMessageBox* m_pMessageBox = nullptr;
  cPlayerList m_Players;
};

// The application's window host; null while none exists.
cWindowHost* GetWindowHost();

// Fills the message box and shows it: icon 0 error, 1 info, 2 warning, 3 question (another
// value: no picture); buttons 0 "Ok", 1 "Ok" and "Cancel", 2 "Yes" and "No" (another value
// keeps the captions); the text as the box's first text and an empty second one.
void ShowMessageBox(int icon, int buttons, const vek::string& text, const vek::string& command);

// Trouble with the player's files that the player must hear of (the caller logs the details):
// the text-table entry `textKey` is shown in the message box, as an error, at the next window
// switch while no box is open. Notices wait in turn (one box at a switch); the same key
// waits only once.
void TellPlayer(const vek::string& textKey);
// The same, only the first time in a run that the key is told.
void TellPlayerOnce(const vek::string& textKey);
// The notices still waiting (tests).
const std::vector<vek::string>& PendingNotices();
// Forgets the waiting notices and which were told once (tests).
void ClearPendingNotices();
