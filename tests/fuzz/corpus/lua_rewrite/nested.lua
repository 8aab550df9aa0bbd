for k in f(function() for x in y do end end) do end
s = [==[ for a in b do ]==] --[[ for ]]
