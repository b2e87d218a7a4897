-- The play field's sheets: every picture of "texture/world/" (the page "field" with the
-- gardener, animals, plants, tools, work stations and icons, the garden bar's plants and the
-- menus' look; the field's pictures and the particles), each with its area script.
local sheets = {}
local fs = cFileSystem()
local entry = fs:GetFirst(filename('{StaticPath}/texture/world/'))
while not entry:empty() do
  if entry.ext == 'png' then sheets[#sheets + 1] = entry.name end
  entry = fs:GetNext()
end
table.sort(sheets)
for _, name in ipairs(sheets) do
  cLoadTexture('{StaticPath}/texture/world/' .. name .. '.png')
end
