-- The reminder "mission_goal": the tasks active now, each with its icon, name and the count
-- still to go, and "ok" to return to the garden.

function FillWindow(wnd)
  PlayLook.Require()
  wnd:SetActive(true)
  wnd:SetModal(true)
  MenuLook.Panel(wnd, 'board', 272, 196, 480, 400)
  MenuLook.Label(wnd, 'title', 'Still to do', 312, 528, 400, 40, nil, 'menu_header')
  for i = 0, 3 do
    PlayLook.TaskRow(wnd, tostring(i), 320, 466 - 54 * i, 384)
  end
  MenuLook.Button(wnd, 'ok', 'Back to work', 382, 220, 260)
  return 0
end
