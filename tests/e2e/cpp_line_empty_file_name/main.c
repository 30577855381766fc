a __FILE__
#line 24 ""
#warning named by the empty name
b __FILE__ __LINE__
#line 30 "x.c"
c __FILE__
