#include "engine/core/log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/core/path_tokens.h"
#include "platform/os.h"
#include "platform/regular_file.h"

namespace vek {

cLogHolder* g_pLogHolder = nullptr;

namespace {

LogConsoleMaker s_ConsoleMaker = nullptr;

// The header of the HTML file, with the opening time and a line break.
const char* const kHeader =
    "<!DOCTYPE html PUBLIC '-//W3C//DTD XHTML 1.0 Strict//EN' "
    "'http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd'> \n"
    "<html xmlns='http://www.w3.org/1999/xhtml'> \n"
    "<head> \n"
    "  <title>vek15 log file</title> \n"
    "  <meta http-equiv='Content-Type' content='text/html; charset=windows-1252' /> \n"
    "  <style type='text/css'> \n"
    "    <!-- \n"
    "    body { font-size:10pt; font-family:monospace; background-color: darkgray } \n"
    "    .error { color:darkred } \n"
    "    .warning { color:saddlebrown } \n"
    "    .sender { font-weight:bolder; color:white } \n"
    "    .text {} \n"
    "    .time { color:darkgreen } \n"
    "    --> \n"
    "  </style> \n"
    "</head> \n"
    "<body><p> \n"
    "<span class='time'>%s</span>%s";

// The spans of the colour codes ^0 to ^7; ^6 opens none.
const char* const kColourSpans[8] = {
    "<span style='color:black'>",     "<span style='color:blue'>",
    "<span style='color:green'>",     "<span style='color:lightblue'>",
    "<span style='color:red'>",       "<span style='color:purple'>",
    nullptr,                          "<span style='color:white'>",
};

iLogConsole* Console() { return g_pLogHolder ? g_pLogHolder->m_pConsole : nullptr; }

// The one place where log text reaches the console.
void PrintToConsole(iLogConsole* console, const char* format, const FormatArg& a1,
                    const FormatArg& a2, const FormatArg& a3, const FormatArg& a4 = g_NoArg,
                    const FormatArg& a5 = g_NoArg, const FormatArg& a6 = g_NoArg,
                    const FormatArg& a7 = g_NoArg) {
  if (console) console->Print(format, a1, a2, a3, a4, a5, a6, a7);
}

void ReportWriteFailure(int error) {
  std::fprintf(stderr, "cannot write the log file: %s; entries may be missing\n",
               std::strerror(error));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// cLogFile

cLogFile::~cLogFile() {
  if (m_Owned) CloseLog(*this);
}

void cLogFile::Attach(std::FILE* file) {
  if (m_Owned) CloseLog(*this);
  m_File = file;
  m_Owned = false;
  m_SpanOpen = false;
  m_WriteFailed = false;
}

void cLogFile::CheckStream(bool failed) {
  if (!m_File) return;
  failed = failed || std::ferror(m_File) != 0;
  if (!failed) return;
  const int error = errno;
  std::clearerr(m_File);
  // Once per file: the log itself is where the next entries would go.
  if (!m_WriteFailed) ReportWriteFailure(error);
  m_WriteFailed = true;
}

void cLogFile::Flush() {
  if (m_File) CheckStream(std::fflush(m_File) != 0);
}

void cLogFile::WriteRaw(const char* text) {
  if (m_File && text) CheckStream(std::fputs(text, m_File) == EOF);
}

void cLogFile::Print(const char* format, const FormatArg& a1, const FormatArg& a2,
                     const FormatArg& a3, const FormatArg& a4, const FormatArg& a5,
                     const FormatArg& a6, const FormatArg& a7) {
  if (!m_File) return;
  vek::string text;
  AppendFormat(text, format, a1, a2, a3, a4, a5, a6, a7);
  WriteHtml(text.c_str());
  Flush();
}

void cLogFile::WriteHtml(const char* text) {
  if (!m_File || !text) return;
  vek::string html;
  const auto closeSpan = [&] {
    if (m_SpanOpen) html += "</span>";
    m_SpanOpen = false;
  };
  for (const char* p = text; *p; ++p) {
    const char c = *p;
    switch (c) {
      case '\n':
        closeSpan();
        html += "<br />\n";
        break;
      case '^': {
        const char code = p[1];
        if (code == '\0') break;  // a caret at the very end is dropped
        closeSpan();
        if (code >= '0' && code <= '7' && kColourSpans[code - '0']) {
          html += kColourSpans[code - '0'];
          m_SpanOpen = true;
        }
        ++p;  // the character after the caret is consumed with it
        break;
      }
      case ' ':
        if (p == text || p[-1] == ' ' || p[1] == ' ')
          html += "&nbsp;";
        else
          html += ' ';
        break;
      case '<': html += "&lt;"; break;
      case '>': html += "&gt;"; break;
      case '"': html += "&quot;"; break;
      case '&': html += "&amp;"; break;
      case '\'': html += "&#39;"; break;
      default: html += c; break;
    }
  }
  CheckStream(std::fwrite(html.data(), 1, html.size(), m_File) != html.size());
}

// ---------------------------------------------------------------------------------------------
// Entries

void WriteLogEntry(cLogFile& file, const char* level, const char* sender, const char* format,
                   const FormatArg& a1, const FormatArg& a2, const FormatArg& a3) {
  if (!file.IsOpen()) return;
  file.WriteRaw(Formatted("<span class='sender'>%s: </span><span class='%s'>", sender ? sender : "",
                          level ? level : "")
                    .c_str());
  file.Print(format, a1, a2, a3);
  // A colour span the message left open ends with the entry, so the spans nest properly.
  if (file.m_SpanOpen) file.WriteRaw("</span>");
  file.m_SpanOpen = false;
  file.WriteRaw("</span>");
  file.Flush();
}

namespace {

// One entry to the holder's console and file, past the count of repeats.
void WriteEntry(cLogHolder* holder, const char* color, const char* format, const char* level,
                const char* sender, const FormatArg& a1, const FormatArg& a2 = g_NoArg,
                const FormatArg& a3 = g_NoArg) {
  if (!holder) return;
  if (iLogConsole* console = holder->m_pConsole) {
    // Sender in white, ": " in the default colour, then the message in the entry's colour.
    vek::string line;
    AppendFormat(line, "^7%s^6: %s%s", sender ? sender : "", color ? color : "",
                 format ? format : "");
    PrintToConsole(console, line.c_str(), a1, a2, a3);
  }
  WriteLogEntry(holder->m_LogFile, level, sender, format, a1, a2, a3);
}

// The colour code of a level word.
const char* ColourOf(const vek::string& level) {
  return level == "error" ? "^4" : level == "warning" ? "^5" : "^6";
}

// A format as it reads in a line about it: without its closing line break.
vek::string FormatShown(const vek::string& format) {
  vek::string shown = format;
  while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.pop_back();
  return shown;
}

constexpr std::size_t kMaxKinds = 1024;

}  // namespace

void Log(const char* color, const char* format, const char* level, const char* sender,
         const FormatArg& a1, const FormatArg& a2, const FormatArg& a3) {
  if (g_pLogHolder && !g_pLogHolder->Admit(level, sender, format)) return;
  WriteEntry(g_pLogHolder, color, format, level, sender, a1, a2, a3);
}

bool cLogHolder::Admit(const char* level, const char* sender, const char* format) {
  // Progress lines are the program's own and few; warnings and errors may come from data.
  const vek::string levelWord = level ? level : "";
  if (levelWord == "text") return true;
  vek::string key = levelWord;
  key += '\1';
  key += sender ? sender : "";
  key += '\1';
  key += format ? format : "";
  auto it = m_Kinds.find(key);
  if (it == m_Kinds.end()) {
    if (m_Kinds.size() >= kMaxKinds) return true;
    it = m_Kinds.emplace(key, cKind{levelWord, sender ? sender : "", format ? format : "", 0}).first;
  }
  cKind& kind = it->second;
  if (++kind.count <= kRepeatLimit) return true;
  if (kind.count == kRepeatLimit + 1) {
    WriteEntry(this, ColourOf(kind.level), "Further entries like \"%s\" are counted, not written\n", kind.level.c_str(),
               kind.sender.c_str(), FormatShown(kind.format));
  }
  return false;
}

void cLogHolder::WriteRepeatCounts() {
  for (auto& [key, kind] : m_Kinds) {
    if (kind.count <= kRepeatLimit) continue;
    WriteEntry(this, ColourOf(kind.level), "%i more entries like \"%s\" were not written\n", kind.level.c_str(),
               kind.sender.c_str(), static_cast<int>(std::min<u64>(kind.count - kRepeatLimit, 0x7FFFFFFF)),
               FormatShown(kind.format));
    kind.count = 0;
  }
}

void LogPlain(const char* format, const FormatArg& a1, const FormatArg& a2, const FormatArg& a3,
              const FormatArg& a4, const FormatArg& a5, const FormatArg& a6,
              const FormatArg& a7) {
  PrintToConsole(Console(), format, a1, a2, a3, a4, a5, a6, a7);
  if (g_pLogHolder) g_pLogHolder->m_LogFile.Print(format, a1, a2, a3, a4, a5, a6, a7);
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

vek::string LogTimeText() {
  vek::string text = plat::GetOs().LocalTimeText();
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

bool OpenLog(cLogFile& file, const vek::string& path) {
  if (file.IsOpen()) {
    if (file.m_Owned)
      CloseLog(file);
    else
      file.Attach(nullptr);
  }
  file.m_SpanOpen = false;

  const std::size_t slash = path.rfind('/');
  // The log lives in the game's own folder: made private when the log makes it.
  if (slash != vek::string::npos && slash > 0) plat::MakeFolders(path.substr(0, slash), 0700);

  // The previous log is kept beside the new one ("_log.html" -> "_log.old.html").
  const std::size_t dot = path.rfind('.');
  const vek::string old = dot != vek::string::npos && (slash == vek::string::npos || dot > slash)
                              ? path.substr(0, dot) + ".old" + path.substr(dot)
                              : path + ".old";
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && ::rename(path.c_str(), old.c_str()) != 0) {
    std::fprintf(stderr, "cannot keep the previous log file %s as %s: %s\n", path.c_str(),
                 old.c_str(), std::strerror(errno));
  }
  // A new regular file, readable by all and writable by the owner only, made new and
  // exclusive: a FIFO or a link left in its place is removed, never opened or followed.
  const int fd = plat::CreateNewFile(path, 0644);
  if (fd < 0) return false;
  std::FILE* stream = ::fdopen(fd, "w");
  if (!stream) {
    ::close(fd);
    return false;
  }
  file.m_File = stream;
  file.m_Owned = true;
  file.m_WriteFailed = false;

  file.WriteRaw(Formatted(kHeader, LogTimeText(), "<br />\n").c_str());
  file.Flush();
  return true;
}

void CloseLog(cLogFile& file) {
  if (!file.IsOpen()) return;
  if (file.m_SpanOpen) file.WriteRaw("</span>");
  file.m_SpanOpen = false;
  file.WriteRaw(Formatted("<span class='time'>%s</span>\n", LogTimeText()).c_str());
  file.WriteRaw("</p></body>\n</html>\n");
  file.Flush();
  if (file.m_Owned && std::fclose(file.m_File) != 0 && !file.m_WriteFailed) {
    ReportWriteFailure(errno);
  }
  file.m_File = nullptr;
  file.m_Owned = false;
}

// ---------------------------------------------------------------------------------------------
// The holder

void SetLogConsoleMaker(LogConsoleMaker maker) { s_ConsoleMaker = maker; }

cLogHolder::cLogHolder(float width, float height) {
  const vek::string& folder = GetPathToken(e_AppPath);
  if (!folder.empty()) {
    const vek::string path = folder + "/_log.html";
    if (!OpenLog(m_LogFile, path))
      std::fprintf(stderr, "cannot open the log file %s: %s\n", path.c_str(),
                   std::strerror(errno));
  }
  if (s_ConsoleMaker) m_pConsole = s_ConsoleMaker(width, height);
}

cLogHolder::~cLogHolder() {
  WriteRepeatCounts();
  // The console is closed before the file.
  delete m_pConsole;
  m_pConsole = nullptr;
  CloseLog(m_LogFile);
}

void CreateLogHolder(float width, float height) {
  if (g_pLogHolder) return;
  g_pLogHolder = new cLogHolder(width, height);
}

void DestroyLogHolder() {
  cLogHolder* holder = g_pLogHolder;
  g_pLogHolder = nullptr;
  delete holder;
}

}  // namespace vek
