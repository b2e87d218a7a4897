// The island's first factory in the real program, played as a player plays it: only input
// events through its window, the places to click asked of the running game (its test
// queries). Level 3 is played from its marker to its end, where the factory is built; level 4
// asks for the factory's product: the sort it is made of is grown, sold to the factory with the
// car, the factory started from the garden bar's row, and its product comes back to the car and
// counts for the mission. Screenshots of each stage go to build/screenshots/factory_*.png.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/core/path_tokens.h"
#include "game/app/player.h"
#include "game/world/object.h"
#include "tests/e2e/playthrough_fixture.h"
#include "tests/support/game_queries.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace {

using playthrough::FieldObject;
using playthrough::Profile;

namespace fs = std::filesystem;

class PlaythroughFactory : public playthrough::GameRun {
 protected:
  // Starts the game, connects to its test queries and skips the opening slides; back once its
  // main menu is shown.
  void Start() {
    ASSERT_NO_FATAL_FAILURE(StartGame());
    ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return Shown("main") || Shown("profile_select"); })) << Ask("shown");
    if (Shown("profile_select")) Click("profile_select", "btOk");
    ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return !Shown("profile_select") && Shown("main"); })) << Ask("shown");
  }

  std::string Ask(const std::string& line) { return q.Ask(line); }
  bool Shown(const std::string& window) { return q.Shown(window); }
  void Click(const std::string& window, const std::string& control) {
    ASSERT_TRUE(q.Click(window, control)) << window << "." << control << " " << Ask("shown");
  }
  void ClickAt(int x, int y) {
    Ask("move " + std::to_string(x) + " " + std::to_string(y));
    q.Frames(1);
    EXPECT_EQ(Ask("click " + std::to_string(x) + " " + std::to_string(y)), "ok");
    q.Frames(2);
  }
  void Shot(const std::string& stage) { ASSERT_TRUE(q.Shot(tmp.path() + "/home/Desktop", "factory_" + stage)) << stage; }

  std::vector<FieldObject> Objects(unsigned type) {
    std::istringstream in(Ask("objects " + std::to_string(type)));
    std::string ok;
    int n = 0;
    std::vector<FieldObject> out;
    if (!(in >> ok >> n) || ok != "ok") return out;
    for (int i = 0; i < n; ++i) {
      FieldObject o;
      if (!(in >> o.x >> o.y >> o.w >> o.h >> o.state >> o.stage >> o.ware)) break;
      out.push_back(o);
    }
    return out;
  }
  Profile GetProfile() {
    std::istringstream in(Ask("profile"));
    std::string ok;
    Profile p;
    in >> ok >> p.progress >> p.money >> p.bank >> p.level >> p.animalKinds;
    return p;
  }
  // The mission's open tasks: ware name -> {id, units still to sell}.
  std::map<std::string, std::pair<int, int>> Tasks() {
    std::istringstream in(Ask("tasks"));
    std::string ok, name;
    int id = 0, count = 0;
    std::map<std::string, std::pair<int, int>> out;
    in >> ok;
    while (in >> name >> id >> count) out[name] = {id, count};
    return out;
  }
  // The tool the gardener holds (-1 none) and how much work it has queued.
  std::pair<int, int> Gardener() {
    std::istringstream in(Ask("gardener"));
    std::string ok;
    int tool = -2, queued = -1;
    in >> ok >> tool >> queued;
    return {tool, queued};
  }
  bool WaitIdle(double seconds = 20.0) {
    return vektest::WaitFor(seconds, [&] { return Gardener().second == 0; });
  }
  // The gardener takes the tool of that kind (0 water, 1 weed, 2 bin) unless it holds it.
  void TakeTool(int kind) {
    if (Gardener().first == kind) return;
    static const unsigned kTools[] = {e_TypeToolWater, e_TypeToolWeed, e_TypeToolBin};
    const auto tools = Objects(kTools[kind]);
    ASSERT_FALSE(tools.empty()) << kind;
    // A click the field did not take (between two steps of a hint) is given again.
    bool taken = false;
    for (int attempt = 0; attempt < 5 && !taken; ++attempt) {
      AnswerHint();
      ClickAt(tools[0].CentreX(), tools[0].CentreY());
      taken = vektest::WaitFor(6.0, [&] { return Gardener().first == kind; });
    }
    EXPECT_TRUE(taken) << kind << " " << Ask("gardener") << " " << Ask("hint");
  }

  // The field played until the mission is met: every free hole sown with a sort the mission
  // still wants, the plants watered and weeded as they ask, the ripe ones harvested into the
  // bin, and the bin loaded into the car. Counts what was tended.
  struct Played {
    int watered = 0, weeded = 0, harvested = 0, sales = 0, refills = 0, factoryRuns = 0;
  };
  // A factory row of the garden bar as the game reports it.
  struct ChainRow {
    int rowState = -1, x = 0, y = 0, w = 0, h = 0, state = -1, stock = 0, inputId = -1, outputId = -1;
    std::string input, output;
  };
  std::vector<ChainRow> Chains() {
    std::vector<ChainRow> out;
    for (int n = 0; n < 3; ++n) {
      std::istringstream in(Ask("chain " + std::to_string(n)));
      std::string ok;
      ChainRow r;
      if (!(in >> ok >> r.rowState >> r.x >> r.y >> r.w >> r.h >> r.state >> r.stock >> r.inputId >> r.input >>
            r.outputId >> r.output) ||
          ok != "ok")
        continue;
      out.push_back(r);
    }
    return out;
  }
  Played PlayField(double seconds, bool shotBusy, int stopAfterSales = 0) {
    Played done;
    const auto started = std::chrono::steady_clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(); };
    bool shot = !shotBusy;
    bool first = true;  // the mission issues its tasks in the first steps
    factoryShot = false;
    while (elapsed() < seconds && !Shown("mission_finish") && (stopAfterSales == 0 || done.sales < stopAfterSales)) {
      if (AnswerHint()) continue;
      const auto tasks = Tasks();
      if (tasks.empty() && !first) {
        // Every task met: the car finishes its trip, and the level ends.
        q.Frames(15);
        continue;
      }
      first = false;
      const auto plants = Objects(e_TypePlant);
      std::vector<FieldObject> thirsty, weedy, ripe;
      for (const auto& p : plants) {
        if (p.state != 3) continue;
        (p.stage == 0 ? thirsty : p.stage == 1 ? weedy : ripe).push_back(p);
      }
      int capacity = 0;
      const auto bin = Bin(&capacity);
      const auto cars = Objects(e_TypeCar);
      const bool carReady = !cars.empty() && cars[0].state == 1;
      // Needs first: a plant left waiting withers, a ripe one keeps (and waits for a full bin
      // to be emptied into the car).
      const bool binFull = static_cast<int>(bin.size()) >= capacity;
      const int kind = !weedy.empty() ? 1 : !thirsty.empty() ? 0 : !ripe.empty() && !binFull ? 2 : -1;
      if (kind >= 0) {
        TakeTool(kind);
        if (kind == 0 && CanAmount() == 0) {
          // An empty can is filled at the pump first.
          const auto pumps = Objects(e_TypeWaterPump);
          if (!pumps.empty()) {
            ClickAt(pumps[0].CentreX(), pumps[0].CentreY());
            vektest::WaitFor(30.0, [&] { return CanAmount() > 0; });
            ++done.refills;
          }
        }
        const auto& targets = kind == 2 ? ripe : kind == 1 ? weedy : thirsty;
        for (const auto& t : targets) ClickAt(t.CentreX(), t.CentreY());
        WaitIdle();
        if (!shot && kind != 2) {
          Shot(shotName);
          shot = true;
        }
        (kind == 0 ? done.watered : kind == 1 ? done.weeded : done.harvested) += static_cast<int>(targets.size());
        continue;
      }
      // A product's factory idle with its input in stock is started from its row.
      const auto chains = Chains();
      bool started = false;
      for (const auto& c : chains)
        if (c.rowState == 0 && c.state == 2 && c.stock > 0 && tasks.count(c.output)) {
          ClickAt(c.x + c.w / 2, c.y + c.h / 2);
          ++done.factoryRuns;
          started = true;
          if (!factoryShot) {
            q.Frames(5);
            Shot(factoryShotName);
            factoryShot = true;
          }
        }
      if (started) continue;
      // What the mission still wants beyond the plants in the ground and the bin: its wares,
      // and the sorts its factories make their products of.
      std::map<int, int> wanted;
      std::map<std::string, int> sorts;
      for (const auto& [name, task] : tasks) {
        wanted[task.first] = task.second;
        sorts[name] = task.first;
      }
      for (const auto& c : chains)
        if (auto it = tasks.find(c.output); it != tasks.end() && c.inputId >= 0) {
          wanted[c.inputId] += it->second.second - c.stock - (c.state == 3 ? 1 : 0);
          sorts[c.input] = c.inputId;
        }
      for (const auto& p : plants) --wanted[p.ware];
      for (const auto& ware : bin)
        if (auto it = sorts.find(ware); it != sorts.end()) --wanted[it->second];
      // Free holes, and plants of sorts the mission no longer wants, sown with a wanted sort
      // (seed on a plant: the new sort grows there instead).
      std::vector<FieldObject> free;
      for (const auto& hole : Objects(e_TypeHole)) {
        bool taken = false;
        for (const auto& p : plants)
          taken = taken || (std::abs(p.CentreX() - hole.CentreX()) < 12 && std::abs(p.y + p.h - hole.CentreY()) < 48);
        if (!taken) free.push_back(hole);
      }
      for (const auto& p : plants) {
        bool wantedSort = false;
        for (const auto& [name, id] : sorts) wantedSort = wantedSort || id == p.ware;
        if (!wantedSort && p.state != 3) free.push_back(p);
      }
      bool sowed = false;
      for (int n = 0; n < 5 && !sowed && !free.empty(); ++n) {
        std::istringstream in(Ask("item garden plants " + std::to_string(n)));
        std::string ok, sort;
        int x = 0, y = 0, w = 0, h = 0, available = 0, enabled = 0;
        if (!(in >> ok >> x >> y >> w >> h >> available >> enabled >> sort) || !available || !enabled) continue;
        auto it = sorts.find(sort);
        if (it == sorts.end() || wanted[it->second] <= 0) continue;
        ClickAt(x + w / 2, y + h / 2);
        for (size_t i = 0; i < free.size() && static_cast<int>(i) < wanted[it->second]; ++i)
          ClickAt(free[i].CentreX(), free[i].CentreY());
        WaitIdle();
        sowed = true;
      }
      if (sowed) continue;
      // Nothing to sow: the bin goes into the car.
      if (!bin.empty() && carReady) {
        TakeTool(2);
        ClickAt(cars[0].CentreX() + cars[0].w / 4, cars[0].CentreY());
        WaitIdle();
        if (vektest::WaitFor(20.0, [&] { return Bin().empty(); })) ++done.sales;
        continue;
      }
      q.Frames(15);
    }
    return done;
  }
  std::string shotName = "busy";
  std::string factoryShotName = "factory_started";
  bool factoryShot = false;
  // The wares in the bin; `capacity` gets how many it holds.
  std::vector<std::string> Bin(int* capacity = nullptr) {
    std::istringstream in(Ask("bin"));
    std::string ok, ware;
    int n = 0, most = 0;
    std::vector<std::string> out;
    in >> ok >> n >> most;
    if (capacity) *capacity = most;
    while (in >> ware) out.push_back(ware);
    return out;
  }
  int CanAmount() {
    std::istringstream in(Ask("can"));
    std::string ok;
    int amount = -1;
    in >> ok >> amount;
    return amount;
  }
  int Produced(const std::string& ware) {
    std::istringstream in(Ask("produced " + ware));
    std::string ok;
    int n = -1;
    in >> ok >> n;
    return n;
  }

  // A shown hint is answered as a player does: its lit target clicked, or its close button.
  // False when none was shown.
  bool AnswerHint() {
    std::istringstream in(Ask("hint"));
    std::string ok, what;
    int x = 0, y = 0, w = 0, h = 0;
    if (!(in >> ok >> what) || ok != "ok") return false;
    if (what == "wait") {
      q.Frames(10);
      return true;
    }
    if (in >> x >> y >> w >> h) ClickAt(x + w / 2, y + h / 2);
    q.Frames(10);
    return true;
  }

  // From the main menu to the level's mission card: Start, the island, its marker, the question.
  void OpenLevelFromIsland(int level) {
    Click("main", "btStart");
    ASSERT_TRUE(q.WaitShown("island")) << Ask("shown");
    ASSERT_TRUE(q.WaitFocus("island")) << Ask("focus");
    q.WaitSettled();
    std::istringstream in(Ask("marker " + std::to_string(level)));
    std::string ok;
    int x = 0, y = 0;
    ASSERT_TRUE(in >> ok >> x >> y) << Ask("marker " + std::to_string(level));
    ASSERT_TRUE(x > 0 && x < 1024 && y > 0 && y < 768) << x << " " << y;
    ClickAt(x, y);
    ASSERT_TRUE(q.WaitShown("messagebox")) << Ask("shown");
    Click("messagebox", "ok");
    ASSERT_TRUE(q.WaitShown("mission_start")) << Ask("shown") << " " << Ask("tasks") << "\n" << Log();
    ASSERT_TRUE(q.WaitFocus("garden")) << Ask("focus");
  }
};

// Level 3 from a profile with two levels won: from its island marker through the mission card,
// the field played until the mission is met, the mission's end, and back on the island where
// the profile is one level further.
TEST_F(PlaythroughFactory, Level3IsPlayedToItsEndAndBackOnTheIslandOneLevelFurther) {
  const auto started = std::chrono::steady_clock::now();
  MakeProfile(2, 150);
  Start();
  OpenLevelFromIsland(2);
  Shot("01_level3_mission_start");
  EXPECT_EQ(GetProfile().level, 2);
  Click("mission_start", "ok");
  ASSERT_TRUE(q.WaitGone("mission_start")) << Ask("shown");
  shotName = "02_level3_field_busy";
  const Played played = PlayField(150.0, true);
  EXPECT_GE(played.harvested, 12);
  EXPECT_GE(played.sales, 1);
  EXPECT_GE(Produced("plant00"), 8);
  EXPECT_GE(Produced("plant01"), 4);
  ASSERT_TRUE(q.WaitShown("mission_finish", 60.0)) << Ask("shown") << " " << Ask("tasks");
  Shot("03_level3_mission_finish");
  ASSERT_TRUE(vektest::WaitFor(120.0, [&] {
    if (Shown("mission_finish")) q.Click("mission_finish", "ok");
    if (Shown("up")) q.Click("up", "done");
    q.Frames(20);
    return Ask("focus") == "ok island" && !Shown("mission_finish") && !Shown("up");
  })) << Ask("shown") << " " << Ask("focus");
  // Back on the island the player clicks the level's factory while the after-level sequence
  // plays; the sequence opens the next level.
  q.WaitSettled();
  std::istringstream house(Ask("house 2"));
  std::string ok;
  int hx = 0, hy = 0, hstate = -1;
  ASSERT_TRUE(house >> ok >> hx >> hy >> hstate) << Ask("house 2");
  Shot("04_level3_back_on_island");
  ClickAt(hx, hy);
  EXPECT_TRUE(vektest::WaitFor(120.0, [&] {
    if (Shown("messagebox")) q.Click("messagebox", "ok");
    AnswerHint();
    return GetProfile().progress == 3;
  })) << Ask("shown") << " " << Ask("house 2");
  Shot("05_level3_factory_built");
  const Profile after = GetProfile();
  EXPECT_EQ(after.progress, 3);
  EXPECT_GT(after.bank, 150) << "the level's payment went to the bank";
  std::cerr << "level 3 played in " << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()
            << " s: " << played.watered << " watered, " << played.weeded << " weeded, " << played.harvested
            << " harvested, " << played.sales << " sales\n";
  game.Signal(SIGTERM);
  EXPECT_EQ(game.Wait(120.0), 0);
  EXPECT_EQ(Log().find("class='error'"), std::string::npos) << Log();
  vek::SetPathToken(vek::e_AppPath, AppDir());
  cPlayer saved("plr000");
  ASSERT_TRUE(saved.Load());
  EXPECT_EQ(saved.levelProgress, 3);
}

// Level 4 asks for the factory's product: the factory's row slides into the garden bar, the
// sort it takes is grown and sold to it with the car, the row's button starts it, and each
// unit made flies back to the car and counts for the mission.
TEST_F(PlaythroughFactory, Level4FeedsTheFactoryAndItsProductCountsForTheMission) {
  const auto started = std::chrono::steady_clock::now();
  MakeProfile(3, 200);
  Start();
  OpenLevelFromIsland(3);
  Shot("06_level4_mission_start");
  Click("mission_start", "ok");
  ASSERT_TRUE(q.WaitGone("mission_start")) << Ask("shown");
  // The mission binds the factory making its product to a row of the bar.
  ChainRow row;
  ASSERT_TRUE(vektest::WaitFor(30.0, [&] {
    AnswerHint();
    for (const auto& c : Chains())
      if (c.output == "product00" && c.rowState == 0) row = c;
    return row.output == "product00";
  })) << Ask("chain 0") << " | " << Ask("tasks");
  EXPECT_EQ(row.input, "plant01");
  const int wanted = Tasks()["product00"].second;
  ASSERT_GT(wanted, 0);
  shotName = "07_level4_field_busy";
  factoryShotName = "08_level4_factory_started";
  const Played played = PlayField(150.0, true);
  // Each unit made counts once: the mission ends only when all it wanted were made.
  ASSERT_TRUE(q.WaitShown("mission_finish", 60.0)) << Ask("shown") << " " << Ask("tasks") << " " << Ask("chain 0");
  EXPECT_GE(played.factoryRuns, wanted);
  EXPECT_GE(Produced("product00"), wanted) << "the factory made every unit the mission counted";
  EXPECT_GE(Produced("plant01"), wanted) << "grown to feed it";
  const auto tasks = Tasks();
  const int left = tasks.count("product00") ? tasks.at("product00").second : 0;
  EXPECT_EQ(left, 0);
  Shot("09_level4_mission_finish");
  std::cerr << "level 4 played in " << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()
            << " s: " << played.harvested << " harvested, " << played.sales << " sales, " << played.factoryRuns
            << " factory runs, product00 made " << Produced("product00") << ", left " << left << "\n";
  game.Signal(SIGTERM);
  EXPECT_EQ(game.Wait(120.0), 0);
  EXPECT_EQ(Log().find("class='error'"), std::string::npos) << Log();
}

}  // namespace
