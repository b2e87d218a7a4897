// The island's scrolling lesson in the real program: from level 7 on the map is larger than
// the screen, and between levels the island teaches how to look around it. The lesson's text
// is followed as a player reads it (the pointer to the bottom edge) and the map moves.
// Screenshots go to build/screenshots/hint_2_*.png and lessons_*.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

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
