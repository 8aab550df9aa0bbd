-- Files go through Windows paths: backslashes, any letter case, the temporary folder.
local name = _TempFolder .. "\\VX_Corpus.TXT"
local f = io.open(name, "w")
f:write("line 1\nline 2\n")
f:close()
for line in io.lines(string.lower(name)) do print(line) end
print(os.remove(string.upper(name)))
print(io.open(name) == nil)
