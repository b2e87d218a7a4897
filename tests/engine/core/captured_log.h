#pragma once
// Collects what the engine log writes during a test: a log holder without a file whose
// log file writes into an anonymous temporary stream. The text is the HTML the log writes.
#include <cstdio>
#include <string>

#include "engine/core/log.h"
#include "engine/core/path_tokens.h"

namespace vektest {

class CapturedLog {
 public:
  CapturedLog() {
    m_SavedAppPath = vek::GetPathToken(vek::e_AppPath);
    vek::SetPathToken(vek::e_AppPath, "");
    vek::DestroyLogHolder();
    vek::CreateLogHolder(1024.0f, 768.0f);
    m_Stream = std::tmpfile();
    if (vek::g_pLogHolder && m_Stream) vek::g_pLogHolder->m_LogFile.Attach(m_Stream);
  }
  ~CapturedLog() {
    if (vek::g_pLogHolder) vek::g_pLogHolder->m_LogFile.Attach(nullptr);
    vek::DestroyLogHolder();
    if (m_Stream) std::fclose(m_Stream);
    vek::SetPathToken(vek::e_AppPath, m_SavedAppPath);
  }
  CapturedLog(const CapturedLog&) = delete;
  CapturedLog& operator=(const CapturedLog&) = delete;

  // Everything written so far.
  std::string Text() {
    std::string text;
    if (!m_Stream) return text;
    std::fflush(m_Stream);
    std::rewind(m_Stream);
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, m_Stream)) > 0) text.append(buffer, n);
    std::fseek(m_Stream, 0, SEEK_END);
    return text;
  }
  bool Contains(const std::string& part) { return Text().find(part) != std::string::npos; }

 private:
  std::FILE* m_Stream = nullptr;
  std::string m_SavedAppPath;
};

}  // namespace vektest
