#if 0
foo \ 
bar
#endif
int ab\ 
cd = 1;
/* x \  
 y */
char *s = "a\ 
b";
// c \ 
int gone;
#define M 1 \  
  + 2
int m = M;
