#pragma once
// Sprite sheets of the built data folder without a graphics device, for tests of code that
// looks up sprite areas: each sheet's picture is kept in memory by the texture manager and its
// areas come from running its ".tex" area script, as the game's texture loader does.
#include <gtest/gtest.h>

#include <string>

namespace vektest {

// The data folder beside the built game.
std::string BuiltDataDir();

// The picture of the built data folder that holds a sheet (e.g. "texture/world/gard00.png"):
// the sheet's own file, or the shared page whose area script names the sheet. The extension
// is ".png" also when the path is given without one.
std::string SheetPicture(const std::string& dataPath);

// Loads the shared page that holds a picture or sheet of the data folder (path relative to it
// or starting with "{StaticPath}/"), as the game loads it: the page's texture, then its script,
// which makes the parts and the sheets' areas. True when the page is loaded, now or before;
// false when no page holds the picture. Needs the texture manager, the sheet registry and a
// script host; the script class "cTextureInfo" is registered when missing.
bool LoadPageOf(const std::string& dataPath);

// Makes whatever of the texture manager, the sheet registry and the script host (with the
// script class "cTextureInfo") is missing, and destroys what it made. Make it after the log.
class HeadlessSprites {
 public:
  HeadlessSprites();
  ~HeadlessSprites();
  HeadlessSprites(const HeadlessSprites&) = delete;
  HeadlessSprites& operator=(const HeadlessSprites&) = delete;

  // Loads a picture of the built data folder (e.g. "texture/system/loading_sprout.png") as a
  // texture named after the file and runs the area script beside it. A sheet on a shared page
  // loads its page (once), as the game does.
  ::testing::AssertionResult Load(const std::string& dataPath);

 private:
  bool m_OwnTextures = false, m_OwnInfos = false, m_OwnScript = false;
};

}  // namespace vektest
