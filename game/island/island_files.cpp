#include "game/island/island_files.h"

#include "engine/core/log.h"
#include "engine/files/data_manager.h"
#include "engine/render/curve.h"

using vek::cBitStream;
using vek::u32;
using vek::vec2;

namespace {

// Bytes between the read position and the end of the data.
u32 BytesLeft(const cBitStream& in) {
  const u32 total = in.GetByteCount();
  const u32 read = static_cast<u32>(in.GetReadPosition() / 8);
  return read < total ? total - read : 0;
}

// Whether count items of the given size fit into the bytes that are left.
bool Fits(const cBitStream& in, u32 count, u32 itemBytes) {
  return count <= BytesLeft(in) / itemBytes;
}

vec2 ReadPoint(cBitStream& in) {
  vec2 p;
  p.x = in.ReadFloat();
  p.y = in.ReadFloat();
  return p;
}

void WritePoint(cBitStream& out, const vec2& p) {
  out.WriteFloat(p.x);
  out.WriteFloat(p.y);
}

// A counted list of points; false when the count runs past the data.
bool ReadPoints(cBitStream& in, std::vector<vec2>& points) {
  const u32 n = in.ReadInt();
  if (!Fits(in, n, 8)) return false;
  points.resize(n);
  for (vec2& p : points) p = ReadPoint(in);
  return true;
}

void WritePoints(cBitStream& out, const std::vector<vec2>& points) {
  out.WriteInt(static_cast<u32>(points.size()));
  for (const vec2& p : points) WritePoint(out, p);
}

bool Refuse(const char* file, const char* what) {
  vek::LogWarning("cIsland", "%s is damaged (%s): ignored\n", file, what);
  return false;
}

// The smallest records of the two island.dat files: an empty name, number and kind (and the
// position, or a factory's stock).
constexpr u32 kMinBuildingRecord = 2 + 4 + 4 + 8;
constexpr u32 kMinStateRecord = 2 + 4 + 4;

}  // namespace

bool ReadIslandPaths(cBitStream& in, cIslandPaths& out) {
  const char* file = "island.pts";
  cIslandPaths paths;
  const u32 areas = in.ReadInt();
  if (!Fits(in, areas, 8)) return Refuse(file, "area count");
  paths.areas.resize(areas);
  for (cIslandArea& area : paths.areas) {
    if (!ReadPoints(in, area.outline)) return Refuse(file, "outline count");
    const u32 n = static_cast<u32>(area.outline.size());
    const u32 m = in.ReadInt();
    if (!Fits(in, m, 12)) return Refuse(file, "triangle count");
    area.triangles.resize(m);
    for (cAreaTriangle& t : area.triangles) {
      t.a = in.ReadInt();
      t.b = in.ReadInt();
      t.c = in.ReadInt();
      if (t.a >= n || t.b >= n || t.c >= n) return Refuse(file, "triangle index");
    }
  }
  if (!ReadPoints(in, paths.walkways)) return Refuse(file, "walkway count");
  if (paths.walkways.size() % 2 != 0) {
    vek::LogWarning("cIsland", "%s: the last walkway point has no partner: dropped\n", file);
    paths.walkways.pop_back();
  }
  if (!ReadPoints(in, paths.shipKeys)) return Refuse(file, "ship key count");
  // The marker count is signed: zero or below gives no markers.
  const vek::i32 markers = static_cast<vek::i32>(in.ReadInt());
  if (markers > 0) {
    if (!Fits(in, static_cast<u32>(markers), 8)) return Refuse(file, "marker count");
    paths.markers.resize(static_cast<u32>(markers));
    for (vec2& p : paths.markers) p = ReadPoint(in);
  }
  out = std::move(paths);
  return true;
}

void WriteIslandPaths(cBitStream& out, const cIslandPaths& paths) {
  out.WriteInt(static_cast<u32>(paths.areas.size()));
  for (const cIslandArea& area : paths.areas) {
    WritePoints(out, area.outline);
    out.WriteInt(static_cast<u32>(area.triangles.size()));
    for (const cAreaTriangle& t : area.triangles) {
      out.WriteInt(t.a);
      out.WriteInt(t.b);
      out.WriteInt(t.c);
    }
  }
  WritePoints(out, paths.walkways);
  WritePoints(out, paths.shipKeys);
  WritePoints(out, paths.markers);
}

bool LoadIslandPaths(const vek::filename& file, cIslandPaths& out) {
  cBitStream in;
  if (vek::cDataManager::ReadBinary(&in, file) != vek::cDataManager::Ok) return false;
  return ReadIslandPaths(in, out);
}

std::vector<vec2> MarkerDots(const std::vector<vec2>& markers) {
  std::vector<vec2> dots;
  const size_t count = markers.size();
  if (count < 2) return dots;
  const float last = static_cast<float>(count - 1);
  vek::curve_CatmullRomSpline<vec2> spline;
  for (size_t i = 0; i < count; ++i) spline.AddKey(markers[i], static_cast<float>(i) / last);
  dots.reserve((count - 1) * 3);
  for (size_t e = 0; e + 1 < count; ++e)
    for (int j = 1; j <= 3; ++j)
      dots.push_back(spline.GetPosition((static_cast<float>(e) + 0.25f * j) / last));
  return dots;
}

eIslandFileRead ReadIslandBuildings(cBitStream& in, std::vector<cIslandBuildingRecord>& out) {
  const u32 count = in.ReadInt();
  if (!Fits(in, count, kMinBuildingRecord)) {
    Refuse("island.dat", "record count");
    return eIslandFileRead::Damaged;
  }
  std::vector<cIslandBuildingRecord> records;
  records.reserve(count);
  for (u32 i = 0; i < count; ++i) {
    cIslandBuildingRecord r;
    in.ReadString(r.name);
    if (BytesLeft(in) < kMinBuildingRecord - 2) {
      Refuse("island.dat", "record cut short");
      return eIslandFileRead::Damaged;
    }
    r.number = in.ReadInt();
    r.kind = in.ReadInt();
    if (r.kind != kIslandKindHouse && r.kind != kIslandKindFactory) {
      vek::LogWarning("cIsland", "LoadGlobal. Wrong file format!\n");
      out = std::move(records);
      return eIslandFileRead::WrongKind;
    }
    r.position = ReadPoint(in);
    records.push_back(std::move(r));
  }
  out = std::move(records);
  return eIslandFileRead::Ok;
}

void WriteIslandBuildings(cBitStream& out, const std::vector<cIslandBuildingRecord>& records) {
  out.WriteInt(static_cast<u32>(records.size()));
  for (const cIslandBuildingRecord& r : records) {
    out.WriteString(r.name);
    out.WriteInt(r.number);
    out.WriteInt(r.kind);
    WritePoint(out, r.position);
  }
}

eIslandFileRead LoadIslandBuildings(const vek::filename& file,
                                    std::vector<cIslandBuildingRecord>& out) {
  cBitStream in;
  if (vek::cDataManager::ReadBinary(&in, file) != vek::cDataManager::Ok) {
    vek::LogWarning("cIsland", "LoadGlobal. Can't find island.dat\n");
    return eIslandFileRead::Missing;
  }
  return ReadIslandBuildings(in, out);
}

eIslandFileRead ReadIslandStates(cBitStream& in, std::vector<cIslandStateRecord>& out) {
  const u32 count = in.ReadInt();
  if (!Fits(in, count, kMinStateRecord)) {
    Refuse("the player's island.dat", "record count");
    return eIslandFileRead::Damaged;
  }
  std::vector<cIslandStateRecord> records;
  records.reserve(count);
  for (u32 i = 0; i < count; ++i) {
    cIslandStateRecord r;
    in.ReadString(r.name);
    if (BytesLeft(in) < kMinStateRecord - 2) {
      Refuse("the player's island.dat", "record cut short");
      return eIslandFileRead::Damaged;
    }
    r.number = in.ReadInt();
    r.kind = in.ReadInt();
    if (r.kind == kIslandKindFactory) {
      if (BytesLeft(in) < 4) {
        Refuse("the player's island.dat", "record cut short");
        return eIslandFileRead::Damaged;
      }
      r.stock = in.ReadInt();
    } else if (r.kind != kIslandKindHouse) {
      vek::LogWarning("cIsland", "Load. Wrong file format!\n");
      out = std::move(records);
      return eIslandFileRead::WrongKind;
    }
    records.push_back(std::move(r));
  }
  out = std::move(records);
  return eIslandFileRead::Ok;
}

void WriteIslandStates(cBitStream& out, const std::vector<cIslandStateRecord>& records) {
  out.WriteInt(static_cast<u32>(records.size()));
  for (const cIslandStateRecord& r : records) {
    out.WriteString(r.name);
    out.WriteInt(r.number);
    out.WriteInt(r.kind);
    if (r.kind == kIslandKindFactory) out.WriteInt(r.stock);
  }
}

eIslandFileRead LoadIslandStates(const vek::filename& file, std::vector<cIslandStateRecord>& out) {
  cBitStream in;
  if (vek::cDataManager::ReadBinary(&in, file) != vek::cDataManager::Ok)
    return eIslandFileRead::Missing;
  return ReadIslandStates(in, out);
}

bool SaveIslandStates(const vek::filename& file, const std::vector<cIslandStateRecord>& records) {
  cBitStream out;
  WriteIslandStates(out, records);
  if (vek::cDataManager::WriteBinary(&out, file) == vek::cDataManager::Ok) return true;
  vek::LogWarning("cIsland", "Save: can't write %s\n", file.c_str());
  return false;
}

std::vector<u32> MatchFactoryStocks(const std::vector<cIslandBuildingRecord>& buildings,
                                    const std::vector<cIslandStateRecord>& states) {
  std::vector<u32> stocks(buildings.size(), 0);
  for (const cIslandStateRecord& s : states) {
    if (s.kind != kIslandKindFactory) continue;
    for (size_t i = 0; i < buildings.size(); ++i) {
      if (buildings[i].name != s.name || buildings[i].number != s.number) continue;
      if (buildings[i].kind == kIslandKindFactory) stocks[i] = s.stock;
      break;
    }
  }
  return stocks;
}
