// The real program played as a player plays it: only input events through its window, the
// places to click asked of the running game (its test queries), screenshots of every stage
// under build/screenshots/. A fresh install makes its profile and reaches the main menu; a run
// killed without warning starts again with the last completed save, and Exit ends the game.
// Then the first game: the opening comic, the island's first tip, level 1 from its marker,
// played by following the lesson's hints to its finish and payment, the island's after-level
// sequence with the level's building, the escape menu to quit, and a new start that goes on
// at level 2 with the bank and upgrades it had.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "engine/core/path_tokens.h"
#include "game/app/player.h"
#include "tests/support/playthrough.h"

namespace {

namespace fs = std::filesystem;

class Playthrough : public playthrough::GameRun {
 protected:
  void SetUp() override {
    shotPrefix = "playthrough_";
    // The first lesson, the island's rating lessons and the tips: hint_*.png, tip_*.png.
    lessonShots = {0, 13, 14};
    tipShots = true;
  }

  bool WaitShown(const std::string& window, double seconds = 60.0) { return q.WaitShown(window, seconds); }
  // A click on the point a question answers ("ok x y ...").
  void ClickAt(const std::string& question) {
    std::istringstream in(Ask(question));
    std::string ok;
    int x = 0, y = 0;
    ASSERT_TRUE(in >> ok >> x >> y && ok == "ok") << question;
    ASSERT_EQ(Ask("click " + std::to_string(x) + " " + std::to_string(y)), "ok");
  }
  // Something on screen, in window pixels from the top left; a field object's state and stage.
  struct Thing {
    int x = 0, y = 0, w = 0, h = 0, state = 0, stage = -1;
  };
  void ClickPoint(const Thing& t) {
    ASSERT_EQ(Ask("click " + std::to_string(t.x + t.w / 2) + " " + std::to_string(t.y + t.h / 2)), "ok");
  }
  // The rectangle a question answers ("ok x y w h"); an empty one for "none".
  Thing First(const std::string& question) {
    std::istringstream in(Ask(question));
    std::string ok;
    Thing t;
    if (!(in >> ok >> t.x >> t.y >> t.w >> t.h) || ok != "ok") return {};
    return t;
  }
  // Every field object of a type tag.
  std::vector<Thing> Objects(const std::string& type) {
    std::istringstream in(Ask("objects " + type));
    std::string ok;
    int count = 0;
    std::vector<Thing> out;
    if (!(in >> ok >> count) || ok != "ok") return out;
    int ware = 0;
    for (Thing t; count-- > 0 && in >> t.x >> t.y >> t.w >> t.h >> t.state >> t.stage >> ware;) out.push_back(t);
    return out;
  }
  struct Gardener {
    int held = -1, tasks = 0, bin = 0, capacity = 0;
  };
  Gardener GardenerNow() {
    std::istringstream in(Ask("gardener")), bin(Ask("bin"));
    std::string ok;
    Gardener g;
    in >> ok >> g.held >> g.tasks;
    bin >> ok >> g.bin >> g.capacity;
    return g;
  }
  // Where the current profile stands.
  struct Progress {
    int levelProgress = -1, currentLevel = -1, money = 0, bank = 0;
    std::vector<int> upgrades;
  };
  Progress PlayerNow() {
    std::istringstream in(Ask("player"));
    std::string ok;
    Progress p;
    in >> ok >> p.levelProgress >> p.currentLevel >> p.money >> p.bank;
    for (int u; in >> u;) p.upgrades.push_back(u);
    return p;
  }
  std::string Tree() const {
    std::string out;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(AppDir(), ec)) out += e.path().string() + "\n";
    return out;
  }
  // The profile file of the first player; empty when there is none.
  std::string ProfileSave() const {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(AppDir() + "/profile", ec))
      if (fs::exists(e.path() / "player.dat")) return (e.path() / "player.dat").string();
    return {};
  }
};

TEST_F(Playthrough, FreshInstallKilledRunAndTheFirstLevelPlayedThroughToTheNextStart) {
  StartGame();
  // A fresh install asks who is playing; the new profile is made by name.
  ASSERT_TRUE(WaitShown("profile_select")) << Ask("shown");
  Shot("01_profile_select");
  Click("profile_select", "btAdd");
  ASSERT_TRUE(WaitShown("profile_add")) << Ask("shown");
  // The field offers the account's name: erased, then the player's own typed.
  for (int i = 0; i < 24; ++i) EXPECT_EQ(Ask("key Backspace"), "ok");
  EXPECT_EQ(Ask("text Ann"), "ok");
  Shot("02_profile_add");
  Click("profile_add", "ok");
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return !Shown("profile_add"); })) << Ask("shown");
  Shot("03_profile_made");
  Click("profile_select", "btOk");
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return !Shown("profile_select") && Shown("main"); })) << Ask("shown");
  Shot("04_main_menu");
  const std::string saved = ProfileSave();
  ASSERT_FALSE(saved.empty()) << "no profile was saved:\n" << Tree();
  const std::string before = vektest::ReadFileText(saved);

  // Killed without warning; the next start finds the profile as it was last saved.
  game.Signal(SIGKILL);
  EXPECT_EQ(game.Wait(30.0), -1);
  StartGame();
  EXPECT_NE(Log().find("Found 1 Player profiles"), std::string::npos) << Log();
  EXPECT_EQ(Log().find("class='error'"), std::string::npos) << Log();
  EXPECT_EQ(vektest::ReadFileText(saved), before);
  // The profile is chosen again (the killed run may not have kept it as the last player).
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return Shown("main") || Shown("profile_select"); })) << Ask("shown");
  if (Shown("profile_select")) Click("profile_select", "btOk");
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return !Shown("profile_select") && Shown("main"); })) << Ask("shown");
  Shot("05_after_kill");
  // Ended from the menu: Exit, the question answered, and the game closes with 0.
  Click("main", "btExit");
  ASSERT_TRUE(WaitShown("messagebox")) << Ask("shown");
  Shot("06_exit_question");
  Click("messagebox", "ok");
  EXPECT_EQ(game.Wait(120.0), 0) << Ask("shown");

  // The first game: Start, the opening comic paged through with clicks, the island.
  StartGame();
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return Shown("main") || Shown("profile_select"); })) << Ask("shown");
  if (Shown("profile_select")) Click("profile_select", "btOk");
  ASSERT_TRUE(WaitShown("main")) << Ask("shown");
  Click("main", "btStart");
  ASSERT_TRUE(q.WaitFocus("comics")) << Ask("focus");
  Shot("07_opening_comic");
  for (int page = 0; page < 8 && Ask("focus") == "ok comics"; ++page) {
    Click("comics", "next");
    q.Frames(10);
  }
  ASSERT_TRUE(q.WaitFocus("island")) << Ask("focus");
  ASSERT_TRUE(WaitShown("island")) << Ask("shown");
  ASSERT_TRUE(WaitShown("hint", 30.0)) << Ask("shown");
  Shot("08_island_first_tip");
  ClickAt("marker 0");
  ASSERT_TRUE(WaitShown("messagebox")) << Ask("shown");
  Shot("09_start_level_question");
  Click("messagebox", "ok");
  ASSERT_TRUE(WaitShown("mission_start")) << Ask("shown");
  Shot("10_mission_start");
  Click("mission_start", "ok");
  ASSERT_TRUE(q.WaitGone("mission_start")) << Ask("shown");
  Shot("11_field_open");
  const auto t0 = std::chrono::steady_clock::now();
  auto seconds = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(); };
  // A plant waiting for the gardener shows what for: water (0), weeding (1), the harvest (2);
  // the tool for each, by type tag.
  const char* const kToolFor[] = {"0x00100001", "0x00100002", "0x00100004"};
  bool shotWork = false, shotGoal = false;
  int round = 0;
  for (; seconds() < 240.0 && !Shown("mission_finish"); ++round) {
    if (Shown("mission_goal") && !shotGoal) {
      Shot("13_mission_goal");
      shotGoal = true;
    }
    // The lessons as their texts say.
    if (FollowLesson()) continue;
    const Thing seed = First("item garden plants 0");
    const Gardener g = GardenerNow();
    if (g.tasks > 0) {
      q.Frames(15);
      continue;
    }
    // A full bin goes to the car; then needs (a plant left waiting withers), the harvest, empty
    // holes sown, and what the bin holds to the car.
    // A tool is taken first; the work it is for is asked once the gardener holds it.
    auto toCar = [&] {
      ClickPoint(g.held != 2 ? Objects(kToolFor[2]).at(0) : Objects("0x00080001").at(0));
      q.Frames(15);
    };
    if (g.capacity > 0 && g.bin >= g.capacity) {
      toCar();
      continue;
    }
    std::vector<Thing> waiting[3];
    for (const Thing& plant : Objects("0x20000000"))
      if (plant.state == 3 && plant.stage >= 0 && plant.stage < 3) waiting[plant.stage].push_back(plant);
    int kind = -1;
    for (int k : {g.held, 1, 0, 2})
      if (kind < 0 && k >= 0 && !waiting[k].empty() && (k != 2 || g.bin < g.capacity)) kind = k;
    if (kind >= 0) {
      if (g.held != kind) {
        ClickPoint(Objects(kToolFor[kind]).at(0));
        q.Frames(15);
        continue;
      }
      for (const Thing& plant : waiting[kind]) ClickPoint(plant);
      if (!shotWork) {
        q.Frames(20);
        Shot("12_field_in_work");
        shotWork = true;
      }
      q.Frames(15);
      continue;
    }
    const std::vector<Thing> holes = Objects("0x10000000");
    if (!holes.empty() && seed.w > 0 && g.bin < g.capacity) {
      ClickPoint(seed);
      ClickPoint(holes.front());
      q.Frames(15);
      continue;
    }
    // A bin with the crop goes to the car.
    if (g.bin > 0) {
      toCar();
      continue;
    }
    q.Frames(15);
  }
  fprintf(stderr, "played %d rounds in %.1f s\n", round, seconds());
  ASSERT_TRUE(WaitShown("mission_finish", 120.0)) << Ask("shown") << " " << Ask("player");
  // The mission's finish counts the payment up; watched to its end, then Ok.
  q.Frames(30);
  Shot("14_mission_finish_counting");
  q.Frames(450);
  Shot("15_mission_finish_paid");
  const Progress paid = PlayerNow();
  EXPECT_GT(paid.money + paid.bank, 0) << Ask("player");
  for (int i = 0; i < 3 && Shown("mission_finish"); ++i) {
    Click("mission_finish", "ok");
    q.Frames(20);
  }
  ASSERT_TRUE(q.WaitGone("mission_finish")) << Ask("shown");

  // Upgrades are offered only once the institute stands (the level-5 play-through buys one):
  // level 1 goes straight back to the island.
  const std::vector<int> upgrades = PlayerNow().upgrades;
  EXPECT_FALSE(Shown("up")) << Ask("shown");

  // Back on the island, which awards the level in its after-level sequence.
  ASSERT_TRUE(q.WaitFocus("island")) << Ask("focus");
  q.Frames(60);
  Shot("18_island_after_level");
  // The sequence waits for the level's building: the player builds it from the bank.
  bool shotBuild = false;
  ASSERT_TRUE(vektest::WaitFor(90.0, [&] {
    if (Ask("island").rfind("ok 1 ", 0) == 0) return true;
    if (Shown("messagebox")) {
      if (!shotBuild) Shot("19_build_question");
      shotBuild = true;
      q.Click("messagebox", "ok");
    } else if (Shown("stat_island") || Shown("stat_garden")) {
      // The island's tips lead to its ratings; read, and closed.
      const std::string stat = Shown("stat_island") ? "stat_island" : "stat_garden";
      Shot("20_" + stat);
      q.Click(stat, "ok");
    } else if (FollowLesson()) {
      // The island's lessons as their texts say.
    } else if (std::istringstream house(Ask("house 0")); true) {
      std::string ok;
      int x = 0, y = 0, state = 0;
      if (house >> ok >> x >> y >> state && ok == "ok" && state != 2) ClickPoint(Thing{x, y, 0, 0});
    }
    q.Frames(30);
    return false;
  })) << Ask("island") << " " << Ask("house 0") << " " << Ask("shown");
  Shot("21_island_next_level");
  // Every step of the first lesson was shown and done as its text said; the island taught its
  // ratings and showed the building's site.
  for (int step = 0; step <= 12; ++step) {
    const std::string key = "TrainingPlants" + std::to_string(step);
    EXPECT_NE(std::find(lessonsSeen.begin(), lessonsSeen.end(), key), lessonsSeen.end()) << key;
  }
  for (const char* key : {"TrainingRate0", "TrainingIslandRate0"})
    EXPECT_NE(std::find(lessonsSeen.begin(), lessonsSeen.end(), key), lessonsSeen.end()) << key;
  EXPECT_TRUE(std::any_of(lessonsSeen.begin(), lessonsSeen.end(),
                          [](const std::string& k) { return k.rfind("HintConstruct", 0) == 0; }));
  // The island answers the mouse once its first building stands and its statistics were
  // read: the next level's marker asks whether to play it (the player says no for now).
  // The player reads the new people's board to its Ok, then points at the played level's place:
  // its tooltip tells the day, time and medal, and goes when the pointer moves on to the next
  // level's place, which lights up under the pointer (a tooltip left standing took the pointer
  // wherever it covered the map).
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] {
    if (LessonNow().key != "HintNewPeople") return true;
    q.Click("hint", "close");
    q.Frames(10);
    return false;
  })) << Ask("lesson");
  q.WaitSettled();
  for (int level : {0, 1}) {
    std::istringstream in(Ask("marker " + std::to_string(level)));
    std::string ok;
    int x = 0, y = 0;
    ASSERT_TRUE(in >> ok >> x >> y && ok == "ok") << level;
    EXPECT_EQ(Ask("move " + std::to_string(x) + " " + std::to_string(y)), "ok");
    if (level == 0) {
      ASSERT_TRUE(WaitShown("hint_mp", 30.0)) << Ask("shown") << " " << Ask("island");
      Shot("21a_island_marker_tooltip");
    } else {
      EXPECT_TRUE(q.WaitGone("hint_mp", 30.0)) << Ask("shown");
      EXPECT_TRUE(vektest::WaitFor(30.0, [&] { return Ask("island").rfind("ok 1 1 ", 0) == 0; })) << Ask("island");
    }
  }
  ASSERT_NO_FATAL_FAILURE(ClickMarkerUntilAsked(1));
  Shot("21b_island_marker_asks");
  Click("messagebox", "cancel");
  ASSERT_TRUE(q.WaitGone("messagebox")) << Ask("shown");
  const Progress won = PlayerNow();
  EXPECT_EQ(won.levelProgress, 1) << Ask("player");
  EXPECT_EQ(won.upgrades, upgrades);

  // Quit from the escape menu: Escape, the menu's end, the main menu's Exit.
  EXPECT_EQ(Ask("key Escape"), "ok");
  ASSERT_TRUE(WaitShown("escape")) << Ask("shown");
  Shot("22_escape_menu");
  Click("escape", "btEnd");
  ASSERT_TRUE(WaitShown("main")) << Ask("shown");
  Click("main", "btExit");
  ASSERT_TRUE(WaitShown("messagebox")) << Ask("shown");
  Click("messagebox", "ok");
  EXPECT_EQ(game.Wait(120.0), 0) << Ask("shown");
  EXPECT_EQ(Log().find("class='error'"), std::string::npos) << Log();

  // Started again, the profile goes on at the next level with what it had.
  StartGame();
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return Shown("main") || Shown("profile_select"); })) << Ask("shown");
  if (Shown("profile_select")) Click("profile_select", "btOk");
  ASSERT_TRUE(WaitShown("main")) << Ask("shown");
  Click("main", "btStart");
  ASSERT_TRUE(q.WaitFocus("island")) << Ask("focus");
  ASSERT_TRUE(WaitShown("island")) << Ask("shown");
  Shot("23_island_again");
  EXPECT_EQ(PlayerNow().levelProgress, won.levelProgress) << Ask("player");
  // Loaded again, the profile holds what the level paid before any level starts.
  EXPECT_EQ(PlayerNow().bank, won.bank) << Ask("player");
  // The second level's marker starts it from the snapshot the island took when the first
  // was won: the bank and the upgrades as they were; the level's own starting money.
  ClickAt("marker 1");
  ASSERT_TRUE(WaitShown("messagebox")) << Ask("shown");
  Click("messagebox", "ok");
  ASSERT_TRUE(WaitShown("mission_start")) << Ask("shown");
  Shot("24_level2_mission_start");
  const Progress again = PlayerNow();
  EXPECT_EQ(again.currentLevel, 1) << Ask("player");
  EXPECT_EQ(again.levelProgress, won.levelProgress);
  EXPECT_EQ(again.bank, won.bank);
  EXPECT_EQ(again.upgrades, won.upgrades);
  // The files say the same.
  vek::SetPathToken(vek::e_AppPath, AppDir());
  const std::string folder = fs::path(ProfileSave()).parent_path().filename().string();
  cPlayer stored(folder);
  ASSERT_TRUE(stored.Load());
  EXPECT_EQ(stored.levelProgress, won.levelProgress);
  ASSERT_TRUE(stored.LoadGame(won.levelProgress));
  EXPECT_EQ(stored.bank, won.bank);
  EXPECT_EQ(stored.upgradeLevels, won.upgrades);
  game.Signal(SIGTERM);
  EXPECT_EQ(game.Wait(120.0), 0);
}

}  // namespace
