/* The source the page's browser test opens. */
#define WIDTH 3
#define SQUARE(x) ((x) * (x))
#define AREA(w, h) (SQUARE(w) + (h))

int area(void) { return AREA(WIDTH, 2); }
int width(void) { return WIDTH; }
