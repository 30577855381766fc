const char *f = __FILE__, *b = __BASE_FILE__;
#line 7
const char *g = __FILE__;
