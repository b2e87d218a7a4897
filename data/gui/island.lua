-- The island window "island", over the island map: on the left the player's panel (name,
-- rating, five stars and the button to the garden statistics), on the right the island's
-- panel (rating, ten houses and the button to the island statistics). The stars and houses
-- are pictures of "icons00"; the game picks their areas.

local function Panel(wnd, prefix, x, caption, face)
  MenuLook.Panel(wnd, prefix .. 'frame', x, 590, 420, 170)
  local decor = cFrameCtrl(prefix .. 'decor', wnd)
  decor:SetTexture('title_field')
  decor:SetPos(x + 108, 688, 0)
  decor:SetSize(290, 44, 0)
  MenuLook.Area(decor, 96, 48, 0, 0, 96, 48)
  MenuLook.Border(decor, 96, 48, 14)
  decor:EnableState(cCtrl.e_Ignorable)
  MenuLook.Picture(wnd, prefix .. 'face', face, x + 26, 662, 76, 76)
  if caption then
    MenuLook.Label(wnd, prefix .. 'caption', caption, x + 118, 690, 270, 40, cAlign.Left + cAlign.Middle,
                   'menu_header')
  end
end

function FillWindow(wnd)
  wnd:SetActive(true)
  -- The player.
  Panel(wnd, '', 8, nil, 'icon_head')
  MenuLook.Label(wnd, 'profile', '', 126, 690, 270, 40, cAlign.Left + cAlign.Middle, 'menu_header')
  MenuLook.Label(wnd, 'rate', '', 118, 652, 280, 30, cAlign.Left + cAlign.Middle)
  for i = 0, 4 do
    MenuLook.Picture(wnd, 'star' .. i, 'icons00', 118 + 36 * i, 618, 32, 32)
  end
  MenuLook.Button(wnd, 'but_rate', 'More', 300, 608, 108, 46)

  -- The island.
  Panel(wnd, 'island_', 596, 'Island', 'island_face')
  MenuLook.Label(wnd, 'island_rate', '', 706, 656, 280, 28, cAlign.Left + cAlign.Middle)
  for i = 0, 9 do
    MenuLook.Picture(wnd, 'island_star' .. i, 'icons00', 706 + 25 * (i % 5), 630 - 24 * math.floor(i / 5), 23, 23)
  end
  MenuLook.Button(wnd, 'but_island_rate', 'More', 888, 608, 108, 46)
  return 0
end
