-- The sheets of the play windows (score panel, mission windows, garden bar, level result,
-- upgrades), and the font of the shop's prices and the field's rising money texts. The icons
-- and the garden bar's plants lie on the play field's page (loading_world.lua).
cLoadFont('{StaticPath}/texture/fonts/header24x24.lua')
for _, name in ipairs({'gui_ups00', 'gui_ups01'}) do
  cLoadTexture('{StaticPath}/texture/gui/' .. name .. '.png')
end
