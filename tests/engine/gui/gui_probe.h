#pragma once
// Recording window functions and controls for the GUI tests.
#include <string>
#include <vector>

#include "engine/gui/edit_ctrl.h"
#include "engine/gui/gui.h"
#include "engine/gui/image_ctrl.h"
#include "engine/gui/slider_ctrl.h"
#include "engine/gui/window.h"

namespace vektest {

struct WndMsg {
  unsigned window;
  vek::u32 message, p1, p2;
  bool operator==(const WndMsg&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const WndMsg& m) {
  return os << "{" << m.window << ", " << m.message << ", " << m.p1 << ", " << m.p2 << "}";
}

// Logs every message, then runs the default handling. With `take` set it reports routed input
// as taken.
class RecordingFunction : public vek::cWindowFunction {
 public:
  explicit RecordingFunction(std::vector<WndMsg>* log, bool take = false) : m_Take(take), m_Log(log) {}
  int Call(vek::cWindow* w, vek::u32 m, vek::u32 p1, vek::u32 p2) override {
    m_Log->push_back({w->GetID(), m, p1, p2});
    const int result = vek::cWindowFunction::Call(w, m, p1, p2);
    const bool input = m == 0 || (m >= 3 && m <= 7) || m == 13 || m == 17 || m == 18;
    return (m_Take && input) ? 1 : result;
  }
  bool m_Take;

 private:
  std::vector<WndMsg>* m_Log;
};

// An image control that logs the events it gets (id, code).
class RecordingCtrl : public vek::cImageCtrl {
 public:
  RecordingCtrl(const std::string& name, vek::cWindow* w, std::vector<std::pair<unsigned, vek::u32>>* log)
      : vek::cImageCtrl(name, w), m_Log(log) {}
  bool OnEvent(vek::u32 code, vek::u32 p1, vek::u32 p2) override {
    if (m_Log) m_Log->push_back({GetID(), code});
    return vek::cImageCtrl::OnEvent(code, p1, p2);
  }

 private:
  std::vector<std::pair<unsigned, vek::u32>>* m_Log;
};

// A slider with a fixed track and a thumb that SetPos moves.
class TestSlider : public vek::cSliderCtrl {
 public:
  TestSlider(const std::string& name, vek::cWindow* w, vek::rectf track, vek::rectf thumb)
      : vek::cSliderCtrl(name, w), m_Track(track), m_Thumb(thumb) {}
  vek::rectf GetTrackRect() const override { return m_Track; }
  vek::rectf GetThumbRect() const override { return m_Thumb; }
  void SetPos(vek::f32 x, vek::f32 y, int flags) override {
    if (flags & e_sldImage) {
      m_Thumb.x = x;
      m_Thumb.y = y;
      ++moves;
    }
    UpdateLayout();
  }
  vek::rectf m_Track, m_Thumb;
  int moves = 0;
};

// An edit field that keeps its text.
class TestEdit : public vek::cEditCtrl {
 public:
  TestEdit(const std::string& name, vek::cWindow* w) : vek::cEditCtrl(name, w) {}
  void SetText(const vek::string& text) override { m_Text = text; }
  const vek::string& GetText() const override { return m_Text; }
  bool HitTest(vek::f32 x, vek::f32 y) const override { return vek::RectContainsInclusive(rect, x, y); }
  vek::rectf rect;

 private:
  vek::string m_Text;
};

}  // namespace vektest
