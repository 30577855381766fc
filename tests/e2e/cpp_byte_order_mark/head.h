#define Y 2
