-- A window of lists in the system look: a text list, a grid of icons with multiple selection,
-- a toolbar and a bare list. Its window function logs every control notification as
-- "message:p1:control" (list choices also say whether the item is now selected) and then
-- passes the message on to the default handling.
received = {}

-- Texture coordinates u, v, du, dv of an area of the 256 x 256 system sheet given in pixels
-- from its top-left corner.
local function sheet(x, y, w, h)
  return x / 256, 1 - (y + h) / 256, w / 256, h / 256
end

class 'ListsWF' (cWindowFunction)

function ListsWF:__init()
  cWindowFunction.__init(self)
end

function ListsWF:Call(wnd, msg, p1, p2)
  if msg >= 32 then
    local control = wnd:GetControl(p2)
    local entry = msg .. ':' .. p1 .. ':' .. control:GetName()
    if msg == 53 and control:GetName() ~= 'tools' then
      entry = entry .. ':' .. tostring(control:IsSelectedItem(p1))
    end
    received[#received + 1] = entry
  end
  return cWindowFunction.Call(self, wnd, msg, p1, p2)
end

local wnd = cWindow(theGUI, ListsWF())
wnd:SetName('lists')
wnd:SetActive(true)

local fruit = cListSysCtrl('fruit', wnd)
fruit:SetPos(100, 400, 0)
fruit:SetSize(200, 60, 0)
fruit:SetSize(200, 20, cCtrl.e_lstItems)
fruit:SetTexture('gui_system', cCtrl.e_lstSelection)
local u, v, du, dv = sheet(64, 64, 64, 24)
fruit:SetUVPos(u, v, 0)
fruit:SetUVSize(du, dv, 0)
fruit:SetUVSize(6 / 256, 6 / 256, cCtrl.e_frmBorder)
fruit:SetSize(6, 6, cCtrl.e_lstSelection + cCtrl.e_frmBorder)
fruit:SetFontPrt('system')
fruit:SetColor(0.2, 0.15, 0.1, cCtrl.e_lstNormal)
fruit:SetColor(0.1, 0.5, 0.1, cCtrl.e_lstHighlight)
for i, name in ipairs({'apple', 'pear', 'plum', 'cherry', 'quince'}) do
  fruit:InsertItem(i - 1, name, i * 10)
end

local icons = cImageListSysCtrl('icons', wnd)
icons:SetPos(400, 400, 0)
icons:SetSize(64, 64, 0)
icons:SetSize(32, 32, cCtrl.e_lstItems)
icons:SetMultiselect(true)
for i = 0, 3 do
  icons:InsertItem(i, 'gui_system', rectf(sheet(64 + 32 * i, 96, 32, 32)), i)
end

local tools = cToolbarSysCtrl('tools', wnd)
tools:SetPos(100, 200, 0)
tools:SetSize(128, 32, 0)
tools:SetSize(32, 32, cCtrl.e_lstItems)
for i = 0, 3 do
  tools:InsertItem(i, 'gui_system', rectf(sheet(64 + 32 * i, 96, 32, 32)), 100 + i)
end

local bare = cListCtrl('bare', wnd)
bare:SetPos(400, 200, 0)
bare:SetSize(50, 50, 0)
