#include "game/app/player_list.h"

#include <strings.h>

#include "engine/files/file_system.h"
#include "engine/core/format.h"
#include "engine/core/log.h"

namespace {

const vek::string kNoName;

}  // namespace

cPlayer* cPlayerList::CreatePlayer(const vek::string& name) {
  vek::cFileSystem fs;
  for (int i = 0; i < kMaxProfiles; ++i) {
    const vek::string folderName = vek::Formatted("plr%03i", i);
    const vek::string folder = "{AppPath}/profile/" + folderName;
    bool used = false;
    for (const auto& p : m_Players) used = used || p->GetFolder() == folderName;
    if (used || fs.Exist(folder)) continue;
    fs.CreateFolder(folder);
    if (!fs.IsFolder(folder)) {
      vek::LogWarning("CreatePlayer", "Can't create profile folder '%s'\n", folder);
      return nullptr;
    }
    auto* player = new cPlayer(folderName);
    player->GetName() = name;
    return player;
  }
  vek::LogWarning("CreatePlayer", "No free profile folder\n");
  return nullptr;
}

unsigned cPlayerList::LoadPlayers() {
  unsigned listed = 0;
  vek::cFileSystem fs;
  for (int i = 0; i < kMaxProfiles; ++i) {
    const vek::string name = vek::Formatted("plr%03i", i);
    bool used = false;
    for (const auto& p : m_Players) used = used || p->GetFolder() == name;
    if (used || !fs.IsFolder("{AppPath}/profile/" + name)) continue;
    auto player = std::make_unique<cPlayer>(name);
    if (!player->Load()) {
      vek::LogWarning("LoadPlayers", "Profile '%s' can't be read; left out\n", name);
      continue;
    }
    m_Players.push_back(std::move(player));
    ++listed;
  }
  return listed;
}

cPlayer* cPlayerList::FindPlayer(const vek::string& name) const {
  for (const auto& p : m_Players)
    if (strcasecmp(p->GetName().c_str(), name.c_str()) == 0) return p.get();
  return nullptr;
}

void cPlayerList::AddPlayer(cPlayer* player) {
  if (player) m_Players.emplace_back(player);
}

bool cPlayerList::ChangePlayer(const vek::string& name) {
  cPlayer* player = FindPlayer(name);
  if (!player) {
    vek::LogWarning("ChangePlayer", "Can't find payer '%s', leave old player.\n", name);
    return false;
  }
  vek::LogText("ChangePlayer", "Change player '%s' to '%s'\n", GetPlayerName(), player->GetName());
  cPlayer* leaving = m_pCurrent;
  m_pCurrent = player;
  if (m_Listener) m_Listener(leaving, player);
  return true;
}

bool cPlayerList::DeletePlayer(const vek::string& name) {
  for (auto it = m_Players.begin(); it != m_Players.end(); ++it) {
    if (strcasecmp((*it)->GetName().c_str(), name.c_str()) != 0) continue;
    vek::LogText("DeletePlayer", "Delete player '%s'\n", name);
    if (m_pCurrent == it->get()) {
      m_pCurrent = nullptr;
      if (m_Listener) m_Listener(nullptr, nullptr);
    }
    (*it)->Delete();
    m_Players.erase(it);
    return true;
  }
  vek::LogWarning("DeletePlayer", "Can't find payer '%s'.\n", name);
  return false;
}

cPlayer* cPlayerList::GetPlayer(unsigned index) const {
  return index < m_Players.size() ? m_Players[index].get() : nullptr;
}

const vek::string& cPlayerList::GetPlayerName() const { return m_pCurrent ? m_pCurrent->GetName() : kNoName; }
