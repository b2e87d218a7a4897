-- A script window function that logs every control notification it receives as
-- "message:p1:control name" and passes every message on to the default handling.
notes = {}

class 'NotificationLogger' (cWindowFunction)

function NotificationLogger:__init()
  cWindowFunction.__init(self)
end

function NotificationLogger:Call(wnd, msg, p1, p2)
  if msg >= 32 and msg <= 53 then
    local ctrl = wnd:GetControl(p2)
    notes[#notes + 1] = msg .. ':' .. p1 .. ':' .. (ctrl and ctrl:GetName() or '?')
  end
  return cWindowFunction.Call(self, wnd, msg, p1, p2)
end
