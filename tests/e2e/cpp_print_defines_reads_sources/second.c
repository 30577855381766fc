#define ONLY_SECOND 3
