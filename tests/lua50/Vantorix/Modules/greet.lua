Loaded = (Loaded or 0) + 1
-- Only the file name part: a full path differs from machine to machine.
print("loading", (string.gsub(_REQUIREDNAME, "^.*\\", "")))
return function(name) return "hello, " .. name end
