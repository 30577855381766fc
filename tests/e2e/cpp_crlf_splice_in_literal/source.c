#define K5 0
x = K\
5; s = "abc\
def K5";
c = '\
K5'; t = "K5\
" K5;
