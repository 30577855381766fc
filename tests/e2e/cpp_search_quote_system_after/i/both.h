#define WHICH_BOTH "from -I"
