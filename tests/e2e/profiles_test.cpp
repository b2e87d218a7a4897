// The player profiles on the real program, as a player meets them in "Who is gardening
// today?": two players whose names differ only in case ("Ann" at level 5, "ANN" at level 1),
// the one chosen in the list deleted in either order of the rows, a new profile whose making is
// cut short by a kill (the next start is clean), a name taken in another case refused in the
// creation window, and one Escape press doing one thing. Screens go to
// build/screenshots/profiles_*.png.
#include <signal.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "tests/support/playthrough.h"

namespace {

namespace fs = std::filesystem;

class Profiles : public playthrough::GameRun {
 protected:
  void SetUp() override { shotPrefix = "profiles_"; }

  struct Row {
    int x = 0, y = 0, w = 0, h = 0;
    std::string text;
  };
  // The rows of "Who is gardening today?" as the screen shows them; `selected` gets the
  // chosen row (the row count when none).
  std::vector<Row> Rows(int* selected = nullptr) {
    std::vector<Row> rows;
    std::string reply = Ask("rows profile_select lstProfile");
    if (reply.rfind("ok ", 0) != 0) return rows;
    std::istringstream parts(reply.substr(3));
    std::string part;
    std::getline(parts, part, '|');
    if (selected) *selected = std::stoi(part);
    while (std::getline(parts, part, '|')) {
      std::istringstream in(part);
      Row r;
      in >> r.x >> r.y >> r.w >> r.h;
      std::getline(in >> std::ws, r.text);
      rows.push_back(r);
    }
    return rows;
  }
  std::vector<std::string> RowTexts() {
    std::vector<std::string> out;
    for (const Row& r : Rows()) out.push_back(r.text);
    return out;
  }
  std::string Words(const std::string& window) { return Ask("words " + window); }
  std::string PlayerDat(const std::string& folder) {
    return vektest::ReadFileText(AppDir() + "/profile/" + folder + "/player.dat");
  }

  // From the main menu to the list, the row that reads `name` chosen and deleted with the
  // question answered Yes; back when the list shows the rest.
  void DeleteThroughTheList(const std::string& name, const std::string& shot) {
    ASSERT_TRUE(q.WaitShown("main")) << Ask("shown");
    ASSERT_TRUE(q.WaitSettled());
    Click("main", "btProfile");
    ASSERT_TRUE(q.WaitShown("profile_select")) << Ask("shown");
    ASSERT_TRUE(q.WaitSettled());
    const std::vector<Row> rows = Rows();
    ASSERT_EQ(rows.size(), 2u) << Ask("rows profile_select lstProfile");
    int at = -1;
    for (size_t i = 0; i < rows.size(); ++i)
      if (rows[i].text == name) at = static_cast<int>(i);
    ASSERT_GE(at, 0) << Ask("rows profile_select lstProfile");
    ClickAt(rows[at].x + rows[at].w / 2, rows[at].y + rows[at].h / 2);
    int selected = -1;
    ASSERT_TRUE(vektest::WaitFor(30.0, [&] {
      Rows(&selected);
      return selected == at;
    })) << Ask("rows profile_select lstProfile");
    Click("profile_select", "btDelete");
    ASSERT_TRUE(q.WaitShown("messagebox")) << Ask("shown");
    // The question names the player chosen, in its own case.
    EXPECT_NE(Words("messagebox").find("'" + name + "'"), std::string::npos) << Words("messagebox");
    Shot(shot);
    Click("messagebox", "ok");
    ASSERT_TRUE(q.WaitGone("messagebox")) << Ask("shown");
    ASSERT_TRUE(vektest::WaitFor(30.0, [&] { return Rows().size() == 1; })) << Ask("rows profile_select lstProfile");
  }
};

TEST_F(Profiles, TheRowChosenIsTheProfileDeletedAndAKilledCreationLeavesNothing) {
  // Ann first, her twin in capitals second.
  ASSERT_NO_FATAL_FAILURE(MakeProfile(5, 300, -1, "plr000", "Ann"));
  ASSERT_NO_FATAL_FAILURE(MakeProfile(1, 0, -1, "plr001", "ANN"));
  std::string ann = PlayerDat("plr000");
  ASSERT_FALSE(ann.empty());
  ASSERT_NO_FATAL_FAILURE(StartGame());
  ASSERT_NO_FATAL_FAILURE(DeleteThroughTheList("ANN", "1_delete_second"));
  EXPECT_EQ(RowTexts(), std::vector<std::string>{"Ann"});
  EXPECT_FALSE(fs::exists(AppDir() + "/profile/plr001"));
  EXPECT_EQ(PlayerDat("plr000"), ann);
  EXPECT_EQ(GetProfile().progress, 5);

  // A new player, the program killed after the new profile's folder was made and before its
  // player.dat was written.
  Click("profile_select", "btAdd");
  ASSERT_TRUE(q.WaitShown("profile_add")) << Ask("shown");
  for (int i = 0; i < 16; ++i) Ask("key Backspace");
  Ask("text Bea");
  q.Frames(2);
  ASSERT_EQ(Ask("stop profile-folder"), "ok");
  Click("profile_add", "ok");
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] { return !game.Running(); })) << "the program was not stopped";
  q.Close();
  bool halfMade = false;
  for (const auto& e : fs::directory_iterator(AppDir() + "/profile"))
    halfMade = halfMade || e.path().filename() != "plr000";
  EXPECT_TRUE(halfMade) << "the kill came before the new profile's folder";

  // The other order: ANN first, Ann after; beside them the leftover of the kill and an empty
  // profile folder as an older version left one.
  fs::remove_all(AppDir() + "/profile/plr000");
  ASSERT_NO_FATAL_FAILURE(MakeProfile(1, 0, -1, "plr000", "ANN"));
  ASSERT_NO_FATAL_FAILURE(MakeProfile(5, 300, -1, "plr002", "Ann"));
  fs::create_directories(AppDir() + "/profile/plr003");
  ann = PlayerDat("plr002");
  ASSERT_NO_FATAL_FAILURE(StartGame());
  {
    const std::string log = Log();
    EXPECT_NE(log.find("Found 2 Player profiles"), std::string::npos) << log;
    // The half-made profiles went without a word of warning.
    EXPECT_EQ(log.find("left out"), std::string::npos) << log;
    std::vector<std::string> folders;
    for (const auto& e : fs::directory_iterator(AppDir() + "/profile")) folders.push_back(e.path().filename().string());
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::string>{"plr000", "plr002"}));
  }
  ASSERT_NO_FATAL_FAILURE(DeleteThroughTheList("ANN", "2_delete_first"));
  EXPECT_EQ(RowTexts(), std::vector<std::string>{"Ann"});
  EXPECT_FALSE(fs::exists(AppDir() + "/profile/plr000"));
  EXPECT_EQ(PlayerDat("plr002"), ann);
  EXPECT_EQ(GetProfile().progress, 5);

  // A name that differs from Ann's only in case is refused, and the creation window says why.
  Click("profile_select", "btAdd");
  ASSERT_TRUE(q.WaitShown("profile_add")) << Ask("shown");
  ASSERT_TRUE(q.WaitSettled());
  for (int i = 0; i < 16; ++i) Ask("key Backspace");
  Ask("text ann");
  Ask("key Return");
  ASSERT_TRUE(q.WaitShown("messagebox")) << Ask("shown");
  EXPECT_NE(Words("messagebox").find("called 'Ann' already"), std::string::npos) << Words("messagebox");
  Shot("3_name_taken");
  Ask("key Escape");
  ASSERT_TRUE(q.WaitGone("messagebox")) << Ask("shown");
  EXPECT_TRUE(Shown("profile_add"));
  Ask("key Escape");  // Cancel: back to the list
  ASSERT_TRUE(q.WaitGone("profile_add")) << Ask("shown");
  ASSERT_TRUE(q.WaitSettled());
  EXPECT_EQ(RowTexts(), std::vector<std::string>{"Ann"});

  // One Escape in the list is one step back: the main menu, not the question to leave.
  Ask("key Escape");
  ASSERT_TRUE(q.WaitGone("profile_select")) << Ask("shown");
  ASSERT_TRUE(q.WaitSettled());
  q.Frames(10);
  EXPECT_EQ(Ask("shown"), "ok main");
  EXPECT_NE(Words("main").find("Ann"), std::string::npos) << Words("main");
  Shot("4_back_in_the_menu");
  EndGame();
}

}  // namespace
