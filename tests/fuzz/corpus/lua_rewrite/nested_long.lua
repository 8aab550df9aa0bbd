local s = [[a [[b]] c]]
--[[ x [[ y ]] z ]]
for k, v in {[[p [[q]] ]]} do print(v) end
