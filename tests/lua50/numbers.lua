-- Numbers as Lua 5.0 on Windows read them: decimal text only.
for _, text in ipairs({"42", " -1.5e2 ", ".5", "0x10", "inf", "nan", "-INF", "1e", "", "12abc"}) do
    print(string.format("%q", text), tostring(tonumber(text)), String.ToNumber(text))
end
print(tonumber("ff", 16), tonumber("777", 8), tonumber("z", 36))
print(tonumber(7), tonumber(nil), String.ToNumber(nil))
print(_VERSION)
