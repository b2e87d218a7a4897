-- The briefing "mission_start": the level's number ("tasks" holds the title with one
-- integer placeholder), up to four rows of what the level asks for from its start, the
-- building the level leads to with its price, the time limit, and "ok" to begin.

function FillWindow(wnd)
  PlayLook.Require()
  wnd:SetActive(true)
  wnd:SetModal(true)
  MenuLook.Panel(wnd, 'board', 252, 96, 520, 600)
  MenuLook.Label(wnd, 'tasks', 'Level %i', 292, 628, 440, 40, nil, 'menu_header')
  MenuLook.Label(wnd, 'lbGoal', 'Grow and deliver:', 300, 588, 424, 30, cAlign.Left + cAlign.Middle)
  for i = 0, 3 do
    PlayLook.TaskRow(wnd, tostring(i), 310, 530 - 54 * i, 400)
  end
  MenuLook.Label(wnd, 'build', 'Then build:', 300, 306, 424, 30, cAlign.Left + cAlign.Middle)
  PlayLook.TaskRow(wnd, '', 310, 250, 400)
  PlayLook.Icon(wnd, 'imgTime', 'icons01', 'clock', 310, 190, 40, 40)
  MenuLook.Label(wnd, 'lbTime', 'Time for gold:', 360, 190, 200, 40, cAlign.Left + cAlign.Middle)
  PlayLook.Number(wnd, 'time', '0:00', 574, 190, 136, 40, cAlign.Right + cAlign.Middle)
  MenuLook.Button(wnd, 'ok', 'Start', 392, 120, 240)
  return 0
end
