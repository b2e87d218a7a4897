-- Orchardia settings, written by the game when it ends.
Settings = {
  gamma = 1,
  height = 768,
  mouseSpeed = 0.75,
  musicVolume = 0.25,
  player = "Ann",
  playerCounter = 2,
  soundVolume = 0.5,
  width = 1024,
  windowed = true,
}
