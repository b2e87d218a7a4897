// The answers of the test queries without a running game: questions added by the folders
// above get the rest of their line, the rest say plainly what is missing.
#include <gtest/gtest.h>

#include "game/app/test_query.h"

namespace {

TEST(TestQuery, AnswersAddedQuestionsAndRefusesTheRest) {
  AddTestQuestion("echo", [](const std::string& args) { return "ok [" + args + "]"; });
  EXPECT_EQ(AnswerTestQuery("echo  0x40000001 more"), "ok [0x40000001 more]");
  EXPECT_EQ(AnswerTestQuery("echo"), "ok []");
  // Without a game there is no GUI to ask; an unknown word is named back.
  EXPECT_EQ(AnswerTestQuery("rect main btStart"), "error: no GUI");
  EXPECT_EQ(AnswerTestQuery("shown"), "error: no GUI");
  EXPECT_EQ(AnswerTestQuery("focus"), "ok ");
  EXPECT_EQ(AnswerTestQuery("  "), "error: empty question");
  EXPECT_EQ(AnswerTestQuery("clock fast"), "error: clock wants steps or real");
  EXPECT_EQ(AnswerTestQuery("clock steps"), "error: clock wants steps or real");  // no game to set
  EXPECT_EQ(AnswerTestQuery("words main"), "error: no GUI");
  EXPECT_EQ(AnswerTestQuery("rows profile_select lstProfile"), "error: no GUI");
  // A stop point armed ends the program only where its work reaches that very point.
  EXPECT_EQ(AnswerTestQuery("stop"), "error: stop wants a point");
  EXPECT_EQ(AnswerTestQuery("stop nowhere-in-particular"), "ok");
  TestStopPoint("profile-folder");
  TestStopPoint("nowhere");
}

}  // namespace
