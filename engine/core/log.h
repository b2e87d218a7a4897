#pragma once
// The engine log: every entry goes to the console (when one exists) and to the HTML file
// {AppPath}/_log.html, flushed after each entry. Warnings and errors of one kind are written
// a few dozen times and then counted, so that a flood of one warning cannot fill the disk.
// The previous session's log is kept as
// {AppPath}/_log.old.html. A write that fails (a full disk) is reported once on stderr; what
// was written stays, later entries are still tried, and the closing tags are written at exit
// when there is room.
#include <cstdio>
#include <map>

#include "engine/core/format.h"

namespace vek {

// The console the log feeds: made by the application frame, owned by the log holder.
class iLogConsole {
 public:
  virtual ~iLogConsole() = default;
  // Formatted text with its colour codes; line ends close lines.
  virtual void Print(const char* format, const FormatArg& a1 = g_NoArg,
                     const FormatArg& a2 = g_NoArg, const FormatArg& a3 = g_NoArg,
                     const FormatArg& a4 = g_NoArg, const FormatArg& a5 = g_NoArg,
                     const FormatArg& a6 = g_NoArg, const FormatArg& a7 = g_NoArg) = 0;
};

// Makes the console of a new log holder from the screen width and height. Until one is set,
// holders have no console.
using LogConsoleMaker = iLogConsole* (*)(float width, float height);
void SetLogConsoleMaker(LogConsoleMaker maker);

// One entry: colour code ("^6", "^5", "^4"), formatter format, level word ("text",
// "warning", "error"), sender and three records.
void Log(const char* color, const char* format, const char* level, const char* sender,
         const FormatArg& a1 = g_NoArg, const FormatArg& a2 = g_NoArg,
         const FormatArg& a3 = g_NoArg);

// The three pairs of level word and colour code.
inline void LogText(const char* sender, const char* format, const FormatArg& a1 = g_NoArg,
                    const FormatArg& a2 = g_NoArg, const FormatArg& a3 = g_NoArg) {
  Log("^6", format, "text", sender, a1, a2, a3);
}
inline void LogWarning(const char* sender, const char* format, const FormatArg& a1 = g_NoArg,
                       const FormatArg& a2 = g_NoArg, const FormatArg& a3 = g_NoArg) {
  Log("^5", format, "warning", sender, a1, a2, a3);
}
inline void LogError(const char* sender, const char* format, const FormatArg& a1 = g_NoArg,
                     const FormatArg& a2 = g_NoArg, const FormatArg& a3 = g_NoArg) {
  Log("^4", format, "error", sender, a1, a2, a3);
}

// A plain line without sender: to the console when one exists and to the log file.
void LogPlain(const char* format, const FormatArg& a1 = g_NoArg, const FormatArg& a2 = g_NoArg,
              const FormatArg& a3 = g_NoArg, const FormatArg& a4 = g_NoArg,
              const FormatArg& a5 = g_NoArg, const FormatArg& a6 = g_NoArg,
              const FormatArg& a7 = g_NoArg);

class cLogFile {
 public:
  cLogFile() = default;
  ~cLogFile();
  cLogFile(const cLogFile&) = delete;
  cLogFile& operator=(const cLogFile&) = delete;

  // Formats plain text, writes it converted to HTML and flushes; nothing while closed.
  void Print(const char* format, const FormatArg& a1 = g_NoArg, const FormatArg& a2 = g_NoArg,
             const FormatArg& a3 = g_NoArg, const FormatArg& a4 = g_NoArg,
             const FormatArg& a5 = g_NoArg, const FormatArg& a6 = g_NoArg,
             const FormatArg& a7 = g_NoArg);
  // Writes text converted to HTML (colour codes become spans, blanks keep their width).
  void WriteHtml(const char* text);
  // Writes raw text unchanged.
  void WriteRaw(const char* text);
  void Flush();

  bool IsOpen() const { return m_File != nullptr; }
  bool SpanOpen() const { return m_SpanOpen; }
  // Whether a write has failed since the file was opened or attached.
  bool WriteFailed() const { return m_WriteFailed; }

  // Writes into an already open stream (tests); the stream is not closed by this object.
  void Attach(std::FILE* file);

 private:
  friend bool OpenLog(cLogFile&, const vek::string&);
  friend void CloseLog(cLogFile&);
  friend void WriteLogEntry(cLogFile&, const char*, const char*, const char*, const FormatArg&,
                            const FormatArg&, const FormatArg&);
  // Notes a failed write of the stream (reported on stderr the first time) and clears the
  // stream's error, so that later entries are tried again.
  void CheckStream(bool failed);

  bool m_SpanOpen = false;
  std::FILE* m_File = nullptr;
  bool m_Owned = false;
  bool m_WriteFailed = false;
};

void WriteLogEntry(cLogFile& file, const char* level, const char* sender, const char* format,
                   const FormatArg& a1, const FormatArg& a2, const FormatArg& a3);

// The holder of the log file and the console.
class cLogHolder {
 public:
  // Warnings and errors of one kind (the same level, sender and format) are written this many
  // times; the rest are counted, and each count is written as one line when the log closes.
  static constexpr u64 kRepeatLimit = 50;

  cLogHolder(float width, float height);
  ~cLogHolder();
  cLogFile m_LogFile;
  iLogConsole* m_pConsole = nullptr;

  // Whether an entry of this kind is written; counts the entries past the limit (the first of
  // them writes a line saying so).
  bool Admit(const char* level, const char* sender, const char* format);
  // Writes a line for every kind that had entries left out, with their number, and starts
  // counting those kinds afresh.
  void WriteRepeatCounts();

 private:
  struct cKind {
    vek::string level, sender, format;
    u64 count = 0;
  };
  // Kinds by "level \1 sender \1 format"; bounded, a kind beyond the bound is always written.
  std::map<vek::string, cKind> m_Kinds;
};

extern cLogHolder* g_pLogHolder;

// Opens the file for writing and writes the HTML header; the folder is created. A file of that
// name from before is renamed to "<name>.old.<ext>" first (replacing an older one), so the
// previous log is never cut short before the new one is written.
bool OpenLog(cLogFile& file, const vek::string& path);
// Writes the closing time and the HTML end, and closes the file.
void CloseLog(cLogFile& file);

// Creates the holder (opens {AppPath}/_log.html, then makes the console when a maker is set).
void CreateLogHolder(float width, float height);
// Closes the console, then the log file, and frees the holder.
void DestroyLogHolder();

// The 24-character local time 'Www Mmm dd hh:mm:ss yyyy'.
vek::string LogTimeText();

}  // namespace vek
