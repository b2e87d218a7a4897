-- The look of the game's menus, shared by their window files: a wooden panel with a cream
-- board, green buttons, cream fields and golden slider knobs, drawn from the textures of
-- assets/sprites/title (one picture each; see the comment at the top of each SVG for its
-- cells). Areas are given in pixels from a picture's top-left corner.

MenuLook = {}

local BROWN = {0.29, 0.18, 0.11}
local CREAM = {1.0, 0.96, 0.86}

-- The text of a key of the game's text table (conf/locale.lua); the key itself without one.
function MenuLook.Text(key)
  local text = locale and locale[key]
  if text and text ~= '' then return text end
  return key
end

-- One of the engine's own words ("Ok", "Cancel", ...), as conf/locale.lua gives it.
function MenuLook.Word(name)
  local text = vek_locale and vek_locale[name]
  if text and text ~= '' then return text end
  return name
end

-- Texture coordinates of a pixel area of a w x h picture, for the part the flags name.
function MenuLook.Area(ctrl, tw, th, x, y, w, h, flags)
  flags = flags or 0
  ctrl:SetUVPos(x / tw, 1 - (y + h) / th, flags)
  ctrl:SetUVSize(w / tw, h / th, flags)
end

-- A nine-part border: its size on screen and in the picture.
function MenuLook.Border(ctrl, tw, th, size, flags)
  flags = flags or 0
  ctrl:SetSize(size, size, flags + cCtrl.e_frmBorder)
  ctrl:SetUVSize(size / tw, size / th, flags + cCtrl.e_frmBorder)
end

-- The board every menu stands on. It takes no input.
function MenuLook.Panel(wnd, name, x, y, w, h)
  local panel = cFrameCtrl(name, wnd)
  panel:SetTexture('title_panel')
  panel:SetPos(x, y, 0)
  panel:SetSize(w, h, 0)
  MenuLook.Area(panel, 160, 160, 0, 0, 160, 160)
  MenuLook.Border(panel, 160, 160, 40)
  panel:EnableState(cCtrl.e_Ignorable)
  return panel
end

-- The sunken field behind lists and text entries.
function MenuLook.Field(wnd, name, x, y, w, h)
  local field = cFrameCtrl(name, wnd)
  field:SetTexture('title_field')
  field:SetPos(x, y, 0)
  field:SetSize(w, h, 0)
  MenuLook.Area(field, 96, 48, 0, 0, 96, 48)
  MenuLook.Border(field, 96, 48, 14)
  field:EnableState(cCtrl.e_Ignorable)
  return field
end

-- A text: font 'menu_header' or 'menu_text', brown unless a colour is given.
function MenuLook.Label(wnd, name, text, x, y, w, h, align, font, color)
  local label = cLabelSysCtrl(name, wnd)
  label:SetPos(x, y, 0)
  label:SetSize(w, h, 0)
  label:SetAlign(align or (cAlign.Center + cAlign.Middle))
  label:SetFontPrt(font or 'menu_text')
  color = color or BROWN
  label:SetColor(color[1], color[2], color[3])
  label:SetText(text)
  return label
end

-- A green button with its four state pictures one under another.
function MenuLook.Button(wnd, name, text, x, y, w, h)
  local button = cButtonCtrl(name, wnd)
  button:SetTexture('title_button', 0)
  button:SetPos(x, y, 0)
  button:SetSize(w, h or 56, 0)
  button:SetSize(24, 24, cCtrl.e_frmBorder)
  button:SetUVPos(0, 1 - 64 / 256, 0)
  button:SetUVSize(1, 64 / 256, cCtrl.e_btnNormal)
  button:SetUVSize(24 / 256, 24 / 256, cCtrl.e_frmBorder)
  button:SetFontPrt('menu_header')
  button:SetColor(CREAM[1], CREAM[2], CREAM[3])
  button:SetText(text)
  return button
end

-- A check box with its text to the right.
function MenuLook.Check(wnd, name, text, x, y, size)
  local box = cCheckBoxCtrl(name, wnd)
  box:SetTexture('title_check', cCtrl.e_cbNormal + cCtrl.e_cbPush)
  box:SetPos(x, y, 0)
  box:SetSize(size, size, 0)
  MenuLook.Area(box, 128, 128, 0, 0, 64, 64, cCtrl.e_cbNormal)
  MenuLook.Area(box, 128, 128, 64, 0, 64, 64, cCtrl.e_cbPush)
  box:SetFontPrt('menu_text')
  box:SetColor(BROWN[1], BROWN[2], BROWN[3])
  box:SetText('  ' .. text)
  return box
end

-- A slider: a wooden groove and a golden knob with a leaf.
function MenuLook.Slider(wnd, name, x, y, w, min, max, vertical)
  local slider = cSliderCtrlEx(name, wnd)
  slider:SetTexture('title_slider', 0)
  slider:SetTexture('title_slider', cCtrl.e_sldImage)
  if vertical then
    slider:SetVertical(true)
    slider:SetPos(x, y, 0)
    slider:SetSize(24, w, 0)
  else
    slider:SetPos(x, y, 0)
    slider:SetSize(w, 24, 0)
  end
  MenuLook.Area(slider, 256, 128, 0, 0, 192, 32)
  MenuLook.Border(slider, 256, 128, 11)
  slider:SetSize(36, 36, cCtrl.e_sldImage)
  MenuLook.Area(slider, 256, 128, 200, 0, 48, 48, cCtrl.e_sldImage)
  slider:SetMinMax(min, max)
  slider:SetValue(min)
  return slider
end

-- A text list on its field, with a golden band under the selected row.
function MenuLook.List(wnd, name, x, y, w, rows, rowHeight)
  MenuLook.Field(wnd, name .. '_field', x - 10, y - 10, w + 20, rows * rowHeight + 20)
  local list = cListSysCtrl(name, wnd)
  list:SetPos(x, y, 0)
  list:SetSize(w, rows * rowHeight, 0)
  list:SetSize(w, rowHeight, cCtrl.e_lstItems)
  list:SetTexture('title_select', cCtrl.e_lstSelection)
  MenuLook.Area(list, 64, 32, 0, 0, 64, 32)
  list:SetUVSize(12 / 64, 12 / 32, cCtrl.e_frmBorder)
  list:SetSize(12, 12, cCtrl.e_lstSelection + cCtrl.e_frmBorder)
  list:SetFontPrt('menu_text')
  list:SetAlign(cAlign.Left + cAlign.Middle)
  list:SetColor(BROWN[1], BROWN[2], BROWN[3], cCtrl.e_lstNormal)
  list:SetColor(0.25, 0.55, 0.12, cCtrl.e_lstHighlight)
  return list
end

-- A text entry on its field.
function MenuLook.Edit(wnd, name, x, y, w, h, maxLength)
  local edit = cEditSysCtrl(name, wnd)
  edit:SetTexture('title_field', 0)
  edit:SetPos(x, y, 0)
  edit:SetSize(w, h, 0)
  MenuLook.Area(edit, 96, 48, 0, 0, 96, 48)
  MenuLook.Border(edit, 96, 48, 14)
  edit:SetFontPrt('menu_header')
  edit:SetColor(BROWN[1], BROWN[2], BROWN[3])
  edit:SetMaxLength(maxLength or 16)
  edit:SetText('')
  return edit
end

-- A picture of a whole texture.
function MenuLook.Picture(wnd, name, texture, x, y, w, h)
  local image = cImageCtrl(name, wnd)
  image:SetTexture(texture)
  image:SetPos(x, y, 0)
  image:SetSize(w, h, 0)
  return image
end
