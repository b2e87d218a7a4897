-- The peer side of bench_main_menu: a plain program on the peer engine that holds the game's
-- own pictures and sounds (every .png, .jpg and .wav that PEER_LIST names, one path a line)
-- and draws a frame like the main menu's, paced to 60 frames a second: the title backdrop
-- filling the screen and the logo over it.
local pictures, sounds, byName = {}, {}, {}

function love.load()
  for path in io.lines(os.getenv("PEER_LIST")) do
    local f = assert(io.open(path, "rb"))
    local bytes = f:read("*a")
    f:close()
    local data = love.filesystem.newFileData(bytes, path)
    if path:match("%.wav$") then
      sounds[#sounds + 1] = love.audio.newSource(love.sound.newSoundData(data), "static")
    else
      local picture = love.graphics.newImage(love.image.newImageData(data))
      pictures[#pictures + 1] = picture
      byName[path:match("([^/]+)$")] = picture
    end
  end
  io.stdout:write("peer holds ", #pictures, " pictures and ", #sounds, " sounds\n")
  io.stdout:flush()
end

function love.draw()
  local back, logo = byName["island00_0.png"], byName["title_logo.png"]
  if back then love.graphics.draw(back, 0, 0, 0, 1024 / back:getWidth(), 768 / back:getHeight()) end
  if logo then love.graphics.draw(logo, 150, 120) end
end

function love.run()
  love.load()
  local step, nextAt = 1 / 60, love.timer.getTime()
  return function()
    love.event.pump()
    for name in love.event.poll() do
      if name == "quit" then return 0 end
    end
    love.graphics.origin()
    love.graphics.clear(0, 0, 0)
    love.draw()
    love.graphics.present()
    nextAt = nextAt + step
    local now = love.timer.getTime()
    if nextAt > now then love.timer.sleep(nextAt - now) else nextAt = now end
  end
end
