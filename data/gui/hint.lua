-- The hint window "hint": a board with the hint's text and its close button, an arrow from
-- the board to what the hint points at, and the lit rectangle of the thing to click (the
-- rest of the screen is dimmed in the lit rectangle's colour). The game places the hint:
-- the board must stand at the origin here, and the text and button keep their places on it.

local BROWN = {0.29, 0.18, 0.11}

function FillWindow(wnd)
  wnd:SetActive(true)
  local highlight = cImageCtrlEx('highlight', wnd)
  highlight:SetTexture('hint_glow')
  highlight:SetPos(0, 0, 0)
  highlight:SetSize(64, 64, 0)
  highlight:SetColor(0.08, 0.05, 0.02, 0.45)
  highlight:DisableState(cCtrl.e_Visibility)

  local arrow = cImageCtrl('arrow', wnd)
  arrow:SetTexture('hint_arrow')
  arrow:SetPos(0, 0, 0)
  arrow:SetSize(56, 56, 0)
  -- The arrow and the text only show the way: the pointer goes through them to what they
  -- point at.
  arrow:EnableState(cCtrl.e_Ignorable)

  MenuLook.Panel(wnd, 'frame', 0, 0, 340, 180)
  local text = cTextBoxSysCtrl('text', wnd)
  text:SetPos(26, 90, 0)
  text:SetSize(288, 60, 0)
  text:SetAlign(cAlign.Center + cAlign.Middle)
  text:SetFontPrt('menu_text')
  text:SetColor(BROWN[1], BROWN[2], BROWN[3])
  text:SetText('')
  text:EnableState(cCtrl.e_Ignorable)
  MenuLook.Button(wnd, 'close', 'Ok', 110, 28, 120, 46)
  return 0
end
