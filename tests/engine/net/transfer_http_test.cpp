#include "engine/net/transfer_http.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "engine/net/http_reply.h"
#include "tests/engine/core/captured_log.h"

namespace {

using Clock = std::chrono::steady_clock;
using vek::cTransferHTTP;

// A server on 127.0.0.1 (ephemeral port) for one connection: it reads the request (headers
// and the announced body), answers with the scripted reply in pieces of the given size and
// closes, or keeps the connection open until released. Every wait is bounded.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::string reply, std::size_t piece = 0, bool hold = false)
      : m_Reply(std::move(reply)), m_Piece(piece), m_Hold(hold) {
    m_Listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (m_Listen < 0 || ::bind(m_Listen, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(m_Listen, 1) != 0 ||
        ::getsockname(m_Listen, reinterpret_cast<sockaddr*>(&a), &len) != 0)
      return;
    m_Port = ntohs(a.sin_port);
    m_Thread = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    m_Release = true;
    if (m_Thread.joinable()) m_Thread.join();
    if (m_Listen >= 0) ::close(m_Listen);
  }

  int Port() const { return m_Port; }
  std::string Url(const std::string& path = "/up.php") const {
    return "http://127.0.0.1:" + std::to_string(m_Port) + path;
  }
  // The request as received (complete once the client has sent it).
  std::string Request() {
    WaitFor([this] { return m_RequestDone.load(); });
    return m_Request;
  }
  bool PeerClosed() { return WaitFor([this] { return m_PeerClosed.load(); }); }
  void Release() { m_Release = true; }

  template <class F>
  static bool WaitFor(F done, double seconds = 5.0) {
    auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
      if (Clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }

 private:
  bool Readable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, ms) == 1;
  }

  void Serve() {
    auto end = Clock::now() + std::chrono::seconds(10);
    if (!Readable(m_Listen, 5000)) return;
    int fd = ::accept4(m_Listen, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    std::string in;
    char buf[4096];
    std::size_t need = std::string::npos;
    while (Clock::now() < end && (need == std::string::npos || in.size() < need)) {
      if (!Readable(fd, 50)) continue;
      ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) break;
      in.append(buf, static_cast<std::size_t>(n));
      std::size_t head = in.find("\r\n\r\n");
      if (head != std::string::npos && need == std::string::npos) {
        std::size_t at = in.find("Content-Length: ");
        std::size_t length = at < head ? std::stoul(in.substr(at + 16)) : 0;
        need = head + 4 + length;
      }
    }
    m_Request = in;
    m_RequestDone = true;
    std::size_t piece = m_Piece ? m_Piece : m_Reply.size();
    for (std::size_t at = 0; at < m_Reply.size() && Clock::now() < end; at += piece) {
      if (::send(fd, m_Reply.data() + at, std::min(piece, m_Reply.size() - at), MSG_NOSIGNAL) < 0)
        break;
      if (m_Piece) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (m_Hold) {
      // Keep the connection until released, the client goes away or the time is up.
      while (!m_Release && Clock::now() < end) {
        if (Readable(fd, 20) && ::recv(fd, buf, sizeof buf, 0) <= 0) break;
      }
      m_PeerClosed = Readable(fd, 1000) && ::recv(fd, buf, sizeof buf, 0) <= 0;
    }
    ::close(fd);
  }

  std::string m_Reply;
  std::size_t m_Piece;
  bool m_Hold;
  int m_Listen = -1;
  int m_Port = 0;
  std::thread m_Thread;
  std::string m_Request;
  std::atomic<bool> m_RequestDone{false};
  std::atomic<bool> m_PeerClosed{false};
  std::atomic<bool> m_Release{false};
};

// Waits (bounded) until the client's worker has ended.
bool Finished(cTransferHTTP& client) {
  return LoopbackServer::WaitFor([&] { return !client.IsRunning(); });
}

TEST(TransferHTTP, UrlTable) {
  struct Case {
    const char* url;
    const char* host;
    unsigned port;
    const char* path;
  } cases[] = {
      {"http://scores.example.org:8080/hs/up.php?x=1", "scores.example.org", 8080, "/hs/up.php?x=1"},
      {"//scores.example.org:8080/up", "scores.example.org", 8080, "/up"},
      {"scores.example.org", "scores.example.org", 80, "/"},
      {"http://scores.example.org", "scores.example.org", 80, "/"},
      {"scores.example.org/a/b", "scores.example.org", 80, "/a/b"},
      {"http://10.0.0.1:81", "10.0.0.1", 81, "/"},
      // A port that is not a number no connection accepts.
      {"http://host:http/x", "host", 0, "/x"},
      {"http://host:70000/x", "host", 0, "/x"},
  };
  for (const Case& c : cases) {
    std::string host, path;
    vek::u32 port = 1;
    cTransferHTTP::SplitUrl(c.url, host, port, path);
    EXPECT_EQ(host, c.host) << c.url;
    EXPECT_EQ(port, c.port) << c.url;
    EXPECT_EQ(path, c.path) << c.url;
  }
}

TEST(TransferHTTP, FormBodyIsEncoded) {
  EXPECT_EQ(cTransferHTTP::EncodeForm("Data=QUJD+/==\r\n"), "Data=QUJD%2B%2F%3D%3D%0D%0A");
  EXPECT_EQ(cTransferHTTP::EncodeForm("a b=c&d=e=f&g"), "a+b=c&d=e%3Df&g");
  EXPECT_EQ(cTransferHTTP::EncodeForm("x=\xE9~"), "x=%E9%7E");
  EXPECT_EQ(cTransferHTTP::EncodeForm(""), "");
}

TEST(TransferHTTP, PostsTheRequestAndReadsTheReply) {
  LoopbackServer server("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello and more");
  ASSERT_NE(server.Port(), 0);
  vektest::CapturedLog log;
  cTransferHTTP client;
  EXPECT_EQ(client.GetState(), cTransferHTTP::e_Idle);
  client.Post(server.Url(), "Data=a b+c");
  EXPECT_EQ(client.GetHost(), "127.0.0.1");
  EXPECT_EQ(client.GetPort(), static_cast<vek::u32>(server.Port()));
  EXPECT_EQ(client.GetPath(), "/up.php");
  ASSERT_TRUE(Finished(client));
  EXPECT_EQ(server.Request(),
            "POST /up.php HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\n"
            "User-Agent: Mozilla/4.0 (compatible; mulvex)\r\nHost: 127.0.0.1\r\n"
            "Content-Length: 12\r\nConnection: close\r\n\r\nData=a+b%2Bc");
  EXPECT_EQ(client.GetState(), cTransferHTTP::e_Done);
  EXPECT_FALSE(client.IsStarted());
  EXPECT_EQ(client.GetReply(), "hello");
  EXPECT_FALSE(log.Contains("Fail"));
}

TEST(TransferHTTP, EmptyBodyIsSentWithLengthZero) {
  LoopbackServer server("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", 0, true);
  cTransferHTTP client;
  client.Post(server.Url("/"), "");
  // A reply of length 0 is complete without waiting for the server to close.
  ASSERT_TRUE(Finished(client));
  std::string request = server.Request();
  EXPECT_NE(request.find("\r\nContent-Length: 0\r\n"), std::string::npos);
  EXPECT_EQ(request.substr(request.size() - 4), "\r\n\r\n");
  EXPECT_EQ(client.GetState(), cTransferHTTP::e_Done);
  EXPECT_EQ(client.GetReply(), "");
}

TEST(TransferHTTP, ReplyTable) {
  const std::string letters = "abcdefghijklmnopqrstuvwxyz";
  struct Case {
    std::string reply;
    std::size_t piece;  // 0: all at once
    vek::u32 state;
    std::string body;
    const char* message;
  } cases[] = {
      {"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found", 0, cTransferHTTP::e_NotFound,
       "", "Fail: url not found (error 404)"},
      {"HTTP/1.1 500 Oops\r\n\r\n", 0, cTransferHTTP::e_Invalid, "", "Fail: url invalid"},
      {"garbage\r\nHTTP/1.0 30\r\n\r\n", 0, cTransferHTTP::e_Invalid, "", "Fail: url invalid"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n", 0,
       cTransferHTTP::e_Done, "hello", nullptr},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1a\r\n" + letters + "\r\n0\r\n\r\n", 3,
       cTransferHTTP::e_Done, letters, nullptr},
      // Sent byte by byte; header names in any case; a chunk extension after the size.
      {"HTTP/1.1 200 OK\r\ntransfer-encoding: gzip\r\n\r\n3;x=y\r\nabc\r\n 2 \r\nde\r\n0\r\n\r\n", 1,
       cTransferHTTP::e_Done, "abcde", nullptr},
      {"HTTP/1.0 200 OK\r\nTransfer-Encoding: identity\r\n\r\nuntil the end", 4,
       cTransferHTTP::e_Done, "until the end", nullptr},
      // The server closes before the announced length or the last chunk arrived.
      {"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nshort", 0, cTransferHTTP::e_Disconnected,
       "short", "Fail: disconnected"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel", 0,
       cTransferHTTP::e_Disconnected, "hel", "Fail: disconnected"},
      {"HTTP/1.0 200 OK\r\nContent-Le", 0, cTransferHTTP::e_Disconnected, "", "Fail: disconnected"},
      // Replies over the limit are refused.
      {"HTTP/1.0 200 OK\r\nContent-Length: 2000000\r\n\r\nabc", 0, cTransferHTTP::e_Invalid, "",
       "Fail: reply too large"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nffffffffffffffffffff\r\nabc", 0,
       cTransferHTTP::e_Invalid, "", "Fail: reply too large"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply.substr(0, 60));
    LoopbackServer server(c.reply, c.piece);
    vektest::CapturedLog log;
    cTransferHTTP client;
    client.Post(server.Url(), "Data=x");
    ASSERT_TRUE(Finished(client));
    EXPECT_EQ(client.GetState(), c.state);
    EXPECT_EQ(client.GetReply(), c.body);
    if (c.message)
      EXPECT_TRUE(log.Contains(c.message)) << log.Text();
    else
      EXPECT_FALSE(log.Contains("Fail")) << log.Text();
  }
}

TEST(TransferHTTP, ReplyWithoutLengthIsCapped) {
  std::string reply = "HTTP/1.0 200 OK\r\n\r\n";
  reply.append(vek::cHttpReply::kMaxBodyBytes + 1, 'x');
  LoopbackServer server(reply);
  vektest::CapturedLog log;
  cTransferHTTP client;
  client.Post(server.Url(), "");
  ASSERT_TRUE(LoopbackServer::WaitFor([&] { return !client.IsRunning(); }, 20.0));
  EXPECT_EQ(client.GetState(), cTransferHTTP::e_Invalid);
  EXPECT_TRUE(log.Contains("Fail: reply too large"));
}

TEST(TransferHTTP, StopDuringTransferWaitsForTheWorker) {
  LoopbackServer server("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nabc", 0, true);
  vektest::CapturedLog log;
  cTransferHTTP client;
  client.Post(server.Url(), "Data=1");
  ASSERT_TRUE(LoopbackServer::WaitFor([&] { return client.GetReply() == "abc"; }));
  EXPECT_TRUE(client.IsRunning());
  EXPECT_EQ(client.GetState(), cTransferHTTP::e_Running);
  auto start = Clock::now();
  client.Stop();
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  EXPECT_FALSE(client.IsRunning());
  EXPECT_FALSE(client.IsStarted());
  EXPECT_EQ(client.GetState(), cTransferHTTP::e_Idle);
  EXPECT_EQ(client.GetReply(), "");
  EXPECT_EQ(client.GetPath(), "");
  EXPECT_TRUE(log.Contains("Fail: unknown reason"));
  // The worker closed its socket.
  EXPECT_TRUE(server.PeerClosed());
}

TEST(TransferHTTP, DestructionDuringTransferJoinsTheWorker) {
  LoopbackServer server("HTTP/1.0 200 OK\r\n\r\nabc", 0, true);
  {
    cTransferHTTP client;
    client.Post(server.Url(), "Data=1");
    ASSERT_TRUE(LoopbackServer::WaitFor([&] { return client.GetReply() == "abc"; }));
  }
  EXPECT_TRUE(server.PeerClosed());
}

TEST(TransferHTTP, ConnectionFailures) {
  // A bound socket that does not listen refuses connections on its port.
  int bound = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof a;
  ASSERT_EQ(::bind(bound, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ASSERT_EQ(::getsockname(bound, reinterpret_cast<sockaddr*>(&a), &len), 0);
  const std::string refused = "http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + "/up.php";

  struct Case {
    std::string url;
    vek::u32 state;
    const char* message;
  } cases[] = {
      {refused, cTransferHTTP::e_ConnectFailed, "Fail: connection failed"},
      {"http://127.0.0.1:0/up.php", cTransferHTTP::e_ConnectFailed, "Fail: connection failed"},
      {"http:///up.php", cTransferHTTP::e_NoHost, "Fail: url transfromation"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    vektest::CapturedLog log;
    cTransferHTTP client;
    client.Post(c.url, "Data=1");
    ASSERT_TRUE(Finished(client));
    EXPECT_EQ(client.GetState(), c.state);
    EXPECT_TRUE(log.Contains(c.message)) << log.Text();
    EXPECT_EQ(client.GetReply(), "");
  }
  ::close(bound);
}

TEST(TransferHTTP, PostAgainAfterAFinishedTransfer) {
  LoopbackServer first("HTTP/1.0 404 Not Found\r\n\r\n");
  LoopbackServer second("HTTP/1.0 200 OK\r\n\r\nsecond");
  cTransferHTTP client;
  client.Post(first.Url(), "a=1");
  ASSERT_TRUE(Finished(client));
  EXPECT_EQ(client.GetState(), cTransferHTTP::e_NotFound);
  client.Post(second.Url(), "a=2");
  ASSERT_TRUE(Finished(client));
  EXPECT_EQ(client.GetState(), cTransferHTTP::e_Done);
  EXPECT_EQ(client.GetReply(), "second");
}

}  // namespace
