-- The message box "messagebox": a picture, a title, up to five lines of text, and one or
-- two buttons. It is modal: the windows under it wait for the answer.

function FillWindow(wnd)
  wnd:SetActive(true)
  wnd:SetModal(true)
  MenuLook.Panel(wnd, 'board', 262, 214, 500, 340)
  MenuLook.Picture(wnd, 'image', 'icon_question', 306, 410, 80, 80)
  MenuLook.Picture(wnd, 'icon', 'icon_head', 358, 398, 40, 40)
  MenuLook.Label(wnd, 'title', '', 402, 478, 320, 34, cAlign.Left + cAlign.Middle, 'menu_header')
  for i = 0, 4 do
    MenuLook.Label(wnd, 'line' .. i, '', 402, 442 - 28 * i, 320, 28, cAlign.Left + cAlign.Middle)
  end
  MenuLook.Button(wnd, 'ok', MenuLook.Word('Ok'), 302, 262, 196)
  MenuLook.Button(wnd, 'cancel', MenuLook.Word('Cancel'), 526, 262, 196)
  return 0
end
