-- The ending comic: the finished town, the gardener's statue, and a rest under the palms.

if not ComicsPage then GetScript():LoadFile(filename('{StaticPath}/gui/comics_page.lua')) end

function FillWindow(wnd)
  ComicsPage.Fill(wnd, {
    {pause = '0.5', texture = 'comics_town', caption = 'ComicsEnding0'},
    {pause = '2', texture = 'comics_statue', caption = 'ComicsEnding1'},
    {pause = '#2', texture = 'comics_rest', caption = 'ComicsEnding2'},
  })
  return 0
end
