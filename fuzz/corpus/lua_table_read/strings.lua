name = "quote \" backslash \\ line\
 next \000 end"
long = [[raw
text]]
t = {[0.5] = 1, [true] = 2, [-7] = "x", {}, {{}}}
