#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "game/app/type_tags.h"
#include "game/world/holes_layouts.h"
#include "tests/engine/core/captured_log.h"
#include "tests/support/world_harness.h"

namespace {

TEST(HolesLayouts, FileCases) {
  vektest::WorldHarness world;  // the log and the services
  const std::string row0 = "0,1,1,1,1,1,1,1,1,1";
  const struct {
    const char* what;
    std::string text;
    std::vector<cHolesLayout> layouts;
  } cases[] = {
      {"two levels, a short row", ";\n" + row0 + "\n;\n1,0\n", {{{0, 0}}, {{0, 1}}}},
      {"no leading separator", row0 + "\n;\n1,0\n", {{{0, 0}}, {{0, 1}}}},
      {"CRLF line ends", ";\r\n" + row0 + "\r\n;\r\n1,1,1,1,1,1,1,1,1,0\r\n", {{{0, 0}}, {{0, 9}}}},
      {"a level without holes joins the next", "1,1\n;\n1,0\n", {{{1, 1}}}},
      {"only exact zeros are holes", "0 ,00, 0,0\n", {{{0, 3}}}},
      {"empty text", "", {{}}},
  };
  for (const auto& c : cases) {
    std::vector<cHolesLayout> layouts{{{5, 5}}, {}};
    cDataManagerGD::ParseTheme(c.text, &layouts);
    EXPECT_EQ(layouts, c.layouts) << c.what;
  }
  vektest::CapturedLog log;
  std::vector<cHolesLayout> parsed;
  cDataManagerGD::ParseTheme(cases[0].text, &parsed);
  EXPECT_NE(log.Text().find("ReadTheme: invalid level size (j): 1"), std::string::npos) << log.Text();
  std::vector<cHolesLayout> layouts;
  cDataManagerGD::ReadTheme("/nonexistent/holes.lvs", &layouts);
  EXPECT_EQ(layouts, (std::vector<cHolesLayout>{{}}));
}

TEST(HolesLayouts, RowsBeyondTheGridAreReportedAndDropped) {
  vektest::WorldHarness world;
  std::string text;
  for (int r = 0; r < 9; ++r) text += "0,1,1,1,1,1,1,1,1,1,0\n";  // 11 cells, 9 rows
  std::vector<cHolesLayout> layouts;
  vektest::CapturedLog log;
  cDataManagerGD::ParseTheme(text, &layouts);
  EXPECT_NE(log.Text().find("ReadTheme: invalid level size (i): 0"), std::string::npos);
  ASSERT_EQ(layouts.size(), 1u);
  EXPECT_EQ(layouts[0].size(), 8u);  // column 10 and row 8 lie outside the 8 x 10 grid
  EXPECT_EQ(layouts[0].back(), (cHoleCell{7, 0}));
}

// A damaged layouts file of millions of rows or cells costs neither a huge log nor memory: the
// rows are read up to a bound, the cells are looked at in place.
TEST(HolesLayouts, HugeFilesAreReadWithinBounds) {
  {
    std::string rows;
    for (int i = 0; i < 4000000; ++i) rows += "1\n";  // 8 MB
    vektest::CapturedLog log;
    std::vector<cHolesLayout> layouts;
    const auto start = std::chrono::steady_clock::now();
    cDataManagerGD::ParseTheme(rows, &layouts);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(layouts, (std::vector<cHolesLayout>{{}}));
    const std::string text = log.Text();
    EXPECT_LT(text.size(), 64u * 1024);
    EXPECT_NE(text.find("ReadTheme: more than 10000 lines or 1000 levels, the rest is not read"), std::string::npos);
  }
  // 16 MB of commas, parsed in a child whose peak memory is measured.
  struct rusage self {};
  ::getrusage(RUSAGE_SELF, &self);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string commas(16u << 20, ',');
    commas.replace(0, 2, "0,");
    std::vector<cHolesLayout> layouts;
    cDataManagerGD::ParseTheme(commas, &layouts);
    ::_exit(layouts == std::vector<cHolesLayout>{{{0, 0}}} ? 0 : 1);
  }
  int status = 0;
  struct rusage used {};
  ASSERT_EQ(::wait4(child, &status, 0, &used), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  // ru_maxrss is in KiB: the text itself, and not much more.
  EXPECT_LT(used.ru_maxrss, self.ru_maxrss + 96 * 1024);
}

TEST(HolesLayouts, TypeTags) {
  const struct {
    const char* tag;
    bool f, i, s, a;
  } cases[] = {
      {"", false, false, false, false},  {"f", true, false, false, false},   {"n", false, true, false, false},
      {"u", false, false, false, false}, {"uint", false, true, false, false}, {"st", false, false, false, false},
      {"str", false, false, true, false}, {"arrf", false, false, false, true}, {"iVal", false, true, false, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsFloat(c.tag), c.f) << c.tag;
    EXPECT_EQ(IsInt(c.tag), c.i) << c.tag;
    EXPECT_EQ(IsString(c.tag), c.s) << c.tag;
    EXPECT_EQ(IsArray(c.tag), c.a) << c.tag;
  }
}

}  // namespace
