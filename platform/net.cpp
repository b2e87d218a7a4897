#include "platform/net.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace plat {

bool ResolveIPv4(const std::string& host, std::uint32_t& address) {
  if (host.empty()) return false;
  in_addr direct{};
  if (inet_aton(host.c_str(), &direct) != 0) {
    address = ntohl(direct.s_addr);
    return true;
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return false;
  bool ok = false;
  for (addrinfo* it = found; it; it = it->ai_next) {
    if (it->ai_family == AF_INET && it->ai_addr) {
      address = ntohl(reinterpret_cast<const sockaddr_in*>(it->ai_addr)->sin_addr.s_addr);
      ok = true;
      break;
    }
  }
  freeaddrinfo(found);
  return ok;
}

std::string NetErrorText(int error) {
  char buffer[256] = {};
  // The GNU variant may return a static text instead of filling the buffer.
  const char* text = strerror_r(error, buffer, sizeof buffer);
  return text ? text : buffer;
}

bool TcpSocket::Open() {
  Close();
  m_Fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
  if (m_Fd < 0) {
    m_Error = errno;
    return false;
  }
  m_Error = 0;
  return true;
}

void TcpSocket::Close() {
  if (m_Fd >= 0) {
    ::close(m_Fd);
    m_Fd = -1;
  }
}

TcpSocket::ConnectResult TcpSocket::Connect(std::uint32_t address, std::uint16_t port) {
  if (m_Fd < 0) {
    m_Error = EBADF;
    return Failed;
  }
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  to.sin_addr.s_addr = htonl(address);
  int r;
  do {
    r = ::connect(m_Fd, reinterpret_cast<const sockaddr*>(&to), sizeof to);
  } while (r != 0 && errno == EINTR);
  if (r == 0) return Connected;
  m_Error = errno;
  return m_Error == EINPROGRESS || m_Error == EALREADY ? InProgress : Failed;
}

int TcpSocket::PendingError() {
  if (m_Fd < 0) return EBADF;
  int error = 0;
  socklen_t size = sizeof error;
  if (getsockopt(m_Fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
  if (error != 0) m_Error = error;
  return error;
}

int TcpSocket::Wait(bool read, bool write, int timeoutUs, bool& readable, bool& writable,
                    bool& failed) {
  readable = writable = failed = false;
  if (m_Fd < 0) {
    m_Error = EBADF;
    return -1;
  }
  pollfd p{};
  p.fd = m_Fd;
  p.events = static_cast<short>((read ? POLLIN : 0) | (write ? POLLOUT : 0));
  int r = ::poll(&p, 1, timeoutUs / 1000);
  if (r < 0) {
    if (errno == EINTR) return 0;
    m_Error = errno;
    return -1;
  }
  if (r == 0) return 0;
  if (p.revents & POLLNVAL) {
    failed = true;
    m_Error = EBADF;
    return 1;
  }
  // A hang-up or a pending error makes the next call report it.
  bool any = (p.revents & (POLLERR | POLLHUP)) != 0;
  readable = read && (any || (p.revents & POLLIN));
  writable = write && (any || (p.revents & POLLOUT));
  return 1;
}

long TcpSocket::Send(const char* data, std::size_t size) {
  if (m_Fd < 0) return kError;
  ssize_t n;
  do {
    n = ::send(m_Fd, data, size, MSG_NOSIGNAL);
  } while (n < 0 && errno == EINTR);
  if (n >= 0) return static_cast<long>(n);
  m_Error = errno;
  return m_Error == EAGAIN || m_Error == EWOULDBLOCK ? kWouldBlock : kError;
}

long TcpSocket::Receive(char* data, std::size_t size) {
  if (m_Fd < 0) return kError;
  ssize_t n;
  do {
    n = ::recv(m_Fd, data, size, 0);
  } while (n < 0 && errno == EINTR);
  if (n >= 0) return static_cast<long>(n);
  m_Error = errno;
  return m_Error == EAGAIN || m_Error == EWOULDBLOCK ? kWouldBlock : kError;
}

}  // namespace plat
