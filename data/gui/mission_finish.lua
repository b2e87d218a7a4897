-- The level result "mission_finish": the caption ("caption" holds the text with one integer
-- placeholder for the level's number), the bank the money and the time bonus are paid into,
-- the medal earned, three rows for the level's awards, and "ok" (the first press completes
-- the payment at once, the second goes on).

function FillWindow(wnd)
  PlayLook.Require()
  wnd:SetActive(true)
  wnd:SetModal(true)
  MenuLook.Panel(wnd, 'board', 232, 110, 560, 560)
  MenuLook.Label(wnd, 'caption', 'Level %i done!', 272, 602, 480, 44, nil, 'menu_header')

  MenuLook.Field(wnd, 'frmBank', 284, 500, 280, 84)
  PlayLook.Icon(wnd, 'imgBank', 'icons01', 'bank', 296, 510, 64, 64)
  MenuLook.Label(wnd, 'lbBankTitle', 'Bank', 372, 548, 180, 28, cAlign.Left + cAlign.Middle)
  PlayLook.Number(wnd, 'lbBank', '0', 372, 510, 180, 38)

  MenuLook.Field(wnd, 'frmMedal', 612, 484, 128, 116)
  local medal = PlayLook.Icon(wnd, 'imgMedal', 'icons01', 'gold', 628, 494, 96, 96)

  MenuLook.Label(wnd, 'lbAwards', 'New for your garden:', 284, 448, 456, 30, cAlign.Left + cAlign.Middle)
  for i = 0, 2 do
    local y = 384 - 64 * i
    PlayLook.Icon(wnd, 'imgAward' .. i, 'icons00', nil, 300, y, 56, 56)
    MenuLook.Label(wnd, 'lbAward' .. i, '', 372, y, 368, 56, cAlign.Left + cAlign.Middle, 'menu_header')
  end
  MenuLook.Button(wnd, 'ok', 'Ok', 392, 136, 240)
  return 0
end
