-- string.gfind, math.mod and "%" before any character in replacements.
for word in string.gfind("one two three", "%a+") do io.write(word, ";") end
print()
print(math.mod(17, 5))
print((string.gsub("cost: 5", "(%d)", "%$%1.00")))
print((string.gsub("a-b", "-", "%%")))
print((string.gsub("hello", "l", "%L")))
print(string.format("%5.1f|%s", 3.14159, "x"))
