#pragma once
// The hint window's layout and behaviour: a framed text that may point with an arrow at a spot
// and may light a rectangle of the screen (the thing to click) while the rest is dimmed in the
// highlight's colour. A blocking hint takes the game's pointer input until it is answered;
// while a rectangle is lit, moves and clicks inside it still reach the game below.
//
// The layout file must put "frame" at the origin: placements move the frame by the difference
// to where the last one put it, and the text, arrow and close button follow the frame.
#include <array>

#include "engine/core/geometry.h"
#include "engine/core/tween.h"
#include "engine/core/types.h"
#include "engine/gui/window.h"

namespace vek {
class cCtrl;
class cLabelCtrl;
}  // namespace vek

// The empty target: no highlight.
inline constexpr vek::rectf kNoHintTarget{0.0f, 0.0f, 0.0f, 0.0f};
// True when all four values are those of the empty target.
bool IsRectEmptyHint(const vek::rectf& r);
// The four strips around a lit rectangle that dim the rest of a w x h screen: left, below,
// above, right.
std::array<vek::rectf, 4> HintDimStrips(const vek::rectf& lit, vek::f32 w, vek::f32 h);

class cHintWF : public vek::cWindowFunction {
 public:
  // Alignment flags of a placement (0: automatic, towards the screen's centre).
  static constexpr vek::u32 kAlignLeft = 1;
  static constexpr vek::u32 kAlignBottom = 32;

  cHintWF();

  int Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) override;
  // A centred message without arrow or highlight.
  virtual int PlaceCentered(const vek::string& text, bool blocking);
  // Lays the hint out around the point (-1, -1: centred on the screen) and lights the target
  // (the empty target: none). A non-zero align shows the arrow. Nothing while not ready.
  virtual int Place(const vek::string& text, const vek::rectf* target, const vek::vec2* point, vek::u32 align,
                    bool blocking);

  bool IsNotReady() const { return m_bNotReady; }
  bool IsBlocking() const { return m_bBlocking; }
  const vek::cAnimatedFloat& GetFade() const { return m_Fade; }
  vek::vec2 GetFramePos() const { return m_FramePos; }

 private:
  static bool Visible(const vek::cCtrl* c);
  void Paint(vek::cWindow* window);

  vek::cAnimatedFloat m_Fade;
  bool m_bNotReady = true;
  vek::vec2 m_FramePos{0.0f, 0.0f};
  bool m_bBlocking = true;
  vek::vec2 m_CloseOffset{0.0f, 0.0f};
  vek::vec2 m_TextOffset{0.0f, 0.0f};
  vek::f32 m_FrameMargin = 0.0f;
  vek::f32 m_CloseRow = 0.0f;
  vek::cCtrl* m_pFrame = nullptr;
  vek::cCtrl* m_pArrow = nullptr;
  vek::cCtrl* m_pHighlight = nullptr;
  vek::cLabelCtrl* m_pText = nullptr;
  vek::cCtrl* m_pClose = nullptr;
  vek::cWindow* m_pWindow = nullptr;
};
