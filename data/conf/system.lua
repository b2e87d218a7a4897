-- The game's settings. They live in "{AppPath}/conf/settings.lua", which the game writes at
-- exit through WriteSettings and runs at start before LoadHardwareSettings; LoadSettings
-- applies the rest once loading has finished. Every value is checked before it is used, so a
-- damaged or hand-edited settings file cannot stop the game.

local defaults = {
  windowed = false,    -- full screen at 1024 x 768 unless the player chose a window
  width = 1024,
  height = 768,
  gamma = 1.0,
  soundVolume = 0.5,   -- 0..1
  musicVolume = 0.5,   -- 0..1
  mouseSpeed = 0.3,
  playerCounter = 0,   -- the number of the next new profile folder
  player = '',         -- the profile that was current at exit
}

-- The setting `name` from the file, or its default when missing or of the wrong kind.
local function Setting(name)
  local value = Settings and Settings[name]
  if type(value) ~= type(defaults[name]) then return defaults[name] end
  return value
end

local function Clamp(v, lo, hi)
  if v ~= v then return lo end  -- not a number
  return math.max(lo, math.min(hi, v))
end

-- The display: window or full screen, the window's size, the gamma.
function LoadHardwareSettings()
  local windowed = Setting('windowed')
  local width = math.floor(Clamp(Setting('width'), 640, 4096))
  local height = math.floor(Clamp(Setting('height'), 480, 4096))
  display(windowed, width, height, 0)
  -- A gamma that reads back a hair off 1 from the desktop is left alone.
  local gamma = Clamp(Setting('gamma'), 0.5, 2.0)
  if math.abs(gamma - 1.0) >= 0.01 then theEngine:SetGamma(gamma) end
  return 0
end

-- Volumes, the mouse, the profile counter and the profile that was current at exit.
function LoadSettings()
  local sm = GetSound()
  if sm then
    sm:SetVolume(1, Clamp(Setting('soundVolume'), 0, 1))
    sm:SetVolume(2, Clamp(Setting('musicVolume'), 0, 1))
  end
  theGame.m_Settings.fMouseSpeed = Clamp(Setting('mouseSpeed'), 0.05, 2.0)
  local counter = math.floor(Clamp(Setting('playerCounter'), 0, 999))
  if counter > theGame:GetPlayerCounter() then theGame:SetPlayerCounter(counter) end
  local player = Setting('player')
  if player ~= '' and player ~= theGame:GetName() then theGame:ChangePlayer(player) end
  return 0
end

-- Writes the settings as a Lua file at `path`, through a temporary file beside it so that a
-- failed write never leaves a broken settings file.
function WriteSettings(path)
  local w, h = theEngine:GetClientSize()
  local sm = GetSound()
  local values = {
    windowed = theEngine:IsWindowed(),
    width = w,
    height = h,
    gamma = math.floor(theEngine:GetGamma() * 100 + 0.5) / 100,
    soundVolume = sm and sm:GetVolume(1) or defaults.soundVolume,
    musicVolume = sm and sm:GetVolume(2) or defaults.musicVolume,
    mouseSpeed = theGame.m_Settings.fMouseSpeed,
    playerCounter = theGame:GetPlayerCounter(),
    player = theGame:GetName(),
  }
  local names = {}
  for name in pairs(defaults) do names[#names + 1] = name end
  table.sort(names)
  local lines = { '-- Orchardia settings, written by the game when it ends.', 'Settings = {' }
  for _, name in ipairs(names) do
    local v = values[name]
    if type(v) ~= type(defaults[name]) then v = defaults[name] end
    if type(v) == 'string' then
      lines[#lines + 1] = string.format('  %s = %q,', name, v)
    elseif type(v) == 'number' then
      lines[#lines + 1] = string.format('  %s = %.17g,', name, v)
    else
      lines[#lines + 1] = string.format('  %s = %s,', name, tostring(v))
    end
  end
  lines[#lines + 1] = '}'
  local temp = path .. '.tmp'
  local file, err = io.open(temp, 'w')
  if not file then
    print('WriteSettings: ' .. tostring(err))
    return 1
  end
  local ok = file:write(table.concat(lines, '\n'), '\n')
  ok = file:flush() and ok
  file:close()
  if not ok then
    os.remove(temp)
    print('WriteSettings: can not write ' .. temp)
    return 1
  end
  local renamed, rerr = os.rename(temp, path)
  if not renamed then
    os.remove(temp)
    print('WriteSettings: ' .. tostring(rerr))
    return 1
  end
  return 0
end
