-- The splash screen: the studio's card, then the game's title painting. The pictures
-- ("{StaticPath}/fsdata/splash1.jpg" and "splash2.jpg", and whatever lies in
-- "{StaticPath}/texture/splash/") are loaded before this file runs; the splash space is
-- 800 x 600 with y upwards, stretched over the whole screen.
function FillSplash(splash)
  splash:SetBackColor(0.0, 0.0, 0.0)
  splash:AddNode(2.5):AddImage('splash1', 0, 0, 800, 600)
  splash:AddNode(4.0):AddImage('splash2', 0, 0, 800, 600)
  return 0
end
