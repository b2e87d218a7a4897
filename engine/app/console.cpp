#include "engine/app/console.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <iterator>

#include "engine/core/log.h"
#include "engine/files/file.h"
#include "engine/files/file_system.h"
#include "engine/files/filename.h"
#include "engine/gui/gui_draw.h"
#include "engine/input/input.h"
#include "engine/script/script.h"
#include "platform/gfx.h"

namespace vek {

namespace {

enum : u32 {
  kKeyGrave = 0x29,
  kKeyConsole2 = 0x94,
  kKeyHome = 0xC7,
  kKeyEnd = 0xCF,
  kKeyLeft = 0xCB,
  kKeyRight = 0xCD,
  kKeyDelete = 0xD3,
  kKeyUp = 0xC8,
  kKeyDown = 0xD0,
  kKeyPageUp = 0xC9,
  kKeyPageDown = 0xD1,
  kKeyLeftControl = 0x1D,
  kKeyRightControl = 0x9D,
};

bool KeyHeld(u32 key) { return g_pInput && g_pInput->GetState(cInput::e_KeyDown, key) != 0.0f; }
bool ControlHeld() { return KeyHeld(kKeyLeftControl) || KeyHeld(kKeyRightControl); }

// The background's two drift phases, kept for the whole program.
f32 s_PhaseA = 0.0f;
f32 s_PhaseB = 0.0f;

// The colour of a console colour code: bits 2, 1 and 0 of the character give red, green, blue.
u32 CodeColor(unsigned char c) {
  return 0xFF000000u | ((c & 4) ? 0x00FF0000u : 0u) | ((c & 2) ? 0x0000FF00u : 0u) | ((c & 1) ? 0x000000FFu : 0u);
}

}  // namespace

cConsole* GetConsole() {
  return g_pLogHolder ? dynamic_cast<cConsole*>(g_pLogHolder->m_pConsole) : nullptr;
}

iLogConsole* MakeConsole(float width, float height) { return new cConsole(width, height, height / 2.0f); }

cConsole::cConsole(f32 width, f32 height, f32 dropHeight) : m_Width(width), m_Height(height), m_Drop(dropHeight) {
  try {
    ReadHistory();
  } catch (const std::exception& e) {
    // The console works without its history; nothing leaves the constructor.
    m_History.clear();
    LogWarning("cConsole", "history not read: %s\n", e.what());
  }
  m_HistoryPos = static_cast<int>(m_History.size());
}

void cConsole::ReadHistory() {
  const filename name("{StaticPath}/conf/concom.txt");
  if (!cFileSystem().Exist(name)) return;
  cFile file;
  if (file.Open(name, "rt") != cFile::e_Opened) return;
  std::deque<vek::string> kept;
  vek::string line;
  bool tooLong = false;
  auto endLine = [&] {
    // A file written on another system may carry "\r\n" line ends.
    while (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && !tooLong) {
      kept.push_back(std::move(line));
      if (kept.size() > kMaxLines) kept.pop_front();
    }
    line.clear();
    tooLong = false;
  };
  std::vector<char> block(65536);
  bool ended = false;
  while (!ended) {
    const u32 got = file.Read(block.data(), 1, static_cast<u32>(block.size()));
    if (got == 0) break;
    for (u32 i = 0; i < got; ++i) {
      const char c = block[i];
      if (c == '\0') {
        // The text ends at its first zero byte.
        ended = true;
        break;
      }
      if (c == '\n') {
        endLine();
      } else if (line.size() < kMaxHistoryLine) {
        line += c;
      } else {
        tooLong = true;
      }
    }
  }
  endLine();
  if (!file.Close()) {
    LogWarning("cConsole", "history file %s not read whole\n", name.path);
    return;
  }
  m_History.assign(std::make_move_iterator(kept.begin()), std::make_move_iterator(kept.end()));
}

void cConsole::Print(const char* format, const FormatArg& a1, const FormatArg& a2, const FormatArg& a3,
                     const FormatArg& a4, const FormatArg& a5, const FormatArg& a6, const FormatArg& a7) {
  const vek::string text = Formatted(format ? format : "", a1, a2, a3, a4, a5, a6, a7);
  // The unfinished line shown by the last print is replaced by its continuation.
  if (!m_Pending.empty() && !m_Lines.empty()) m_Lines.pop_back();
  for (char c : text) {
    if (c == '\n' || c == '\r') {
      m_Lines.push_back(m_Pending);
      m_Pending.clear();
    } else {
      m_Pending += c;
    }
  }
  if (!m_Pending.empty()) m_Lines.push_back(m_Pending);
  while (m_Lines.size() > kMaxLines) m_Lines.pop_front();
  m_LineCount = static_cast<int>(m_Lines.size());
  m_ViewPos = m_LineCount;
}

bool cConsole::OnKey(u32 key) {
  if (key == kKeyGrave || key == kKeyConsole2) {
    if (m_Shown <= 0.0f) {
      m_Speed = 2.0f * m_Drop;
    } else if (m_Shown >= m_Drop) {
      m_Speed = -2.0f * m_Drop;
    } else {
      m_Speed = -m_Speed;
    }
    return true;
  }
  if (m_Shown <= 0.0f) return false;
  switch (key) {
    case kKeyHome:
      m_Caret = 0;
      break;
    case kKeyEnd:
      m_Caret = static_cast<int>(m_Input.size());
      break;
    case kKeyLeft:
      Left();
      break;
    case kKeyRight:
      Right();
      break;
    case kKeyDelete:
      Delete();
      break;
    case kKeyUp:
      if (m_HistoryPos > 0) --m_HistoryPos;
      if (m_HistoryPos < static_cast<int>(m_History.size())) m_Input = m_History[m_HistoryPos];
      m_Caret = static_cast<int>(m_Input.size());
      break;
    case kKeyDown:
      if (m_HistoryPos < static_cast<int>(m_History.size())) ++m_HistoryPos;
      m_Input = m_HistoryPos < static_cast<int>(m_History.size()) ? m_History[m_HistoryPos] : vek::string();
      m_Caret = static_cast<int>(m_Input.size());
      break;
    case kKeyPageUp:
      PageUp();
      break;
    case kKeyPageDown:
      PageDown();
      break;
    default:
      return true;
  }
  m_Repeat = -0.5f;
  return true;
}

void cConsole::Left() {
  if (m_Caret > 0) --m_Caret;
}

void cConsole::Right() {
  if (m_Caret < static_cast<int>(m_Input.size())) ++m_Caret;
}

void cConsole::Delete() {
  if (m_Caret < static_cast<int>(m_Input.size())) m_Input.erase(static_cast<size_t>(m_Caret), 1);
}

void cConsole::PageUp() {
  int v = 0;
  if (ControlHeld()) {
    v = m_ViewPos - 1;
    if (v < m_VisibleCount - 1) v = m_VisibleCount - 1;
  } else {
    v = m_VisibleCount - 1;
  }
  if (v > m_LineCount) v = m_LineCount;
  if (v < 0) v = 0;
  m_ViewPos = v;
}

void cConsole::PageDown() {
  if (ControlHeld()) {
    if (m_ViewPos < m_LineCount) ++m_ViewPos;
  } else {
    m_ViewPos = m_LineCount;
  }
}

bool cConsole::OnChar(u32 character) {
  if (m_Shown <= 0.0f) return false;
  const u32 c = character;
  if (c == 8) {
    if (m_Caret > 0) {
      --m_Caret;
      m_Input.erase(static_cast<size_t>(m_Caret), 1);
    }
  } else if (c == 9) {
    for (auto it = m_History.rbegin(); it != m_History.rend(); ++it) {
      if (it->compare(0, m_Input.size(), m_Input) == 0) {
        m_Input = *it;
        m_Caret = static_cast<int>(m_Input.size());
        break;
      }
    }
  } else if (c == 10 || c == 13) {
    const vek::string line = m_Input;
    m_Input.clear();
    m_Caret = 0;
    if (!line.empty() && (m_History.empty() || m_History.back() != line)) {
      m_History.push_back(line);
      if (m_History.size() > kMaxLines) m_History.erase(m_History.begin());
    }
    m_HistoryPos = static_cast<int>(m_History.size());
    // Errors of the line are reported through "_ALERT" and show here as warnings.
    if (cScript* script = GetScript()) script->DoString(line, "=console");
  } else if (c == '`' || c == '~') {
    // The toggle keys' characters.
  } else if (c <= 255 && std::isprint(static_cast<unsigned char>(c))) {
    m_Input.insert(static_cast<size_t>(m_Caret), 1, static_cast<char>(c));
    ++m_Caret;
  }
  return true;
}

void cConsole::Slide(f32 dt, f32 lineHeight) {
  if (m_Speed != 0.0f) {
    m_Shown += m_Speed * dt;
    if (m_Shown <= 0.0f) {
      m_Shown = 0.0f;
      m_Speed = 0.0f;
    } else if (m_Shown >= m_Drop) {
      m_Shown = m_Drop;
      m_Speed = 0.0f;
    }
  }
  m_VisibleCount = static_cast<int>(m_Shown / lineHeight);
}

void cConsole::GetScrollMark(f32* x, f32* y, f32* w, f32* h) const {
  // With no lines the mark fills the panel (the ratio would divide by zero).
  f32 ratio = 1.0f;
  f32 place = 1.0f;
  if (m_LineCount > 0) {
    ratio = std::min(1.0f, static_cast<f32>(m_VisibleCount - 1) / static_cast<f32>(m_LineCount));
    if (ratio < 0.0f) ratio = 0.0f;
  }
  // From the first page (0) to the newest lines (1).
  const int first = std::max(m_VisibleCount - 1, 0);
  if (m_LineCount > first) {
    place = static_cast<f32>(m_ViewPos - first) / static_cast<f32>(m_LineCount - first);
    place = std::clamp(place, 0.0f, 1.0f);
  }
  const f32 height = m_Shown * ratio;
  // The newest lines put the mark at the panel's lower edge, the first page at its top.
  const f32 bottom = m_Height - m_Shown + (m_Shown - height) * (1.0f - place);
  if (x) *x = m_Width - 2.0f;
  if (y) *y = bottom;
  if (w) *w = 2.0f;
  if (h) *h = height;
}

bool cConsole::Draw(f32 dt) {
  const u32 font = gui_draw::FontCount() > 1 ? 1 : 0;
  f32 lineHeight = gui_draw::FontLineHeight(font);
  if (lineHeight <= 0.0f) lineHeight = 1.0f;
  Slide(dt, lineHeight);
  if (m_Shown <= 0.0f) return false;

  m_Repeat += dt;
  if (m_Repeat > 0.02f) {
    if (KeyHeld(kKeyPageUp)) PageUp();
    if (KeyHeld(kKeyPageDown)) PageDown();
    if (KeyHeld(kKeyDelete)) Delete();
    if (KeyHeld(kKeyLeft)) Left();
    if (KeyHeld(kKeyRight)) Right();
    m_Repeat = 0.0f;
  }

  s_PhaseA += dt / 100.0f;
  if (s_PhaseA > 1.0f) s_PhaseA = 0.0f;
  s_PhaseB += dt / 200.0f;
  if (s_PhaseB > 1.0f) s_PhaseB = 0.0f;

  f32 advance = gui_draw::FontAdvance(font);
  if (advance <= 0.0f) advance = lineHeight * 0.5f;
  DrawPanel(font, lineHeight, advance);
  return true;
}

void cConsole::DrawPanel(u32 font, f32 lineHeight, f32 advance) {
  namespace gd = gui_draw;
  gd::Begin2D(m_Width, m_Height);
  const f32 bottom = m_Height - m_Shown;

  gd::BeginPass();
  gd::Quad(1, rectf{0.0f, bottom, m_Width, m_Height}, rectf{s_PhaseA, 0.0f, 2.0f, 2.0f}, 0xFFFFFFFF);
  gd::EndPass();
  gd::SetBlend(plat::gfx::blend::SrcColor, plat::gfx::blend::One);
  gd::BeginPass();
  gd::Quad(2, rectf{0.0f, bottom, m_Width, m_Height}, rectf{10.0f * s_PhaseA, s_PhaseB + 1.0f, 2.0f, 2.0f}, 0xFFFFFFFF);
  gd::EndPass();
  gd::SetBlend(0, 0);
  gd::AlphaTestOff();

  gd::BeginPass();
  gd::Quad(0, rectf{0.0f, bottom - 1.0f, m_Width, 1.0f}, rectf{0.0f, 0.0f, 1.0f, 1.0f}, 0xFFFFFF00);
  rectf mark;
  GetScrollMark(&mark.x, &mark.y, &mark.w, &mark.h);
  gd::Quad(0, mark, rectf{0.0f, 0.0f, 1.0f, 1.0f}, 0xFFFFFFFF);
  gd::EndPass();

  if (m_Shown >= lineHeight) {
    // Text is blended over the panel.
    gd::SetBlend(plat::gfx::blend::SrcAlpha, plat::gfx::blend::InvSrcAlpha);
    gd::BeginPass();
    gd::Text(font, vec2(0.0f, bottom), ">" + m_Input, 0xFFFFFFFF);
    gd::Caret(font, vec2(static_cast<f32>(m_Caret + 1) * advance, bottom), 0xFFFFFFFF);
    int shown = 0;
    for (int i = m_ViewPos - 1; i >= 0 && shown < m_VisibleCount; --i, ++shown) {
      if (i >= static_cast<int>(m_Lines.size())) continue;
      const vek::string& line = m_Lines[static_cast<size_t>(i)];
      const f32 y = bottom + static_cast<f32>(shown + 1) * lineHeight;
      f32 x = 0.0f;
      u32 color = 0xFFFFFF00;
      size_t runStart = 0;
      for (size_t k = 0; k <= line.size(); ++k) {
        const bool end = k == line.size();
        if (!end && line[k] != '^') continue;
        if (k > runStart) {
          const vek::string run = line.substr(runStart, k - runStart);
          gd::Text(font, vec2(x, y), run, color);
          x += static_cast<f32>(run.size()) * advance;
        }
        if (end) break;
        // "^" and the character after it choose the colour of what follows.
        if (k + 1 < line.size()) color = CodeColor(static_cast<unsigned char>(line[k + 1]));
        runStart = k + 2;
        ++k;
      }
    }
    gd::EndPass();
    gd::SetBlend(0, 0);
  }
  gd::End2D();
}

}  // namespace vek
