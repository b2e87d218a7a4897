-- The opening comic's second page: the first beds, the car to the markets, the town to come.

if not ComicsPage then GetScript():LoadFile(filename('{StaticPath}/gui/comics_page.lua')) end

function FillWindow(wnd)
  ComicsPage.Fill(wnd, {
    {pause = '0.5', texture = 'comics_digging', caption = 'ComicsOpening3'},
    {pause = '2', texture = 'comics_car', caption = 'ComicsOpening4'},
    {pause = '#2', texture = 'comics_plans', caption = 'ComicsOpening5'},
  })
  return 0
end
