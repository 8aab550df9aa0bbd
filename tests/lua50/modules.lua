-- require finds modules in Vantorix\Modules beside the player, once per name.
local greet = require("greet")
print(greet("world"))
print(require("greet") == greet, Loaded)
print(_REQUIREDNAME)
local ok, message = pcall(require, "nothing_here")
print(ok, string.sub(message, 1, 42))
Application.LoadScript("Vantorix\\Modules\\greet.lua")
print(Application.GetLastError(), Loaded)
