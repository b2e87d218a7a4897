#pragma once
// TCP client sockets over IPv4 (POSIX): a non-blocking socket with a readiness wait, and
// host-name resolution. Used by the engine's HTTP transfer client on its worker thread.
#include <cstddef>
#include <cstdint>
#include <string>

namespace plat {

// Resolves a dotted address or a host name to an IPv4 address in host byte order;
// false when neither gives one.
bool ResolveIPv4(const std::string& host, std::uint32_t& address);

// The system's text for an error number.
std::string NetErrorText(int error);

class TcpSocket {
 public:
  enum ConnectResult { Connected, InProgress, Failed };
  // Results of Send and Receive besides a byte count (Receive: 0 means closed).
  static constexpr long kWouldBlock = -2;
  static constexpr long kError = -1;

  TcpSocket() = default;
  ~TcpSocket() { Close(); }
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // Creates a non-blocking TCP socket; false (with LastError) when none is made.
  bool Open();
  bool IsOpen() const { return m_Fd >= 0; }
  void Close();

  // Starts connecting to an IPv4 address (host byte order) and port.
  ConnectResult Connect(std::uint32_t address, std::uint16_t port);
  // The outcome of a connection that was in progress once the socket is writable:
  // 0 when connected, else the error number.
  int PendingError();

  // Waits up to timeoutUs for the wanted readiness. Returns -1 on a wait error, 0 on
  // time-out, 1 when something is ready (see the flags).
  int Wait(bool read, bool write, int timeoutUs, bool& readable, bool& writable, bool& failed);

  // Bytes sent (at least 1), kWouldBlock or kError.
  long Send(const char* data, std::size_t size);
  // Bytes received (at least 1), 0 when the peer closed, kWouldBlock or kError.
  long Receive(char* data, std::size_t size);

  int LastError() const { return m_Error; }

 private:
  int m_Fd = -1;
  int m_Error = 0;
};

}  // namespace plat
