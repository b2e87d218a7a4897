#pragma once
// The island's three binary files. island.pts holds the geometry (ground areas with their
// outlines and triangles, walkway points in pairs, the ship path, one marker per level); the
// static island.dat lists every building with its place; the player's island.dat keeps what
// changes per player (a factory's input stock). No header or version: counts, then the data,
// 4-byte values lowest byte first, strings as a 16-bit length and the bytes.
//
// Every reader checks each count against the bytes that are left and every triangle index
// against its area's outline before anything is handed on: a damaged file is refused whole,
// with a log line, and the output is left as it was.
#include <vector>

#include "engine/core/bitstream.h"
#include "engine/core/types.h"
#include "engine/core/vec.h"
#include "engine/files/filename.h"

// Record kinds of both island.dat files: the buildings' type ids.
inline constexpr vek::u32 kIslandKindHouse = 3;
inline constexpr vek::u32 kIslandKindFactory = 4;

struct cAreaTriangle {
  vek::u32 a = 0, b = 0, c = 0;
  bool operator==(const cAreaTriangle&) const = default;
};

// A ground area: its outline and the triangles that fill it (indices into the outline).
struct cIslandArea {
  std::vector<vek::vec2> outline;
  std::vector<cAreaTriangle> triangles;
  bool operator==(const cIslandArea&) const = default;
};

struct cIslandPaths {
  std::vector<cIslandArea> areas;
  std::vector<vek::vec2> walkways;  // pairs: points 2k and 2k + 1 form one link
  std::vector<vek::vec2> shipKeys;  // the ship path's points in order
  std::vector<vek::vec2> markers;   // one per level, in level order
  bool operator==(const cIslandPaths&) const = default;
};

// A building of the static island.dat.
struct cIslandBuildingRecord {
  vek::string name;
  vek::u32 number = 0;
  vek::u32 kind = kIslandKindHouse;
  vek::vec2 position;
  bool operator==(const cIslandBuildingRecord&) const = default;
};

// A building of the player's island.dat: a factory carries its input stock.
struct cIslandStateRecord {
  vek::string name;
  vek::u32 number = 0;
  vek::u32 kind = kIslandKindHouse;
  vek::u32 stock = 0;  // factories only
  bool operator==(const cIslandStateRecord&) const = default;
};

enum class eIslandFileRead {
  Ok,
  Missing,    // the file could not be read
  WrongKind,  // a record of another kind ended the list; the records before it were kept
  Damaged,    // counts or indices beyond the data: nothing was kept
};

// island.pts. An odd walkway count loses its last point (it has no partner), with a log line.
bool ReadIslandPaths(vek::cBitStream& in, cIslandPaths& out);
void WriteIslandPaths(vek::cBitStream& out, const cIslandPaths& paths);
// Missing file: false without a message (the island then has no geometry).
bool LoadIslandPaths(const vek::filename& file, cIslandPaths& out);

// The dots along the markers: three per segment of the Catmull-Rom spline through them, at
// the quarter points; none for fewer than two markers.
std::vector<vek::vec2> MarkerDots(const std::vector<vek::vec2>& markers);

// The static island.dat. A wrong kind logs "LoadGlobal. Wrong file format!" and keeps the
// records before it.
eIslandFileRead ReadIslandBuildings(vek::cBitStream& in, std::vector<cIslandBuildingRecord>& out);
void WriteIslandBuildings(vek::cBitStream& out, const std::vector<cIslandBuildingRecord>& records);
// A missing file logs "LoadGlobal. Can't find island.dat".
eIslandFileRead LoadIslandBuildings(const vek::filename& file,
                                    std::vector<cIslandBuildingRecord>& out);

// The player's island.dat. A wrong kind logs "Load. Wrong file format!" and keeps the records
// before it.
eIslandFileRead ReadIslandStates(vek::cBitStream& in, std::vector<cIslandStateRecord>& out);
void WriteIslandStates(vek::cBitStream& out, const std::vector<cIslandStateRecord>& records);
// A missing file is no fault (a new player): Missing, without a message.
eIslandFileRead LoadIslandStates(const vek::filename& file, std::vector<cIslandStateRecord>& out);
bool SaveIslandStates(const vek::filename& file, const std::vector<cIslandStateRecord>& records);

// The input stock of each static building from the player's records: a factory record counts
// for the static factory of the same name and number; records of buildings that the island no
// longer has, or that are no factory there, are dropped. Buildings without a record keep 0.
std::vector<vek::u32> MatchFactoryStocks(const std::vector<cIslandBuildingRecord>& buildings,
                                         const std::vector<cIslandStateRecord>& states);
