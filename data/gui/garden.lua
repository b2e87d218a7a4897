-- The garden bar "garden": along the bottom of the screen the three shop rows on wooden
-- shelves (seed sorts; grass and flowers; animals) with their prices under the buttons, and
-- at the left edge three factory rows, each with the input ware and its count, an arrow, the
-- start button with the product on it, and the progress of the unit in work. The rows slide
-- in from the left when the mission needs their factory.

local SHELF_Y = 0
local ITEM = 72

-- One shop row: the bar and its shelf (left end, middle, right end) for `count` items.
local function ShopRow(wnd, name, x, count, itemWidth)
  itemWidth = itemWidth or ITEM
  local width = count * (itemWidth + 3) - 3
  PlayLook.Icon(wnd, 'left_' .. name, 'gui_plants', 'bar_left', x - 24, SHELF_Y, 24, 96)
  -- The middle is laid out as wide as the row can grow; the bar cuts it to its items.
  PlayLook.Icon(wnd, 'center_' .. name, 'gui_plants', 'bar_center', x, SHELF_Y, width, 96)
  PlayLook.Icon(wnd, 'right_' .. name, 'gui_plants', 'bar_right', x + width, SHELF_Y, 24, 96)
  local bar = cToolbarCtrl(name, wnd)
  bar:SetSize(itemWidth, ITEM, cCtrl.e_lstItems)
  -- The buttons stand on the shelf, their prices on its board.
  bar:SetPos(x, 4, 0)
  bar:SetSize(width, 100, 0)
  return bar
end

-- One factory row; the start button is its rightmost part, so a row whose button is just off
-- the left edge is wholly off screen.
local function FactoryRow(wnd, i, y)
  local n = tostring(i)
  PlayLook.Icon(wnd, 'img0_' .. n, 'icons00', nil, 8, y + 14, 44, 44)
  local count = PlayLook.Number(wnd, 'lb0_' .. n, 'x0', 6, y - 12, 52, 26, cAlign.Center + cAlign.Middle, PlayLook.CREAM)
  PlayLook.Icon(wnd, 'arrow_' .. n, 'gui_plants', 'arrow', 56, y + 16, 42, 30, cImageCtrlEx)
  local button = cButtonCtrl('but_' .. n, wnd)
  button:SetTexture('gui_plants', 0)
  button:SetPos(100, y, 0)
  button:SetSize(64, 64, 0)
  SetSheetArea(button, 'gui_plants', 'factory_button', cCtrl.e_btnNormal)
  local product = PlayLook.Icon(wnd, 'img1_' .. n, 'icons00', nil, 110, y + 10, 44, 44)
  product:EnableState(cCtrl.e_Ignorable)
  PlayLook.Icon(wnd, 'back_progress_' .. n, 'gui_plants', 'progress_back', 100, y - 14, 64, 14, cFrameCtrl)
  local progress = cProgressBarSysCtrl('progress_' .. n, wnd)
  progress:SetTexture('gui_plants')
  progress:SetPos(103, y - 11, 0)
  progress:SetSize(58, 8, 0)
  SetSheetArea(progress, 'gui_plants', 'progress', 0)
  progress:SetValue(0)
end

function FillWindow(wnd)
  PlayLook.Require()
  wnd:SetActive(true)
  local frame = cCtrl('MainFrame', wnd)

  ShopRow(wnd, 'plants', 28, 5)
  ShopRow(wnd, 'grass', 460, 2)
  -- A little wider: the animals' prices have more digits.
  ShopRow(wnd, 'animals', 667, 4, 80)

  for i = 0, 2 do
    FactoryRow(wnd, i, 560 - 110 * i)
  end
  return 0
end
