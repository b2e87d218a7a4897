#include "game/app/player.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>

#include "engine/core/format.h"
#include "engine/core/log.h"
#include "engine/files/file_system.h"
#include "engine/files/filename.h"
#include "game/app/rules_host.h"
#include "game/app/save_unit.h"
#include "game/app/window_host.h"

namespace {

constexpr const char* kSender = "cPlayer";
constexpr const char* kProfileFile = "player.dat";
constexpr const char* kGameFile = "save.dat";

// Sane sizes of the counted arrays: far beyond what a game makes, far below what would hurt.
constexpr vek::u32 kMaxFlags = 1024;
constexpr vek::u32 kMaxLevels = 4096;
constexpr vek::u32 kMaxWares = cPlayer::kMaxWareIds;
constexpr vek::u32 kMaxCarLoad = 1024;
constexpr vek::u32 kMaxActiveTasks = 4;
constexpr vek::i32 kLevelCount = 45;

std::vector<cWorldSaveFile>& WorldFiles() {
  static std::vector<cWorldSaveFile> files;
  return files;
}

// Reads a stream and checks every count and text against the bytes that are left. After the
// first failure every read gives 0 and Failed() stays true; the reason is kept for the log.
class cCheckedReader {
 public:
  explicit cCheckedReader(vek::cBitStream& in) : m_In(in) {}

  bool Failed() const { return m_pWhy != nullptr; }
  const char* Why() const { return m_pWhy ? m_pWhy : ""; }
  void Fail(const char* why) {
    if (!m_pWhy) m_pWhy = why;
  }

  vek::u32 Left() const {
    const vek::i64 bits = static_cast<vek::i64>(m_In.GetSizeInBits()) - m_In.GetReadPosition();
    return bits > 0 ? static_cast<vek::u32>(bits / 8) : 0;
  }
  vek::u32 Int(const char* what) {
    if (!Need(4, what)) return 0;
    return m_In.ReadInt();
  }
  vek::i32 Signed(const char* what) { return static_cast<vek::i32>(Int(what)); }
  vek::f32 Float(const char* what) {
    if (!Need(4, what)) return 0.0f;
    const vek::f32 v = m_In.ReadFloat();
    if (!std::isfinite(v)) Fail(what);
    return std::isfinite(v) ? v : 0.0f;
  }
  void Skip(vek::u32 bytes, const char* what) {
    if (!Need(bytes, what)) return;
    for (vek::u32 i = 0; i < bytes; ++i) m_In.ReadByte();
  }
  vek::string Text(const char* what) {
    if (!Need(2, what)) return {};
    const vek::u32 lo = m_In.ReadByte();
    const vek::u32 hi = m_In.ReadByte();
    const auto length = static_cast<std::int16_t>(static_cast<vek::u16>(lo | hi << 8));
    if (length <= 0) return {};
    if (!Need(static_cast<vek::u32>(length), what)) return {};
    vek::string text;
    for (int i = 0; i < length; ++i) text += static_cast<char>(m_In.ReadByte());
    return text;
  }
  // A count of items of `itemBytes` each: no more than `max` and no more than the bytes left.
  vek::u32 Count(vek::u32 itemBytes, vek::u32 max, const char* what) {
    const vek::u32 n = Int(what);
    if (Failed()) return 0;
    if (n > max || static_cast<vek::u64>(n) * itemBytes > Left()) {
      Fail(what);
      return 0;
    }
    return n;
  }
  // A counted array of whole numbers, replacing the items.
  void Array(std::vector<vek::i32>& items, vek::u32 max, const char* what) {
    items.clear();
    for (vek::u32 i = 0, n = Count(4, max, what); i < n; ++i) items.push_back(Signed(what));
  }
  // A whole number that must lie in min..max.
  vek::i32 Ranged(vek::i32 min, vek::i32 max, const char* what) {
    const vek::i32 v = Signed(what);
    if (v < min || v > max) Fail(what);
    return Failed() ? 0 : v;
  }

 private:
  bool Need(vek::u32 bytes, const char* what) {
    if (Failed()) return false;
    if (Left() < bytes) Fail(what);
    return !Failed();
  }

  vek::cBitStream& m_In;
  const char* m_pWhy = nullptr;
};

void WriteArray(vek::cBitStream& out, const std::vector<vek::i32>& items) {
  out.WriteInt(static_cast<vek::u32>(items.size()));
  for (vek::i32 v : items) out.WriteInt(static_cast<vek::u32>(v));
}

void WriteArray(vek::cBitStream& out, const std::vector<vek::f32>& items) {
  out.WriteInt(static_cast<vek::u32>(items.size()));
  for (vek::f32 v : items) out.WriteFloat(v);
}

// The path of a slot's folder relative to the profile folder: "" or "<slot>/".
vek::string SlotFolder(int slot) { return slot >= 0 ? vek::Formatted("%i/", slot) : vek::string(); }

// The native path of a profile folder given in token form ("{AppPath}/profile/plr000/").
std::string NativeFolder(const vek::string& tokenPath) {
  return vek::NativePath(vek::filename(tokenPath + "x").dir());
}

// A profile folder is used only when it is this user's own: a link into (or a folder of)
// another user's home would have the game read, replace and move that user's files.
bool IsOwnFolder(const std::string& root) {
  std::string folder = root;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 || st.st_uid == ::geteuid()) return true;
  struct stat entry {};
  const bool link = ::lstat(folder.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode);
  vek::LogError(kSender, "Profile folder '%s' %s user %u, not to this one; the profile is left out\n", folder,
                link ? "is a link into a folder of" : "belongs to", static_cast<unsigned>(st.st_uid));
  return false;
}

// A file of the profile that is there but can't be read or understood is moved out of the way
// of the next save, never saved over: "<file>.damaged" beside it keeps it for the player (or
// a bug report). Told in the log and on screen.
void PutAside(iSaveFileLayer& files, const std::string& path, const char* why) {
  const std::string aside = path + ".damaged";
  if (files.Rename(path, aside))
    vek::LogError(kSender, "'%s' %s; it is kept as '%s' and not used\n", path, why, aside);
  else
    vek::LogError(kSender, "'%s' %s and can't be moved aside; it is not used\n", path, why);
  TellPlayer("ErrorDamagedFile");
}

// A save that failed: the log has the reason from the writer; the player hears of the first
// one of the run, and plays on.
void SaveFailed(const std::string& root) {
  vek::LogError(kSender, "The game could not be saved in '%s'\n", root);
  TellPlayerOnce("ErrorSaveFailed");
}

}  // namespace

void AddWorldSaveFile(cWorldSaveFile file) { WorldFiles().push_back(std::move(file)); }
void ClearWorldSaveFiles() { WorldFiles().clear(); }

vek::string cPlayer::CutName(const vek::string& cp1252) {
  return cp1252.size() > kMaxName ? cp1252.substr(0, kMaxName) : cp1252;
}

cPlayer::cPlayer(const vek::string& folder) {
  upgradeLevels.assign(kUpgrades, 0);
  m_Name = CutName(RulesHost()->GetUserName());
  if (folder.empty()) {
    const int counter = RulesHost()->GetPlayerCounter();
    m_Folder = vek::Formatted("plr%03i", counter);
    RulesHost()->SetPlayerCounter(counter + 1);
  } else {
    m_Folder = folder;
  }
  hintFlags.assign(kHintFlags, 0);
  trainingFlags.assign(kTrainingFlags, 0);
  Reset();
}

void cPlayer::Reset() {
  nextPendingTask = 0;
  activeTasks.clear();
  upgradeLevels.assign(kUpgrades, 0);
  mission.Clear();
  elapsedTime = 0.0f;
  currentLevel = 0;
  holesLayout = 0;
  money = 0;
  bank = 0;
  carLoad.clear();
  lastSort = 0;
  animalKinds = -1;
}

vek::string cPlayer::GetProfilePath(int slot) const {
  if (m_Folder.empty()) return {};
  vek::string path = "{AppPath}/profile/" + m_Folder + "/" + SlotFolder(slot);
  vek::cFileSystem fs;
  if (!fs.IsFolder(path)) fs.CreatePrivateFolder(path);
  return path;
}

vek::cBitStream cPlayer::BuildProfile() const {
  vek::cBitStream out;
  out.WriteFloat(kVersion);
  out.WriteString(m_Name);
  out.WriteInt(static_cast<vek::u32>(levelProgress));
  out.WriteInt(static_cast<vek::u32>(selectedLevel));
  WriteArray(out, hintFlags);
  WriteArray(out, trainingFlags);
  WriteArray(out, timeGrades);
  WriteArray(out, levelTimes);
  WriteArray(out, produced);
  WriteArray(out, animalsBought);
  out.WriteInt(static_cast<vek::u32>(RulesHost()->GetTraining()));
  return out;
}

bool cPlayer::ParseProfile(vek::cBitStream& in, const char* file) {
  cCheckedReader r(in);
  cPlayer next = *this;
  next.version = r.Float("version");
  // Versions are single-precision numbers: compare them as such.
  if (!r.Failed() && !(next.version > 0.0f && next.version <= kVersion)) r.Fail("unknown version");
  next.m_Name = r.Text("name");
  next.levelProgress = r.Ranged(0, kLevelCount, "level progress");
  next.selectedLevel = r.Ranged(-1, kLevelCount - 1, "selected level");
  for (auto* flags : {&next.hintFlags, &next.trainingFlags}) {
    const vek::u32 n = r.Count(4, kMaxFlags, "flag count");
    for (vek::u32 i = 0; i < n; ++i) {
      const auto v = r.Signed("flags");
      if (i < flags->size()) (*flags)[i] = v;
    }
  }
  r.Array(next.timeGrades, kMaxLevels, "time grades");
  next.levelTimes.clear();
  for (vek::u32 i = 0, n = r.Count(4, kMaxLevels, "level time count"); i < n; ++i)
    next.levelTimes.push_back(r.Float("level times"));
  vek::i32 training = RulesHost()->GetTraining();
  if (next.version >= 0.7f) {
    r.Array(next.produced, kMaxWares, "produced");
    r.Array(next.animalsBought, kMaxAnimalKinds, "animals bought");
  }
  if (next.version >= 0.9f) training = r.Signed("training");
  if (r.Failed()) {
    vek::LogError(kSender, "Damaged profile '%s' refused (%s)\n", file, r.Why());
    return false;
  }
  *this = std::move(next);
  RulesHost()->SetTraining(training);
  return true;
}

vek::cBitStream cPlayer::BuildGame(int slot) {
  vek::cBitStream out;
  iRulesHost* host = RulesHost();
  if (slot < 0) {
    if (RulesWorld()->GetIslandMode() == 2) selectedLevel = currentLevel;
    out.WriteFloat(elapsedTime);
    WriteArray(out, carLoad);
    out.WriteInt(static_cast<vek::u32>(nextPendingTask));
    out.WriteInt(static_cast<vek::u32>(activeTasks.size()));
    for (const auto& task : activeTasks) {
      out.WriteString(task.ware == kNoWare ? vek::string() : host->GetWareName(task.ware));
      out.WriteInt(static_cast<vek::u32>(task.kind));
      out.WriteInt(static_cast<vek::u32>(task.count));
      out.WriteFloat(task.startTime);
    }
  }
  out.WriteInt(static_cast<vek::u32>(host->GetPumpState()));
  out.WriteInt(static_cast<vek::u32>(holesLayout));
  out.WriteInt(static_cast<vek::u32>(money));
  out.WriteInt(static_cast<vek::u32>(bank));
  for (int i = 0; i < kUpgrades; ++i) out.WriteInt(static_cast<vek::u32>(upgradeLevels[i]));
  out.WriteInt(static_cast<vek::u32>(lastSort));
  out.WriteInt(static_cast<vek::u32>(animalKinds));
  return out;
}

bool cPlayer::ParseGame(vek::cBitStream& in, int slot, const char* file) {
  cCheckedReader r(in);
  iRulesHost* host = RulesHost();
  cPlayer next = *this;
  if (slot < 0) {
    next.elapsedTime = r.Float("elapsed time");
    if (next.elapsedTime < 0.0f) r.Fail("elapsed time");
    next.carLoad.clear();
    for (vek::u32 i = 0, n = r.Count(4, kMaxCarLoad, "car load count"); i < n; ++i) {
      const vek::i32 ware = r.Signed("car load");
      if (ware != kNoWare) next.carLoad.push_back(ware);
    }
    next.nextPendingTask = r.Ranged(0, 1024, "next task");
    next.activeTasks.clear();
    for (vek::u32 i = 0, n = r.Count(10, kMaxActiveTasks, "task count"); i < n; ++i) {
      cMissionTask task;
      const vek::string name = r.Text("task ware");
      task.ware = name.empty() ? kNoWare : host->GetWareId(name);
      task.kind = r.Ranged(-1, 3, "task kind");
      task.count = r.Signed("task count");
      if (version > 0.7f) task.startTime = r.Float("task start");
      next.activeTasks.push_back(task);
    }
  }
  if (version < 0.9f) r.Skip(4, "old field");
  const vek::i32 pump = r.Ranged(0, 255, "pump state");
  next.holesLayout = r.Ranged(0, 255, "holes layout");
  next.money = r.Ranged(0, INT32_MAX, "money");
  next.bank = r.Ranged(0, INT32_MAX, "bank");
  for (int i = 0; i < kUpgrades; ++i) next.upgradeLevels[i] = r.Ranged(0, 3, "upgrade level");
  next.lastSort = r.Ranged(0, 63, "last sort");
  next.animalKinds = r.Ranged(-1, 3, "animal kinds");
  if (r.Failed()) {
    vek::LogError(kSender, "Damaged save '%s' refused (%s)\n", file, r.Why());
    return false;
  }
  *this = std::move(next);
  host->SetPumpState(pump);
  return true;
}

bool cPlayer::Load() {
  const vek::string path = GetProfilePath(-1);
  if (path.empty()) return false;
  iSaveFileLayer& files = SaveFileLayer();
  const std::string root = NativeFolder(path);
  if (!IsOwnFolder(root)) {
    TellPlayer("ErrorProfileRefused");
    return false;
  }
  vek::cFileSystem().CheckPrivate(path);
  RecoverUnit(files, root, {kProfileFile, kGameFile});
  std::vector<vek::u8> bytes;
  const std::string file = root + kProfileFile;
  const plat::eFileRead read = files.Read(file, bytes);
  if (read == plat::eFileRead::Missing) return false;
  if (read == plat::eFileRead::Ok) {
    vek::cBitStream in;
    in.SetData(bytes.data(), static_cast<vek::u32>(bytes.size()));
    if (ParseProfile(in, file.c_str())) return true;
  }
  // A profile that is left out is never saved over, so its file stays as it is (a newer
  // version of the game may still read it).
  vek::LogError(kSender, "'%s' %s; the profile is left out and the file kept as it is\n", file,
                read == plat::eFileRead::Ok ? "is damaged" : plat::FileReadText(read));
  TellPlayer("ErrorProfileUnreadable");
  return false;
}

bool cPlayer::Save() {
  WriteProfile();
  return true;
}

bool cPlayer::WriteProfile() {
  const vek::string path = GetProfilePath(-1);
  if (path.empty()) return false;
  const vek::cBitStream out = BuildProfile();
  std::vector<cSaveFile> unit{{kProfileFile, out.GetBytes()}};
  unit.back().bytes.resize(out.GetByteCount());
  if (!SaveUnit(SaveFileLayer(), NativeFolder(path), unit)) {
    SaveFailed(NativeFolder(path));
    return false;
  }
  version = kVersion;
  return true;
}

bool cPlayer::SaveMain() {
  if (!RulesHost()->CanSaveMain()) return true;
  return SaveGame(-1);
}

bool cPlayer::SaveGame(int slot) {
  const vek::string path = GetProfilePath(-1);
  if (path.empty()) return false;
  GetProfilePath(slot);
  const vek::string folder = SlotFolder(slot);
  std::vector<cSaveFile> unit;
  auto add = [&](const vek::string& name, const vek::cBitStream& out) {
    unit.push_back({folder + name, out.GetBytes()});
    unit.back().bytes.resize(out.GetByteCount());
  };
  add(kGameFile, BuildGame(slot));
  for (const auto& world : WorldFiles()) {
    vek::cBitStream out;
    if (world.write && !world.write(out, slot)) {
      vek::LogError(kSender, "Can't save '%s'; the previous save is kept\n", world.name);
      return false;
    }
    add(world.name, out);
  }
  unit.push_back({kProfileFile, {}});
  const vek::cBitStream profile = BuildProfile();
  unit.back().bytes.assign(profile.GetBytes().begin(), profile.GetBytes().begin() + profile.GetByteCount());
  if (!SaveUnit(SaveFileLayer(), NativeFolder(path), unit)) {
    SaveFailed(NativeFolder(path));
    return false;
  }
  // player.dat now holds the newest format, and so does every file just written.
  version = kVersion;
  return true;
}

bool cPlayer::LoadGame(int slot) {
  Reset();
  const vek::string path = GetProfilePath(slot);
  if (path.empty()) return false;
  iSaveFileLayer& files = SaveFileLayer();
  const std::string root = NativeFolder(GetProfilePath(-1));
  const vek::string folder = SlotFolder(slot);
  std::vector<std::string> names{folder + kGameFile, kProfileFile};
  for (const auto& world : WorldFiles()) names.push_back(folder + world.name);
  RecoverUnit(files, root, names);
  // Every file of the slot that is there but can't be read goes aside before any of them is
  // read, so the parts that start fresh never save over it.
  for (const auto& name : names) {
    if (name == kProfileFile) continue;
    std::vector<vek::u8> bytes;
    const plat::eFileRead read = files.Read(root + name, bytes);
    if (read != plat::eFileRead::Ok && read != plat::eFileRead::Missing)
      PutAside(files, root + name, plat::FileReadText(read));
  }
  std::vector<vek::u8> bytes;
  const std::string file = root + folder + kGameFile;
  if (files.Read(file, bytes) == plat::eFileRead::Ok) {
    vek::cBitStream in;
    in.SetData(bytes.data(), static_cast<vek::u32>(bytes.size()));
    if (!ParseGame(in, slot, file.c_str())) PutAside(files, file, "is damaged");
  }
  for (const auto& world : WorldFiles()) {
    if (world.read && !world.read(path + world.name, slot)) PutAside(files, root + folder + world.name, "is damaged");
  }
  return true;
}

cPlayer::eStoredName cPlayer::ReadStoredName(const vek::string& folder, vek::string* name) {
  if (folder.empty()) return eStoredName::Absent;
  iSaveFileLayer& files = SaveFileLayer();
  const std::string root = NativeFolder("{AppPath}/profile/" + folder + "/");
  std::vector<vek::u8> bytes;
  if (!files.Exists(root + kProfileFile)) return eStoredName::Absent;
  if (files.Read(root + kProfileFile, bytes) != plat::eFileRead::Ok || bytes.size() > vek::cBitStream::kMaxBytes)
    return eStoredName::Damaged;
  vek::cBitStream in;
  in.SetData(bytes.data(), static_cast<vek::u32>(bytes.size()));
  cCheckedReader r(in);
  const vek::f32 version = r.Float("version");
  if (!r.Failed() && !(version > 0.0f && version <= kVersion)) r.Fail("unknown version");
  vek::string stored = r.Text("name");
  if (r.Failed()) return eStoredName::Damaged;
  if (name) *name = std::move(stored);
  return eStoredName::Found;
}

void cPlayer::Delete() {
  const vek::string path = GetProfilePath(-1);
  if (path.empty()) return;
  vek::cFileSystem().DeleteFolder(path);
}
