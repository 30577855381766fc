/* N
N
N */ N
#error don't N
N
' N
"str \
N" N
"two-byte •\" N
a = 'x\'N' N;
"'" N '"' N
