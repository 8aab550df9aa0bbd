-- Lua 5.0 let a generic "for" walk a table directly.
local fruit = {apple = 3, pear = 5}
local names = {}
for name, count in fruit do
    table.insert(names, name .. "=" .. count)
end
table.sort(names)
print(table.concat(names, " "))

-- Nested loops, an iterator function, pairs and ipairs all still work.
local grid = {{1, 2}, {3}}
local sum = 0
for _, row in grid do for _, cell in row do sum = sum + cell end end
print("sum", sum)
for i, v in ipairs({"a", "b"}) do print(i, v) end
local function countdown(n)
    return function(_, last) if last > 1 then return last - 1 end end, nil, n + 1
end
for i in countdown(3) do io.write(i, " ") end
print()
-- The words of a string and a comment mentioning for k in t do stay as they are.
local text = "for k in t do"
print(text)
