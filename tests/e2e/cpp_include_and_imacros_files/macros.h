#define MAX(a, b) ((a) > (b) ? (a) : (b))
int not_in_the_listing;
#define VERSION 2
