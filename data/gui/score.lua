-- The score panel "score", over the garden and the island: the money (the bank on the
-- island) on a board at the top left, the menu button beside it, the level clock with the
-- medal still within reach at the top right, and below it the four task indicators, which
-- rest just off the right edge of the screen until the mission moves them in.

function FillWindow(wnd)
  PlayLook.Require()
  wnd:SetActive(true)

  PlayLook.Board(wnd, 'frmMoney', 8, 694, 236, 68, 24)
  PlayLook.Icon(wnd, 'imgMoney', 'icons01', 'coin', 22, 704, 48, 48)
  PlayLook.Number(wnd, 'money', '0', 80, 704, 150, 48)
  PlayLook.Icon(wnd, 'decMoney0', 'icons01', 'leaf', 0, 736, 32, 32)
  PlayLook.Icon(wnd, 'decMoney1', 'icons01', 'leaf_right', 220, 686, 32, 32)

  local menu = MenuLook.Button(wnd, 'menu', 'Menu', 256, 702, 132, 52)

  PlayLook.Board(wnd, 'clock_back', 894, 642, 124, 120, 24)
  local clock = cClockCtrl('clock', wnd)
  clock:SetPos(916, 664, 0)
  clock:SetSize(80, 80, 0)
  PlayLook.Icon(wnd, 'clock_medal', 'icons01', 'gold', 966, 646, 44, 44, cImageCtrlEx)

  for i = 0, 3 do
    local task = cTaskCtrl('task' .. i, wnd)
    task:SetTexture('title_panel', cMissionCtrl.e_itemFrame)
    task:SetUVPos(0, 0, cMissionCtrl.e_itemFrame)
    task:SetUVSize(1, 1, cMissionCtrl.e_itemFrame)
    task:SetSize(20, 20, cCtrl.e_frmBorder)
    task:SetUVSize(20 / 160, 20 / 160, cCtrl.e_frmBorder + cMissionCtrl.e_itemFrame)
    task:SetPos(868, 560 - 78 * i, 0)
    task:SetSize(150, 70, 0)
    task:SetSize(48, 48, cMissionCtrl.e_itemImage)
    task:SetFontPrt('menu_header')
    task:SetColor(PlayLook.BROWN[1], PlayLook.BROWN[2], PlayLook.BROWN[3])
    task:SetText('')
  end

  local fps = cLabelSysCtrl('dump_fps', wnd)
  fps:SetPos(8, 4, 0)
  fps:SetSize(200, 20, 0)
  local time = cLabelSysCtrl('dump_time', wnd)
  time:SetPos(8, 24, 0)
  time:SetSize(200, 20, 0)
  return 0
end
