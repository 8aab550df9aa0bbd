-- table.getn honours an "n" field; table.setn and insert keep it.
local t = {n = 2}
print(table.getn(t))
table.insert(t, "x")
print(table.getn(t), t.n, t[3])
local u = {}
table.setn(u, 10)
print(table.getn(u))
local v = {"a", "b", "c"}
print(table.getn(v), table.remove(v), table.getn(v))
-- Vararg functions see their arguments in "arg".
local function count(...) return arg.n end
print(count(1, nil, 3))
