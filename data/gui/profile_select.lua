-- The player list "profile_select": pick a player, make a new one or delete one. The slider
-- beside the list scrolls it.

function FillWindow(wnd)
  wnd:SetActive(true)
  MenuLook.Panel(wnd, 'board', 272, 96, 480, 480)
  MenuLook.Label(wnd, 'title', MenuLook.Text('ProfileSelectTitle'), 312, 508, 400, 40, nil, 'menu_header')
  MenuLook.List(wnd, 'lstProfile', 336, 290, 300, 5, 38)
  MenuLook.Slider(wnd, 'slProfile', 664, 280, 210, 0, 0, true)
  MenuLook.Button(wnd, 'btAdd', MenuLook.Text('ProfileNew'), 322, 202, 180)
  MenuLook.Button(wnd, 'btDelete', MenuLook.Text('ProfileDelete'), 522, 202, 180)
  MenuLook.Button(wnd, 'btOk', MenuLook.Text('MenuPlay'), 392, 128, 240)
  return 0
end
