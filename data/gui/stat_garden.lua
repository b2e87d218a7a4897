-- The garden statistics "stat_garden": every ware of the garden and every animal kind with
-- its picture and how many the player has produced or bought. A picture is named as its ware
-- and its count "num_" and the ware's name; the game shows a lock and "x0" for what the
-- player never had (every row starts with a lock).

local rows = {
  -- Plants, in the order they are unlocked.
  'plant00', 'plant01', 'plant02', 'plant03', 'plant04', 'plant05', 'plant06', 'plant07',
  -- Cover of the beds.
  'grass', 'flowers',
  -- Products of the island's factories.
  'product00', 'product01', 'product02', 'product03', 'product01_1', 'product02_1', 'product03_1',
  -- Goods of the animals, then the animals.
  'egg', 'milk', 'honey', 'nib',
  'ostrich', 'goat', 'hive', 'peacock',
}

function FillWindow(wnd)
  wnd:SetActive(true)
  wnd:SetModal(true)
  MenuLook.Panel(wnd, 'board', 192, 84, 640, 600)
  MenuLook.Label(wnd, 'title', 'Your garden', 232, 612, 560, 40, nil, 'menu_header')
  MenuLook.Field(wnd, 'field', 236, 176, 552, 430)
  for i, name in ipairs(rows) do
    local column = (i - 1) % 5
    local row = math.floor((i - 1) / 5)
    local x = 252 + 108 * column
    local y = 526 - 84 * row
    MenuLook.Picture(wnd, name, 'stat_lock', x, y, 56, 56)
    MenuLook.Label(wnd, 'num_' .. name, 'x0', x + 58, y, 48, 28, cAlign.Left + cAlign.Middle, 'menu_header')
  end
  MenuLook.Button(wnd, 'ok', 'Ok', 412, 108, 200)
  return 0
end
