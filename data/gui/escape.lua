-- The escape menu "escape", opened during play: resume, restart or end the level, or change
-- the options. Escape and the right mouse button resume too.

function FillWindow(wnd)
  wnd:SetActive(true)
  wnd:SetModal(true)
  MenuLook.Panel(wnd, 'board', 342, 164, 340, 440)
  MenuLook.Label(wnd, 'title', MenuLook.Text('PausedTitle'), 382, 524, 260, 40, nil, 'menu_header')
  MenuLook.Button(wnd, 'btResume', MenuLook.Text('MenuResume'), 392, 444, 240)
  MenuLook.Button(wnd, 'btRestart', MenuLook.Text('MenuRestartLevel'), 392, 374, 240)
  MenuLook.Button(wnd, 'btOptions', MenuLook.Text('MenuOptions'), 392, 304, 240)
  MenuLook.Button(wnd, 'btEnd', MenuLook.Text('MenuEndLevel'), 392, 234, 240)
  return 0
end
