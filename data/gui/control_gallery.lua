-- A window with one control of each of the seventeen control classes that scripts know, in
-- the system look (texture "gui_system", see assets/sprites/gui/gui_system.svg for its areas) and the
-- system font. The game makes the window and calls FillWindow with it.

local SHEET = 256

-- Sets a control's texture coordinates from a pixel area of the sheet (x, y from its top-left
-- corner), for the part the flags name.
local function Area(ctrl, x, y, w, h, flags)
  flags = flags or 0
  ctrl:SetUVPos(x / SHEET, 1 - (y + h) / SHEET, flags)
  ctrl:SetUVSize(w / SHEET, h / SHEET, flags)
end

-- The nine-part border of a frame (or of the part the flags name): its size on screen and
-- in the sheet.
local function Border(ctrl, size, flags)
  flags = flags or 0
  ctrl:SetSize(size, size, flags + cCtrl.e_frmBorder)
  ctrl:SetUVSize(size / SHEET, size / SHEET, flags + cCtrl.e_frmBorder)
end

local function Frame(wnd, name, x, y, w, h, area, border)
  local frame = cFrameCtrl(name, wnd)
  frame:SetTexture('gui_system')
  frame:SetPos(x, y, 0)
  frame:SetSize(w, h, 0)
  Area(frame, area[1], area[2], area[3], area[4])
  Border(frame, border)
  return frame
end

function FillWindow(wnd)
  wnd:SetActive(true)
  local back = Frame(wnd, 'back', 112, 104, 800, 560, {0, 96, 64, 64}, 16)
  back:EnableState(cCtrl.e_Ignorable)

  cCtrl('plain', wnd)

  local title = cLabelCtrl('title', wnd)
  title:SetPos(112, 616, 0)
  title:SetSize(800, 36, 0)
  title:SetAlign(cAlign.Center + cAlign.Middle)
  title:SetFontPrt('system')
  title:SetText('^402810FFGarden control gallery')

  local icon = cImageCtrl('icon', wnd)
  icon:SetTexture('gui_system')
  icon:SetPos(144, 560, 0)
  icon:SetSize(32, 32, 0)
  Area(icon, 64, 96, 32, 32)

  local caption = cLabelSysCtrl('caption', wnd)
  caption:SetPos(188, 560, 0)
  caption:SetSize(300, 32, 0)
  caption:SetAlign(cAlign.Left + cAlign.Middle)
  caption:SetFontPrt('system')
  caption:SetColor(0.25, 0.45, 0.1)
  caption:SetText('Seeds and tools')

  local note = cTextBoxSysCtrl('note', wnd)
  note:SetPos(144, 440, 0)
  note:SetSize(340, 108, 0)
  note:SetAlign(cAlign.Left + cAlign.Top)
  note:SetFontPrt('system')
  note:SetColor(vec3(0.3, 0.2, 0.1))
  note:SetText('Water the ^2060C0FFblue^503820FF flowers before noon; ' ..
               'the sun dries the beds by the afternoon.\nHarvest at dusk.')

  Frame(wnd, 'growth_back', 144, 400, 340, 20, {160, 48, 96, 16}, 4)
  local growth = cProgressBarSysCtrl('growth', wnd)
  growth:SetTexture('gui_system')
  growth:SetPos(146, 402, 0)
  growth:SetSize(336, 16, 0)
  Area(growth, 160, 32, 96, 16)
  growth:SetValue(0.6)

  cSliderCtrl('logic_slider', wnd)

  local volume = cSliderSysCtrl('volume', wnd)
  volume:SetTexture('gui_system', 0)
  volume:SetTexture('gui_system', cCtrl.e_sldImage)
  volume:SetPos(144, 350, 0)
  volume:SetSize(340, 16, 0)
  Area(volume, 0, 64, 64, 16)
  Border(volume, 6)
  volume:SetSize(16, 32, cCtrl.e_sldImage)
  Area(volume, 64, 32, 16, 32, cCtrl.e_sldImage)
  volume:SetMinMax(0, 100)
  volume:SetValue(50)

  cEditCtrl('logic_edit', wnd)

  local name = cEditSysCtrl('name', wnd)
  name:SetTexture('gui_system', 0)
  name:SetPos(144, 290, 0)
  name:SetSize(340, 32, 0)
  Area(name, 96, 32, 64, 32)
  Border(name, 6)
  name:SetFontPrt('system')
  name:SetColor(0.2, 0.15, 0.1)
  name:SetMaxLength(16)
  name:SetText('')

  local ok = cButtonSysCtrl('ok', wnd)
  ok:SetTexture('gui_system', cCtrl.e_btnNormal + cCtrl.e_btnPush)
  ok:SetPos(144, 220, 0)
  ok:SetSize(120, 40, 0)
  ok:SetSize(8, 8, cCtrl.e_frmBorder)
  Area(ok, 0, 0, 64, 32, cCtrl.e_btnNormal)
  Area(ok, 128, 0, 64, 32, cCtrl.e_btnPush)
  ok:SetUVSize(8 / SHEET, 8 / SHEET, cCtrl.e_btnNormal + cCtrl.e_btnPush + cCtrl.e_frmBorder)
  ok:SetFontPrt('system')
  ok:SetColor(1, 1, 1)
  ok:SetText('OK')

  local music = cCheckBoxSysCtrl('music', wnd)
  music:SetTexture('gui_system', cCtrl.e_cbNormal + cCtrl.e_cbPush)
  music:SetPos(300, 225, 0)
  music:SetSize(200, 30, 0)
  Area(music, 0, 32, 32, 32, cCtrl.e_cbNormal)
  Area(music, 32, 32, 32, 32, cCtrl.e_cbPush)
  music:SetFontPrt('system')
  music:SetColor(0.2, 0.15, 0.1)
  music:SetText(' Music')

  -- The lists, in the right half.
  Frame(wnd, 'list_back', 540, 400, 340, 160, {192, 64, 64, 64}, 8)
  local fruit = cListSysCtrl('fruit', wnd)
  fruit:SetPos(548, 408, 0)
  fruit:SetSize(324, 144, 0)
  fruit:SetSize(324, 24, cCtrl.e_lstItems)
  fruit:SetTexture('gui_system', cCtrl.e_lstSelection)
  Area(fruit, 64, 64, 64, 24)
  fruit:SetUVSize(6 / SHEET, 6 / SHEET, cCtrl.e_frmBorder)
  fruit:SetSize(6, 6, cCtrl.e_lstSelection + cCtrl.e_frmBorder)
  fruit:SetFontPrt('system')
  fruit:SetAlign(cAlign.Left + cAlign.Middle)
  fruit:SetColor(0.25, 0.17, 0.08, cCtrl.e_lstNormal)
  fruit:SetColor(0.15, 0.5, 0.1, cCtrl.e_lstHighlight)
  for i, text in ipairs({' Apple', ' Pear', ' Plum', ' Cherry', ' Quince'}) do
    fruit:InsertItem(i - 1, text, i)
  end

  local function Icons(list)
    for i = 0, 3 do
      local x = 64 + 32 * i
      list:InsertItem(i, 'gui_system', rectf(x / SHEET, 1 - 128 / SHEET, 32 / SHEET, 32 / SHEET), i)
    end
  end

  local seeds = cImageListSysCtrl('seeds', wnd)
  seeds:SetPos(540, 300, 0)
  seeds:SetSize(160, 64, 0)
  seeds:SetSize(32, 32, cCtrl.e_lstItems)
  seeds:SetMultiselect(true)
  Icons(seeds)

  local tools = cToolbarSysCtrl('tools', wnd)
  tools:SetPos(720, 332, 0)
  tools:SetSize(160, 32, 0)
  tools:SetSize(32, 32, cCtrl.e_lstItems)
  Icons(tools)

  local bare = cListCtrl('bare', wnd)
  bare:SetPos(540, 200, 0)
  bare:SetSize(100, 50, 0)
  return 0
end
