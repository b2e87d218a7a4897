#pragma once
// The first screen: script-defined slides, each a set of pictures held for some seconds with
// a fade in and out, then the application's loading stage. A key press or a mouse click ends
// the current slide.
#include <memory>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/tween.h"
#include "engine/core/types.h"
#include "engine/gui/widget.h"

class cMiddle;
class cFlashPlayer;

class cSplashWidget : public vek::cWidget {
 public:
  class cNode {
   public:
    // Adds the texture of that name (the default texture when none has it) over the
    // rectangle, in the 800 x 600 splash space with y upwards.
    void AddImage(const vek::string& texture, vek::f32 x, vek::f32 y, vek::f32 w, vek::f32 h);

    vek::f32 time = 0.0f;  // seconds left
    std::vector<vek::u32> textures;
    std::vector<vek::rectf> rects;
    vek::string movie;
  };

  // Loads the splash pictures, runs splash.lua and "FillSplash", and starts fading in.
  explicit cSplashWidget(cMiddle* owner);
  ~cSplashWidget() override;

  void Render() override;
  void Step() override;
  void OnEvent(vek::u32 type, vek::u32 param) override;

  virtual void SetBackColor(vek::f32 r, vek::f32 g, vek::f32 b);
  // Appends an empty slide shown for `seconds`; the widget owns it.
  virtual cNode* AddNode(vek::f32 seconds);
  // Appends a slide that plays a movie (nothing in the game adds one).
  virtual cNode* AddFlashNode(const vek::string& movie, vek::f32 seconds);

  size_t GetSlideCount() const { return m_Slides.size(); }
  vek::u32 GetCurrent() const { return m_Current; }
  const cNode* GetSlide(size_t i) const { return i < m_Slides.size() ? m_Slides[i].get() : nullptr; }
  vek::f32 GetFade() const { return m_Fade.current; }
  bool IsFadingOut() const { return m_bFadingOut; }
  void Detach() { m_pOwner = nullptr; }

 private:
  cMiddle* m_pOwner;
  // Slides are held by pointer so that a script's slide stays valid as more are added.
  std::vector<std::unique_ptr<cNode>> m_Slides;
  vek::u32 m_Current = 0;
  vek::cAnimatedFloat m_Fade;
  bool m_bFadingOut = false;
  bool m_bEnded = false;
  std::unique_ptr<cFlashPlayer> m_pFlash;
  vek::u32 m_FlashTexture = 0;
  std::vector<vek::u32> m_Pictures;  // the textures it loaded, freed when the slides end
};
