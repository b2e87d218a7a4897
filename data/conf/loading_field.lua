-- The play field's own font: the rising money texts of sales and purchases and the shop's
-- prices under its buttons.
cLoadFont('{StaticPath}/texture/fonts/header24x24.lua')
