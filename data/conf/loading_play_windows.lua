-- The sheets of the play windows (score panel, mission windows, garden bar, level result,
-- upgrades).
for _, name in ipairs({'icons01', 'gui_plants'}) do
  cLoadTexture('{StaticPath}/texture/gui/' .. name .. '.png')
end
