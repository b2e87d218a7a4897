#pragma once
// The picture behind the title menus while no island map is there to show: the game's title
// painting ("splash2", loaded again when the splash has freed it) over the whole screen. The
// widget is named "title"; the engine's widget list owns it.
#include "engine/gui/widget.h"

class cMiddle;

class cTitleBackdrop : public vek::cWidget {
 public:
  explicit cTitleBackdrop(const cMiddle* owner);
  void Render() override;

 private:
  const cMiddle* m_pOwner;
};
