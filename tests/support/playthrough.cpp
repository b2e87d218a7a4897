#include "tests/support/playthrough.h"

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "engine/core/path_tokens.h"
#include "game/app/game_rules.h"
#include "game/app/level_table.h"
#include "game/app/player.h"
#include "game/app/rules_host.h"
#include "game/world/gardener.h"
#include "game/world/object.h"

namespace playthrough {

void GameRun::TearDown() {
  q.Close();
  if (game.Running()) {
    game.Signal(SIGTERM);
    game.Wait(60.0);
  }
}

void GameRun::MakeProfile(int progress, int bank, int animalKinds, const std::string& folder, const std::string& name) {
  vek::SetPathToken(vek::e_AppPath, AppDir());
  cPlayer player(folder);
  player.GetName() = name;
  player.levelProgress = progress;
  for (int i = 0; i < progress; ++i) {
    player.timeGrades.push_back(i % 3);
    player.levelTimes.push_back(80.0f + 5.0f * static_cast<float>(i));
  }
  player.bank = bank;
  player.animalKinds = animalKinds;
  // The lessons such a player has been through: the first one, and each that an order of an
  // earlier level brought (the others come with what happens on the field).
  auto seen = [&](size_t hint) {
    if (hint < player.hintFlags.size()) player.hintFlags[hint] = 1;
  };
  if (progress > 0) seen(0);
  static const std::pair<const char*, size_t> kOrderLessons[] = {
      {"product00", 3}, {"egg", 4}, {"milk", 7}, {"honey", 9}, {"nib", 12}};
  for (int level = 0; level < progress; ++level)
    if (const cLevelRow* row = GetLevelRow(level))
      for (const cLevelTask& task : row->tasks)
        for (const auto& [ware, hint] : kOrderLessons)
          if (std::string(task.ware) == ware) seen(hint);
  // The snapshot keeps the field of the level last played: its holes layout (one further
  // when that level awarded holes) and plant sorts.
  if (progress > 0) {
    const int last = progress - 1;
    constexpr int kLayouts = 5;  // the data set's conf/holes.lvs
    const cLevelRow* row = GetLevelRow(last);
    const bool holesAward = row && (row->flags & (1u << 1)) != 0;  // level flag 2
    player.holesLayout = std::min(cGameRules::HolesForLevel(last, kLayouts) + (holesAward ? 1 : 0), kLayouts - 1);
    player.lastSort = cGameRules::SortsForLevel(last);
  }
  ASSERT_TRUE(player.SaveGame(progress));
  // The profile keeps the player's hint switch: on, as a new player's is.
  const vek::i32 training = RulesHost()->GetTraining();
  RulesHost()->SetTraining(1);
  const bool written = player.WriteProfile();
  RulesHost()->SetTraining(training);
  ASSERT_TRUE(written);
}

void GameRun::StartGame() {
  std::error_code ignored;
  std::filesystem::remove(AppDir() + "/_log.html", ignored);
  q.Close();
  ASSERT_TRUE(game.Start(vektest::GameBinary(), vektest::GameEnv(tmp.path(), Socket())));
  ASSERT_TRUE(q.Connect(Socket(), 120.0)) << Socket();
  // Every frame one fixed step, unpaced: the game as fast as this machine draws it.
  ASSERT_EQ(q.Ask("clock steps"), "ok");
  ASSERT_TRUE(q.SkipSplash()) << q.Ask("focus");
  ASSERT_TRUE(vektest::WaitFor(240.0, [&] { return Log().find("Run game...") != std::string::npos; })) << Log();
}

void GameRun::Start() {
  ASSERT_NO_FATAL_FAILURE(StartGame());
  // The profile chooser, when it comes, is confirmed (again, should a click reach it while it
  // still fades in).
  ASSERT_TRUE(vektest::WaitFor(120.0, [&] {
    if (Shown("profile_select") && q.Click("profile_select", "btOk")) q.Frames(10);
    return !Shown("profile_select") && Shown("main");
  })) << "the main menu was never shown: " << Ask("shown") << " " << Ask("focus");
}

void GameRun::EndGame() {
  game.Signal(SIGTERM);
  EXPECT_EQ(game.Wait(120.0), 0);
  const std::string log = Log();
  EXPECT_EQ(log.find("class='error'"), std::string::npos) << log;
}

void GameRun::Click(const std::string& window, const std::string& control) {
  ASSERT_TRUE(q.Click(window, control)) << window << "." << control << " " << Ask("shown");
}

void GameRun::ClickAt(int x, int y) {
  Ask("move " + std::to_string(x) + " " + std::to_string(y));
  q.Frames(1);
  EXPECT_EQ(Ask("click " + std::to_string(x) + " " + std::to_string(y)), "ok");
  q.Frames(2);
}

void GameRun::Shot(const std::string& stage) {
  ASSERT_TRUE(q.Shot(tmp.path() + "/home/Desktop", shotPrefix + stage)) << stage;
}

std::vector<FieldObject> GameRun::Objects(unsigned type) {
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

Profile GameRun::GetProfile() {
  std::istringstream in(Ask("profile"));
  std::string ok;
  Profile p;
  in >> ok >> p.progress >> p.money >> p.bank >> p.level >> p.animalKinds;
  return p;
}

Standing GameRun::PlayerNow() {
  std::istringstream in(Ask("player"));
  std::string ok;
  int progress = 0, level = 0, money = 0;
  Standing s;
  in >> ok >> progress >> level >> money >> s.bank;
  for (int u; in >> u;) s.upgrades.push_back(u);
  return s;
}

std::map<std::string, std::pair<int, int>> GameRun::Tasks() {
  std::istringstream in(Ask("tasks"));
  std::string ok, name;
  int id = 0, count = 0;
  std::map<std::string, std::pair<int, int>> out;
  in >> ok;
  while (in >> name >> id >> count) out[name] = {id, count};
  return out;
}

GardenerNow GameRun::Gardener() {
  std::istringstream in(Ask("gardener"));
  std::string ok;
  GardenerNow g;
  in >> ok >> g.tool >> g.queued >> g.state;
  return g;
}

bool GameRun::WaitIdle(double seconds) {
  return vektest::WaitFor(seconds, [&] { return Gardener().Idle(); });
}

void GameRun::TakeTool(int kind) {
  static const unsigned kTools[] = {e_TypeToolWater, e_TypeToolWeed, e_TypeToolBin};
  int tries = 0;
  EXPECT_TRUE(vektest::WaitFor(120.0, [&] {
    const GardenerNow g = Gardener();
    if (g.tool == kind) return true;
    if (!g.Idle()) {
      q.Frames(5);
      return false;
    }
    // A click the field did not take (between two steps of a hint) is given again.
    AnswerHint();
    const auto tools = Objects(kTools[kind]);
    if (tools.empty()) return false;
    // Each try another point of the tool: the gardener (or a plant) may stand in front of
    // part of it.
    static const int kAt[][2] = {{2, 2}, {1, 1}, {3, 1}, {1, 3}, {3, 3}};
    const auto& at = kAt[tries++ % 5];
    ClickAt(tools[0].x + tools[0].w * at[0] / 4, tools[0].y + tools[0].h * at[1] / 4);
    WaitIdle();
    return Gardener().tool == kind;
  })) << "the gardener never took tool " << kind << ": " << Ask("gardener") << " " << Ask("objects " + std::to_string(kTools[kind]));
}

std::vector<std::string> GameRun::Bin(int* capacity) {
  std::istringstream in(Ask("bin"));
  std::string ok, ware;
  int n = 0, most = 0;
  std::vector<std::string> out;
  in >> ok >> n >> most;
  if (capacity) *capacity = most;
  while (in >> ware) out.push_back(ware);
  return out;
}

int GameRun::CanAmount() {
  std::istringstream in(Ask("can"));
  std::string ok;
  int amount = -1;
  in >> ok >> amount;
  return amount;
}

int GameRun::Produced(const std::string& ware) {
  std::istringstream in(Ask("produced " + ware));
  std::string ok;
  int n = -1;
  in >> ok >> n;
  return n;
}

std::vector<ChainRow> GameRun::Chains() {
  std::vector<ChainRow> out;
  for (int n = 0; n < 3; ++n) {
    std::istringstream in(Ask("chain " + std::to_string(n)));
    std::string ok;
    ChainRow r;
    if (!(in >> ok >> r.rowState >> r.x >> r.y >> r.w >> r.h >> r.state >> r.stock >> r.inputId >> r.input >> r.outputId >>
          r.output) ||
        ok != "ok")
      continue;
    out.push_back(r);
  }
  return out;
}

bool GameRun::AnswerHint() { return FollowLesson(); }

Lesson GameRun::LessonNow() {
  std::istringstream in(Ask("lesson"));
  std::string ok;
  Lesson l;
  int shown = 0;
  if (!(in >> ok >> l.hint >> l.step >> l.key >> l.tip >> shown) || ok != "ok") return {};
  if (l.key == "-") l.key.clear();
  l.shown = shown != 0;
  return l;
}

namespace {

// What a lesson's text asks of the player.
enum class Act { Nothing, Click, ClickLit, Ok, Wait, Scroll };

struct Wanted {
  Act what = Act::Nothing;
  int x = 0, y = 0;
};

}  // namespace

bool GameRun::FollowLesson() {
  Lesson l = LessonNow();
  if (l.hint < 0 && l.tip < 0) return false;
  // A lesson's task card shows the order; read, and back to work.
  if (Shown("mission_goal")) {
    q.Click("mission_goal", "ok");
    q.Frames(10);
    return true;
  }
  // The island's ratings the lessons open: read, and closed.
  for (const char* stat : {"stat_garden", "stat_island"})
    if (Shown(stat)) {
      q.Click(stat, "ok");
      q.Frames(10);
      return true;
    }
  if (!l.shown || l.key.empty()) {
    // Between two steps of a lesson the field takes no clicks: the next step is waited for.
    if (l.hint < 0) return false;
    q.Frames(5);
    return true;
  }
  const bool shoot = l.hint >= 0 ? lessonShots.count(l.hint) > 0 : tipShots;
  const std::string shotName =
      l.hint >= 0 ? "hint_" + std::to_string(l.hint) + "_" + std::to_string(l.step) : "tip_" + l.key;
  if (std::find(lessonsSeen.begin(), lessonsSeen.end(), l.key) == lessonsSeen.end()) {
    lessonsSeen.push_back(l.key);
    std::cerr << "lesson " << l.hint << " step " << l.step << " tip " << l.tip << ": " << l.key << "\n";
    if (shoot) {
      q.WaitSettled();
      q.Frames(5);
      q.Shot(tmp.path() + "/home/Desktop", shotName);
      l = LessonNow();
      if (!l.shown || l.key.empty()) return true;
    }
  }

  auto object = [&](unsigned type, int n, int stage = -1) {
    int k = 0;
    for (const auto& o : Objects(type))
      if ((stage < 0 || o.stage == stage) && k++ == n) return Wanted{Act::Click, o.CentreX(), o.CentreY()};
    return Wanted{Act::Wait};
  };
  auto control = [&](const char* window, const char* name) {
    Wanted w{Act::Wait};
    if (q.Centre(window, name, w.x, w.y)) w.what = Act::Click;
    return w;
  };
  // A shop row's item: the n-th, or the one of the sort named.
  auto item = [&](const char* row, int n, const std::string& sort = {}) {
    for (int i = 0; i < 8; ++i) {
      std::istringstream in(Ask(std::string("item garden ") + row + " " + std::to_string(i)));
      std::string ok, name;
      int x = 0, y = 0, w = 0, h = 0, available = 0, enabled = 0;
      if (!(in >> ok >> x >> y >> w >> h >> available >> enabled >> name) || ok != "ok") break;
      if (!available || !enabled) continue;
      if (sort.empty() ? i == n : name == sort) return Wanted{Act::Click, x + w / 2, y + h / 2};
    }
    return Wanted{Act::Wait};
  };
  const std::string& key = l.key;
  Wanted want;
  if (key == "TrainingPlants0") {
    want = item("plants", 0);
  } else if (key == "TrainingPlants1" || key == "TrainingPlants2" || key == "TrainingPlants3" ||
             key == "TrainingPlantInstead1" || key == "TrainingAnimalFood1" || key == "TrainingHive2") {
    // "Click the lit bed", "click the lit spot": the text names the lit place itself.
    want.what = Act::ClickLit;
  } else if (key == "TrainingPlants4") {
    want = object(e_TypeToolWeed, 0);
  } else if (key == "TrainingPlants5") {
    want = object(e_TypePlant, 0, 1);  // the weedy plant
  } else if (key == "TrainingPlants6" || key == "TrainingEgg0" || key == "TrainingMilk0" || key == "TrainingHoney0") {
    want = object(e_TypeToolBin, 0);  // the basket
  } else if (key == "TrainingPlants7" || key == "TrainingPlants8" || key == "TrainingPlants9") {
    // The plant named, once it is ripe.
    const int n = key.back() - '7';
    const auto plants = Objects(e_TypePlant);
    want.what = Act::Wait;
    if (n < static_cast<int>(plants.size()) && plants[static_cast<size_t>(n)].stage == 2)
      want = {Act::Click, plants[static_cast<size_t>(n)].CentreX(), plants[static_cast<size_t>(n)].CentreY()};
  } else if (key == "TrainingPlants10") {
    const auto cars = Objects(e_TypeCar);
    if (!cars.empty()) want = {Act::Click, cars[0].CentreX() + cars[0].w / 4, cars[0].CentreY()};
  } else if (key == "TrainingPlants11") {
    want = control("score", "task0");
  } else if (key == "TrainingPlants12" || key == "HintBinUp" || key == "HintNewPeople" || key == "HintSilver" ||
             key == "HintBronze") {
    want.what = Act::Ok;
  } else if (key == "TrainingWater0") {
    want = object(e_TypeToolWater, 0);
  } else if (key == "TrainingWater1") {
    want = object(e_TypeWaterPump, 0);
  } else if (key == "TrainingWater2") {
    want = object(e_TypePlant, 0, 0);  // the thirsty plant
  } else if (key == "TrainingScrolling0") {
    want.what = Act::Scroll;
  } else if (key == "TrainingFactory1") {
    for (const auto& c : Chains())
      if (c.rowState == 0 && c.state >= 0) {
        want = {Act::Click, c.x + c.w / 2, c.y + c.h / 2};
        break;
      }
  } else if (key == "TrainingOstrich0" || key == "TrainingGoat0" || key == "TrainingHive0" ||
             key == "TrainingPeacock0") {
    // The animal row: ostrich, goat, beehive, peacock.
    const int n = key == "TrainingOstrich0" ? 0 : key == "TrainingGoat0" ? 1 : key == "TrainingHive0" ? 2 : 3;
    want = item("animals", n);
  } else if (key == "TrainingAnimalFood0") {
    want = item("grass", 0, "grass");
  } else if (key == "TrainingHive1") {
    want = item("grass", 0, "flowers");
  } else if (key == "TrainingAnimalFood2") {
    want.what = Act::Wait;  // the gardener sows; the lesson ends with it
  } else if (key == "TrainingEgg1") {
    want = object(e_TypeEgg, 0);
  } else if (key == "TrainingMilk1") {
    want = object(e_TypeGoat, 0);
  } else if (key == "TrainingHoney1") {
    want = object(e_TypeHive, 0);
  } else if (key == "TrainingPlantInstead0") {
    for (int i = 0; i < 8 && want.what != Act::Click; ++i) {
      std::istringstream in(Ask("item garden plants " + std::to_string(i)));
      std::string ok, sort;
      int x = 0, y = 0, w = 0, h = 0, available = 0, enabled = 0;
      if (!(in >> ok >> x >> y >> w >> h >> available >> enabled >> sort) || ok != "ok") break;
      if (available && enabled && Tasks().count(sort)) want = {Act::Click, x + w / 2, y + h / 2};
    }
  } else if (key == "TrainingIslandRate0") {
    want = control("island", "but_island_rate");
  } else if (key == "TrainingRate0") {
    want = control("island", "but_rate");
  } else {
    // The factory's crop, a new order, thirsty flowers, the building site, the next level's
    // place: the player plays on.
    return false;
  }

  // The lit rectangle, when the step lights one.
  std::istringstream hint(Ask("hint"));
  std::string ok, what;
  int lx = 0, ly = 0, lw = 0, lh = 0;
  const bool lit = hint >> ok >> what >> lx >> ly >> lw >> lh && ok == "ok" && what == "lit";
  switch (want.what) {
    case Act::Nothing:
    case Act::Wait:
      q.Frames(10);
      return true;
    case Act::Ok:
      EXPECT_FALSE(lit) << key << ": a step closed with Ok lights nothing";
      q.Click("hint", "close");
      q.Frames(10);
      return true;
    case Act::Scroll:
      // The pointer to the bottom edge, held there a moment.
      Ask("move 512 766");
      q.Frames(30);
      Ask("move 512 400");
      q.Frames(5);
      return true;
    case Act::ClickLit:
      EXPECT_TRUE(lit) << key << " names the lit place: " << Ask("hint");
      if (!lit) return true;
      want = {Act::Click, lx + lw / 2, ly + lh / 2};
      break;
    case Act::Click:
      EXPECT_TRUE(!lit || (want.x >= lx && want.x <= lx + lw && want.y >= ly && want.y <= ly + lh))
          << key << " names the thing at " << want.x << " " << want.y << ", the arrow lights " << Ask("hint");
      break;
  }
  ClickAt(want.x, want.y);
  // The click's work is done (or the lesson went on) before the next try: a click given twice
  // would queue the work twice.
  vektest::WaitFor(60.0, [&] {
    const Lesson n = LessonNow();
    if (n.hint != l.hint || n.step != l.step || n.key != l.key || !n.shown) return true;
    q.Frames(5);
    return Gardener().Idle();
  });
  return true;
}

void GameRun::OpenLevelFromIsland(int level) {
  Click("main", "btStart");
  ASSERT_TRUE(q.WaitShown("island")) << Ask("shown");
  ASSERT_TRUE(q.WaitFocus("island")) << Ask("focus");
  q.WaitSettled();
  std::istringstream in(Ask("marker " + std::to_string(level)));
  std::string ok;
  int x = 0, y = 0;
  ASSERT_TRUE(in >> ok >> x >> y) << Ask("marker " + std::to_string(level));
  ASSERT_TRUE(x > 0 && x < 1024 && y > 0 && y < 768) << x << " " << y;
  // The marker asks whether to play its level; clicked again should the island not have
  // taken the first click yet.
  ASSERT_TRUE(vektest::WaitFor(120.0, [&] {
    if (!Shown("messagebox")) {
      ClickAt(x, y);
      q.Frames(10);
    }
    return Shown("messagebox");
  })) << "level " << level << "'s marker at " << x << " " << y << " asked nothing: " << Ask("shown") << " "
      << Ask("island");
  Click("messagebox", "ok");
  ASSERT_TRUE(q.WaitShown("mission_start")) << Ask("shown") << " " << Ask("tasks") << "\n" << Log();
  ASSERT_TRUE(q.WaitFocus("garden")) << Ask("focus");
}

Played GameRun::PlayField(double seconds, bool shotBusy, int stopAfterSales) {
  Played done;
  const auto started = std::chrono::steady_clock::now();
  auto elapsed = [&] { return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(); };
  bool shot = !shotBusy;
  bool factoryShot = false;
  bool first = true;  // the mission issues its tasks in the first steps
  while (elapsed() < seconds && !Shown("mission_finish") && (stopAfterSales == 0 || done.sales < stopAfterSales)) {
    if (AnswerHint()) continue;
    const auto tasks = Tasks();
    if (tasks.empty() && !first) {
      // Every task met: the car finishes its trip, and the level ends.
      q.Frames(15);
      continue;
    }
    first = false;
    // The sorts the mission wants: its own wares, and those its factories make its products of.
    const auto chains = Chains();
    std::map<std::string, int> sorts;
    for (const auto& [name, task] : tasks) sorts[name] = task.first;
    for (const auto& c : chains)
      if (tasks.count(c.output) && c.inputId >= 0) sorts[c.input] = c.inputId;
    auto wantedSort = [&](int ware) {
      for (const auto& [name, id] : sorts)
        if (id == ware) return true;
      return false;
    };
    // Plants of the wanted sorts are tended; the others are left (or sown over).
    const auto plants = Objects(e_TypePlant);
    std::vector<FieldObject> thirsty, weedy, ripe;
    for (const auto& p : plants) {
      if (p.state != 3 || !wantedSort(p.ware)) continue;
      (p.stage == 0 ? thirsty : p.stage == 1 ? weedy : ripe).push_back(p);
    }
    int capacity = 0;
    const auto bin = Bin(&capacity);
    const auto cars = Objects(e_TypeCar);
    const bool carReady = !cars.empty() && cars[0].state == 1;
    // Needs first: a plant left waiting withers, a ripe one keeps (and waits for a full bin
    // to be emptied into the car). No more ripe plants are clicked than the bin has room for.
    const int room = capacity - static_cast<int>(bin.size());
    if (static_cast<int>(ripe.size()) > room) ripe.resize(static_cast<size_t>(std::max(room, 0)));
    // An empty can is filled at the pump, which costs money: without it the thirsty wait for
    // the next sale.
    const int can = thirsty.empty() ? -1 : CanAmount();
    if (can == 0 && GetProfile().money < cGardener::kWaterPrice) thirsty.clear();
    const int kind = !weedy.empty() ? 1 : !thirsty.empty() ? 0 : !ripe.empty() ? 2 : -1;
    if (kind >= 0) {
      TakeTool(kind);
      if (kind == 0 && can == 0) {
        const auto pumps = Objects(e_TypeWaterPump);
        if (!pumps.empty()) {
          ClickAt(pumps[0].CentreX(), pumps[0].CentreY());
          if (vektest::WaitFor(60.0, [&] { return CanAmount() > 0; })) ++done.refills;
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
    // What the mission still wants beyond the plants in the ground and the bin.
    std::map<int, int> wanted;
    for (const auto& [name, task] : tasks) wanted[task.first] = task.second;
    for (const auto& c : chains)
      if (auto it = tasks.find(c.output); it != tasks.end() && c.inputId >= 0)
        wanted[c.inputId] += it->second.second - c.stock - (c.state == 3 ? 1 : 0);
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
    for (const auto& p : plants)
      if (!wantedSort(p.ware)) free.push_back(p);
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
      if (vektest::WaitFor(60.0, [&] { return Bin().empty(); })) ++done.sales;
      continue;
    }
    q.Frames(15);
  }
  return done;
}

void GameRun::LeaveFinishToIsland() {
  ASSERT_TRUE(vektest::WaitFor(120.0, [&] {
    if (Shown("mission_finish")) q.Click("mission_finish", "ok");
    if (Shown("up")) q.Click("up", "done");
    q.Frames(20);
    return Ask("focus") == "ok island" && !Shown("mission_finish") && !Shown("up");
  })) << Ask("shown") << " " << Ask("focus");
}

void GameRun::BuildLevelHouse(int level, int progress) {
  q.WaitSettled();
  const std::string question = "house " + std::to_string(level);
  {
    std::istringstream house(Ask(question));
    std::string ok;
    int x = 0, y = 0, state = -1;
    ASSERT_TRUE(house >> ok >> x >> y >> state) << Ask(question);
  }
  // The building can be bought once the after-level sequence offers it: clicked until its
  // construction starts, while the sequence waits for it.
  ASSERT_TRUE(vektest::WaitFor(120.0, [&] {
    if (Shown("messagebox")) q.Click("messagebox", "ok");
    AnswerHint();
    std::istringstream house(Ask(question));
    std::string ok;
    int x = 0, y = 0, state = -1;
    if (house >> ok >> x >> y >> state && ok == "ok" && state == 0 && !Shown("messagebox"))
      ClickAt(x, y);
    q.Frames(15);
    return GetProfile().progress == progress;
  })) << Ask("shown") << " " << Ask(question);
}

void GameRun::LeaveLevelThroughEscape(const std::string& button) {
  ASSERT_TRUE(vektest::WaitFor(120.0, [&] {
    if (AnswerHint()) return false;
    if (!Shown("escape")) {
      Ask("key Escape");
      q.Frames(10);
    }
    return Shown("escape");
  })) << Ask("shown") << " " << Ask("focus");
  q.WaitSettled();
  Click("escape", button);
  ASSERT_TRUE(q.WaitShown("messagebox")) << Ask("shown");
  q.WaitSettled();
  Click("messagebox", "ok");
  const std::string next = button == "btRestart" ? "mission_start" : "main";
  ASSERT_TRUE(q.WaitShown(next)) << Ask("shown") << " " << Ask("focus");
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return !Shown("escape") && !Shown("messagebox"); })) << Ask("shown");
}

void GameRun::ContinueLevelFromMenu() {
  q.WaitSettled();
  Click("main", "btStart");
  ASSERT_TRUE(q.WaitShown("messagebox")) << "no question to continue: " << Ask("shown");
  q.WaitSettled();
  Click("messagebox", "ok");
  ASSERT_TRUE(q.WaitFocus("garden")) << Ask("focus") << " " << Ask("shown");
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return !Shown("messagebox"); })) << Ask("shown");
}

void GameRun::OpenIslandStatistics() {
  const std::pair<const char*, const char*> buttons[] = {{"but_rate", "stat_garden"}, {"but_island_rate", "stat_island"}};
  for (const auto& [button, window] : buttons) {
    ASSERT_TRUE(vektest::WaitFor(120.0, [&] {
      AnswerHint();
      if (!Shown(window) && Shown("island")) q.Click("island", button);
      q.Frames(10);
      return Shown(window);
    })) << button << " opened nothing: " << Ask("shown");
    q.WaitSettled();
    Shot(std::string("stat_") + window);
    ASSERT_TRUE(vektest::WaitFor(60.0, [&] {
      if (Shown(window)) q.Click(window, "ok");
      q.Frames(10);
      return !Shown(window);
    })) << Ask("shown");
  }
  ASSERT_TRUE(Shown("island")) << Ask("shown");
}

void GameRun::ClickMarkerUntilAsked(int level) {
  q.WaitSettled();
  std::istringstream in(Ask("marker " + std::to_string(level)));
  std::string ok;
  int x = 0, y = 0;
  ASSERT_TRUE(in >> ok >> x >> y) << Ask("marker " + std::to_string(level));
  ASSERT_TRUE(vektest::WaitFor(120.0, [&] {
    AnswerHint();
    if (!Shown("messagebox")) {
      ClickAt(x, y);
      q.Frames(10);
    }
    return Shown("messagebox");
  })) << "level " << level << "'s marker at " << x << " " << y << " asked nothing: " << Ask("shown") << " "
      << Ask("island") << " " << Ask("focus");
}

}  // namespace playthrough
