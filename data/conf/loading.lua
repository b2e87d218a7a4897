-- The loading list: every texture, font, sound and music the game uses, loaded one at a time
-- while the loading screen shows. Paths name files of the data folder; a texture's area
-- script (the ".tex" beside it) runs when the texture loads. Other parts of the game add
-- their own lists as "loading_<topic>.lua" in this folder: they run after this one, in the
-- order of their names (the play field's "world" first, see below).

-- Fonts: the picture "<name>.png" and its script "<name>.lua".
cLoadFont('{StaticPath}/texture/fonts/menu_header.lua')
cLoadFont('{StaticPath}/texture/fonts/menu_text.lua')

-- Textures.
cLoadTexture('{StaticPath}/texture/system/cursor_pointer.png')
-- The menus' look and icons lie on the play field's page (loading_world.lua), so that the
-- windows over the field draw with the field's texture; the title's logo stands alone.
cLoadTexture('{StaticPath}/texture/title/title_logo.png')

-- Sounds (name of the file = name of the sound) and music.

-- The topic lists.
local topics = {}
local fs = cFileSystem()
local entry = fs:GetFirst(filename('{StaticPath}/conf/'))
while not entry:empty() do
  local name = entry.name
  if entry.ext == 'lua' and name:sub(1, 8) == 'loading_' then topics[#topics + 1] = name end
  entry = fs:GetNext()
end
-- The play field's page first: the largest picture, whose file, decoded pixels and device copy
-- are all held while it loads, then comes before everything else is.
table.sort(topics, function(a, b)
  if (a == 'loading_world') ~= (b == 'loading_world') then return a == 'loading_world' end
  return a < b
end)
for _, name in ipairs(topics) do
  GetScript():LoadFile(filename('{StaticPath}/conf/' .. name .. '.lua'))
end
