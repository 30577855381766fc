#ifdef LOCAL
#warning LOCAL carried over
#endif
#ifndef SHARED
#warning SHARED lost
#endif
int second;
