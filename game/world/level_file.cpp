// The field's fixed objects, its holes and its level file ("level.dat" in the profile folder):
// the gardener, the three tools, then counted sections of plants, ostriches, peacocks, goats
// and hives. The reader trusts nothing: counts are bounded by the bytes left and a sane
// maximum, and a damaged file is refused as a whole.
#include <sys/stat.h>

#include <algorithm>

#include "engine/files/data_manager.h"
#include "engine/files/file_system.h"
#include "engine/core/log.h"
#include "game/app/garden_services.h"
#include "game/world/level.h"
#include "game/world/particles.h"
#include "game/world/plant.h"

namespace {

constexpr const char* kSender = "cLevel";
// Every record starts with the object's cell: two 4-byte values.
constexpr vek::u32 kBaseRecordBytes = 8;
// A plant's record: ware id, growth, the cell (and, in old saves, one more value).
constexpr vek::u32 kPlantRecordBytes = 16;

struct cSection {
  vek::u32 type;
  eFieldKind kind;
  const char* name;
};
constexpr cSection kSections[5] = {{e_TypePlant, e_KindPlant, "plant"},
                                   {e_TypeOstrich, e_KindOstrich, "ostrich"},
                                   {e_TypePeacock, e_KindPeacock, "peacock"},
                                   {e_TypeGoat, e_KindGoat, "goat"},
                                   {e_TypeHive, e_KindHive, "hive"}};

vek::u32 BytesLeft(const vek::cBitStream& s) {
  const vek::u32 read = static_cast<vek::u32>(s.GetReadPosition() / 8);
  const vek::u32 total = s.GetByteCount();
  return total > read ? total - read : 0;
}

}  // namespace

cObject* cLevel::MakeFixed(eFieldKind kind, const cCell& cell) {
  cObject* o = Make(kind);
  if (o && !cell.IsSentinel()) o->SetCell(cell);
  return o;
}

void cLevel::BuildFixedObjects() {
  m_GardenerId = Make(e_KindGardener)->GetId();
  Make(e_KindToolWater);
  Make(e_KindToolWeed);
  Make(e_KindToolBin);
  m_CarBackId = Make(e_KindCarBack)->GetId();
  m_CarId = MakeFixed(e_KindCar, {kRows / 2 - 1, 0})->GetId();
  m_PumpId = MakeFixed(e_KindPump, {2, kColumns - 1})->GetId();
  for (vek::i32 row : {2, 1, 3}) SetCellValue(row, kColumns - 1, 0.0f);
}

void cLevel::PlaceFixedDefaults() {
  if (IsObjectValid(m_GardenerId)) FindObject(m_GardenerId)->SetCell(5, 5);
  cObject* none = GetFirstObject();
  const struct {
    vek::u32 type;
    cCell cell;
  } tools[3] = {{e_TypeToolWeed, {5, 3}}, {e_TypeToolWater, {5, 4}}, {e_TypeToolBin, {5, 5}}};
  for (const auto& t : tools)
    if (cObject* o = FindObjectAt(kNoCell, t.type); o != none) o->SetCell(t.cell);
}

bool cLevel::CreateHoles(const std::vector<cCell>& kept) {
  iGardenServices* s = GardenServices();
  // While the holes animation runs, the holes of a new layout wait hidden for its end.
  const bool hideNew = s->IsHolesAnimationRunning();
  const std::vector<cHolesLayout>& layouts = s->GetHolesLayouts();
  const vek::i32 index = s->GetHolesLayoutIndex();
  if (index < 0 || static_cast<size_t>(index) >= layouts.size()) return false;
  for (const cHoleCell& h : layouts[static_cast<size_t>(index)]) {
    const cCell cell{kRows - h.row, h.column};
    if (!IsCellInside(cell) || FindObjectAt(cell, e_TypeHole) != GetFirstObject()) continue;
    cObject* made = MakeFixed(e_KindHole, cell);
    SetCellValue(cell.i, cell.j, 0.0f);
    const bool isNew = std::find(kept.begin(), kept.end(), cell) == kept.end();
    if (auto* hole = dynamic_cast<cHole*>(made); hole && hideNew && isNew) hole->m_bShown = false;
  }
  ReplaceLooseItems();
  return true;
}

bool cLevel::AddLayoutHoles() {
  std::vector<cCell> kept;
  for (cObject* o : m_Registry)
    if (o->GetType() != 0 && o->IsType(e_TypeHole)) kept.push_back(o->GetCell());
  return CreateHoles(kept);
}

void cLevel::ShowHiddenHoles() {
  cParticles* particles = GardenServices()->GetParticles();
  for (cObject* o : m_Registry) {
    auto* hole = dynamic_cast<cHole*>(o);
    if (!hole || hole->m_bShown) continue;
    hole->m_bShown = true;
    const vek::rectf r = hole->GetRect();
    if (particles) particles->AddBurst({r.x + r.w * 0.5f, r.y + r.h * 0.5f, 0.0f}, 30, 15.0f);
  }
}

void cLevel::ReplaceLooseItems() {
  for (cObject* o : m_Registry) {
    const bool loose = (o->IsType(e_TypeTool) && o->GetType() != 0 && !o->IsTaken()) ||
                       (o->IsType(e_TypeAnimalProduct) && o->GetType() != 0);
    if (!loose) continue;
    const cCell c = o->GetCell();
    if (GetCellValue(c.i, c.j) != 0.0f) continue;
    cCell to = FindFreeCell(c);
    if (!IsCellInside(to)) to = {0, 0};
    o->SetCell(to);
  }
}

void cLevel::WriteLevel(vek::cBitStream& stream) {
  // A field not set up yet (a save before any level was played since the start) is saved as
  // a new one: without its fixed objects the records would not have the shapes the reader
  // expects of a can and a bin, and the file would be refused.
  if (!IsObjectValid(m_GardenerId)) {
    BuildFixedObjects();
    PlaceFixedDefaults();
  }
  cObject* gardener = FindObject(m_GardenerId);
  if (gardener->GetCell().IsSentinel()) gardener->SetCell(kRows / 2, 0);
  gardener->Write(stream);
  for (vek::u32 type : {e_TypeToolWater, e_TypeToolWeed, e_TypeToolBin}) FindObjectAt(kNoCell, type)->Write(stream);
  std::vector<cObject*> sections[5];
  for (auto it = std::next(m_Registry.begin()); it != m_Registry.end(); ++it) {
    for (int k = 0; k < 5; ++k) {
      if ((*it)->IsType(kSections[k].type)) {
        sections[k].push_back(*it);
        break;
      }
    }
  }
  for (const auto& section : sections) {
    stream.WriteInt(static_cast<vek::u32>(section.size()));
    for (cObject* o : section) o->Write(stream);
  }
}

bool cLevel::Save(vek::i32 slot) {
  if (!IsObjectValid(m_GardenerId)) return false;
  const vek::string folder = GardenServices()->GetProfilePath(slot);
  if (folder.empty()) {
    vek::LogWarning(kSender, "Save: no current player\n");
    return false;
  }
  vek::cBitStream stream;
  WriteLevel(stream);
  const vek::string path = folder + "level.dat";
  // The writer replaces the file only once the new one is whole on disk.
  if (vek::cDataManager::WriteBinary(&stream, path) != vek::cDataManager::Ok)
    vek::LogWarning(kSender, "Save: cannot write %s; the previous file is kept\n", path);
  return true;
}

bool cLevel::ReadSections(vek::cBitStream& stream) {
  const bool oldPlants = GardenServices()->GetSaveVersion() <= 0.4f;
  for (const cSection& section : kSections) {
    if (BytesLeft(stream) < 4) {
      vek::LogWarning(kSender, "Load: level.dat ends before the %s count\n", section.name);
      return false;
    }
    const vek::i32 count = static_cast<vek::i32>(stream.ReadInt());
    if (count <= 0) continue;
    const vek::u32 recordBytes =
        section.kind == e_KindPlant ? kPlantRecordBytes + (oldPlants ? 4u : 0u) : kBaseRecordBytes;
    if (count > kMaxRecords || static_cast<vek::u64>(count) * recordBytes > BytesLeft(stream)) {
      vek::LogWarning(kSender, "Load: level.dat holds %i %s records in %i bytes; the file is damaged\n", count,
                      section.name, static_cast<vek::i32>(BytesLeft(stream)));
      return false;
    }
    for (vek::i32 n = 0; n < count; ++n) {
      if (BytesLeft(stream) < recordBytes) {
        vek::LogWarning(kSender, "Load: level.dat ends inside a %s record\n", section.name);
        return false;
      }
      cObject* o = Make(section.kind);
      if (section.kind == e_KindPlant) {
        // A plant reads only its own bytes, so a record it gives up on (an unknown kind)
        // never shifts the records behind it.
        std::vector<vek::u8> bytes(recordBytes);
        for (vek::u8& b : bytes) b = stream.ReadByte();
        vek::cBitStream record;
        record.SetData(bytes.data(), recordBytes);
        o->Read(record);
      } else {
        o->Read(stream);
      }
      if (section.kind == e_KindHive) {
        const cCell c = o->GetCell();
        SetCellValue(c.i, c.j, 0.0f);
        SetCellValue(c.i + 1, c.j, 0.0f);
        Make(e_KindBee)->SetHome(o->GetId());
      }
    }
  }
  return true;
}

bool cLevel::ReadLevel(vek::cBitStream& stream) {
  if (BytesLeft(stream) < 4 * kBaseRecordBytes) {
    vek::LogWarning(kSender, "Load: level.dat is too short (%i bytes)\n", static_cast<vek::i32>(BytesLeft(stream)));
    return false;
  }
  FindObject(m_GardenerId)->Read(stream);
  cObject* none = GetFirstObject();
  for (vek::u32 type : {e_TypeToolWater, e_TypeToolWeed, e_TypeToolBin}) {
    cObject* tool = FindObjectAt(kNoCell, type);
    if (tool != none) {
      tool->Read(stream);
    } else {
      stream.ReadInt();
      stream.ReadInt();
    }
  }
  return ReadSections(stream);
}

bool cLevel::Load(vek::i32 slot) {
  std::vector<cCell> kept;
  for (cObject* o : m_Registry)
    if (o->GetType() != 0 && o->IsType(e_TypeHole)) kept.push_back(o->GetCell());
  Clear();
  CreateHoles(kept);
  BuildFixedObjects();
  const vek::string folder = GardenServices()->GetProfilePath(slot);
  vek::cBitStream stream;
  // A profile that has not saved its field yet has no file: that is the normal start of a
  // new player, told as information; a file that is there but cannot be read still warns.
  const vek::string path = folder + "level.dat";
  vek::cFileSystem disk;
  const bool present = !folder.empty() && disk.Exist(path);
  if (!folder.empty() && !present) vek::LogText(kSender, "Load: no level.dat yet; the field starts fresh\n");
  const bool read = present && vek::cDataManager::ReadBinary(&stream, path) == vek::cDataManager::Ok;
  // An empty file is a field without a file; anything else unread is refused.
  struct stat st {};
  const bool empty = present && ::lstat(vek::NativePath(vek::filename(path).path).c_str(), &st) == 0 &&
                     S_ISREG(st.st_mode) && st.st_size == 0;
  m_bFileRefused = present && !read && !empty;
  if (m_bFileRefused) vek::LogError(kSender, "Load: %s can't be read; the field starts fresh\n", path);
  if (read && !ReadLevel(stream)) {
    m_bFileRefused = true;
    vek::LogError(kSender, "Load: %s refused; the field starts fresh\n", path);
    Clear();
    CreateHoles(kept);
    BuildFixedObjects();
    PlaceFixedDefaults();
  } else if (!read) {
    PlaceFixedDefaults();
  }
  ReplaceLooseItems();
  return true;
}
