#define str(x) #x
#define xstr(x) str(x)
#define slashes // /* a block comment
                   that the directive reads on */ 1
int i = 1 //**/ 2
;
const char *s = xstr(slashes);
#if 0
// a group not taken has no line comment: /*
#else
// */
int skipped;
#endif
int j = 3; // the one error of the file
int k = 4; // none here
#ifdef slashes // extra tokens
#endif
