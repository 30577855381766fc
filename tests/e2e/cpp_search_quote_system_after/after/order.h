#define WHICH_ORDER "from -idirafter"
