-- The pictures of the island and statistics windows and of the comics (the hint's arrow and
-- glow lie on the play field's page, loading_world.lua). The comics show at a player's first
-- start and at the game's end only: their pictures are read when first shown.
for _, name in ipairs({'island_face', 'stat_people', 'stat_house', 'stat_market',
                       'stat_factory', 'stat_institute', 'stat_animals', 'stat_statue', 'stat_lock'}) do
  cLoadTexture('{StaticPath}/texture/gui/' .. name .. '.png')
end
for _, name in ipairs({'comicsb0', 'comicsb1', 'comicsb2', 'comicsb3', 'comics_boat', 'comics_landing',
                       'comics_islanders', 'comics_digging', 'comics_car', 'comics_plans', 'comics_town',
                       'comics_statue', 'comics_rest'}) do
  cLoadTextureOnUse('{StaticPath}/texture/comics/' .. name .. '.png')
end
