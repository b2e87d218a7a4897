-- The island map's tooltip "hint_mp": over a level already played, its day, the time the
-- player took and the medal earned. The island moves the window above the level's place; the
-- board stands at the origin.

function FillWindow(wnd)
  MenuLook.Panel(wnd, 'frame', 0, 0, 236, 140)
  local left = cAlign.Left + cAlign.Middle
  local right = cAlign.Right + cAlign.Middle
  MenuLook.Label(wnd, 'lbDay', 'Day', 34, 86, 80, 26, left, 'menu_header')
  MenuLook.Label(wnd, 'day', '', 116, 86, 86, 26, right, 'menu_header')
  MenuLook.Label(wnd, 'lbTime', 'Time', 34, 58, 80, 24, left)
  MenuLook.Label(wnd, 'time', '', 116, 58, 86, 24, right)
  MenuLook.Label(wnd, 'lbMedal', 'Medal', 34, 30, 80, 24, left)
  MenuLook.Label(wnd, 'medal', '', 116, 30, 86, 24, right)
  return 0
end
