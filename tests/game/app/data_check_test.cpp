// The built data folder against what the code and the loading list name: every picture, area
// script, font, sound, music and window file exists and loads, and every animation area has
// the frames the logic needs.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/files/data_manager.h"
#include "engine/files/filename.h"
#include "engine/files/image.h"
#include "engine/files/image_codecs.h"
#include "engine/render/texture_info.h"
#include "engine/render/texture_manager.h"
#include "game/app/garden.h"
#include "game/app/loading.h"
#include "game/app/locale_gd.h"
#include "engine/script/script.h"
#include "tests/support/garden_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// Files the application's code names (inside the data folder).
const char* const kCodeFiles[] = {
    "texture/system/gui_console0.jpg", "texture/system/gui_console1.jpg", "texture/system/font_system.png",
    "texture/system/gui_system.png",   "texture/system/gui_loading.jpg",  "texture/system/gui_loading_progress.jpg",
    "fsdata/logo_na.png",              "fsdata/logo_a.png",               "fsdata/splash1.jpg",
    "fsdata/splash2.jpg",              "conf/sys_font.lua",               "conf/system.lua",
    "conf/splash.lua",                 "conf/loading.lua",                "conf/locale.lua",
    "conf/autoexec.lua",               "gui/game_loading.lua",            "texture/system/cursor_pointer.png",
};

// Game windows whose files come with the issues that build their window functions; each is
// taken off this list when its file lands (the test fails on a listed file that exists).
const std::set<std::string> kWindowsAuthoredLater = {};

// Areas the logic animates once or back and forth: (texture, area). They need 2 frames.
const std::pair<const char*, const char*> kAnimatedAreas[] = {
    {"loading_sprout", "grow"},
    {"gard08", "milking_start"}, {"gard08", "water_put"},   {"gard08", "water_wait"},  {"gard09", "seed_start"},
    {"gard09", "seed_work"},     {"gard09", "been_stock"},  {"gard10", "water_start"}, {"gard10", "water_work"},
    {"gard10", "weed_start"},    {"gard10", "weed_work"},   {"gard11", "harvest_start"}, {"gard11", "harvest_work"},
    {"gard11", "honey_start"},   {"car", "bort"},           {"peacock01", "hive_top"},
};

class DataCheckTest : public vektest::GardenFixture {
 protected:
  void SetUp() override {
    GardenFixture::SetUp();
    vek::SetPathToken(vek::e_StaticPath, std::string(VEK_TEST_BIN_DIR) + "/data");
    StartGarden();  // the game's script classes and the system textures
  }
  static std::string Built(const std::string& rel) { return std::string(VEK_TEST_BIN_DIR) + "/data/" + rel; }
  std::vector<std::string> LoadingListProblems(size_t* textures);
};

TEST_F(DataCheckTest, FilesTheCodeNamesExist) {
  for (const char* rel : kCodeFiles) EXPECT_TRUE(fs::exists(Built(rel))) << rel;
  for (const char* name : kGameWindows) {
    const bool exists = fs::exists(Built(std::string("gui/") + name + ".lua"));
    if (kWindowsAuthoredLater.count(name))
      EXPECT_FALSE(exists) << name << ".lua exists now: take it off the list of windows authored later";
    else
      EXPECT_TRUE(exists) << "gui/" << name << ".lua";
  }
}

// Runs the loading list of the data folder set as {StaticPath} and loads everything it names;
// what is wrong, one line each: a missing file, a picture that does not decode, an error in the
// log. Counts the textures named.
std::vector<std::string> DataCheckTest::LoadingListProblems(size_t* textures) {
  std::vector<std::string> problems;
  auto* widget = new cLoadingWidget(nullptr);
  widget->Activate();  // runs loading.lua and the topic lists
  for (const cLoadData* item : widget->GetQueue()) {
    const std::string path = vek::NativePath(item->GetFile().path);
    if (!fs::exists(path)) problems.push_back("missing " + path);
    if (dynamic_cast<const cLoadFont*>(item)) {
      for (const char* ext : {".png", ".lua"})
        if (!fs::exists(fs::path(path).replace_extension(ext))) problems.push_back("font without its " + std::string(ext) + " " + path);
    }
    if (dynamic_cast<const cLoadTexture*>(item) && fs::exists(path)) {
      ++*textures;
      vek::cImage image;
      if (vek::cDataManager::ReadImage(item->GetFile(), &image) != 0) problems.push_back("does not decode " + path);
    }
  }
  Mark();
  while (!widget->IsFinished()) widget->Update(0.016f);
  const std::string log = LogSinceMark();
  for (const char* bad : {"not found on disk", "class='error'", "Can't find texture"})
    if (log.find(bad) != std::string::npos) problems.push_back(std::string("log: ") + bad + "\n" + log);
  delete widget;
  return problems;
}

TEST_F(DataCheckTest, EverythingTheLoadingListNamesLoads) {
  size_t textures = 0;
  for (const std::string& problem : LoadingListProblems(&textures)) ADD_FAILURE() << problem;
  EXPECT_GT(textures, 0u) << "the loading list names no texture";
}

TEST_F(DataCheckTest, APictureThatDoesNotDecodeFailsTheCheck) {
  // A small data folder: one good picture and one junk file with a picture's name.
  vektest::TempDir data;
  fs::create_directories(data / "conf");
  fs::create_directories(data / "texture");
  vek::cImage good(vek::e_PixARGB, 4, 4, 1);
  ASSERT_EQ(vek::WritePNG(good, vek::filename(data / "texture/good.png")), 0u);
  ASSERT_TRUE(vektest::WriteFileText(data / "texture/junk.png", "\x89PNG\r\n\x1a\nnot a picture at all"));
  ASSERT_TRUE(vektest::WriteFileText(data / "conf/loading.lua",
                                     "cLoadTexture('{StaticPath}/texture/good.png')\n"
                                     "cLoadTexture('{StaticPath}/texture/junk.png')\n"));
  vek::SetPathToken(vek::e_StaticPath, data.path());
  size_t textures = 0;
  const std::vector<std::string> problems = LoadingListProblems(&textures);
  EXPECT_EQ(textures, 2u);
  std::string all;
  for (const std::string& p : problems) all += p + "\n";
  EXPECT_NE(all.find("does not decode " + vek::NativePath(data / "texture/junk.png")), std::string::npos) << all;
  // The loader itself says so in the log, not only this check.
  EXPECT_NE(all.find("log: class='error'"), std::string::npos) << all;
  EXPECT_NE(all.find("the picture does not decode"), std::string::npos) << all;
  EXPECT_EQ(all.find("good.png"), std::string::npos) << all;
}

// A side that is not a power of two is the game's own business for a picture of its data
// folder (the full-screen pictures are 1024 x 768): only a picture from elsewhere is reported.
TEST_F(DataCheckTest, OnlyAPictureFromOutsideTheDataFolderWarnsOfItsSize) {
  vektest::TempDir tmp;
  fs::create_directories(tmp / "data/texture");
  fs::create_directories(tmp / "elsewhere");
  const vek::cImage wide(vek::e_PixARGB, 100, 48, 1);
  ASSERT_EQ(vek::WritePNG(wide, vek::filename(tmp / "data/texture/wide.png")), 0u);
  ASSERT_EQ(vek::WritePNG(wide, vek::filename(tmp / "elsewhere/wide_outside.png")), 0u);
  vek::SetPathToken(vek::e_StaticPath, tmp / "data");
  for (const std::string& own : {std::string("{StaticPath}/texture/wide.png"), tmp / "data/texture/wide.png"}) {
    Mark();
    ASSERT_EQ(cMiddle::LoadTexture(own), 0) << own;
    EXPECT_EQ(LogSinceMark().find("NPOT"), std::string::npos) << own << "\n" << LogSinceMark();
  }
  Mark();
  ASSERT_EQ(cMiddle::LoadTexture(tmp / "elsewhere/wide_outside.png"), 0);
  EXPECT_NE(LogSinceMark().find("Constructor &#39;wide_outside&#39;. NPOT texture width"), std::string::npos) << LogSinceMark();
  EXPECT_NE(LogSinceMark().find("Constructor &#39;wide_outside&#39;. NPOT texture height"), std::string::npos);
}

TEST_F(DataCheckTest, EveryAreaScriptLoadsAndAnimationsHaveFrames) {
  // Every sheet of the data folder, as the texture loader reads it.
  for (const auto& entry : fs::recursive_directory_iterator(Built("texture"))) {
    if (entry.path().extension() != ".tex") continue;
    fs::path png = entry.path();
    png.replace_extension(".png");
    ASSERT_TRUE(fs::exists(png)) << entry.path();
    Mark();
    ASSERT_EQ(cMiddle::LoadTexture(png.string()), 0) << png;
    EXPECT_EQ(LogSinceMark().find("class='error'"), std::string::npos) << LogSinceMark();
    // A shared page's script names the sheets on it; any other names its own.
    std::vector<std::string> names;
    const std::string script = vektest::ReadFileText(entry.path());
    for (size_t at = script.find("cTextureInfo(\""); at != std::string::npos; at = script.find("cTextureInfo(\"", at + 1)) {
      const size_t from = at + 14;
      names.push_back(script.substr(from, script.find('"', from) - from));
    }
    if (script.find("cTexturePart(") == std::string::npos) names = {png.stem().string()};
    for (const std::string& name : names) {
      const vek::cTextureInfo* sheet = vek::FindTextureInfo(name);
      ASSERT_NE(sheet, vek::g_pTextureInfos->Get(0)) << png << " " << name;
      EXPECT_GT(sheet->GetCount(), 0u) << png << " " << name;
      for (const auto& item : sheet->GetItems()) {
        for (const vek::rectf& r : item.frames) {
          EXPECT_GE(r.x, 0.0f) << item.name;
          EXPECT_GE(r.y, 0.0f) << item.name;
          EXPECT_LE(r.x + r.w, 1.0001f) << item.name;
          EXPECT_LE(r.y + r.h, 1.0001f) << item.name;
        }
      }
    }
  }
  for (const auto& [texture, area] : kAnimatedAreas) {
    const vek::cTextureInfo* sheet = vek::FindTextureInfo(texture);
    ASSERT_NE(sheet, vek::g_pTextureInfos->Get(0)) << texture;
    ASSERT_LT(sheet->FindIndex(area), sheet->GetCount()) << texture << " " << area;
    EXPECT_GE(sheet->GetByIndex(sheet->FindIndex(area)).frames.size(), 2u) << texture << " " << area;
  }
}

TEST_F(DataCheckTest, TheLocaleGivesEveryTextItsWords) {
  // locale.lua sets every field of the text table.
  cLocaleGD saved = g_LocaleGD;
  int fields = 0;
#define CLEAR_FIELD(field, ...) \
  g_LocaleGD.field.clear();     \
  ++fields;
  LOCALE_GD_MESSAGES(CLEAR_FIELD)
  LOCALE_GD_KEYS(CLEAR_FIELD)
#undef CLEAR_FIELD
  EXPECT_EQ(fields, kLocaleGDCount);
  vek::GetScript()->RegisterVar<cLocaleGD>("locale", &g_LocaleGD);
  ASSERT_TRUE(vek::GetScript()->LoadFile(Built("conf/locale.lua")));
#define CHECK_FIELD(field, ...) EXPECT_FALSE(g_LocaleGD.field.empty()) << #field << " has no text";
  LOCALE_GD_MESSAGES(CHECK_FIELD)
  LOCALE_GD_KEYS(CHECK_FIELD)
#undef CHECK_FIELD
  EXPECT_NE(g_LocaleGD.ConfirmDeletePlayer.find("%s"), std::string::npos);
  g_LocaleGD = saved;
}

}  // namespace
