#pragma once
// The comics player: a full-screen widget that shows comic pages. A page is a set of picture
// panels that appear one after another, each fading in (and, unless it is marked still,
// flying in from the middle of the screen) when its turn comes. A key press or a click shows
// the rest of the page at once, the next one turns the page; after the last page the comic
// finishes.
//
// Pages are laid out as ordinary GUI windows that are never shown: every plain image control
// of such a window becomes a panel, and its name is the pause in seconds before it ("#"
// first: a still panel), so "0", "1.5", "#2" appear at 0, 1.5 and 3.5 s. A text control of
// the page is the caption of the panel before it and is drawn once that panel is in place.
#include <list>
#include <vector>

#include "engine/core/geometry.h"
#include "engine/core/types.h"
#include "engine/gui/widget.h"

namespace vek {
class cCtrl;
}

struct cComicsPanel {
  vek::f32 delay = 0.0f;  // seconds until fully shown; counts down to 0
  vek::u32 texture = 0;
  vek::rectf uv;
  vek::rectf rect;  // GUI space, origin bottom left
  vek::u32 still = 0;
};
// A caption: a text control of a page window, reached through the GUI when it is drawn.
struct cComicsCaption {
  size_t panel = 0;  // the panel it belongs to
  unsigned window = 0;
  unsigned control = 0;
};
struct cComicsPage {
  std::vector<cComicsPanel> panels;
  std::vector<cComicsCaption> captions;
};

// Where and how a panel is drawn now; not drawn while more than a second is left.
struct cPanelQuad {
  bool drawn = false;
  vek::rectf rect;
  vek::f32 alpha = 1.0f;
};

class cComics : public vek::cWidget {
 public:
  static constexpr vek::f32 kStep = 1.0f / 30.0f;
  // Input event kinds that turn the comic on.
  static constexpr vek::u32 kKeyPressed = 1;
  static constexpr vek::u32 kButtonPressed = 4;

  cComics();
  ~cComics() override;

  // The widget: drawing, the fixed step, focus and input.
  void Render() override;
  void Step() override;
  void Activate() override { OnActivate(); }
  void OnEvent(vek::u32 kind, vek::u32 value) override;

  virtual void OnActivate();
  virtual void DrawPage(vek::f32 width, vek::f32 height);
  virtual void ClearPages();
  // Appends a page built from the named window; an unknown window adds nothing.
  virtual void AddPage(const vek::string& windowName);
  // Drops the page on screen; when no page is left the comic finishes, once per start (a
  // second "next" on the last page does not leave the comic twice).
  virtual void NextPage();
  virtual void Start() {}
  virtual void Finish() {}

  static cPanelQuad PanelQuad(const cComicsPanel& panel, vek::f32 width, vek::f32 height);
  // The caption's text control; null when its window has gone.
  static vek::cCtrl* GetCaption(const cComicsCaption& caption);
  const std::list<cComicsPage>& GetPages() const { return m_Pages; }
  bool IsPlaying() const { return m_bPlaying; }

 protected:
  // The 2-D space the comic is drawn in (the GUI's).
  static void ScreenSize(vek::f32* width, vek::f32* height);

  std::list<cComicsPage> m_Pages;
  bool m_bPlaying = false;
};
