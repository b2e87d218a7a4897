// The island's three files: round trips, the marker dots, and damaged or odd files.
#include <gtest/gtest.h>

#include "engine/core/bitstream.h"
#include "game/island/island_files.h"
#include "tests/engine/core/captured_log.h"
#include "tests/support/temp_dir.h"

using vek::cBitStream;
using vek::vec2;

namespace {

cIslandPaths SamplePaths() {
  cIslandPaths p;
  cIslandArea square;
  square.outline = {{0, 0}, {100, 0}, {100, 100}, {0, 100}};
  square.triangles = {{0, 1, 2}, {0, 2, 3}};
  cIslandArea strip;
  strip.outline = {{100, 0}, {200, 0}, {200, 50}};
  strip.triangles = {{0, 1, 2}};
  p.areas = {square, strip};
  p.walkways = {{90, 10}, {110, 10}, {110, 20}, {90, 20}};
  p.shipKeys = {{500, 500}, {400, 300}, {300, 100}};
  p.markers = {{10, 10}, {50, 50}, {90, 10}};
  return p;
}

cBitStream Bytes(const std::vector<vek::u32>& words) {
  cBitStream s;
  for (vek::u32 w : words) s.WriteInt(w);
  return s;
}

cBitStream Reopen(const cBitStream& written) {
  cBitStream in;
  in.SetData(written.GetBytes().data(), written.GetByteCount());
  return in;
}

}  // namespace

TEST(IslandPaths, RoundTripKeepsEveryField) {
  cBitStream out;
  WriteIslandPaths(out, SamplePaths());
  cBitStream in = Reopen(out);
  cIslandPaths back;
  ASSERT_TRUE(ReadIslandPaths(in, back));
  EXPECT_EQ(back, SamplePaths());
  EXPECT_TRUE(in.IsReadEnd());
}

TEST(IslandPaths, ShortFileReadsAsZeroCountsAndEmptyFileAsNothing) {
  cBitStream in = Bytes({0});  // no areas, then the end of the data
  cIslandPaths back = SamplePaths();
  ASSERT_TRUE(ReadIslandPaths(in, back));
  EXPECT_EQ(back, cIslandPaths{});
}

TEST(IslandPaths, MarkerCountZeroOrNegativeGivesNoMarkers) {
  for (vek::u32 count : {0u, 0xFFFFFFFFu, 0x80000000u}) {
    cBitStream in = Bytes({0, 0, 0, count, 7, 7});
    cIslandPaths back;
    ASSERT_TRUE(ReadIslandPaths(in, back)) << count;
    EXPECT_TRUE(back.markers.empty()) << count;
  }
}

TEST(IslandPaths, DamagedFilesAreRefusedWithALogLineAndChangeNothing) {
  struct Case {
    const char* what;
    std::vector<vek::u32> words;
  } cases[] = {
      {"area count", {0x10000000}},
      {"outline count", {1, 0x40000000, 0}},
      {"triangle count", {1, 0, 0xFFFFFFFF}},
      // Three outline points, one triangle naming point 3.
      {"triangle index", {1, 3, 0, 0, 0, 0, 0, 0, 1, 0, 1, 3}},
      {"walkway count", {0, 0x20000000}},
      {"ship key count", {0, 0, 5, 0}},
      {"marker count", {0, 0, 0, 2, 0, 0}},
  };
  for (const Case& c : cases) {
    vektest::CapturedLog log;
    cBitStream in = Bytes(c.words);
    cIslandPaths back = SamplePaths();
    EXPECT_FALSE(ReadIslandPaths(in, back)) << c.what;
    EXPECT_EQ(back, SamplePaths()) << c.what;
    EXPECT_TRUE(log.Contains("island.pts is damaged (" + std::string(c.what) + ")")) << c.what;
  }
}

TEST(IslandPaths, OddWalkwayCountDropsTheLastPoint) {
  vektest::CapturedLog log;
  cIslandPaths p;
  p.walkways = {{1, 2}, {3, 4}, {5, 6}};
  cBitStream out;
  WriteIslandPaths(out, p);
  cBitStream in = Reopen(out);
  cIslandPaths back;
  ASSERT_TRUE(ReadIslandPaths(in, back));
  EXPECT_EQ(back.walkways, (std::vector<vec2>{{1, 2}, {3, 4}}));
  EXPECT_TRUE(log.Contains("no partner"));
}

TEST(IslandPaths, MissingFileLeavesTheIslandEmptyWithoutAMessage) {
  vektest::CapturedLog log;
  vektest::TempDir dir;
  cIslandPaths back = SamplePaths();
  EXPECT_FALSE(LoadIslandPaths((dir / "island.pts").c_str(), back));
  EXPECT_EQ(back, SamplePaths());
  EXPECT_FALSE(log.Contains("cIsland"));
}

TEST(MarkerDots, ThreePerSegmentAtTheQuarterPoints) {
  EXPECT_TRUE(MarkerDots({}).empty());
  EXPECT_TRUE(MarkerDots({{5, 5}}).empty());
  // Two markers: the spline is the straight line between them.
  const std::vector<vec2> two = MarkerDots({{0, 0}, {40, 80}});
  ASSERT_EQ(two.size(), 3u);
  for (int j = 0; j < 3; ++j) {
    EXPECT_NEAR(two[j].x, 10.0f * (j + 1), 1e-4f);
    EXPECT_NEAR(two[j].y, 20.0f * (j + 1), 1e-4f);
  }
  EXPECT_EQ(MarkerDots(std::vector<vec2>(45, vec2(1, 1))).size(), 44u * 3u);
}

TEST(IslandBuildings, RoundTripAndKindsInFileOrder) {
  const std::vector<cIslandBuildingRecord> records = {
      {"house00", 0, kIslandKindHouse, {120.5f, 300.0f}},
      {"factory00", 1, kIslandKindFactory, {400.0f, 220.25f}},
      {"", 7, kIslandKindHouse, {0, 0}},
  };
  cBitStream out;
  WriteIslandBuildings(out, records);
  cBitStream in = Reopen(out);
  std::vector<cIslandBuildingRecord> back;
  EXPECT_EQ(ReadIslandBuildings(in, back), eIslandFileRead::Ok);
  EXPECT_EQ(back, records);
}

TEST(IslandBuildings, WrongKindKeepsTheRecordsBeforeIt) {
  vektest::CapturedLog log;
  std::vector<cIslandBuildingRecord> records = {
      {"house00", 0, kIslandKindHouse, {1, 2}},
      {"odd", 1, 9, {3, 4}},
      {"house01", 2, kIslandKindHouse, {5, 6}},
  };
  cBitStream out;
  WriteIslandBuildings(out, records);
  cBitStream in = Reopen(out);
  std::vector<cIslandBuildingRecord> back;
  EXPECT_EQ(ReadIslandBuildings(in, back), eIslandFileRead::WrongKind);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0], records[0]);
  EXPECT_TRUE(log.Contains("LoadGlobal. Wrong file format!"));
}

TEST(IslandBuildings, CountOrRecordBeyondTheDataIsRefused) {
  vektest::CapturedLog log;
  std::vector<cIslandBuildingRecord> back = {{"keep", 1, 3, {}}};
  cBitStream big = Bytes({1000});
  EXPECT_EQ(ReadIslandBuildings(big, back), eIslandFileRead::Damaged);
  // One whole record, then a second whose name eats the rest of the data.
  cBitStream cut;
  cut.WriteInt(2);
  cut.WriteString("house00");
  cut.WriteInt(0);
  cut.WriteInt(3);
  cut.WriteFloat(1);
  cut.WriteFloat(2);
  cut.WriteString("a name long enough to leave no room");
  cBitStream in = Reopen(cut);
  EXPECT_EQ(ReadIslandBuildings(in, back), eIslandFileRead::Damaged);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].name, "keep");
  EXPECT_TRUE(log.Contains("island.dat is damaged"));
}

TEST(IslandBuildings, MissingStaticFileIsLogged) {
  vektest::CapturedLog log;
  vektest::TempDir dir;
  std::vector<cIslandBuildingRecord> back;
  EXPECT_EQ(LoadIslandBuildings((dir / "island.dat").c_str(), back), eIslandFileRead::Missing);
  EXPECT_TRUE(log.Contains("LoadGlobal. Can&#39;t find island.dat"));  // as the HTML log has it
}

TEST(IslandStates, SaveAndLoadReproduceEachFactoryStock) {
  vektest::TempDir dir;
  const std::string path = dir / "island.dat";
  const std::vector<cIslandStateRecord> records = {
      {"house00", 0, kIslandKindHouse, 0},
      {"factory00", 1, kIslandKindFactory, 5},
      {"factory01", 2, kIslandKindFactory, 0xFFFFFFFF},
      {"market00", 3, kIslandKindHouse, 0},
  };
  ASSERT_TRUE(SaveIslandStates(path.c_str(), records));
  std::vector<cIslandStateRecord> back;
  EXPECT_EQ(LoadIslandStates(path.c_str(), back), eIslandFileRead::Ok);
  EXPECT_EQ(back, records);
  // A house carries no state: 10 bytes; a factory 14.
  EXPECT_EQ(vektest::ReadFileText(path).size(), 4u + (10 + 7) + (10 + 8) + 2 * (14 + 9));
}

TEST(IslandStates, WrongKindStopsWithItsMessageAndCutRecordsAreRefused) {
  vektest::CapturedLog log;
  std::vector<cIslandStateRecord> records = {
      {"factory00", 1, kIslandKindFactory, 4},
      {"odd", 2, 0, 0},
  };
  cBitStream out;
  WriteIslandStates(out, records);
  cBitStream in = Reopen(out);
  std::vector<cIslandStateRecord> back;
  EXPECT_EQ(ReadIslandStates(in, back), eIslandFileRead::WrongKind);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].stock, 4u);
  EXPECT_TRUE(log.Contains("Load. Wrong file format!"));

  // A factory record whose stock is missing.
  cBitStream cut;
  cut.WriteInt(1);
  cut.WriteString("factory00");
  cut.WriteInt(1);
  cut.WriteInt(kIslandKindFactory);
  cBitStream cutIn = Reopen(cut);
  EXPECT_EQ(ReadIslandStates(cutIn, back), eIslandFileRead::Damaged);
  EXPECT_EQ(back.size(), 1u);
}

TEST(IslandStates, MissingPlayerFileIsNoFault) {
  vektest::CapturedLog log;
  vektest::TempDir dir;
  std::vector<cIslandStateRecord> back;
  EXPECT_EQ(LoadIslandStates((dir / "island.dat").c_str(), back), eIslandFileRead::Missing);
  EXPECT_FALSE(log.Contains("cIsland"));
}

TEST(IslandStates, APlayerFileNamingAMissingFactoryLoadsTheRecordsAfterIt) {
  const std::vector<cIslandBuildingRecord> island = {
      {"house00", 0, kIslandKindHouse, {}},
      {"factory00", 2, kIslandKindFactory, {}},
      {"factory01", 7, kIslandKindFactory, {}},
  };
  // Written in another order; factory05 and a second factory00 are not on the island, and
  // house00 is no factory there.
  const std::vector<cIslandStateRecord> player = {
      {"factory01", 7, kIslandKindFactory, 4},
      {"factory05", 3, kIslandKindFactory, 99},
      {"factory00", 9, kIslandKindFactory, 98},
      {"house00", 0, kIslandKindFactory, 97},
      {"house00", 0, kIslandKindHouse, 0},
      {"factory00", 2, kIslandKindFactory, 6},
  };
  cBitStream out;
  WriteIslandStates(out, player);
  cBitStream in = Reopen(out);
  std::vector<cIslandStateRecord> back;
  ASSERT_EQ(ReadIslandStates(in, back), eIslandFileRead::Ok);
  EXPECT_EQ(MatchFactoryStocks(island, back), (std::vector<vek::u32>{0, 6, 4}));
}
