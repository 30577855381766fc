#define \u00e9t\u00e9 1
#define xé(a) a
#define plain \u00e9
