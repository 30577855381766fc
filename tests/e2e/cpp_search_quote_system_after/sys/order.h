#define WHICH_ORDER "from -isystem"
