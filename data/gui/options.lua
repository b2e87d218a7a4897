-- The options window "options": screen resolution and windowed play, brightness (the slider
-- runs opposite to the gamma: gamma = 4 - value), sound and music volumes, mouse speed and
-- hints. Every change applies at once; Back (or Escape) returns to the menu it came from.

function FillWindow(wnd)
  wnd:SetActive(true)
  wnd:SetModal(true)
  MenuLook.Panel(wnd, 'board', 192, 24, 640, 560)
  MenuLook.Label(wnd, 'title', MenuLook.Text('OptionsTitle'), 232, 514, 560, 40, nil, 'menu_header')

  local left = cAlign.Left + cAlign.Middle
  MenuLook.Label(wnd, 'lbResolution', MenuLook.Text('OptionsScreenSize'), 250, 478, 200, 30, left)
  MenuLook.List(wnd, 'lstResolution', 264, 286, 176, 5, 36)
  MenuLook.Check(wnd, 'cbWindowed', MenuLook.Text('OptionsWindowed'), 250, 212, 40)
  MenuLook.Check(wnd, 'cbHints', MenuLook.Text('OptionsHints'), 250, 156, 40)

  local rows = {
    {'slGamma', MenuLook.Text('OptionsBrightness'), 2.0, 3.5},
    {'slSound', MenuLook.Text('OptionsSound'), 0, 1},
    {'slMusic', MenuLook.Text('OptionsMusic'), 0, 1},
    {'slMouseSpeed', MenuLook.Text('OptionsMouseSpeed'), 0.05, 2.0},
  }
  for i, row in ipairs(rows) do
    local y = 478 - 80 * (i - 1)
    MenuLook.Label(wnd, 'lb' .. row[1], row[2], 500, y, 280, 30, left)
    MenuLook.Slider(wnd, row[1], 510, y - 40, 260, row[3], row[4])
  end

  MenuLook.Button(wnd, 'btBack', MenuLook.Text('OptionsBack'), 392, 72, 240)
  return 0
end
