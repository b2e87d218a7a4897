#pragma once
// The in-game console: a panel that slides down from the top of the screen over its upper
// half, shows the log's lines with their colour codes, and has an input line whose text runs
// as Lua when Enter is pressed. Owned by the log holder; receives every log entry and every
// script print, gets keys and characters before anything else in the frame, and is drawn
// after the focused widget. Its history starts with the newest lines of
// {StaticPath}/conf/concom.txt and keeps at most kMaxLines lines, like the output.
#include <deque>
#include <vector>

#include "engine/core/format.h"
#include "engine/core/log.h"
#include "engine/core/types.h"

namespace vek {

class cConsole final : public iLogConsole {
 public:
  // At most this many output lines, and as many history lines, are kept; the oldest go first.
  static constexpr size_t kMaxLines = 2000;
  // History lines longer than this are no typed commands: they are not kept.
  static constexpr size_t kMaxHistoryLine = 4096;

  cConsole(f32 width, f32 height, f32 dropHeight);
  ~cConsole() override = default;
  cConsole(const cConsole&) = delete;
  cConsole& operator=(const cConsole&) = delete;

  // Appends formatted text: line ends ("\n", "\r") close lines; an unfinished line shows and
  // is completed by the next print.
  void Print(const char* format, const FormatArg& a1 = g_NoArg, const FormatArg& a2 = g_NoArg,
             const FormatArg& a3 = g_NoArg, const FormatArg& a4 = g_NoArg,
             const FormatArg& a5 = g_NoArg, const FormatArg& a6 = g_NoArg,
             const FormatArg& a7 = g_NoArg) override;
  // DirectInput key code; true when the console took the key.
  bool OnKey(u32 key);
  // True when the console took the character.
  bool OnChar(u32 character);
  // Slides, repeats held keys and draws; false when hidden.
  bool Draw(f32 dt);

  bool IsShown() const { return m_Shown > 0.0f; }
  f32 GetShownHeight() const { return m_Shown; }
  f32 GetSpeed() const { return m_Speed; }
  f32 GetDropHeight() const { return m_Drop; }
  const std::deque<vek::string>& GetLines() const { return m_Lines; }
  const std::vector<vek::string>& GetHistory() const { return m_History; }
  const vek::string& GetInput() const { return m_Input; }
  int GetCaret() const { return m_Caret; }
  int GetViewPos() const { return m_ViewPos; }
  int GetVisibleCount() const { return m_VisibleCount; }
  int GetLineCount() const { return m_LineCount; }
  // The scroll mark's rectangle {x, y, w, h} for the current state.
  void GetScrollMark(f32* x, f32* y, f32* w, f32* h) const;

 private:
  // The key actions that also repeat while held.
  void PageUp();
  void PageDown();
  void Delete();
  void Left();
  void Right();
  void Slide(f32 dt, f32 lineHeight);
  void DrawPanel(u32 font, f32 lineHeight, f32 advance);
  // Reads the history file in blocks, keeping only the lines the history keeps.
  void ReadHistory();

  std::deque<vek::string> m_Lines;
  int m_LineCount = 0;
  int m_VisibleCount = 0;
  int m_ViewPos = 0;
  std::vector<vek::string> m_History;
  int m_HistoryPos = 0;
  vek::string m_Input;
  int m_Caret = 0;
  f32 m_Shown = 0.0f;
  f32 m_Speed = 0.0f;
  f32 m_Repeat = 0.0f;
  f32 m_Width, m_Height, m_Drop;
  // The text printed since the last line end.
  vek::string m_Pending;
};

// The log holder's console, or null.
cConsole* GetConsole();
// The log's console maker: screen width, screen height, half the height as its drop. The
// engine object sets it before it makes the log holder.
iLogConsole* MakeConsole(float width, float height);

}  // namespace vek
