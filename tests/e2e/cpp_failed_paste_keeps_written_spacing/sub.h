#define PLUS_TO(b) + ## b
