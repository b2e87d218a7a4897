-- The player list "profile_select": pick a player, make a new one or delete one. The slider
-- beside the list scrolls it.

function FillWindow(wnd)
  wnd:SetActive(true)
  MenuLook.Panel(wnd, 'board', 272, 118, 480, 520)
  MenuLook.Label(wnd, 'title', 'Who is gardening today?', 312, 560, 400, 40, nil, 'menu_header')
  MenuLook.List(wnd, 'lstProfile', 336, 300, 300, 6, 38)
  MenuLook.Slider(wnd, 'slProfile', 664, 290, 248, 0, 0, true)
  MenuLook.Button(wnd, 'btAdd', 'New', 322, 204, 180)
  MenuLook.Button(wnd, 'btDelete', 'Delete', 522, 204, 180)
  MenuLook.Button(wnd, 'btOk', 'Play', 392, 140, 240)
  return 0
end
