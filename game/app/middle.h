#pragma once
// The application base: the start-up road from the first frame to the game proper (splash,
// loading screen, stored data), the player profiles and the current player, the high-score
// table, window switching, the message-box follow-up and the texture loader. Exactly one
// application object exists; the game's application class derives from this one.
#include <list>
#include <memory>
#include <vector>

#include "engine/core/types.h"
#include "engine/core/vectors.h"

namespace vek {
class cTransferHTTP;
class cWindow;
class cWindowFunction;
class filename;
}  // namespace vek

class cPlayerBase;
class cHighscoreRow;

// The settings record, script-visible as the application's "m_Settings".
struct cSettings {
  vek::f32 fMouseSpeed = 0.3f;
  vek::string uploadAddress;    // high-score server; nothing sets it
  vek::string coderAlgorithms;  // high-score text coder chain; nothing sets it
  vek::i32 iRenderInfo = 0;
  vek::i32 iCheatMode = 0;
};

// What the application reads of the message box when a question window closes; the
// message box's window function implements it.
class iMessageBoxResult {
 public:
  virtual ~iMessageBoxResult() = default;
  virtual vek::string GetCommand() const = 0;
  // 0 when the box was closed with its first button.
  virtual vek::i32 GetResult() const = 0;
};

class cMiddle {
 public:
  cMiddle();
  virtual ~cMiddle();
  cMiddle(const cMiddle&) = delete;
  cMiddle& operator=(const cMiddle&) = delete;

  // Folders, managers, system textures and fonts; 0.
  virtual vek::i32 Init();
  // The splash's last slide has run: the loading screen takes over.
  virtual void OnSplashEnd();
  // The loading queue is empty: high scores and profiles are read.
  virtual void OnLoadingComplete();

  // Players. A player object for a profile folder name (empty: a new folder).
  virtual cPlayerBase* CreatePlayer(const vek::string& folder) = 0;
  // The stand-in player of a fresh install: a player without a profile folder.
  virtual cPlayerBase* CreateStandInPlayer() { return CreatePlayer(""); }
  virtual vek::i32 ChangePlayer(const vek::string& name);
  virtual vek::i32 DeletePlayer(const vek::string& name);
  virtual vek::i32 AddPlayer(cPlayerBase* player);
  // Case-blind search of the list; null when none.
  virtual cPlayerBase* FindPlayer(const vek::string& name);
  virtual cPlayerBase* GetFirstPlayer();
  virtual cPlayerBase* GetNextPlayer();
  virtual vek::u32 GetPlayerCount() const;
  virtual cPlayerBase* GetPlayer(vek::u32 index);
  // The current player's name; empty without one.
  virtual vek::string GetCurrentPlayerName() const;

  // High scores.
  virtual cHighscoreRow* CreateHighscoreRow() = 0;
  virtual vek::i32 AddHighscore(cHighscoreRow* row);
  virtual vek::i32 GetLastHighscoreRank() const { return m_LastHighscoreRank; }
  virtual vek::strlist GetHighscoreText() const;
  virtual vek::strlist DownloadHighscores();
  virtual bool UploadHighscores();
  virtual bool IsTransferStarted() const;
  virtual bool IsTransferNotRunning() const;
  virtual bool StopTransfer();

  // Windows.
  virtual vek::i32 GetWindowMode() const { return m_WindowMode; }
  virtual bool SwitchWindow(const vek::string& name, vek::i32 mode);
  virtual void OnMessageBox(const vek::string& windowName);
  virtual void HideAllWindows();
  virtual void SetCursor(const vek::string& /*name*/) {}
  virtual vek::cWindow* LoadWindow(const vek::string& path, const vek::string& name,
                                   vek::cWindowFunction* function);
  // The text of the framework's questions: 0 only player, 1 delete player, 2 exit.
  virtual vek::string GetMessageText(vek::i32 id) const = 0;

  // Clears the screen with the background colour (alpha 1), the depth buffer to 1 and the
  // stencil, each as far as the device has them.
  static void ClearScreen(const cMiddle* app);

  // Loads an image file as a texture named after the file, then runs the area script beside
  // it; a name without extension tries ".png", then ".jpg". 0, or the reader's error code (2
  // when no file exists). With `index`, the new texture's index goes there (0 when none).
  static vek::i32 LoadTexture(const vek::filename& file, vek::u32* index = nullptr);
  // The same for a picture that few runs show: the texture is there by name at once, its
  // pixels are read when it is first drawn. 0, or 2 when no file exists.
  static vek::i32 LoadTextureOnUse(const vek::filename& file);
  // Frees the loading screen's pictures, once the loading is over and its window gone.
  void ReleaseLoadingPictures();

  virtual cPlayerBase* GetCurrentPlayer() const { return m_pCurrentPlayer; }
  // The stand-in player made when no profile exists: current until a real profile is, never
  // listed and never written to disk.
  bool IsStandInPlayer(const cPlayerBase* player) const { return player && player == m_pStandIn; }
  void SetMessageBox(iMessageBoxResult* box) { m_pMessageBox = box; }
  vek::i32 GetStartTime() const { return m_StartTime; }
  const std::list<cHighscoreRow*>& GetHighscores() const { return m_Highscores; }

  vek::f32 m_BackColor[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  cSettings m_Settings;

 protected:
  // Makes the player current; a stand-in player that stops being current is deleted.
  void MakeCurrent(cPlayerBase* player);
  // The profile stage of the end of loading: every readable profile folder is listed and the
  // first profile made current (with its main save), or a stand-in when there is none.
  virtual void LoadProfiles();
  // highscore.dat: read at the end of loading, written at exit.
  void ReadHighscores();
  void WriteHighscores();

  iMessageBoxResult* m_pMessageBox = nullptr;
  cPlayerBase* m_pCurrentPlayer = nullptr;
  cPlayerBase* m_pStandIn = nullptr;
  std::list<cPlayerBase*> m_Players;
  std::list<cPlayerBase*>::iterator m_PlayerCursor;
  std::list<cHighscoreRow*> m_Highscores;
  vek::i32 m_LastHighscoreRank = -1;
  vek::i32 m_WindowMode = 0;
  vek::i32 m_StartTime = 0;
  std::unique_ptr<vek::cTransferHTTP> m_pTransfer;
  std::vector<vek::u32> m_LoadingPictures;  // texture indices, freed after the loading
};

// The one application object; null while none exists.
extern cMiddle* g_pMiddle;

// The number of rows the high-score table keeps.
constexpr size_t kMaxHighscores = 20;
