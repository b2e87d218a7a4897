#pragma once
// What the play-through tests share: the real program started with its own folders and test
// queries on the step clock, profiles written as a player leaves them, the numbers the game
// reports of its field objects, mission and profile, and a player's way through a level: the
// island marker, the field tended until the mission is met, the finish and the level's building.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/game_queries.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace playthrough {

// A field object as the game reports it: its rectangle in window pixels, state, need and ware.
struct FieldObject {
  int x = 0, y = 0, w = 0, h = 0, state = 0, stage = 0, ware = 0;
  int CentreX() const { return x + w / 2; }
  int CentreY() const { return y + h / 2; }
};

// The profile's numbers as the game reports them.
struct Profile {
  int progress = -1, money = -1, bank = -1, level = -1, animalKinds = -2;
};

// The bank and the upgrades' levels of the current profile.
struct Standing {
  int bank = -1;
  std::vector<int> upgrades;
};

// The tool the gardener holds (-1 none), how much work it has queued, and whether it is still
// walking to or working at a task it took from the queue.
struct GardenerNow {
  int tool = -2, queued = -1, state = -2;
  bool Idle() const { return queued == 0 && state != 1 && state < 4; }
};

// A factory row of the garden bar as the game reports it.
struct ChainRow {
  int rowState = -1, x = 0, y = 0, w = 0, h = 0, state = -1, stock = 0, inputId = -1, outputId = -1;
  std::string input, output;
};

// The lesson or tip on show as the game reports it: the lesson and its step (-1 without one),
// the text key of what the hint window says (empty for nothing), the active tip (-1 none), and
// whether the window is on screen.
struct Lesson {
  int hint = -1, step = -1, tip = -1;
  std::string key;
  bool shown = false;
};

// What a field played to its mission's end was tended with.
struct Played {
  int watered = 0, weeded = 0, harvested = 0, sales = 0, refills = 0, factoryRuns = 0;
};

class GameRun : public ::testing::Test {
 protected:
  void TearDown() override;
  std::string AppDir() const { return tmp.path() + "/data/Kelvra/Orchardia"; }
  std::string Log() const { return vektest::ReadFileText(AppDir() + "/_log.html"); }
  std::string Socket() const { return tmp.path() + "/q.sock"; }

  // A profile as a player leaves it after winning `progress` levels: its grades and times,
  // the money and bank earned, and the snapshot of the next level; Ann's in plr000 unless told.
  void MakeProfile(int progress, int bank, int animalKinds = -1, const std::string& folder = "plr000",
                   const std::string& name = "Ann");
  // Starts the game, connects to its test queries on the step clock and skips the opening
  // slides; back once the game has gone on past its loading.
  void StartGame();
  // StartGame, then the profile chooser (when it comes) confirmed; back with the main menu shown.
  void Start();
  // Ends the game as the desktop does (SIGTERM): it exits with 0 and logged no error.
  void EndGame();

  std::string Ask(const std::string& line) { return q.Ask(line); }
  bool Shown(const std::string& window) { return q.Shown(window); }
  void Click(const std::string& window, const std::string& control);
  // The pointer moved to a point in window pixels, and clicked there.
  void ClickAt(int x, int y);
  // A screenshot under build/screenshots/<shotPrefix><stage>.png.
  void Shot(const std::string& stage);

  std::vector<FieldObject> Objects(unsigned type);
  Profile GetProfile();
  Standing PlayerNow();
  // The mission's open tasks: ware name -> {id, units still to sell}.
  std::map<std::string, std::pair<int, int>> Tasks();
  GardenerNow Gardener();
  // Until the gardener has done all it was asked (bounded for a slow machine).
  bool WaitIdle(double seconds = 60.0);
  // The gardener takes the tool of that kind (0 water, 1 weed, 2 bin) unless it holds it: the
  // tool clicked once the gardener is free, and again should that click not have reached it.
  void TakeTool(int kind);
  // The wares in the bin; `capacity` gets how many it holds.
  std::vector<std::string> Bin(int* capacity = nullptr);
  int CanAmount();
  // How many of a ware the field has made in this level.
  int Produced(const std::string& ware);
  std::vector<ChainRow> Chains();
  // A shown hint is answered as a player does: as its text says (FollowLesson). False when
  // none was shown, or its text sends the player on playing.
  bool AnswerHint();
  Lesson LessonNow();
  // The lesson or tip on show followed as a player reads it: its text key names the thing to
  // use (a seed row, a bed, a tool, a plant, the car, a control) or Ok, and that thing's place
  // is asked of the game; a lit rectangle is only checked to hold the point clicked (the text
  // and the arrow agree), and clicked itself only where the text says "the lit bed/spot".
  // Each step of the hints in `lessonShots` is screenshot once as hint_<hint>_<step>.png (and
  // each tip as tip_<key>.png with `tipShots`). True when it acted or waited on a lesson;
  // false when none waits for the player, or the text sends the player on playing (growing a
  // factory's crop, a new order, the building site, the next level's place).
  bool FollowLesson();
  // The lesson keys this run followed, in order (each step once).
  std::vector<std::string> lessonsSeen;

  // From the main menu to the level's mission card: Start, the island, its marker, the question.
  void OpenLevelFromIsland(int level);
  // The field played until the mission is met (or `seconds` pass, or `stopAfterSales` sales):
  // every free hole sown with a sort the mission still wants, the plants watered and weeded as
  // they ask, the ripe ones harvested into the bin, a product's factory started from its row
  // when it idles with stock, and the bin loaded into the car. Screenshots `shotName` of the
  // field at work and `factoryShotName` of the first factory started.
  Played PlayField(double seconds, bool shotBusy, int stopAfterSales = 0);
  // The mission's finish and upgrades windows closed with Ok and Done (buying nothing); back
  // once the island has the focus.
  void LeaveFinishToIsland();
  // On the island after a level: the level's building clicked and bought; back once the
  // profile's progress has reached `progress`.
  void BuildLevelHouse(int level, int progress);

  // The escape menu opened from the field (any hint answered first) and one of its buttons
  // confirmed in the question that follows: "btRestart" starts the level again (back with its
  // mission card shown), "btEnd" leaves it (back with the main menu shown).
  void LeaveLevelThroughEscape(const std::string& button);
  // From the main menu: Start, then the question whether to continue the level left, answered
  // yes; back once the field has the focus again.
  void ContinueLevelFromMenu();
  // The island's "More" buttons (the player's and the island's statistics) each opened and
  // closed with Ok; back with the island window shown again.
  void OpenIslandStatistics();
  // Level n's marker clicked on the island until it asks whether to play; the question is
  // left open.
  void ClickMarkerUntilAsked(int level);

  std::set<int> lessonShots;
  bool tipShots = false;
  std::string shotPrefix;
  std::string shotName = "busy";
  std::string factoryShotName = "factory_started";

  vektest::TempDir tmp;
  vektest::ChildProcess game;
  vektest::GameQueries q;
};

}  // namespace playthrough
