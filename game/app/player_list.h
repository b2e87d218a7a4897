#pragma once
// The player profiles as the title windows use them: a list of players in creation order, the
// current one, and creation, look-up, selection and deletion by name. A profile lives in its
// own folder "plr%03i" under "{AppPath}/profile"; its records and save files are kept by
// cPlayer.
#include <functional>
#include <memory>
#include <vector>

#include "engine/core/types.h"
#include "game/app/player.h"

class cPlayerList {
 public:
  // Profile folders are numbered 0..999.
  static constexpr int kMaxProfiles = 1000;

  // A new player with the name in the first profile folder that neither a listed player uses
  // nor exists on disk; the folder is created. Not listed yet (AddPlayer). Null when no folder
  // is free or it cannot be created (logged).
  cPlayer* CreatePlayer(const vek::string& name);
  // Case-blind search; null when none.
  cPlayer* FindPlayer(const vek::string& name) const;
  // The list takes the player over.
  void AddPlayer(cPlayer* player);
  // Lists every profile folder "plr%03i" of "{AppPath}/profile" whose player.dat can be read,
  // in folder order; a folder whose profile is missing or damaged is left out (logged).
  // Returns the number listed.
  unsigned LoadPlayers();
  // Makes the named player current; an unknown name keeps the current one (warned).
  bool ChangePlayer(const vek::string& name);
  // Removes the player and deletes its profile folder; a deleted current player leaves no
  // current player. An unknown name is warned.
  bool DeletePlayer(const vek::string& name);

  unsigned GetCount() const { return static_cast<unsigned>(m_Players.size()); }
  // Null outside the list.
  cPlayer* GetPlayer(unsigned index) const;
  cPlayer* GetCurrent() const { return m_pCurrent; }
  // The current player's name; empty without one.
  const vek::string& GetPlayerName() const;

  // Told whenever the current player changes hands, before the list forgets a deleted one:
  // `leaving` is the player that was current (null when there was none or it is being
  // deleted), `coming` the new current player (null when none follows).
  using CurrentListener = std::function<void(cPlayer* leaving, cPlayer* coming)>;
  void SetCurrentListener(CurrentListener listener) { m_Listener = std::move(listener); }

 private:
  std::vector<std::unique_ptr<cPlayer>> m_Players;
  cPlayer* m_pCurrent = nullptr;
  CurrentListener m_Listener;
};
