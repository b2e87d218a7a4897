-- The island editor's palette "edit": four tabs over a tool bar of the buildings of the
-- chosen kind. Picking a building hangs a new one on the cursor for placing on the island.

local CREAM = {1.0, 0.96, 0.86}

local function Tab(wnd, name, text, x)
  local tab = cTabButtonCtrl(name, wnd)
  tab:SetTexture('title_button', 0)
  tab:SetPos(x, 150, 0)
  tab:SetSize(150, 44, 0)
  tab:SetSize(24, 24, cCtrl.e_frmBorder)
  tab:SetUVPos(0, 1 - 64 / 256, 0)
  tab:SetUVSize(1, 64 / 256, cCtrl.e_btnNormal)
  tab:SetUVSize(24 / 256, 24 / 256, cCtrl.e_frmBorder)
  tab:SetFontPrt('menu_text')
  tab:SetColor(CREAM[1], CREAM[2], CREAM[3])
  tab:SetText(text)
  return tab
end

function FillWindow(wnd)
  wnd:SetActive(true)
  MenuLook.Panel(wnd, 'board', 152, 0, 720, 210)
  Tab(wnd, 'market', 'Markets', 196)
  Tab(wnd, 'house', 'Houses', 356)
  Tab(wnd, 'factory', 'Factories', 516)
  Tab(wnd, 'special', 'Special', 676)
  MenuLook.Field(wnd, 'shelf', 190, 30, 644, 112)
  local bar = cToolbarCtrl('toolbar', wnd)
  bar:SetPos(204, 40, 0)
  bar:SetSize(616, 92, 0)
  bar:SetSize(88, 88, cCtrl.e_lstItems)
  return 0
end
