#define QUOTED 1
