-- A script error ends the script with one "Error" box and status 1.
print("before")
local t = nil
print(t.field)
print("never")
