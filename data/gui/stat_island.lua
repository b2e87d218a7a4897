-- The island statistics "stat_island": the island's people and houses, its markets and
-- factories, and whether the institute, the animals building and the statue stand. A kind
-- that is not there shows its lock picture instead, its caption hidden.

function FillWindow(wnd)
  wnd:SetActive(true)
  wnd:SetModal(true)
  MenuLook.Panel(wnd, 'board', 232, 64, 560, 630)
  MenuLook.Label(wnd, 'title', 'Your island', 272, 626, 480, 40, nil, 'menu_header')
  local left = cAlign.Left + cAlign.Middle
  MenuLook.Picture(wnd, 'img_people', 'stat_people', 300, 550, 56, 56)
  MenuLook.Label(wnd, 'lb_people', 'People', 380, 562, 200, 32, left)
  MenuLook.Label(wnd, 'num_people', 'x0', 620, 562, 100, 32, left, 'menu_header')
  MenuLook.Picture(wnd, 'img_house', 'stat_house', 300, 488, 56, 56)
  MenuLook.Label(wnd, 'lb_house', 'Houses', 380, 500, 200, 32, left)
  MenuLook.Label(wnd, 'num_house', 'x0', 620, 500, 100, 32, left, 'menu_header')
  local kinds = {
    {'market', 'Markets'}, {'factory', 'Factories'}, {'institute', 'Institute'},
    {'animals', 'Animal farm'}, {'statue', 'Statue'},
  }
  for i, kind in ipairs(kinds) do
    local y = 488 - 62 * i
    MenuLook.Picture(wnd, 'img_' .. kind[1], 'stat_' .. kind[1], 300, y, 56, 56)
    MenuLook.Picture(wnd, 'img_' .. kind[1] .. '_lock', 'stat_lock', 300, y, 56, 56)
    MenuLook.Label(wnd, 'lb_' .. kind[1], kind[2], 380, y + 12, 200, 32, left)
    MenuLook.Label(wnd, 'num_' .. kind[1], 'x0', 620, y + 12, 100, 32, left, 'menu_header')
  end
  MenuLook.Button(wnd, 'ok', 'Ok', 412, 96, 200)
  return 0
end
