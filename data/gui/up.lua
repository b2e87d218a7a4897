-- The upgrades window "up": three cards ("ch0".."ch2", check boxes with the upgrade's
-- picture and its level in stars) with their prices, the description of the card under the
-- mouse or chosen, the bank, and "done" to buy the chosen upgrade.

function FillWindow(wnd)
  PlayLook.Require()
  wnd:SetActive(true)
  wnd:SetModal(true)
  MenuLook.Panel(wnd, 'board', 202, 124, 620, 540)
  MenuLook.Label(wnd, 'title', 'Upgrades', 242, 598, 540, 42, nil, 'menu_header')
  MenuLook.Label(wnd, 'lbChoose', 'Choose one for your gardener:', 242, 562, 540, 30)

  for i = 0, 2 do
    local x = 264 + 172 * i
    local box = cCheckBoxUpCtrl('ch' .. i, wnd)
    box:SetTexture('gui_ups00', cCtrl.e_cbNormal + cCtrl.e_cbPush)
    box:SetPos(x, 418, 0)
    box:SetSize(128, 128, 0)
    box:SetText('')
    PlayLook.Number(wnd, 'price' .. i, '$0', x, 358, 128, 32, cAlign.Center + cAlign.Middle)
  end

  MenuLook.Field(wnd, 'frmDesc', 262, 248, 500, 104)
  -- The descriptions run over several lines.
  local desc = cTextBoxSysCtrl('desc', wnd)
  desc:SetPos(280, 256, 0)
  desc:SetSize(464, 88, 0)
  desc:SetAlign(cAlign.Center + cAlign.Middle)
  desc:SetFontPrt('menu_text')
  desc:SetColor(vec3(PlayLook.BROWN[1], PlayLook.BROWN[2], PlayLook.BROWN[3]))
  desc:SetText('')

  PlayLook.Icon(wnd, 'imgBank', 'icons01', 'bank', 262, 160, 56, 56)
  MenuLook.Label(wnd, 'lbBankTitle', 'Bank', 326, 190, 120, 26, cAlign.Left + cAlign.Middle)
  PlayLook.Number(wnd, 'bank', '0', 326, 160, 140, 32)
  MenuLook.Button(wnd, 'done', 'Buy', 532, 160, 230)
  return 0
end
