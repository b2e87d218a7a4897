#include <gtest/gtest.h>


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
