#include "game/app/player.h"

#include "engine/core/bitstream.h"
#include "engine/files/data_manager.h"
#include "engine/files/file_system.h"
#include "engine/core/format.h"
#include "engine/app/game.h"
#include "engine/core/log.h"
#include "engine/gui/widget.h"
#include "game/app/garden.h"

namespace {

const char* const kSender = "cPlayer";

void WriteCounted(vek::cBitStream& s, const std::vector<vek::i32>& v) {
  s.WriteInt(static_cast<vek::u32>(v.size()));
  for (vek::i32 x : v) s.WriteInt(static_cast<vek::u32>(x));
}

void WriteCounted(vek::cBitStream& s, const std::vector<vek::f32>& v) {
  s.WriteInt(static_cast<vek::u32>(v.size()));
  for (vek::f32 x : v) s.WriteFloat(x);
}

// A count larger than the bytes left is a damaged file: nothing more is read.
bool ReadCount(vek::cBitStream& s, vek::u32& count) {
  count = s.ReadInt();
  const vek::i32 left = static_cast<vek::i32>(s.GetByteCount()) - s.GetReadPosition();
  return left >= 0 && count <= static_cast<vek::u32>(left) / 4;
}

}  // namespace

cPlayer::cPlayer(const vek::string& folder) {
  m_Upgrades.assign(6, 0);
  if (vek::g_pGame) m_Name = vek::g_pGame->GetUserName().substr(0, kMaxPlayerName);
  if (!folder.empty()) m_Folder = folder;
  m_HintFlags.assign(15, 0);
  m_TrainingFlags.assign(10, 0);
  Reset();
}

void cPlayer::Reset() {
  m_NextPendingTask = 0;
  m_Upgrades.assign(6, 0);
  m_ElapsedTime = 0.0f;
  m_CurrentLevel = 0;
  m_HolesLayout = 0;
  m_Money = 0;
  m_Bank = 0;
  m_CarLoad.clear();
  m_LastSort = 0;
  m_AnimalKinds = -1;
}

vek::filename cPlayer::GetProfilePath(vek::i32 slot) const {
  if (m_Folder.empty()) return vek::filename();
  vek::string path = "{AppPath}/profile/" + m_Folder + "/";
  if (slot >= 0) path += std::to_string(slot) + "/";
  vek::filename name(path);
  vek::cFileSystem fs;
  if (!fs.Exist(name)) fs.CreateFolder(name);
  return name;
}

bool cPlayer::Load() {
  if (m_Folder.empty()) return false;
  vek::cBitStream s;
  if (vek::cDataManager::ReadBinary(&s, vek::CombinePath(GetProfilePath(-1).path, "player.dat")) != vek::cDataManager::Ok)
    return false;
  m_Version = s.ReadFloat();
  vek::string name;
  s.ReadString(name);
  m_Name = name.substr(0, kMaxPlayerName);
  m_LevelProgress = static_cast<vek::i32>(s.ReadInt());
  m_SelectedLevel = static_cast<vek::i32>(s.ReadInt());
  vek::u32 n = 0;
  for (std::vector<vek::i32>* flags : {&m_HintFlags, &m_TrainingFlags}) {
    if (!ReadCount(s, n)) return true;
    for (vek::u32 i = 0; i < n; ++i) {
      const vek::i32 v = static_cast<vek::i32>(s.ReadInt());
      if (i < flags->size()) (*flags)[i] = v;
    }
  }
  m_TimeGrades.clear();
  if (!ReadCount(s, n)) return true;
  for (vek::u32 i = 0; i < n; ++i) m_TimeGrades.push_back(static_cast<vek::i32>(s.ReadInt()));
  m_LevelTimes.clear();
  if (!ReadCount(s, n)) return true;
  for (vek::u32 i = 0; i < n; ++i) m_LevelTimes.push_back(s.ReadFloat());
  if (m_Version >= 0.7f) {
    for (std::vector<vek::i32>* list : {&m_Produced, &m_AnimalsBought}) {
      if (!ReadCount(s, n)) return true;
      for (vek::u32 i = 0; i < n; ++i) list->push_back(static_cast<vek::i32>(s.ReadInt()));
    }
  }
  if (m_Version >= 0.9f && g_pGarden) g_pGarden->m_iTraining = static_cast<vek::i32>(s.ReadInt());
  return true;
}

bool cPlayer::WriteProfile() {
  if (m_Folder.empty()) return false;
  vek::cBitStream s;
  s.WriteFloat(0.9f);
  s.WriteString(m_Name);
  s.WriteInt(static_cast<vek::u32>(m_LevelProgress));
  s.WriteInt(static_cast<vek::u32>(m_SelectedLevel));
  WriteCounted(s, m_HintFlags);
  WriteCounted(s, m_TrainingFlags);
  WriteCounted(s, m_TimeGrades);
  WriteCounted(s, m_LevelTimes);
  WriteCounted(s, m_Produced);
  WriteCounted(s, m_AnimalsBought);
  s.WriteInt(static_cast<vek::u32>(g_pGarden ? g_pGarden->m_iTraining : 1));
  const vek::filename file = vek::CombinePath(GetProfilePath(-1).path, "player.dat");
  if (vek::cDataManager::WriteBinary(&s, file) != vek::cDataManager::Ok) {
    vek::LogWarning(kSender, "Can't write the profile %s\n", file.path);
    return false;
  }
  return true;
}

bool cPlayer::Save() {
  WriteProfile();
  return true;
}

bool cPlayer::SaveMain() {
  const bool onIsland = vek::g_pGame && vek::g_pGame->GetFocusWidgetName() == "island";
  const bool paused = g_pGarden && g_pGarden->m_Paused != 0;
  if (onIsland || paused) return true;
  return SaveGame(-1);
}

bool cPlayer::SaveGame(vek::i32 slot) {
  if (m_Folder.empty()) return false;
  vek::cBitStream s;
  if (slot == -1) {
    s.WriteFloat(m_ElapsedTime);
    WriteCounted(s, m_CarLoad);
    s.WriteInt(static_cast<vek::u32>(m_NextPendingTask));
    s.WriteInt(0);  // active mission tasks
  }
  s.WriteInt(static_cast<vek::u32>(g_pGarden ? g_pGarden->m_PumpState : 0));
  s.WriteInt(static_cast<vek::u32>(m_HolesLayout));
  s.WriteInt(static_cast<vek::u32>(m_Money));
  s.WriteInt(static_cast<vek::u32>(m_Bank));
  for (size_t i = 0; i < 6; ++i) s.WriteInt(static_cast<vek::u32>(i < m_Upgrades.size() ? m_Upgrades[i] : 0));
  s.WriteInt(static_cast<vek::u32>(m_LastSort));
  s.WriteInt(static_cast<vek::u32>(m_AnimalKinds));
  const vek::filename file = vek::CombinePath(GetProfilePath(slot).path, "save.dat");
  const bool ok = vek::cDataManager::WriteBinary(&s, file) == vek::cDataManager::Ok;
  if (!ok) vek::LogWarning(kSender, "Can't write the saved game %s\n", file.path);
  WriteProfile();
  return ok;
}

bool cPlayer::LoadGame(vek::i32 slot) {
  Reset();
  if (m_Folder.empty()) return true;
  vek::cBitStream s;
  if (vek::cDataManager::ReadBinary(&s, vek::CombinePath(GetProfilePath(slot).path, "save.dat")) != vek::cDataManager::Ok)
    return true;
  if (slot == -1) {
    m_ElapsedTime = s.ReadFloat();
    vek::u32 n = 0;
    if (!ReadCount(s, n)) return true;
    for (vek::u32 i = 0; i < n; ++i) {
      const vek::i32 ware = static_cast<vek::i32>(s.ReadInt());
      if (ware != 1000) m_CarLoad.push_back(ware);
    }
    m_NextPendingTask = static_cast<vek::i32>(s.ReadInt());
    if (!ReadCount(s, n) || n != 0) return true;  // mission tasks are not kept by this profile yet
  }
  if (m_Version < 0.9f) s.ReadInt();
  const vek::i32 pump = static_cast<vek::i32>(s.ReadInt());
  if (g_pGarden) g_pGarden->m_PumpState = pump;
  m_HolesLayout = static_cast<vek::i32>(s.ReadInt());
  m_Money = static_cast<vek::i32>(s.ReadInt());
  m_Bank = static_cast<vek::i32>(s.ReadInt());
  for (size_t i = 0; i < 6; ++i) m_Upgrades[i] = static_cast<vek::i32>(s.ReadInt());
  m_LastSort = static_cast<vek::i32>(s.ReadInt());
  m_AnimalKinds = static_cast<vek::i32>(s.ReadInt());
  return true;
}

void cPlayer::Delete() {
  if (m_Folder.empty()) return;
  vek::cFileSystem fs;
  const vek::filename folder = GetProfilePath(-1);
  if (!folder.empty()) fs.DeleteFolder(folder);
}
