// The answers of the test queries without a running game: questions added by the folders
// above get the rest of their line, the rest say plainly what is missing.
#include <gtest/gtest.h>

#include "game/app/test_query.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/temp_dir.h"

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

// A client that stops reading while it is answered (a test killed mid-question) costs the
// game nothing: no SIGPIPE ends it, and the next client is served.
TEST(TestQuery, AClientLeavingMidAnswerDoesNotEndTheGame) {
  vektest::TempDir tmp;
  const std::string path = tmp / "query";
  ::setenv("ORCHARDIA_TEST_QUERY", path.c_str(), 1);
  InstallTestQuery();
  ::unsetenv("ORCHARDIA_TEST_QUERY");
  const auto connectClient = [&] {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return fd;
  };
  // The first client will read nothing more: the answers meet a closed end.
  const int leaving = connectClient();
  ASSERT_EQ(::shutdown(leaving, SHUT_RD), 0);
  const std::string questions = "move 1 1\nmove 2 2\nmove 3 3\n";
  ASSERT_EQ(::send(leaving, questions.data(), questions.size(), MSG_NOSIGNAL),
            static_cast<ssize_t>(questions.size()));
  // The server drops that client and takes the next one, in this same process.
  const int next = connectClient();
  timeval wait{30, 0};
  ::setsockopt(next, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
  ASSERT_EQ(::send(next, "move 4 4\n", 9, MSG_NOSIGNAL), 9);
  char reply[8] = {};
  EXPECT_EQ(::recv(next, reply, 3, MSG_WAITALL), 3);
  EXPECT_STREQ(reply, "ok\n");
  ::close(next);
  ::close(leaving);
}

}  // namespace
