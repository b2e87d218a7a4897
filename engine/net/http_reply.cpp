#include "engine/net/http_reply.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace vek {
namespace {

// A chunk-size line longer than this is not one.
constexpr std::size_t kMaxChunkLine = 4096;

// Whether the line starts with the prefix, header names compared without regard to case.
bool StartsWithNoCase(const vek::string& line, const char* prefix) {
  std::size_t n = std::strlen(prefix);
  if (line.size() < n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(line[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

void Trim(vek::string& text) {
  std::size_t first = 0;
  while (first < text.size() && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
  std::size_t last = text.size();
  while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
  text = text.substr(first, last - first);
}

// Leading digits in the given base, saturating above the limit; false when there is none.
bool ParseNumber(const vek::string& text, int base, u64 limit, u64& value) {
  value = 0;
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    int c = std::tolower(static_cast<unsigned char>(text[i]));
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else
      break;
    if (value <= limit) value = value * static_cast<u64>(base) + static_cast<u64>(digit);
  }
  return i > 0;
}

}  // namespace

cHttpReply::eResult cHttpReply::Feed(const char* data, std::size_t size) {
  if (m_Result != e_More || size == 0) return m_Result;
  if (m_Read > 0 && m_Read * 2 >= m_Buffer.size()) {
    m_Buffer.erase(0, m_Read);
    m_Read = 0;
  }
  m_Buffer.append(data, size);
  m_Result = Parse();
  return m_Result;
}

cHttpReply::eResult cHttpReply::Close() {
  if (m_Result == e_More && m_Phase == e_UntilClose) {
    m_Phase = e_End;
    m_Result = e_Done;
  }
  return m_Result;
}

bool cHttpReply::TakeLine(vek::string& line) {
  std::size_t end = m_Buffer.find("\r\n", m_Read);
  if (end == vek::string::npos) return false;
  line.assign(m_Buffer, m_Read, end - m_Read);
  m_Read = end + 2;
  return true;
}

void cHttpReply::AppendBody(std::size_t count) {
  m_Body.append(m_Buffer, m_Read, count);
  m_Read += count;
}

cHttpReply::eResult cHttpReply::HeaderLine(const vek::string& line) {
  if (line.compare(0, 7, "HTTP/1.") == 0) {
    vek::string status = line.size() > 9 ? line.substr(9, 3) : vek::string();
    if (status == "404") return e_NotFound;
    if (status != "200") return e_BadStatus;
  } else if (StartsWithNoCase(line, "Transfer-Encoding: chunked")) {
    m_Chunked = true;
  } else if (StartsWithNoCase(line, "Transfer-Encoding: ")) {
    if (line.substr(19) != "identity") m_Chunked = true;
  } else if (StartsWithNoCase(line, "Content-Length: ")) {
    vek::string value = line.substr(16);
    Trim(value);
    u64 length = 0;
    if (ParseNumber(value, 10, kMaxBodyBytes, length)) {
      if (length > kMaxBodyBytes) return e_TooLarge;
      m_HasLength = true;
      m_Length = length;
    }
  } else if (line.empty()) {
    if (m_Chunked)
      m_Phase = e_ChunkSize;
    else if (m_HasLength)
      m_Phase = m_Length > 0 ? e_Length : e_End;
    else
      m_Phase = e_UntilClose;
    if (m_Phase == e_End) return e_Done;
  }
  return e_More;
}

cHttpReply::eResult cHttpReply::Parse() {
  vek::string line;
  for (;;) {
    std::size_t left = m_Buffer.size() - m_Read;
    switch (m_Phase) {
      case e_Header: {
        std::size_t before = m_Read;
        if (!TakeLine(line)) {
          return m_HeaderBytes + left > kMaxHeaderBytes ? e_TooLarge : e_More;
        }
        m_HeaderBytes += m_Read - before;
        if (m_HeaderBytes > kMaxHeaderBytes) return e_TooLarge;
        eResult r = HeaderLine(line);
        if (r != e_More) return r;
        break;
      }
      case e_ChunkSize: {
        if (!TakeLine(line)) return left > kMaxChunkLine ? e_TooLarge : e_More;
        Trim(line);
        u64 size = 0;
        ParseNumber(line, 16, kMaxBodyBytes, size);
        if (size == 0) {
          m_Phase = e_End;
          return e_Done;
        }
        if (size > kMaxBodyBytes - m_Body.size()) return e_TooLarge;
        m_Length = size;
        m_Phase = e_ChunkData;
        break;
      }
      case e_ChunkData: {
        if (left == 0) return e_More;
        std::size_t take = static_cast<std::size_t>(std::min<u64>(m_Length, left));
        AppendBody(take);
        m_Length -= take;
        if (m_Length == 0) m_Phase = e_ChunkEnd;
        break;
      }
      case e_ChunkEnd:
        // The line end after a chunk's data.
        if (left < 2) return e_More;
        if (m_Buffer.compare(m_Read, 2, "\r\n") == 0) m_Read += 2;
        m_Phase = e_ChunkSize;
        break;
      case e_Length: {
        if (left == 0) return e_More;
        std::size_t take = static_cast<std::size_t>(std::min<u64>(m_Length, left));
        AppendBody(take);
        m_Length -= take;
        if (m_Length == 0) {
          m_Phase = e_End;
          return e_Done;
        }
        break;
      }
      case e_UntilClose:
        if (left == 0) return e_More;
        if (left > kMaxBodyBytes - m_Body.size()) return e_TooLarge;
        AppendBody(left);
        return e_More;
      case e_End:
        return e_Done;
    }
  }
}

}  // namespace vek
