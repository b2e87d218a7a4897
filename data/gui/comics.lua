-- The window "comics", over a playing comic: its button turns the page (a click or a key on
-- the comic itself first shows the rest of the page).

function FillWindow(wnd)
  wnd:SetActive(true)
  MenuLook.Button(wnd, 'next', 'Next', 842, 18, 164, 52)
  return 0
end
