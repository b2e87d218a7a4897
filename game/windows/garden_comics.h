#pragma once
// The game's two comics: the opening comic (mode 0, a new player's first start; two pages,
// then the island map) and the ending comic (mode 1, after the statue's fireworks; one page,
// then the main menu). The pages stand on a two-piece background that dims in the first
// second; the window "comics" with its "next" button lies over the comic while it plays.
#include "game/windows/comics.h"

class cGardenComics : public cComics {
 public:
  static constexpr int kOpening = 0;
  static constexpr int kEnding = 1;

  cGardenComics() = default;

  void Render() override;
  void Step() override;
  void Start() override;
  void Finish() override;
  virtual void SetMode(vek::i32 mode) { m_Mode = mode; }

  vek::i32 GetMode() const { return m_Mode; }
  vek::f32 GetFade() const { return m_Fade; }
  // The background's grey level now: 255 at the start, 100 after a second.
  vek::i32 GetGrey() const;
  vek::u32 GetUpperBackground() const { return m_Upper; }
  vek::u32 GetLowerBackground() const { return m_Lower; }

 private:
  vek::i32 m_Mode = kOpening;
  vek::u32 m_Upper = 0;
  vek::u32 m_Lower = 0;
  vek::f32 m_Fade = 0.0f;
};
