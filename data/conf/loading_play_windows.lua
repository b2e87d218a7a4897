-- The sheets of the play windows (score panel, mission windows, garden bar, level result,
-- upgrades), and the font of the shop's prices and the field's rising money texts.
cLoadFont('{StaticPath}/texture/fonts/header24x24.lua')
for _, name in ipairs({'icons01', 'gui_plants', 'gui_ups00', 'gui_ups01'}) do
  cLoadTexture('{StaticPath}/texture/gui/' .. name .. '.png')
end
