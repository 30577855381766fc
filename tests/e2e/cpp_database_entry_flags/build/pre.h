#define PRE pre_included
