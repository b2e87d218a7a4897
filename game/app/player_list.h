#pragma once
// The player profiles as the title windows use them: a list of players in creation order, the
// current one, and creation, look-up, selection and deletion. A profile lives in its own
// folder "plr%03i" under "{AppPath}/profile"; its records and save files are kept by cPlayer.
// The folder is a profile's identity: two profiles may carry names that differ only in case
// (or, copied in from elsewhere, the same name), so the windows choose and delete by folder.
#include <functional>
#include <memory>
#include <vector>

#include "engine/core/types.h"
#include "game/app/player.h"

class cPlayerList {
 public:
  // Profile folders are numbered 0..999.
  static constexpr int kMaxProfiles = 1000;

  // A new player with the name, made on disk as one step: its player.dat is written in a
  // temporary folder, which is then renamed to the first profile folder that neither a listed
  // player uses nor exists on disk. A program killed on the way leaves no profile folder, only
  // the temporary, which LoadPlayers removes. Not listed yet (AddPlayer). Null when no folder
  // is free or the profile cannot be written (logged).
  cPlayer* CreatePlayer(const vek::string& name);
  // Case-blind search (a new name must differ from every listed one in more than case); null
  // when none.
  cPlayer* FindPlayer(const vek::string& name) const;
  // The player whose name is exactly this one, else the first whose name differs only in case;
  // null when none.
  cPlayer* FindPlayerByName(const vek::string& name) const;
  // The player of a profile folder ("plr003"); null when none.
  cPlayer* FindPlayerByFolder(const vek::string& folder) const;
  // The list takes the player over.
  void AddPlayer(cPlayer* player);
  // Lists every profile folder "plr%03i" of "{AppPath}/profile" whose player.dat can be read,
  // in folder order; a folder whose profile is missing or damaged is left out (logged). The
  // leftovers of a creation cut short (temporaries, an empty profile folder) are removed first;
  // a profile without a name is named "Player <n>". Returns the number listed.
  unsigned LoadPlayers();
  // Makes the player current: by name (FindPlayerByName) or by profile folder. An unknown one
  // keeps the current player (warned).
  bool ChangePlayer(const vek::string& name);
  bool ChangePlayerByFolder(const vek::string& folder);
  // Removes the player and deletes its profile folder; a deleted current player leaves no
  // current player. By name (FindPlayerByName) or by profile folder; an unknown one is warned.
  // A folder whose player.dat names someone else (or cannot be read) is neither deleted nor
  // unlisted (warned): false.
  bool DeletePlayer(const vek::string& name);
  bool DeletePlayerByFolder(const vek::string& folder);

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

  // The temporary folder a new profile is written in before it takes its number.
  static vek::string TemporaryFolder(const vek::string& folder) { return folder + ".new"; }

 private:
  bool MakeCurrent(cPlayer* player, const vek::string& asked);
  bool Delete(cPlayer* player, const vek::string& asked);
  // Removes what a creation cut short left in the profile folder.
  void RemoveUnfinished();
  // Gives a player whose name is empty (or white space) a name.
  void NameIfNameless(cPlayer& player) const;

  std::vector<std::unique_ptr<cPlayer>> m_Players;
  cPlayer* m_pCurrent = nullptr;
  CurrentListener m_Listener;
};
