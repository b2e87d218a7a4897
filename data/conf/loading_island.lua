-- The island map's pictures: the two island halves, the sea, the waterfall pair, the ground
-- textures, fireworks and the building sheets; the statue, the hover glow and the walking
-- islanders live on the play field's peacock sheets. Run by loading.lua: each line queues one
-- texture (a sheet's area script runs when it loads).

for _, name in ipairs({'island00_0', 'island00_1', 'island01', 'island02_0', 'island02_1', 'island030',
                       'island031', 'firework', 'houses00', 'houses01', 'houses02', 'houses03', 'houses04',
                       'houses05', 'houses07', 'houses08', 'houses09'}) do
  cLoadTexture('{StaticPath}/texture/island/' .. name .. '.png')
end
