#pragma once
// Sends one HTTP/1.0 POST with a form body to a URL and collects the reply on a worker
// thread of its own; the main thread polls the state and reads the reply when it is done.
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/core/types.h"

namespace plat {
class TcpSocket;
}

namespace vek {

class cTransferHTTP {
 public:
  enum eState : u32 {
    e_Done = 0,            // the reply is complete
    e_Idle = 1,            // when made and after Stop
    e_Running = 2,         // transfer under way
    e_NotFound = 3,        // the server answered 404
    e_Invalid = 4,         // another status than 200, or a reply over its size limit
    e_Cancelled = 5,       // Stop ended the transfer
    e_SocketFailed = 6,    // no socket, or a wait error
    e_NoHost = 7,          // the host name was not resolved
    e_ConnectFailed = 8,   // the connection was refused or failed
    e_Disconnected = 9,    // sending failed, or the reply ended early
  };

  cTransferHTTP();
  virtual ~cTransferHTTP();
  cTransferHTTP(const cTransferHTTP&) = delete;
  cTransferHTTP& operator=(const cTransferHTTP&) = delete;

  // Starts posting the form body ("name=value&name=value", names and values not yet
  // encoded) to the URL; returns at once.
  void Post(const vek::string& url, const vek::string& body);
  // Ends a transfer (waiting for the worker to finish) and returns to idle.
  void Stop();

  // The main thread's view; each call also writes the worker's pending log entries.
  u32 GetState();
  bool IsRunning();
  bool IsStarted();
  // The body received so far (complete when the state is e_Done).
  vek::string GetReply();

  const vek::string& GetHost() const { return m_Host; }
  u32 GetPort() const { return m_Port; }
  const vek::string& GetPath() const { return m_Path; }

  // URL set-up: host after "//" (when present), port after ":" (80 otherwise), path from
  // the first "/" after the host ("/" when none).
  static void SplitUrl(const vek::string& url, vek::string& host, u32& port, vek::string& path);
  // Form encoding of a body: each name and value is percent-encoded, blanks become "+".
  static vek::string EncodeForm(const vek::string& body);
  // The whole request text for an already encoded body.
  static vek::string BuildRequest(const vek::string& host, const vek::string& path,
                                  const vek::string& body);

 private:
  void Work();
  void Fail(u32 state, const char* message);
  bool WaitSocket(plat::TcpSocket& socket, bool read, bool write);
  void Connect(plat::TcpSocket& socket);
  void Send(plat::TcpSocket& socket);
  void Receive(plat::TcpSocket& socket);
  void FlushMessages();

  // Set by the main thread while no worker runs, then only read by the worker.
  u32 m_Port = 80;
  vek::string m_Request;
  vek::string m_Host;
  vek::string m_Path;

  std::mutex m_Lock;  // guards the reply and the pending messages
  vek::string m_Reply;
  std::vector<const char*> m_Messages;

  std::atomic<bool> m_Running{false};
  std::atomic<bool> m_Started{false};
  std::atomic<bool> m_Abort{false};
  std::atomic<bool> m_Cancel{false};
  std::atomic<u32> m_State{e_Idle};
  std::thread m_Worker;
};

}  // namespace vek
