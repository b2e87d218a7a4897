-- The look of the play windows (score panel, mission briefing and reminder, garden bar,
-- level result, upgrades), on top of the menus' look: the same wooden boards and green
-- buttons, with the game's icons from the sheets "icons00", "icons01", "gui_plants",
-- "gui_ups00" and "gui_ups01". Every play window file starts with PlayLook.Require().

PlayLook = {}

local BROWN = {0.29, 0.18, 0.11}
local CREAM = {1.0, 0.96, 0.86}
PlayLook.BROWN = BROWN
PlayLook.CREAM = CREAM

function PlayLook.Require()
  if not MenuLook then GetScript():LoadFile(filename('{StaticPath}/gui/menu_look.lua')) end
end

-- A picture from an area of a sheet (its first frame); without the area it keeps the whole
-- texture.
function PlayLook.Icon(wnd, name, sheet, area, x, y, w, h, class)
  local image = (class or cImageCtrl)(name, wnd)
  image:SetTexture(sheet)
  image:SetPos(x, y, 0)
  image:SetSize(w, h, 0)
  if area then SetSheetArea(image, sheet, area, 0) end
  return image
end

-- A board that takes no input (MenuLook.Panel) whose border is thinner, for small panels.
function PlayLook.Board(wnd, name, x, y, w, h, border)
  local panel = MenuLook.Panel(wnd, name, x, y, w, h)
  if border then MenuLook.Border(panel, 160, 160, border) end
  return panel
end

-- A number or short text in the header font.
function PlayLook.Number(wnd, name, text, x, y, w, h, align, color)
  return MenuLook.Label(wnd, name, text, x, y, w, h, align or (cAlign.Left + cAlign.Middle), 'menu_header', color)
end

-- One row of icon, name and count: "icon<i>", "text<i>", "number<i>" (suffix may be '').
function PlayLook.TaskRow(wnd, suffix, x, y, w)
  PlayLook.Icon(wnd, 'icon' .. suffix, 'icons00', nil, x, y, 48, 48)
  MenuLook.Label(wnd, 'text' .. suffix, '', x + 60, y, w - 160, 48, cAlign.Left + cAlign.Middle)
  PlayLook.Number(wnd, 'number' .. suffix, '', x + w - 96, y, 96, 48, cAlign.Right + cAlign.Middle)
end
