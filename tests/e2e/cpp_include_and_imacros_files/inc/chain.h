#define FROM_CHAIN 1
