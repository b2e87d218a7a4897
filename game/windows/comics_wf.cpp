#include "game/windows/comics_wf.h"

#include "game/windows/garden_comics.h"
#include "engine/gui/gui.h"
#include "game/windows/island_windows.h"

int cComicsWF::Call(vek::cWindow* window, vek::u32 message, vek::u32 p1, vek::u32 p2) {
  if (IsReady() && message == vek::e_ntfButtonClick && IsControl(window, p2, "next"))
    if (cGardenComics* comics = FindComicsWidget()) comics->NextPage();
  return HandleMessage(window, message, p1, p2);
}
