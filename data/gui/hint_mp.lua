-- The island map's tooltip "hint_mp": over a level already played, its day, the time the
-- player took and the medal earned. The island moves the window above the level's place; the
-- board stands at the origin.

function FillWindow(wnd)
  MenuLook.Panel(wnd, 'frame', 0, 0, 200, 112)
  local left = cAlign.Left + cAlign.Middle
  local right = cAlign.Right + cAlign.Middle
  MenuLook.Label(wnd, 'lbDay', 'Day', 22, 72, 80, 24, left, 'menu_header')
  MenuLook.Label(wnd, 'day', '', 100, 72, 78, 24, right, 'menu_header')
  MenuLook.Label(wnd, 'lbTime', 'Time', 22, 46, 80, 22, left)
  MenuLook.Label(wnd, 'time', '', 100, 46, 78, 22, right)
  MenuLook.Label(wnd, 'lbMedal', 'Medal', 22, 22, 80, 22, left)
  MenuLook.Label(wnd, 'medal', '', 100, 22, 78, 22, right)
  return 0
end
