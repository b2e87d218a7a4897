-- The comic pages' shared layout: three pictures to a page, two above and one below, each
-- with its caption on the picture's cream band. A picture's name is the pause in seconds
-- before it appears ("#" first: it fades in where it stands instead of flying in); its
-- caption follows it and shows once the picture is in place.

ComicsPage = {}

local INK = {0.29, 0.18, 0.11}
local PLACES = {{52, 456}, {532, 456}, {292, 176}}
local W, H = 440, 220

-- The text of a key of the game's text table (the key itself without one).
local function Text(key)
  if locale then return locale[key] end
  return key
end

function ComicsPage.Fill(wnd, panels)
  for i, panel in ipairs(panels) do
    local x, y = PLACES[i][1], PLACES[i][2]
    local picture = cImageCtrl(panel.pause, wnd)
    picture:SetTexture(panel.texture)
    picture:SetPos(x, y, 0)
    picture:SetSize(W, H, 0)
    local caption = cTextBoxSysCtrl(panel.caption, wnd)
    caption:SetPos(x + 14, y + 5, 0)
    caption:SetSize(W - 28, 46, 0)
    caption:SetAlign(cAlign.Center + cAlign.Middle)
    caption:SetFontPrt('menu_text')
    caption:SetColor(INK[1], INK[2], INK[3])
    caption:SetText(Text(panel.caption))
  end
end
