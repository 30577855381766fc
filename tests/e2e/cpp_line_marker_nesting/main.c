a __FILE__ __LINE__
# 5 "x.h" 2
b __FILE__ __LINE__
# 7 "in.h" 1
c __FILE__ __LINE__
# 9 "wrong.h" 2
d __FILE__ __LINE__
# 11 "" 2
e __FILE__ __LINE__
# 20 "" 2
f __FILE__ __LINE__
# 30 "deep.h" 1
# 40 "deeper.h" 1
g __FILE__ __LINE__ __INCLUDE_LEVEL__
# 50 "deep.h" 2
h __FILE__ __LINE__ __INCLUDE_LEVEL__
# 60 "main.c" 2
i __FILE__ __LINE__
