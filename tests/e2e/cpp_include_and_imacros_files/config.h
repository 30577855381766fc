#define VERSION 3
#define WHERE "cwd"
