#define arrow - ## >>
#define cat(a, b) a ## b
arrow
cat(x,
    +)
