#define OTHER 2
