-- The opening comic's first page: the gardener crosses the sea and finds the island.

if not ComicsPage then GetScript():LoadFile(filename('{StaticPath}/gui/comics_page.lua')) end

function FillWindow(wnd)
  ComicsPage.Fill(wnd, {
    {pause = '0.5', texture = 'comics_boat', caption = 'ComicsOpening0'},
    {pause = '2', texture = 'comics_landing', caption = 'ComicsOpening1'},
    {pause = '#2', texture = 'comics_islanders', caption = 'ComicsOpening2'},
  })
  return 0
end
