-- The new player window "profile_add": a name and Ok or Cancel. Enter and Escape do what the
-- buttons do.

function FillWindow(wnd)
  wnd:SetActive(true)
  wnd:SetModal(true)
  MenuLook.Panel(wnd, 'board', 262, 234, 500, 300)
  MenuLook.Label(wnd, 'title', MenuLook.Text('ProfileAddTitle'), 302, 456, 420, 40, nil, 'menu_header')
  MenuLook.Label(wnd, 'prompt', MenuLook.Text('ProfileAddPrompt'), 322, 416, 380, 30, cAlign.Left + cAlign.Middle)
  MenuLook.Edit(wnd, 'name', 322, 360, 380, 52, 16)
  MenuLook.Button(wnd, 'ok', MenuLook.Word('Ok'), 302, 282, 196)
  MenuLook.Button(wnd, 'cancel', MenuLook.Word('Cancel'), 526, 282, 196)
  return 0
end
