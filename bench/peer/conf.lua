-- The peer engine's window for the side-by-side menu measurement (bench_main_menu).
function love.conf(t)
  t.window.width, t.window.height, t.window.vsync = 1024, 768, 0
  t.modules.joystick, t.modules.physics = false, false
end
