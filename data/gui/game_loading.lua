-- The loading screen's window "loading": the loading picture over the whole screen, the
-- progress bar in its frame and the name of the file being loaded. The loading screen looks up
-- "progress" and "label".
function FillWindow(wnd)
  local back = cImageCtrl('back', wnd)
  back:SetTexture('gui_loading')
  back:SetPos(0, 0, 0)
  back:SetSize(1024, 768, 0)
  back:EnableState(cCtrl.e_Ignorable)

  -- The bar fills the slot painted in the picture (x 262..762, y 150..178 from the bottom).
  local bar = cProgressBarSysCtrl('progress', wnd)
  bar:SetTexture('gui_loading_progress')
  bar:SetPos(262, 150, 0)
  bar:SetSize(500, 28, 0)
  bar:SetUVPos(0, 0, 0)
  bar:SetUVSize(1, 1, 0)
  bar:SetValue(0)
  bar:EnableState(cCtrl.e_Ignorable)

  local label = cLabelCtrl('label', wnd)
  label:SetPos(262, 112, 0)
  label:SetSize(500, 24, 0)
  label:SetAlign(cAlign.Center + cAlign.Middle)
  label:SetFontPrt('system')
  label:SetText('')
  label:EnableState(cCtrl.e_Ignorable)
  return 0
end
