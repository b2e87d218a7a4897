#include "game/app/player_list.h"

#include <strings.h>

#include "engine/core/format.h"
#include "engine/core/log.h"
#include "engine/files/file_system.h"
#include "engine/files/filename.h"
#include "game/app/save_unit.h"
#include "game/app/test_query.h"

namespace {

const vek::string kNoName;
constexpr const char* kProfiles = "{AppPath}/profile/";

std::string Native(const vek::string& folder) { return vek::NativePath(vek::filename(kProfiles + folder).path); }

bool SameButCase(const vek::string& a, const vek::string& b) { return strcasecmp(a.c_str(), b.c_str()) == 0; }

// Whether the folder holds nothing at all.
bool IsEmptyFolder(const vek::string& folder) {
  vek::cFileSystem fs;
  return fs.IsFolder(kProfiles + folder) && fs.GetFirst(kProfiles + folder + "/").empty();
}

}  // namespace

cPlayer* cPlayerList::CreatePlayer(const vek::string& name) {
  vek::cFileSystem fs;
  for (int i = 0; i < kMaxProfiles; ++i) {
    const vek::string folder = vek::Formatted("plr%03i", i);
    bool used = false;
    for (const auto& p : m_Players) used = used || p->GetFolder() == folder;
    if (used || fs.Exist(kProfiles + folder)) continue;

    // The profile is written whole under a temporary name, then takes its number in one rename.
    const vek::string temporary = TemporaryFolder(folder);
    if (fs.Exist(kProfiles + temporary)) fs.DeleteFolder(kProfiles + temporary);
    fs.CreatePrivateFolder(kProfiles + temporary);
    if (!fs.IsFolder(kProfiles + temporary)) {
      vek::LogWarning("CreatePlayer", "Can't create profile folder '%s'\n", kProfiles + temporary);
      return nullptr;
    }
    TestStopPoint("profile-folder");
    cPlayer draft(temporary);
    draft.GetName() = name;
    const bool written = draft.WriteProfile();
    TestStopPoint("profile-written");
    if (!written || !SaveFileLayer().Rename(Native(temporary), Native(folder))) {
      vek::LogWarning("CreatePlayer", "Can't make the profile '%s' in '%s'\n", name, kProfiles + folder);
      fs.DeleteFolder(kProfiles + temporary);
      return nullptr;
    }
    auto* player = new cPlayer(folder);
    player->GetName() = name;
    return player;
  }
  vek::LogWarning("CreatePlayer", "No free profile folder\n");
  return nullptr;
}

void cPlayerList::RemoveUnfinished() {
  vek::cFileSystem fs;
  std::vector<vek::string> leftovers;
  for (int i = 0; i < kMaxProfiles; ++i) {
    const vek::string folder = vek::Formatted("plr%03i", i);
    if (fs.IsFolder(kProfiles + TemporaryFolder(folder))) leftovers.push_back(TemporaryFolder(folder));
    // A profile folder with nothing in it is a creation that never got to its player.dat.
    if (IsEmptyFolder(folder)) leftovers.push_back(folder);
  }
  for (const vek::string& folder : leftovers) {
    vek::LogText("LoadPlayers", "Removed the unfinished profile folder '%s'\n", folder);
    fs.DeleteFolder(kProfiles + folder);
  }
}

unsigned cPlayerList::LoadPlayers() {
  RemoveUnfinished();
  unsigned listed = 0;
  vek::cFileSystem fs;
  for (int i = 0; i < kMaxProfiles; ++i) {
    const vek::string name = vek::Formatted("plr%03i", i);
    bool used = false;
    for (const auto& p : m_Players) used = used || p->GetFolder() == name;
    if (used || !fs.IsFolder(kProfiles + name)) continue;
    auto player = std::make_unique<cPlayer>(name);
    if (!player->Load()) {
      vek::LogWarning("LoadPlayers", "Profile '%s' can't be read; left out\n", name);
      continue;
    }
    // Named while the switches just read are still this profile's, which the file keeps.
    NameIfNameless(*player);
    m_Players.push_back(std::move(player));
    ++listed;
  }
  return listed;
}

void cPlayerList::NameIfNameless(cPlayer& player) const {
  vek::string name = player.GetName();
  vek::TrimLeft(name);
  vek::TrimRight(name);
  if (!name.empty()) return;
  // A player without a name could never be chosen (the menus take a nameless player for none):
  // it gets the first free "Player <n>", kept in its profile at once.
  for (int n = 1; n < kMaxProfiles; ++n) {
    name = vek::Formatted("Player %i", n);
    if (!FindPlayer(name)) break;
  }
  vek::LogWarning("LoadPlayers", "Profile '%s' has no name; it is called '%s' now\n", player.GetFolder(), name);
  player.GetName() = name;
  player.WriteProfile();
}

cPlayer* cPlayerList::FindPlayer(const vek::string& name) const {
  for (const auto& p : m_Players)
    if (SameButCase(p->GetName(), name)) return p.get();
  return nullptr;
}

cPlayer* cPlayerList::FindPlayerByName(const vek::string& name) const {
  for (const auto& p : m_Players)
    if (p->GetName() == name) return p.get();
  return FindPlayer(name);
}

cPlayer* cPlayerList::FindPlayerByFolder(const vek::string& folder) const {
  for (const auto& p : m_Players)
    if (!folder.empty() && p->GetFolder() == folder) return p.get();
  return nullptr;
}

void cPlayerList::AddPlayer(cPlayer* player) {
  if (player) m_Players.emplace_back(player);
}

bool cPlayerList::ChangePlayer(const vek::string& name) { return MakeCurrent(FindPlayerByName(name), name); }

bool cPlayerList::ChangePlayerByFolder(const vek::string& folder) {
  return MakeCurrent(FindPlayerByFolder(folder), folder);
}

bool cPlayerList::MakeCurrent(cPlayer* player, const vek::string& asked) {
  if (!player) {
    vek::LogWarning("ChangePlayer", "Can't find payer '%s', leave old player.\n", asked);
    return false;
  }
  vek::LogText("ChangePlayer", "Change player '%s' to '%s' (%s)\n", GetPlayerName(), player->GetName(),
               player->GetFolder());
  cPlayer* leaving = m_pCurrent;
  m_pCurrent = player;
  if (m_Listener) m_Listener(leaving, player);
  return true;
}

bool cPlayerList::DeletePlayer(const vek::string& name) { return Delete(FindPlayerByName(name), name); }

bool cPlayerList::DeletePlayerByFolder(const vek::string& folder) { return Delete(FindPlayerByFolder(folder), folder); }

bool cPlayerList::Delete(cPlayer* player, const vek::string& asked) {
  if (!player) {
    vek::LogWarning("DeletePlayer", "Can't find payer '%s'.\n", asked);
    return false;
  }
  // The folder goes only when it holds this player's profile (or none at all).
  vek::string stored;
  const cPlayer::eStoredName found = cPlayer::ReadStoredName(player->GetFolder(), &stored);
  if (found == cPlayer::eStoredName::Damaged || (found == cPlayer::eStoredName::Found && stored != player->GetName())) {
    vek::LogWarning("DeletePlayer", "Profile folder '%s' doesn't hold player '%s'; nothing deleted\n",
                    player->GetFolder(), player->GetName());
    return false;
  }
  vek::LogText("DeletePlayer", "Delete player '%s' (%s)\n", player->GetName(), player->GetFolder());
  if (m_pCurrent == player) {
    m_pCurrent = nullptr;
    if (m_Listener) m_Listener(nullptr, nullptr);
  }
  player->Delete();
  for (auto it = m_Players.begin(); it != m_Players.end(); ++it)
    if (it->get() == player) {
      m_Players.erase(it);
      break;
    }
  return true;
}

cPlayer* cPlayerList::GetPlayer(unsigned index) const {
  return index < m_Players.size() ? m_Players[index].get() : nullptr;
}

const vek::string& cPlayerList::GetPlayerName() const { return m_pCurrent ? m_pCurrent->GetName() : kNoName; }
