#pragma once
// The engine on the scripted window with the game object's data folder in the test's own
// temporary folder: each test writes the data files it needs (or copies the built ones) and
// drives the game object's stages by calling its widgets' steps directly.
#include <string>

#include "engine/app/game.h"
#include "engine/core/path_tokens.h"
#include "engine/gui/widget.h"
#include "game/app/garden.h"
#include "tests/support/script_engine_fixture.h"

namespace vektest {

class GardenFixture : public ScriptEngineFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The data folder ({StaticPath}) and the user folder ({AppPath}) of the test.
  std::string Data(const std::string& rel) const { return tmp.path() + "/bin/data/" + rel; }
  std::string App(const std::string& rel) const { return vek::GetPathToken(vek::e_AppPath) + "/" + rel; }
  void WriteData(const std::string& rel, const std::string& text);
  // Copies the built data folder into the test's data folder.
  void UseBuiltData();

  // Makes the game object and runs its start-up (the splash is focused afterwards).
  void StartGarden();
  // Runs fixed steps of the focused widget, or frame updates, n times.
  void Steps(int n);
  void Updates(int n);
  // Steps and updates until the focused widget is `name` or the count runs out.
  bool RunUntilFocus(const std::string& name, int maxFrames = 2000);
  // Deletes the game object and the widgets as the program's end does.
  void EndGarden();
  vek::cWidget* Focus() const { return game->GetFocusWidget(); }
  std::string FocusName() const { return game->GetFocusWidgetName(); }

  // The log written since the last Mark.
  void Mark() { m_Mark = LogText().size(); }
  std::string LogSinceMark() const { return LogText().substr(m_Mark); }

  cGarden* garden = nullptr;

 private:
  size_t m_Mark = 0;
};

}  // namespace vektest
