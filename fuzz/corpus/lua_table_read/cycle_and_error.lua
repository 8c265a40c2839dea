t = {}
t.self = t
for i = 1, 10 do t[i] = i * 0.1 end
error("stop")
