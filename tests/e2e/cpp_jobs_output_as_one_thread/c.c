#error in c
int c = X;
