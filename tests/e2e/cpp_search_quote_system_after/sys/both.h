#define WHICH_BOTH "from -isystem"
