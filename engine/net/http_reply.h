#pragma once
// Reads an HTTP/1.x reply as its bytes arrive: the status line, the headers that matter
// (chunked transfer coding, content length) and the body, within fixed size limits.
#include "engine/core/types.h"

namespace vek {

class cHttpReply {
 public:
  enum eResult {
    e_More,        // needs more bytes
    e_Done,        // the body is complete
    e_NotFound,    // status 404
    e_BadStatus,   // a status other than 200
    e_TooLarge,    // the headers or the body exceed their limit
  };

  // Limits: the header block and the body.
  static constexpr std::size_t kMaxHeaderBytes = 64 * 1024;
  static constexpr std::size_t kMaxBodyBytes = 1024 * 1024;

  // Takes received bytes; the result stays once it is not e_More.
  eResult Feed(const char* data, std::size_t size);
  // The peer closed the connection: a body without a length ends here (e_Done); any other
  // unfinished reply is truncated and stays e_More.
  eResult Close();

  eResult Result() const { return m_Result; }
  const vek::string& Body() const { return m_Body; }
  // Moves the body out (the reader keeps an empty one).
  vek::string TakeBody() { return std::move(m_Body); }
  bool Chunked() const { return m_Chunked; }

 private:
  enum ePhase { e_Header, e_ChunkSize, e_ChunkData, e_ChunkEnd, e_Length, e_UntilClose, e_End };

  eResult Parse();
  // Takes one line ending in "\r\n" from the buffer; false when none is complete.
  bool TakeLine(vek::string& line);
  eResult HeaderLine(const vek::string& line);
  void AppendBody(std::size_t count);

  vek::string m_Buffer;
  std::size_t m_Read = 0;  // bytes of the buffer already consumed
  vek::string m_Body;
  ePhase m_Phase = e_Header;
  eResult m_Result = e_More;
  bool m_Chunked = false;
  bool m_HasLength = false;
  u64 m_Length = 0;  // content length, or the open chunk's bytes still to come
  std::size_t m_HeaderBytes = 0;
};

}  // namespace vek
