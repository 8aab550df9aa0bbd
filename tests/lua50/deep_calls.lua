-- Every road into deep C recursion a script has ends in an error, not a crash.
local function f() return string.gsub('a', 'a', f) end
print(pcall(f))
local t = setmetatable({}, {__tostring = function(x) return tostring(x) end})
print(pcall(tostring, t))
local function cmp(a, b) table.sort({3, 2, 1}, cmp) return a < b end
print(pcall(table.sort, {3, 2, 1}, cmp))
print(pcall(loadstring, string.rep("(", 100000) .. "1" .. string.rep(")", 100000)))
print(loadstring("return " .. string.rep("{", 100000)))
