#include "engine/net/transfer_http.h"

#include <system_error>

#include "engine/core/log.h"
#include "engine/net/http_reply.h"
#include "platform/net.h"

namespace vek {
namespace {

const char* const kSender = "cTransferHTTP";
const char* const kMsgNotFound = "Fail: url not found (error 404)\n";
const char* const kMsgInvalid = "Fail: url invalid\n";
const char* const kMsgTooLarge = "Fail: reply too large\n";
const char* const kMsgCancelled = "Fail: unknown reason\n";
const char* const kMsgSocket = "Fail: WinSocket\n";
const char* const kMsgNoHost = "Fail: url transfromation\n";
const char* const kMsgConnect = "Fail: connection failed\n";
const char* const kMsgDisconnected = "Fail: disconnected\n";

// One readiness wait lasts at most this long before abort is looked at again.
constexpr int kWaitMicroseconds = 100000;
// Bytes asked of each receive call.
constexpr std::size_t kReceiveBytes = 256;

void AppendEncoded(vek::string& out, const vek::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  for (unsigned char c : text) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '*') {
      out.push_back(static_cast<char>(c));
    } else if (c == ' ') {
      out.push_back('+');
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
}

}  // namespace

cTransferHTTP::cTransferHTTP() = default;

cTransferHTTP::~cTransferHTTP() { Stop(); }

void cTransferHTTP::SplitUrl(const vek::string& url, vek::string& host, u32& port,
                             vek::string& path) {
  port = 80;
  std::size_t start = url.find("//");
  start = start == vek::string::npos ? 0 : start + 2;
  std::size_t slash = url.find('/', start);
  if (slash == vek::string::npos) {
    host = url.substr(start);
    path.assign(1, '/');
  } else {
    host = url.substr(start, slash - start);
    path = url.substr(slash);
  }
  std::size_t colon = host.find(':');
  if (colon != vek::string::npos) {
    vek::string digits = host.substr(colon + 1);
    host.resize(colon);
    // A port that is not a number in 1..65535 reads as 0, which no connection accepts.
    u32 value = 0;
    bool ok = !digits.empty() && digits.size() <= 5;
    for (char c : digits) {
      if (c < '0' || c > '9') ok = false;
      else value = value * 10 + static_cast<u32>(c - '0');
    }
    port = ok && value <= 65535 ? value : 0;
  }
}

vek::string cTransferHTTP::EncodeForm(const vek::string& body) {
  vek::string out;
  std::size_t pos = 0;
  while (pos <= body.size()) {
    std::size_t end = body.find('&', pos);
    if (end == vek::string::npos) end = body.size();
    vek::string pair = body.substr(pos, end - pos);
    std::size_t eq = pair.find('=');
    if (pos > 0) out.push_back('&');
    if (eq == vek::string::npos) {
      AppendEncoded(out, pair);
    } else {
      AppendEncoded(out, pair.substr(0, eq));
      out.push_back('=');
      AppendEncoded(out, pair.substr(eq + 1));
    }
    pos = end + 1;
  }
  return out;
}

vek::string cTransferHTTP::BuildRequest(const vek::string& host, const vek::string& path,
                                        const vek::string& body) {
  vek::string request = "POST ";
  request += path;
  request += " HTTP/1.0\r\nContent-Type: application/x-www-form-urlencoded\r\n";
  request += "User-Agent: Mozilla/4.0 (compatible; mulvex)\r\nHost: ";
  request += host;
  request += "\r\nContent-Length: ";
  request += std::to_string(body.size());
  request += "\r\n";
  request += "Connection: close\r\n";
  request += "\r\n";
  request += body;
  return request;
}

void cTransferHTTP::Post(const vek::string& url, const vek::string& body) {
  Stop();
  m_Abort = false;
  m_Cancel = false;
  m_State = e_Running;
  SplitUrl(url, m_Host, m_Port, m_Path);
  m_Request = BuildRequest(m_Host, m_Path, EncodeForm(body));
  m_Running = true;
  m_Started = true;
  try {
    m_Worker = std::thread(&cTransferHTTP::Work, this);
  } catch (const std::system_error&) {
    m_Running = false;
    m_Started = false;
    m_Abort = true;
    m_State = e_SocketFailed;
    LogWarning(kSender, kMsgSocket);
  }
}

void cTransferHTTP::Stop() {
  if (m_Worker.joinable()) {
    if (m_Started) {
      m_Cancel = true;
      m_Abort = true;
    }
    m_Worker.join();
  }
  FlushMessages();
  m_State = e_Idle;
  {
    std::lock_guard<std::mutex> hold(m_Lock);
    m_Reply.clear();
  }
  m_Request.clear();
  m_Path.clear();
  m_Abort = false;
  m_Cancel = false;
}

u32 cTransferHTTP::GetState() {
  FlushMessages();
  return m_State;
}

bool cTransferHTTP::IsRunning() {
  FlushMessages();
  return m_Running;
}

bool cTransferHTTP::IsStarted() {
  FlushMessages();
  return m_Started;
}

vek::string cTransferHTTP::GetReply() {
  FlushMessages();
  std::lock_guard<std::mutex> hold(m_Lock);
  return m_Reply;
}

void cTransferHTTP::FlushMessages() {
  std::vector<const char*> messages;
  {
    std::lock_guard<std::mutex> hold(m_Lock);
    messages.swap(m_Messages);
  }
  // The log belongs to the main thread: the worker's entries are written here.
  for (const char* message : messages) LogWarning(kSender, message);
}

void cTransferHTTP::Fail(u32 state, const char* message) {
  {
    std::lock_guard<std::mutex> hold(m_Lock);
    m_Messages.push_back(message);
  }
  m_State = state;
  m_Abort = true;
}

bool cTransferHTTP::WaitSocket(plat::TcpSocket& socket, bool read, bool write) {
  while (!m_Abort) {
    bool readable = false, writable = false, failed = false;
    int r = socket.Wait(read, write, kWaitMicroseconds, readable, writable, failed);
    if (r < 0 || failed) {
      Fail(e_SocketFailed, kMsgSocket);
      return false;
    }
    if ((read && readable) || (write && writable)) return true;
  }
  return true;
}

void cTransferHTTP::Connect(plat::TcpSocket& socket) {
  u32 address = 0;
  if (!plat::ResolveIPv4(m_Host, address)) {
    Fail(e_NoHost, kMsgNoHost);
    return;
  }
  if (m_Port == 0 || m_Port > 65535) {
    Fail(e_ConnectFailed, kMsgConnect);
    return;
  }
  switch (socket.Connect(address, static_cast<u16>(m_Port))) {
    case plat::TcpSocket::Connected:
      return;
    case plat::TcpSocket::Failed:
      Fail(e_ConnectFailed, kMsgConnect);
      return;
    case plat::TcpSocket::InProgress:
      break;
  }
  // Writable means the attempt has ended; its outcome is the socket's pending error.
  if (WaitSocket(socket, false, true) && !m_Abort && socket.PendingError() != 0)
    Fail(e_ConnectFailed, kMsgConnect);
}

void cTransferHTTP::Send(plat::TcpSocket& socket) {
  std::size_t sent = 0;
  while (sent < m_Request.size() && !m_Abort) {
    if (!WaitSocket(socket, false, true) || m_Abort) break;
    long n = socket.Send(m_Request.data() + sent, m_Request.size() - sent);
    if (n == plat::TcpSocket::kWouldBlock) continue;
    if (n < 1) {
      Fail(e_Disconnected, kMsgDisconnected);
      break;
    }
    sent += static_cast<std::size_t>(n);
  }
}

void cTransferHTTP::Receive(plat::TcpSocket& socket) {
  cHttpReply reply;
  char buffer[kReceiveBytes];
  std::size_t published = 0;  // body bytes already in m_Reply
  while (!m_Abort) {
    if (!WaitSocket(socket, true, false) || m_Abort) break;
    long n = socket.Receive(buffer, sizeof buffer);
    if (n == plat::TcpSocket::kWouldBlock) continue;
    cHttpReply::eResult result =
        n >= 1 ? reply.Feed(buffer, static_cast<std::size_t>(n))
               : (n == 0 ? reply.Close() : cHttpReply::e_More);
    if (reply.Body().size() > published) {
      std::lock_guard<std::mutex> hold(m_Lock);
      m_Reply.append(reply.Body(), published);
      published = reply.Body().size();
    }
    switch (result) {
      case cHttpReply::e_More:
        // The peer closed (or the connection broke) before the reply was complete.
        if (n < 1) Fail(e_Disconnected, kMsgDisconnected);
        break;
      case cHttpReply::e_Done:
        return;
      case cHttpReply::e_NotFound:
        Fail(e_NotFound, kMsgNotFound);
        break;
      case cHttpReply::e_BadStatus:
        Fail(e_Invalid, kMsgInvalid);
        break;
      case cHttpReply::e_TooLarge:
        Fail(e_Invalid, kMsgTooLarge);
        break;
    }
    if (n < 1) break;
  }
}

void cTransferHTTP::Work() {
  {
    plat::TcpSocket socket;
    if (!socket.Open()) Fail(e_SocketFailed, kMsgSocket);
    if (!m_Abort) Connect(socket);
    Send(socket);
    Receive(socket);
  }
  if (m_Cancel) {
    Fail(e_Cancelled, kMsgCancelled);
  } else {
    u32 running = e_Running;
    m_State.compare_exchange_strong(running, e_Done);
  }
  m_Running = false;
  m_Started = false;
}

}  // namespace vek
