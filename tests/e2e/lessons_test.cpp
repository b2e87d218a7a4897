// Lessons in the real program, followed as a player reads them. A new player who steps away
// for three minutes in the middle of the first lesson finds everything as it was, opens the
// menu with Escape, and still finishes the lesson and the level. From level 7 on the map is
// larger than the screen, and between levels the island teaches how to look around it (the
// pointer to the bottom edge). Screenshots go to build/screenshots/hint_2_*.png and
// lessons_*.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <sstream>
#include <string>

#include "game/world/object.h"

#include "tests/support/playthrough.h"

namespace {

class Lessons : public playthrough::GameRun {
 protected:
  void SetUp() override {
    shotPrefix = "lessons_";
    lessonShots = {2};
  }
  // Level n's marker on screen; false off the map.
  bool Marker(int n, int& x, int& y) {
    std::istringstream in(Ask("marker " + std::to_string(n)));
    std::string ok;
    return in >> ok >> x >> y && ok == "ok";
  }
};

TEST_F(Lessons, AFirstLessonLeftForThreeMinutesIsStillThereAndTheLevelIsWon) {
  MakeProfile(0, 0);
  Start();
  Click("main", "btStart");
  // A new game opens with the comic: paged through.
  ASSERT_TRUE(vektest::WaitFor(120.0, [&] {
    if (Ask("focus") == "ok comics") {
      q.Click("comics", "next");
      q.Frames(10);
    }
    return Ask("focus") == "ok island";
  })) << Ask("focus");
  q.WaitSettled();
  std::istringstream marker(Ask("marker 0"));
  std::string ok;
  int x = 0, y = 0;
  ASSERT_TRUE(marker >> ok >> x >> y) << Ask("marker 0");
  ASSERT_TRUE(vektest::WaitFor(120.0, [&] {
    if (!Shown("messagebox")) {
      ClickAt(x, y);
      q.Frames(10);
    }
    return Shown("messagebox");
  })) << Ask("shown");
  Click("messagebox", "ok");
  ASSERT_TRUE(q.WaitShown("mission_start")) << Ask("shown");
  Click("mission_start", "ok");
  ASSERT_TRUE(q.WaitGone("mission_start")) << Ask("shown");
  // The lesson, as its texts say, up to the weedy plant waiting for the gardener.
  ASSERT_TRUE(vektest::WaitFor(180.0, [&] {
    const playthrough::Lesson l = LessonNow();
    if (l.shown && l.key == "TrainingPlants5") return true;
    // Only a step on screen is followed (the next one may come while the answer is sent).
    if (l.shown && !l.key.empty()) FollowLesson();
    else q.Frames(2);
    return false;
  })) << Ask("lesson");
  auto plants = [&](int stage) {
    int n = 0;
    for (const auto& p : Objects(e_TypePlant)) n += stage < 0 || (p.state == 3 && p.stage == stage);
    return n;
  };
  const int planted = plants(-1), weedy = plants(1);
  ASSERT_GE(weedy, 1);
  // Three minutes away (of game time: the step clock runs one fixed step a frame).
  const auto away = std::chrono::steady_clock::now();
  q.Frames(180 * 30);
  std::cerr << "three minutes of game time took "
            << std::chrono::duration<double>(std::chrono::steady_clock::now() - away).count() << " s\n";
  EXPECT_EQ(plants(-1), planted) << "no plant withered while the lesson waited";
  EXPECT_EQ(plants(1), weedy) << Ask("objects " + std::to_string(e_TypePlant));
  EXPECT_EQ(LessonNow().key, "TrainingPlants5") << Ask("lesson");
  Shot("01_first_lesson_after_three_minutes");
  // Escape reaches the menu while the lesson waits; Resume goes back to it.
  EXPECT_EQ(Ask("key Escape"), "ok");
  ASSERT_TRUE(q.WaitShown("escape")) << Ask("shown");
  Shot("02_escape_during_the_lesson");
  Click("escape", "btResume");
  ASSERT_TRUE(q.WaitGone("escape")) << Ask("shown");
  // The rest of the lesson and the level, as a player plays them.
  const playthrough::Played played = PlayField(240.0, false);
  ASSERT_TRUE(q.WaitShown("mission_finish", 60.0)) << Ask("shown") << " " << Ask("tasks") << " " << Ask("lesson");
  for (int step = 5; step <= 12; ++step) {
    const std::string key = "TrainingPlants" + std::to_string(step);
    EXPECT_NE(std::find(lessonsSeen.begin(), lessonsSeen.end(), key), lessonsSeen.end()) << key;
  }
  EXPECT_GE(played.harvested + 3, 6) << "the level's six tomatoes were grown";
  Shot("03_level1_won");
  EndGame();
}

TEST_F(Lessons, TheIslandTeachesScrollingOnceTheMapIsLargerThanTheScreen) {
  MakeProfile(7, 400);
  Start();
  Click("main", "btStart");
  ASSERT_TRUE(q.WaitShown("island")) << Ask("shown");
  ASSERT_TRUE(q.WaitFocus("island")) << Ask("focus");
  // The pointer rests in the middle of the map, away from its edges.
  Ask("move 512 400");
  ASSERT_TRUE(vektest::WaitFor(120.0, [&] {
    q.Frames(10);
    return LessonNow().key == "TrainingScrolling0";
  })) << Ask("lesson") << " " << Ask("shown");
  int x0 = 0, y0 = 0;
  ASSERT_TRUE(Marker(0, x0, y0));
  // Followed as its text says, the lesson ends and the map has moved.
  ASSERT_TRUE(vektest::WaitFor(60.0, [&] {
    FollowLesson();
    const playthrough::Lesson l = LessonNow();
    return l.hint < 0;
  })) << Ask("lesson");
  EXPECT_NE(std::find(lessonsSeen.begin(), lessonsSeen.end(), "TrainingScrolling0"), lessonsSeen.end());
  int x1 = 0, y1 = 0;
  ASSERT_TRUE(Marker(0, x1, y1));
  EXPECT_NE(y1, y0) << "the map scrolled";
  q.WaitSettled();
  Shot("island_scrolled");
  // Only once per profile.
  Ask("move 512 766");
  q.Frames(60);
  Ask("move 512 400");
  q.Frames(60);
  EXPECT_LT(LessonNow().hint, 0) << Ask("lesson");
  EndGame();
}

}  // namespace
