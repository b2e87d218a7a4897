#pragma once
// A coloured label that wraps its text into lines inside its rectangle. Words are never
// broken: a word wider than the box stands on a line of its own; lines that do not fit are
// dropped. Colour codes and "^^" take no width. Its hit area is the whole rectangle.
#include <vector>

#include "engine/gui/label_sys_ctrl.h"

namespace vek {

class cTextBoxSysCtrl : public cLabelSysCtrl {
 public:
  cTextBoxSysCtrl(const vek::string& name, cWindow* window) : cLabelSysCtrl(name, window) {}

  void Draw() override;
  // Wraps the text again. A text that does not end with a blank or a line feed gains a
  // trailing blank (kept in the stored text).
  void UpdateLayout() override;
  // Moves the box, its text rectangle and its lines without wrapping again.
  void SetPos(f32 x, f32 y, int flags) override;
  bool HitTest(f32 x, f32 y) const override { return RectContainsInclusive(m_Rect, x, y); }
  rectf GetRect() const override { return m_Rect; }
  const char* GetClassName() const override { return "cTextBoxSysCtrl"; }

  const std::vector<vek::string>& GetLines() const { return m_Lines; }
  const std::vector<vec2>& GetLinePositions() const { return m_LinePos; }

 protected:
  std::vector<vek::string> m_Lines;
  // The drawing position of each line; while wrapping, x holds the line's width so far.
  std::vector<vec2> m_LinePos;
};

}  // namespace vek
