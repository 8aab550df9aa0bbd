-- Lua 5.0 long strings and long comments nest; their text keeps every bracket.
local nested = [[a [[b]] c]]
print(nested)
print(string.len([[
x [[y]] ]=] z]]))
--[[ a comment [[ that nests ]] and goes on
over two lines ]]
print("after the comment")
local plain = [[no nesting ]=] here]]
print(plain)
print("[[ in a short string ]] stays")

-- Lines keep their numbers after a nested string (the event's prefix line comes first).
local ok, message = pcall(function() error("where", 1) end)
print(string.match(message, ":(%d+):"))

-- loadstring and load read the dialect too.
totals = {10, 20, 30}
local sum = loadstring("local n = 0 for _, v in totals do n = n + v end return n")
print(sum())
print(loadstring("return [[one [[two]] three]]")())
local pieces = {"return ", "[[x [[y]] z]]"}
local function reader() return table.remove(pieces, 1) end
print(load(reader)())
print(loadstring("return (", "broken chunk") == nil)

print(_VERSION)
