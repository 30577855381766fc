#define NONE() none
