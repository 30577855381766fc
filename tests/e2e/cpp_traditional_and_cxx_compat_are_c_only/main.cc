 #define X 1
#if +1U
#endif
#define f(x) x
int a = f;
#pragma once
