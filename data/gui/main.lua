-- The main menu "main": a board with the greeting and the menu's buttons, low enough to leave
-- the title painting's name and motto in view (the painting carries the game's name). The
-- greeting's own text is its format: "%s" takes the player's name.

function FillWindow(wnd)
  wnd:SetActive(true)
  MenuLook.Panel(wnd, 'board', 342, 24, 340, 440)
  MenuLook.Label(wnd, 'lbProfile', MenuLook.Text('MenuWelcome'), 382, 386, 260, 40, nil, 'menu_header')
  MenuLook.Button(wnd, 'btStart', MenuLook.Text('MenuPlay'), 392, 296, 240)
  MenuLook.Button(wnd, 'btProfile', MenuLook.Text('MenuChangePlayer'), 392, 226, 240)
  MenuLook.Button(wnd, 'btOptions', MenuLook.Text('MenuOptions'), 392, 156, 240)
  MenuLook.Button(wnd, 'btExit', MenuLook.Text('MenuExit'), 392, 86, 240)
  local logo = cButtonLogoCtrl('btLogo', wnd)
  logo:SetPos(860, 20, 0)
  return 0
end
