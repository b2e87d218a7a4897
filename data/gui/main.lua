-- The main menu "main": the game's name over the island, a board with the greeting and the
-- menu's buttons. The greeting's own text is its format: "%s" takes the player's name.

function FillWindow(wnd)
  wnd:SetActive(true)
  MenuLook.Picture(wnd, 'logo', 'title_logo', 256, 596, 512, 144)
  MenuLook.Panel(wnd, 'board', 342, 138, 340, 440)
  MenuLook.Label(wnd, 'lbProfile', MenuLook.Text('MenuWelcome'), 382, 500, 260, 40, nil, 'menu_header')
  MenuLook.Button(wnd, 'btStart', MenuLook.Text('MenuPlay'), 392, 410, 240)
  MenuLook.Button(wnd, 'btProfile', MenuLook.Text('MenuChangePlayer'), 392, 340, 240)
  MenuLook.Button(wnd, 'btOptions', MenuLook.Text('MenuOptions'), 392, 270, 240)
  MenuLook.Button(wnd, 'btExit', MenuLook.Text('MenuExit'), 392, 200, 240)
  local logo = cButtonLogoCtrl('btLogo', wnd)
  logo:SetPos(860, 20, 0)
  return 0
end
