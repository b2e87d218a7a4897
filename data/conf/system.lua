-- The game's settings. They live in "{AppPath}/conf/settings.lua", which the game writes at
-- exit through WriteSettings and reads back at start, as values only, before
-- LoadHardwareSettings; LoadSettings applies the rest once loading has finished. Every value
-- is checked before it is used, so a damaged or hand-edited settings file cannot stop the game.

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

-- Writes the settings file at `path`. The game's file writer puts the values there as text
-- that reads back to the same values, through a new temporary file beside it that is synced
-- and renamed over the old one, so a failed write never leaves a broken settings file.
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
  for name, default in pairs(defaults) do
    if type(values[name]) ~= type(default) then values[name] = default end
  end
  if WriteSettingsFile(path, values) then return 0 end
  return 1
end
