-- A window built by its script, with a script window function that logs every message it
-- receives as "message:p1:p2" and then passes it on to the default handling.
received = {}

class 'LoggingWF' (cWindowFunction)

function LoggingWF:__init()
  cWindowFunction.__init(self)
end

function LoggingWF:Call(wnd, msg, p1, p2)
  received[#received + 1] = msg .. ':' .. p1 .. ':' .. p2
  return cWindowFunction.Call(self, wnd, msg, p1, p2)
end

local wnd = cWindow(theGUI, LoggingWF())
wnd:SetName('logging')
wnd:SetActive(true)

local frame = cFrameCtrl('back', wnd)
frame:SetPos(80, 80, 0)
frame:SetSize(400, 300, 0)
frame:SetSize(8, 8, cCtrl.e_frmBorder)
frame:EnableState(cCtrl.e_Ignorable)

local picture = cImageCtrl('picture', wnd)
picture:SetPos(100, 100, 0)
picture:SetSize(200, 100, 0)
picture:SetTexture('cursor_pointer')

local caption = cLabelCtrl('caption', wnd)
caption:SetPos(100, 300, 0)
caption:SetSize(200, 40, 0)
caption:SetAlign(cAlign.Center + cAlign.Middle)
caption:SetFontPrt('system')
caption:SetText('Logging')
