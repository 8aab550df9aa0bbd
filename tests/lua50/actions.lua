-- The player's text and table actions.
print(String.Find("abc", "B"), String.ReverseFind("abcab", "ab"), String.Mid("Hello", 2, -1))
print(String.Replace("aXbxc", "x", "-"), String.CompareFileVersions("1.10", "1.9"))
local parts = String.SplitPath("C:\\Temp\\file.tar.gz")
print(parts.Drive, parts.Folder, parts.Filename, parts.Extension)
local t = {3, 1, 2}
Table.Sort(t)
print(Table.Concat(t, ","), Table.Count({1, 2, x = 3}))
print(String.Mid("Hello", 2, -2) == "", Application.GetLastError(), _tblErrorMessages[3000])
Debug.Print("debug output\r\n")
