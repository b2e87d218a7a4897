#include "engine/gui/text_box_sys_ctrl.h"

#include <cmath>

#include "engine/core/align.h"
#include "engine/gui/gui.h"
#include "engine/gui/gui_draw.h"

namespace vek {

namespace {

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The length of the code that starts at i and takes no width: 2 for "^^", 9 for "^" with
// eight hex digits (a colour), 0 for a character that is drawn. Texts are read as drawing
// reads them, so that the wrap measures what is drawn.
size_t CodeLength(const vek::string& text, size_t i) {
  if (text[i] != '^' || i + 1 >= text.size()) return 0;
  if (text[i + 1] == '^') return 2;
  if (i + 8 >= text.size()) return 0;
  for (size_t k = 1; k <= 8; ++k)
    if (!IsHexDigit(text[i + k])) return 0;
  return 9;
}

}  // namespace

void cTextBoxSysCtrl::UpdateLayout() {
  const u32 font = m_Font < gui_draw::FontCount() ? m_Font : 0;
  const f32 spacing = gui_draw::FontSpacing(font);
  const f32 space = std::trunc(gui_draw::FontCharAdvance(font, ' ') + spacing);
  const f32 lineHeight = gui_draw::FontLineHeight(font);

  // The last word ends with a blank like every other.
  if (m_Text.empty() || (m_Text.back() != ' ' && m_Text.back() != '\n')) m_Text += ' ';

  m_Lines.clear();
  m_LinePos.clear();
  if (!(lineHeight > 0.0f)) {
    // A font without a line height (not loaded yet) gives no lines; the next layout (text,
    // font, alignment or size set) wraps again.
    m_TextRect = rectf{0.0f, 0.0f, 0.0f, 0.0f};
    AlignRect(m_Rect, m_TextRect, m_Align);
    return;
  }
  m_Lines.emplace_back();
  m_LinePos.emplace_back();
  const size_t allowed = m_Rect.h > 0.0f ? static_cast<size_t>(m_Rect.h / lineHeight) : 0;

  vek::string word;
  f32 wordWidth = 0.0f;
  for (size_t i = 0; i < m_Text.size(); ++i) {
    const char c = m_Text[i];
    if (const size_t code = CodeLength(m_Text, i)) {
      word.append(m_Text, i, code);
      i += code - 1;
      continue;
    }
    if (c != ' ' && c != '\n') {
      word += c;
      wordWidth += gui_draw::FontCharAdvance(font, static_cast<u8>(c)) + spacing;
      continue;
    }
    const bool lineEmpty = m_Lines.back().empty();
    const f32 gap = lineEmpty ? 0.0f : space;
    if (m_LinePos.back().x + wordWidth + gap >= m_Rect.w) {
      if (m_Lines.size() >= allowed) break;
      m_Lines.push_back(word);
      m_LinePos.push_back(vec2(wordWidth, 0.0f));
    } else {
      if (!lineEmpty) m_Lines.back() += ' ';
      m_Lines.back() += word;
      m_LinePos.back().x += gap + wordWidth;
    }
    if (c == '\n') {
      if (m_Lines.size() >= allowed) break;
      m_Lines.emplace_back();
      m_LinePos.emplace_back();
    }
    word.clear();
    wordWidth = 0.0f;
  }

  // The block of lines stands in the box by the vertical alignment; each line is placed on
  // its own by the horizontal one, the last line lowest.
  const size_t n = m_Lines.size();
  rectf block{0.0f, 0.0f, 0.0f, static_cast<f32>(n) * lineHeight};
  AlignRect(m_Rect, block, m_Align & (cAlign::Top | cAlign::Middle | cAlign::Bottom));
  f32 left = 0.0f, right = 0.0f;
  for (size_t k = n; k-- > 0;) {
    rectf line{0.0f, 0.0f, m_LinePos[k].x - spacing, lineHeight};
    AlignRect(m_Rect, line, m_Align & (cAlign::Left | cAlign::Center | cAlign::Right));
    m_LinePos[k] = vec2(line.x, block.y + static_cast<f32>(n - 1 - k) * lineHeight);
    if (k == n - 1) {
      left = line.x;
      right = line.x + line.w;
    } else {
      if (line.x < left) left = line.x;
      if (line.x + line.w > right) right = line.x + line.w;
    }
  }
  m_TextRect = rectf{left, block.y, right - left, block.h};
}

void cTextBoxSysCtrl::Draw() {
  for (size_t k = 0; k < m_Lines.size(); ++k) gui_draw::ColorText(m_Font, m_LinePos[k], m_Lines[k], m_Color);
}

void cTextBoxSysCtrl::SetPos(f32 x, f32 y, int /*flags*/) {
  const f32 dx = x - m_Rect.x, dy = y - m_Rect.y;
  m_Rect.x = x;
  m_Rect.y = y;
  m_TextRect.x += dx;
  m_TextRect.y += dy;
  for (vec2& p : m_LinePos) {
    p.x += dx;
    p.y += dy;
  }
}

}  // namespace vek
